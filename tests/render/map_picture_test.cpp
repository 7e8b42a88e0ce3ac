// The map's picture: the area it covers, its pixels against the editor's own frame, the PNG
// file it becomes (decoded back), and the same picture as SVG.
#include "app/render/map_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "app/render/svg_export.h"
#include "tests/render/frame_fixture.h"

#ifdef MM_TEST_WITH_EXPAT
#include <expat.h>
#endif

namespace {

namespace fs = std::filesystem;

class MapPicture : public FrameTest {
  protected:
    // Root (800, 375); children a (600, 500) and b (1000, 520), b collapsed over c far away;
    // a's child d up-left at (300, 100).
    void buildMap() {
        Node* root = map->root;
        a = addChild(root, u"a", 600, 500);
        b = addChild(root, u"b 中文", 1000, 520);
        c = addChild(b, u"c", 5000, 5000);
        d = addChild(a, u"d & <e>", 300, 100);
        b->collapsed = true;
        a->fillColor = 0xB4DCB4;
        d->textColor = 0xFFFFFF;
        map->selectedNode = nullptr;
    }

    static Node* addChild(Node* parent, const char16_t* text, int x, int y) {
        Node* child = new Node(text, x, y);
        child->parent = parent;
        parent->children.push_back(child);
        return child;
    }

    // Draws the picture into an image of its own (kept current until the next one).
    std::unique_ptr<Gfx::IMAGE> drawPicture(const PictureArea& area) {
        auto picture =
            std::make_unique<Gfx::IMAGE>(static_cast<int>(area.width), static_cast<int>(area.height));
        Gfx::setWorkingImage(picture.get());
        applyEditorTextStyle();
        drawMapPicture(*map, area);
        return picture;
    }

    static DWORD pixelOf(const Gfx::IMAGE& image, std::int64_t x, std::int64_t y) {
        return image.pixels[y * image.width + x];
    }

    Node* a = nullptr;
    Node* b = nullptr;
    Node* c = nullptr;
    Node* d = nullptr;
};

TEST_F(MapPicture, AreaHoldsTheDrawnNodesAndMarkersWithItsMargin) {
    buildMap();
    const PictureArea area = mapPictureArea(*map);
    // d's top-left to b's bottom-right; c is hidden under the collapsed b and left out.
    EXPECT_EQ(area.left, 300 - kPictureMargin);
    EXPECT_EQ(area.top, 100 - kPictureMargin);
    EXPECT_EQ(area.width, 1140 - 300 + 1 + 2 * kPictureMargin);
    EXPECT_EQ(area.height, 565 - 100 + 1 + 2 * kPictureMargin);
    b->collapsed = false;
    EXPECT_EQ(mapPictureArea(*map).width, 5140 - 300 + 1 + 2 * kPictureMargin);

    // A marker that sticks out of a short box counts too.
    b->collapsed = true;
    b->height = 5;
    EXPECT_EQ(mapPictureArea(*map).height, 520 + 30 - 100 + 1 + 2 * kPictureMargin);  // below a (545)
}

TEST_F(MapPicture, SizeLimitHoldsOnEachSide) {
    buildMap();
    b->collapsed = false;
    c->x = static_cast<int>(300 + kMaxPictureSide - 2 * kPictureMargin - 140 - 1);  // exactly the limit wide
    EXPECT_EQ(mapPictureArea(*map).width, kMaxPictureSide);
    EXPECT_TRUE(mapPictureArea(*map).fitsLimit());
    c->x += 1;
    EXPECT_FALSE(mapPictureArea(*map).fitsLimit());
    c->x = 0;
    c->y = 2000000000;
    EXPECT_FALSE(mapPictureArea(*map).fitsLimit());
}

TEST_F(MapPicture, NodesLookAsInTheEditorsFrame) {
    buildMap();
    draw();
    draw();  // the steady frame: lines are 2 pixels wide from the first connector on
    const PictureArea area = mapPictureArea(*map);
    const auto picture = drawPicture(area);
    // Inside every drawn box (its rounded corners show the grid on screen, white here), and a
    // point on each connector's middle.
    for (const Node* n : {map->root, a, b, d}) {
        for (int y = n->y + 3; y <= n->y + n->height - 3; ++y) {
            for (int x = n->x + 3; x <= n->x + n->width - 3; ++x) {
                ASSERT_EQ(pixelOf(*picture, x - area.left, y - area.top),
                          Gfx::getImageBuffer(image.get())[y * kWidth + x])
                    << "at (" << x << ", " << y << ")";
            }
        }
    }
    const DWORD connector = Gfx::colorToPixel(palette::kConnector);
    const auto midpoint = [&](const Node* n) {
        const Node* p = n->parent;
        return std::pair<std::int64_t, std::int64_t>{(p->x + p->width / 2 + n->x + n->width / 2) / 2,
                                                     (p->y + p->height + n->y) / 2};
    };
    for (const Node* n : {a, d}) {
        const auto [x, y] = midpoint(n);
        int found = 0;
        for (int dy = -2; dy <= 2; ++dy)
            found += pixelOf(*picture, x - area.left, y + dy - area.top) == connector;
        EXPECT_GT(found, 0) << "no connector near (" << x << ", " << y << ")";
    }
    // Nothing but white at the margin's outer edge: no panel, grid or status bar.
    const DWORD white = Gfx::colorToPixel(palette::kBackground);
    for (int x = 0; x < picture->width; ++x) {
        EXPECT_EQ(pixelOf(*picture, x, 0), white);
        EXPECT_EQ(pixelOf(*picture, x, picture->height - 1), white);
    }
}

TEST_F(MapPicture, SelectionIsNotShown) {
    buildMap();
    const PictureArea area = mapPictureArea(*map);
    const auto plain = drawPicture(area);
    map->selectedNode = a;
    const auto selected = drawPicture(area);
    EXPECT_TRUE(std::equal(plain->pixels, plain->pixels + plain->width * plain->height, selected->pixels));
}

TEST_F(MapPicture, PngFileDecodesToTheSamePixels) {
    buildMap();
    const PictureArea area = mapPictureArea(*map);
    const auto picture = drawPicture(area);
    const fs::path dir =
        fs::temp_directory_path() / ("mindmap-picture-" + std::to_string(std::random_device()()));
    fs::create_directory(dir);
    const fs::path file = dir / u"导出 map.png";
    ASSERT_TRUE(Gfx::saveImage(file.u16string().c_str(), picture.get()));

    Gfx::IMAGE decoded(3, 3);
    ASSERT_TRUE(Gfx::loadImage(&decoded, file.u16string().c_str()));
    ASSERT_EQ(decoded.width, picture->width);
    ASSERT_EQ(decoded.height, picture->height);
    int differing = 0;
    for (int i = 0; i < decoded.width * decoded.height; ++i)
        differing += decoded.pixels[i] != picture->pixels[i];
    EXPECT_EQ(differing, 0);

    // Not a picture, no file, no folder: false, and the image keeps its pixels.
    std::ofstream(dir / "not.png") << "plain text";
    EXPECT_FALSE(Gfx::loadImage(&decoded, (dir / "not.png").u16string().c_str()));
    EXPECT_FALSE(Gfx::loadImage(&decoded, (dir / "missing.png").u16string().c_str()));
    EXPECT_EQ(decoded.width, picture->width);
    EXPECT_EQ(decoded.pixels[0], picture->pixels[0]);
    EXPECT_FALSE(Gfx::saveImage((dir / "no" / "such.png").u16string().c_str(), picture.get()));
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

int countOf(const std::string& text, const std::string& what) {
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

#ifdef MM_TEST_WITH_EXPAT
// Parses with expat; counts start tags by name and gathers the character data.
struct ParsedXml {
    bool wellFormed = false;
    std::map<std::string, int> elements;
    std::string text;
};

ParsedXml parseXml(const std::string& xml) {
    ParsedXml parsed;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &parsed);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char**) {
            ++static_cast<ParsedXml*>(data)->elements[name];
        },
        [](void*, const XML_Char*) {});
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* s, int length) {
        static_cast<ParsedXml*>(data)->text.append(s, static_cast<std::size_t>(length));
    });
    parsed.wellFormed = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return parsed;
}
#endif

