// The export and import commands as the program runs them: a PNG goes through the map saves'
// file layer (the system's reason on failure, the old file kept), --as-shown is for PNG only,
// and imported boxes are as wide as the caption editor makes them.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/files/file_io_faults.h"
#include "app/mapformat/map_file_format.h"
#include "app/ui/drawing_target.h"
#include "app/ui/export_command.h"
#include "app/ui/import_command.h"
#include "graphics/graphics.h"
#include "tests/mapfile/map_files_fixture.h"
#include "unicode/utf.h"

namespace {

class ConversionFiles : public MapFiles {
  protected:
    std::u16string savedMap() {
        MindMap source;
        source.addChildNode();
        source.selectedNode->text = u"子节点";
        const std::u16string file = path(u"in.mind");
        EXPECT_TRUE(source.saveToFile(file));
        return file;
    }

    // Runs the export and answers its exit code; error holds the line it would print.
    int exportTo(const std::u16string& out, bool asShown = false) {
        std::vector<std::u16string> arguments{u"export", path(u"in.mind"), path(out)};
        if (asShown) arguments.insert(arguments.begin() + 1, u"--as-shown");
        error.clear();
        return runExport(parseCommandLine(arguments), error);
    }

    // The failure line names the file and gives a reason, not the codec.
    void expectSaveFailure(const std::u16string& out, const char* systemReason) {
        const std::string name = unicode::toUtf8(path(out));
        EXPECT_EQ(error.rfind("保存失败: " + name + ": ", 0), 0u) << error;
        EXPECT_EQ(error.find("codec"), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
#ifndef _WIN32
        EXPECT_NE(error.find(systemReason), std::string::npos) << error;
#else
        (void)systemReason;  // the system's own wording differs there
        EXPECT_GT(error.size(), name.size() + 16) << error;
#endif
    }

    std::string error;
};

// A PNG's width and height, from its header.
std::pair<unsigned, unsigned> pngSize(const std::string& bytes) {
    const auto at = [&bytes](std::size_t i) {
        return (unsigned{static_cast<unsigned char>(bytes[i])} << 24) |
               (unsigned{static_cast<unsigned char>(bytes[i + 1])} << 16) |
               (unsigned{static_cast<unsigned char>(bytes[i + 2])} << 8) |
               static_cast<unsigned char>(bytes[i + 3]);
    };
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    return {at(16), at(20)};
}

TEST_F(ConversionFiles, PngExportFailuresSayTheSystemsReasonAndKeepTheOldFile) {
    savedMap();
    EXPECT_EQ(exportTo(u"no-such-folder/map.png"), kExportFailed);
    expectSaveFailure(u"no-such-folder/map.png", "No such file or directory");

    fs::create_directory(dir / "taken.png");
    EXPECT_EQ(exportTo(u"taken.png"), kExportFailed);
    expectSaveFailure(u"taken.png", "Not a regular file");
    EXPECT_TRUE(fs::is_directory(dir / "taken.png"));

    // A write that fails half-way (the system says so) leaves the old picture whole and no
    // partial file beside it.
    write(dir / "old.png", "the old picture");
    const std::size_t before = entries();
    failFileStep(FileStep::write, 1, true);
    EXPECT_EQ(exportTo(u"old.png"), kExportFailed);
    const bool struck = fileStepFailed();
    failFileStep(FileStep::write, 0);
    EXPECT_TRUE(struck);
    expectSaveFailure(u"old.png", "Input/output error");
    EXPECT_EQ(contents(dir / "old.png"), "the old picture");
    EXPECT_EQ(entries(), before);

    // Once writable, the picture replaces it.
    EXPECT_EQ(exportTo(u"old.png"), 0) << error;
    EXPECT_NE(pngSize(contents(dir / "old.png")).first, 0u);

#ifndef _WIN32
    fs::create_directory(dir / "locked");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    write(dir / "locked" / "probe", "x");
    if (fs::exists(dir / "locked" / "probe")) GTEST_SKIP() << "running with the right to write anywhere";
    EXPECT_EQ(exportTo(u"locked/map.png"), kExportFailed);
    expectSaveFailure(u"locked/map.png", "Permission denied");
    EXPECT_TRUE(fs::is_empty(dir / "locked"));
#endif
}

TEST_F(ConversionFiles, TheBytesEncodedInMemoryAreThePngSaveImageWrites) {
    DrawingTarget target(37, 21);
    ASSERT_TRUE(target.ready());
    Gfx::setFillColor(0x3366CC);
    Gfx::solidRectangle(5, 4, 30, 17);
    std::string bytes;
    ASSERT_TRUE(Gfx::encodeImagePng(bytes, &target.image));
    ASSERT_TRUE(Gfx::saveImage(path(u"saved.png").c_str(), &target.image));
    EXPECT_EQ(bytes, contents(dir / "saved.png"));
    EXPECT_EQ(pngSize(bytes), std::make_pair(37u, 21u));

    // And it reads back as the same pixels.
    Gfx::IMAGE back(1, 1);
    write(dir / "memory.png", bytes);
    ASSERT_TRUE(Gfx::loadImage(&back, path(u"memory.png").c_str()));
    ASSERT_EQ(back.width, 37);
    ASSERT_EQ(back.height, 21);
    for (int i = 0; i < 37 * 21; ++i) ASSERT_EQ(back.pixels[i], target.image.pixels[i] & 0xFFFFFFu) << i;
}

TEST_F(ConversionFiles, AsShownIsForPngOnly) {
    savedMap();
    write(dir / "kept.svg", "an older drawing");
    const std::size_t before = entries();
    for (const char16_t* out : {u"kept.svg", u"new.svg", u"new.md", u"new.opml", u"new.txt", u"new.mm"}) {
        EXPECT_EQ(exportTo(out, true), kExportRefused) << unicode::toUtf8(out);
        EXPECT_NE(error.find("--as-shown"), std::string::npos) << error;
        EXPECT_NE(error.find(".png only"), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(contents(dir / "kept.svg"), "an older drawing");

    EXPECT_EQ(exportTo(u"kept.svg"), 0) << error;
    EXPECT_NE(contents(dir / "kept.svg").find("<svg"), std::string::npos);
    EXPECT_EQ(exportTo(u"window.png", true), 0) << error;
    EXPECT_EQ(pngSize(contents(dir / "window.png")), std::make_pair(1380u, 750u));
}

TEST_F(ConversionFiles, ImportedBoxesAreAsWideAsTheCaptionEditorMakesThem) {
    write(dir / "in.mm",
          "<map><node TEXT=\"中心\"><node TEXT=\"\"/><node TEXT=\"A caption of middling length\" "
          "FOLDED=\"true\"><node TEXT=\"" +
              std::string(120, 'w') + "\"/></node><node TEXT=\"短 short\"/></node></map>");
    std::string failure;
    std::string notice;
    ASSERT_TRUE(runImport(parseCommandLine({u"import", path(u"in.mm"), path(u"out.mind")}), failure, notice))
        << failure;
    EXPECT_EQ(notice, "");
    const std::unique_ptr<Node> root = readMapFile(contents(dir / "out.mind"));
    ASSERT_NE(root, nullptr);

    const DrawingTarget measuring(1, 1);
    MindMap editor;
    std::vector<Node*> pending{root.get()};
    std::set<std::int32_t> widths;
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        editor.root->text = node->text;
        editor.updateNodeWidth(editor.root);
        EXPECT_EQ(node->width, editor.root->width) << unicode::toUtf8(node->text);
        widths.insert(node->width);
        pending.insert(pending.end(), node->children.begin(), node->children.end());
    }
    EXPECT_EQ(*widths.begin(), 120);
    EXPECT_EQ(*widths.rbegin(), 300);
    EXPECT_GE(widths.size(), 3u);
}

}  // namespace
