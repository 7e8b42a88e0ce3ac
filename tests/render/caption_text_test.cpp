// Texts the user brings, drawn as typed: ampersands in captions, the edit box, the path and the
// status bar; captions with line breaks in the status bar; unbroken captions far wider than any
// surface, on screen and in an exported picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "app/render/map_picture.h"
#include "app/render/scene.h"
#include "app/ui/export_command.h"
#include "tests/render/frame_fixture.h"

namespace {

using namespace palette;
namespace fs = std::filesystem;

constexpr Colour kCaptionInk = 0x800000;  // a caption colour nothing else in the frame uses

int inkWidth(const Ink& ink) {
    return ink.count == 0 ? 0 : ink.bounds.right - ink.bounds.left + 1;
}

// The ink of a caption colour in a picture of the whole map.
Ink pictureInk(const MindMap& map, Colour colour) {
    const PictureArea area = mapPictureArea(map);
    Gfx::IMAGE picture(static_cast<int>(area.width), static_cast<int>(area.height));
    Gfx::setWorkingImage(&picture);
    applyEditorTextStyle();
    drawMapPicture(map, area);
    Ink ink;
    const DWORD pixel = Gfx::colorToPixel(colour);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (picture.pixels[y * picture.width + x] != pixel) continue;
            ++ink.count;
            ink.bounds = {std::min(ink.bounds.left, x), std::min(ink.bounds.top, y),
                          std::max(ink.bounds.right, x), std::max(ink.bounds.bottom, y)};
        }
    }
    return ink;
}

class CaptionText : public FrameTest {
  protected:
    // Each typed text's ink in the node, the edit box, the path box, the status bar and the
    // map's picture.
    struct Widths {
        int node, edit, path, status, picture;
    };
    Widths drawnWidths(const std::u16string& typed) {
        TearDown();
        SetUp();
        map = std::make_unique<MindMap>();
        map->root->text = typed;
        map->root->textColor = kCaptionInk;
        Widths w{};
        w.picture = inkWidth(pictureInk(*map, kCaptionInk));
        Gfx::setWorkingImage(image.get());
        applyEditorTextStyle();
        map->selectedNode = nullptr;  // the root's own fill, and "无" in the status bar
        draw();
        const Node& root = *map->root;
        w.node = inkWidth(inkIn({root.x, root.y, root.x + root.width, root.y + root.height}, kCaptionInk));
        map->selectedNode = map->root;
        map->startEditing();
        map->editText = typed;
        draw();
        w.edit = inkWidth(inkIn({231, 11, 629, 49}, kOverlayText));
        w.status = inkWidth(inkIn({1, 731, 1379, 749}, kStatusText));
        map->isEditing = false;
        map->showOpenDialog();
        map->filePath = typed;
        draw();
        const PathDialogLayout dialog = pathDialogLayout(kPanelWidth);
        w.path = inkWidth(inkIn({dialog.pathBox.left + 1, dialog.pathBox.top + 1, dialog.pathBox.right - 1,
                                 dialog.pathBox.bottom - 1},
                                kOverlayText));
        return w;
    }
};

// Each "&" is drawn as typed, so a text is wider by an ampersand than the same text with one
// "&" less (prefix processing would show "R&D" as "RD", "a&&b" as "a&b" and drop a final "&").
TEST_F(CaptionText, AmpersandsShowWhereverTypedTextIsDrawn) {
    for (const auto& [typed, oneLess] : {std::pair<std::u16string, std::u16string>{u"R&D", u"RD"},
                                         {u"a&&b", u"a&b"},
                                         {u"end&", u"end"},
                                         {u"研发&测试", u"研发测试"}}) {
        const std::string name(typed.begin(), typed.end());
        const Widths with = drawnWidths(typed);
        const Widths without = drawnWidths(oneLess);
        const int least = 4;  // an ampersand is wider than this at the editor's size
        EXPECT_GT(without.node, 10) << name;
        EXPECT_GE(with.node, without.node + least) << name;
        EXPECT_GE(with.edit, without.edit + least) << name;
        EXPECT_GE(with.path, without.path + least) << name;
        EXPECT_GE(with.status, without.status + least) << name;
        EXPECT_GE(with.picture, without.picture + least) << name;
    }
}