TEST_F(MapPicture, SvgHoldsOneShapeForEachDrawnPart) {
    buildMap();
    d->text = u"quote \" amp & lt < emoji 😀 a long caption that has to wrap onto more lines than fit";
    const std::string svg = writeMapSvg(*map, mapPictureArea(*map));
    // Drawn: root, a, b, d (c is hidden); connectors root-a, root-b, a-d; markers on root, a, b.
#ifdef MM_TEST_WITH_EXPAT
    ParsedXml parsed = parseXml(svg);
    ASSERT_TRUE(parsed.wellFormed) << svg;
    EXPECT_EQ(parsed.elements["line"], 3);
    // The background, 4 boxes, 3 markers, and the clip of d's overflowing caption.
    EXPECT_EQ(parsed.elements["rect"], 1 + 4 + 3 + 1);
    EXPECT_EQ(parsed.elements["clipPath"], 1);
    EXPECT_EQ(parsed.elements["text"], 4 + 3);
    EXPECT_NE(parsed.text.find("quote \" amp & lt"), std::string::npos) << parsed.text;
    EXPECT_NE(parsed.text.find("emoji 😀"), std::string::npos) << parsed.text;
    EXPECT_GT(parsed.elements["tspan"], 4 + 3);  // the long caption took several lines
#else
    EXPECT_EQ(countOf(svg, "<line "), 3);
    EXPECT_EQ(countOf(svg, "<rect "), 1 + 4 + 3 + 1);
    EXPECT_EQ(countOf(svg, "<text "), 4 + 3);
    EXPECT_EQ(countOf(svg, "</text>"), 4 + 3);
#endif
    // Where the lines break depends on the fonts; the escapes do not.
    EXPECT_NE(svg.find("quote \" amp &amp;"), std::string::npos);
    EXPECT_NE(svg.find("&lt;"), std::string::npos);
    EXPECT_NE(svg.find("emoji \xF0\x9F\x98\x80"), std::string::npos);
    EXPECT_EQ(svg.find(" & "), std::string::npos);
    EXPECT_EQ(countOf(svg, "fill=\"#b4dcb4\""), 1);  // a's own fill; nothing shows a selection
    EXPECT_EQ(countOf(svg, ">-</tspan>"), 2);
    EXPECT_EQ(countOf(svg, ">+</tspan>"), 1);
}

}  // namespace
