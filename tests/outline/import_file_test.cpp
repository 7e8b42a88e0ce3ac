// Importing from a file into a map file: the map written is the one imported, and a failure
// leaves no output file, nor any change to an existing one.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/files/file_io.h"
#include "app/mapformat/map_file_format.h"
#include "app/outline/map_import.h"
#include "tests/mapfile/map_files_fixture.h"
#include "tests/outline/import_trees.h"

namespace {
class ImportFile : public MapFiles {
  protected:
    // Imports and expects a refusal that changed nothing in the folder; answers the reason.
    std::string refusedImport(const std::u16string& in, const std::u16string& out) {
        const std::size_t before = entries();
        std::string error;
        EXPECT_FALSE(importMapFile(in, out, error));
        EXPECT_EQ(entries(), before);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        return error;
    }
};

TEST_F(ImportFile, WritesTheImportedMapAsAMapFile) {
    const std::string outline = "Plan\n\tA \xE4\xB8\xAD\n\t\tA1\n\tB\n";
    write(dir / "plan.txt", outline);
    std::string error;
    ASSERT_TRUE(importMapFile(path(u"plan.txt"), path(u"计划.mind"), error)) << error;
    EXPECT_TRUE(error.empty());

    const std::string bytes = contents(dir / fs::path(u"计划.mind"));
    ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    const std::unique_ptr<Node> saved = readMapFile(bytes);
    ASSERT_NE(saved, nullptr);
    const std::unique_ptr<Node> imported = importOutline(outline, OutlineFormat::Text, error);
    ASSERT_NE(imported, nullptr);
    EXPECT_EQ(firstDifference(*imported, *saved, {true, true}), "");
    const auto want = allNodes(*imported);
    const auto got = allNodes(*saved);
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i]->x, want[i]->x);
        EXPECT_EQ(got[i]->y, want[i]->y);
        EXPECT_EQ(got[i]->width, 140);
        EXPECT_EQ(got[i]->height, 45);
    }
}

TEST_F(ImportFile, ReplacesAnExistingMapOnlyOnSuccess) {
    write(dir / "old.mind", "precious");
    write(dir / "broken.mm", "<map><node TEXT=\"a\">");
    EXPECT_NE(refusedImport(path(u"broken.mm"), path(u"old.mind")).find("broken.mm"), std::string::npos);
    EXPECT_EQ(contents(dir / "old.mind"), "precious");

    write(dir / "good.mm", "<map><node TEXT=\"a\"/></map>");
    std::string error;
    ASSERT_TRUE(importMapFile(path(u"good.mm"), path(u"old.mind"), error)) << error;
    const std::unique_ptr<Node> saved = readMapFile(contents(dir / "old.mind"));
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->text, u"a");
}

TEST_F(ImportFile, UnusableInputsAndOutputsAreRefusedByName) {
    write(dir / "notes.doc", "a\n");
    EXPECT_NE(refusedImport(path(u"notes.doc"), path(u"out.mind")).find("unknown format"), std::string::npos);
    EXPECT_NE(refusedImport(path(u"missing.txt"), path(u"out.mind")).find("no such file"), std::string::npos);
    fs::create_directory(dir / "folder.opml");
    EXPECT_NE(refusedImport(path(u"folder.opml"), path(u"out.mind")).find("directory"), std::string::npos);
    write(dir / "empty.md", "");
    EXPECT_NE(refusedImport(path(u"empty.md"), path(u"out.mind")).find("no outline items"),
              std::string::npos);

    write(dir / "fine.txt", "a\n");
    EXPECT_NE(refusedImport(path(u"fine.txt"), path(u"no-such-folder/out.mind")).find("cannot write"),
              std::string::npos);
    EXPECT_NE(refusedImport(path(u"fine.txt"), path(u"folder.opml")).find("cannot write"), std::string::npos);
}

TEST_F(ImportFile, InvalidTextIsReadAsReplacementsAndCountedInOneLine) {
    // A lone continuation byte, a lead byte cut short, an encoded surrogate (three sequences as
    // each byte is read alone), a byte no UTF-8 holds; and a U+FFFD that is valid.
    const std::string outline = "- a\x80\n  - b\xE4\xB8\n  - c\xED\xA0\x80\n  - d\xFF \xEF\xBF\xBD\n";
    for (const char* name : {"bad.md", "bad.txt"}) {
        write(dir / name, outline);
        std::string error;
        std::string notice = "left over";
        const std::u16string in = path(unicode::fromUtf8(name));
        ASSERT_TRUE(importMapFile(in, path(u"out.mind"), error, &notice)) << error;
        std::string want = "'";  // appended: GCC 12 misreads "literal" + string as overlapping copies
        want += unicode::toUtf8(in);
        want += "': 6 sequences of invalid UTF-8 read as U+FFFD";
        EXPECT_EQ(notice, want);
        const std::unique_ptr<Node> saved = readMapFile(contents(dir / "out.mind"));
        ASSERT_NE(saved, nullptr);
        std::size_t replacements = 0;
        for (const Node* node : allNodes(*saved))
            replacements += std::count(node->text.begin(), node->text.end(), u'\uFFFD');
        EXPECT_EQ(replacements, 7u) << name;  // the six and the valid one
    }

    write(dir / "bad16.txt", std::string("\xFF\xFE"
                                         "a\0\n\0"
                                         "\x00\xD8"
                                         "b\0"
                                         "c",
                                         11));
    std::string error;
    std::string notice;
    ASSERT_TRUE(importMapFile(path(u"bad16.txt"), path(u"out.mind"), error, &notice)) << error;
    EXPECT_NE(notice.find("2 sequences of invalid UTF-16"), std::string::npos) << notice;

    write(dir / "good.md", "- a \xE4\xB8\xAD \xEF\xBF\xBD\n");
    ASSERT_TRUE(importMapFile(path(u"good.md"), path(u"out.mind"), error, &notice)) << error;
    EXPECT_EQ(notice, "");
    write(dir / "one.txt", "a\xC0\n");
    ASSERT_TRUE(importMapFile(path(u"one.txt"), path(u"out.mind"), error, &notice)) << error;
    EXPECT_NE(notice.find(": 1 sequence of invalid UTF-8"), std::string::npos) << notice;
}

TEST_F(ImportFile, InputsBeyondTheFileSizeLimitAreRefused) {
    write(dir / "huge.txt", "a\n");
    fs::resize_file(dir / "huge.txt", kMaxFileBytes + 1);  // sparse: nothing is written
    EXPECT_NE(refusedImport(path(u"huge.txt"), path(u"out.mind")).find("larger than 256 MiB"),
              std::string::npos);
}
}  // namespace