// A caption's lines are joined by a mark, so the status line goes on to the position and the
// child count; a CR LF pair is one break.
TEST_F(CaptionText, StatusLineJoinsTheCaptionsLines) {
    map->root->text = u"第一行\n第二行\r\nthird\rfour";
    map->addChildNode();
    map->selectedNode = map->root;
    EXPECT_EQ(formatStatusLine(*map),
              u"选中: 第一行 ↵ 第二行 ↵ third ↵ four | 位置: (580, 375) | 子节点: 1 | 按 H 显示帮助");
    EXPECT_EQ(oneLineCaption(u"\nx\n\n"), u" ↵ x ↵  ↵ ");
    EXPECT_EQ(oneLineCaption(u"\r\r\n"), u" ↵  ↵ ");
    EXPECT_EQ(oneLineCaption(u"无换行 & tab\t"), u"无换行 & tab\t");

    // Drawn, the status ink reaches past the start of its last words.
    map->root->text = u"a\nb";
    draw();
    const Ink joined = inkIn({1, 731, 1379, 749}, kStatusText);
    const int lastWords = 10 + Gfx::getTextWidth(u"选中: a ↵ b | 位置: (580, 375) | 子节点: 1 | 按 H 显示");
    EXPECT_GT(joined.bounds.right, lastWords);
    // The mark has ink of its own in the editor's font.
    map->root->text = u"a b";
    draw();
    const Ink spaced = inkIn({1, 731, 1379, 749}, kStatusText);
    map->root->text = u"a ↵ b";
    draw();
    const Ink marked = inkIn({1, 731, 1379, 749}, kStatusText);
    EXPECT_GE(marked.count, spaced.count + 5);
}

// An unbroken caption tens of thousands of pixels wide is drawn, clipped to its box, in the
// editor's frame and in an exported picture.
TEST_F(CaptionText, UnbrokenCaptionsOfAnyLengthAreDrawnAndExported) {
    const fs::path dir =
        fs::temp_directory_path() / ("mindmap-captions-" + std::to_string(std::random_device()()));
    fs::create_directory(dir);
    for (std::size_t length : {10'000u, 100'000u}) {
        for (char16_t unit : {u'W', u'c', u'中'}) {
            const std::string name = std::to_string(length) + " of " + std::to_string(unit);
            map = std::make_unique<MindMap>();
            map->root->text = std::u16string(length, unit);
            map->root->textColor = kCaptionInk;
            map->selectedNode = nullptr;
            draw();
            const Node& root = *map->root;
            const Ink inBox = inkIn({root.x, root.y, root.x + root.width, root.y + root.height}, kCaptionInk);
            EXPECT_GT(inBox.count, 100) << name;
            EXPECT_EQ(inkIn({0, 0, kWidth - 1, kHeight - 1}, kCaptionInk).count, inBox.count) << name;
            EXPECT_GE(inBox.bounds.left, root.x + 5) << name;  // the caption's inset
            EXPECT_LE(inBox.bounds.right, root.x + root.width - 5) << name;
            EXPECT_GT(inkIn({1, 731, 1379, 749}, kStatusText).count, 100) << name;

            const fs::path in = dir / "long.mind", out = dir / "long.png";
            ASSERT_TRUE(map->saveToFile(in.u16string()));
            std::string error;
            ASSERT_EQ(runExport(parseCommandLine({u"export", in.u16string(), out.u16string()}), error), 0)
                << error;
            Gfx::IMAGE decoded(1, 1);
            ASSERT_TRUE(Gfx::loadImage(&decoded, out.u16string().c_str())) << name;
            const PictureArea area = mapPictureArea(*map);
            EXPECT_EQ(decoded.width, area.width);
            int inked = 0;
            for (int i = 0; i < decoded.width * decoded.height; ++i)
                inked += decoded.pixels[i] == Gfx::colorToPixel(kCaptionInk);
            EXPECT_EQ(inked, inBox.count) << name;
            Gfx::setWorkingImage(image.get());
            applyEditorTextStyle();
        }
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

}  // namespace
