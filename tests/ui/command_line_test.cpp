// The command line: what each form of arguments asks for, why a file does not open, and an
// export that fails leaving no output behind.
#include "app/ui/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/ui/export_command.h"
#include "tests/mapfile/map_files_fixture.h"
#include "unicode/utf.h"

namespace {

using Action = CommandLine::Action;

CommandLine parse(std::vector<std::u16string> arguments) {
    return parseCommandLine(arguments);
}

TEST(CommandLineParsing, EditorWithOrWithoutAFile) {
    EXPECT_EQ(parse({}).action, Action::Edit);
    EXPECT_EQ(parse({}).file, u"");
    const CommandLine one = parse({u"笔记 notes.mind"});
    EXPECT_EQ(one.action, Action::Edit);
    EXPECT_EQ(one.file, u"笔记 notes.mind");
    // After --, names that look like options or subcommands are files.
    EXPECT_EQ(parse({u"--", u"-odd.mind"}).file, u"-odd.mind");
    EXPECT_EQ(parse({u"--", u"export"}).file, u"export");
    EXPECT_EQ(parse({u"--", u"--"}).file, u"--");
    EXPECT_EQ(parse({u"-"}).file, u"-");
}

TEST(CommandLineParsing, HelpVersionAndMistakes) {
    EXPECT_EQ(parse({u"--help"}).action, Action::Help);
    EXPECT_EQ(parse({u"-h"}).action, Action::Help);
    EXPECT_EQ(parse({u"a.mind", u"--help"}).action, Action::Help);
    EXPECT_EQ(parse({u"--version"}).action, Action::Version);
    EXPECT_EQ(parse({u"-v"}).action, Action::Version);
    EXPECT_EQ(parse({u"--", u"--help"}).action, Action::Edit);

    const CommandLine unknown = parse({u"-odd.mind"});
    EXPECT_EQ(unknown.action, Action::Invalid);
    EXPECT_NE(unknown.error.find("-odd.mind"), std::string::npos);
    EXPECT_NE(unknown.error.find("--"), std::string::npos);  // says how to open it
    EXPECT_EQ(parse({u"a.mind", u"b.mind"}).action, Action::Invalid);
    EXPECT_EQ(parse({u""}).action, Action::Invalid);

    const std::string usage = usageText();
    EXPECT_NE(usage.find("用法"), std::string::npos);
    EXPECT_NE(usage.find("Usage"), std::string::npos);
    EXPECT_NE(versionText().find("mindmap "), std::string::npos);
}

TEST(CommandLineParsing, ExportAndImportTakeTwoPathsAndTheirOptions) {
    const CommandLine plain = parse({u"export", u"in.mind", u"out.png"});
    EXPECT_EQ(plain.action, Action::Export);
    EXPECT_EQ(plain.input, u"in.mind");
    EXPECT_EQ(plain.output, u"out.png");
    EXPECT_FALSE(plain.asShown);
    const CommandLine shown = parse({u"export", u"in.mind", u"--as-shown", u"out.png"});
    EXPECT_TRUE(shown.asShown);
    EXPECT_EQ(shown.output, u"out.png");
    const CommandLine dashed = parse({u"export", u"--", u"-in.mind", u"--as-shown"});
    EXPECT_EQ(dashed.input, u"-in.mind");
    EXPECT_EQ(dashed.output, u"--as-shown");
    EXPECT_FALSE(dashed.asShown);

    const CommandLine import = parse({u"import", u"in.opml", u"out.mind"});
    EXPECT_EQ(import.action, Action::Import);
    EXPECT_EQ(import.input, u"in.opml");
    EXPECT_EQ(import.output, u"out.mind");
    EXPECT_EQ(parse({u"import", u"--as-shown", u"a", u"b"}).action, Action::Invalid);

    for (const std::vector<std::u16string>& wrong : {std::vector<std::u16string>{u"export"},
                                                     {u"export", u"in.mind"},
                                                     {u"export", u"a", u"b", u"c"},
                                                     {u"export", u"-x", u"a", u"b"},
                                                     {u"import", u"a"},
                                                     {u"export", u"", u"b.png"}}) {
        EXPECT_EQ(parse(wrong).action, Action::Invalid) << unicode::toUtf8(wrong.back());
    }
}

TEST(ExportFormats, ChosenByTheExtensionInAnyCase) {
    EXPECT_EQ(exportFormatForPath(u"a.png"), ExportFormat::Png);
    EXPECT_EQ(exportFormatForPath(u"dir.d/A.PNG"), ExportFormat::Png);
    EXPECT_EQ(exportFormatForPath(u"a.Svg"), ExportFormat::Svg);
    EXPECT_EQ(exportFormatForPath(u"a.opml"), ExportFormat::Opml);
    EXPECT_EQ(exportFormatForPath(u"a.md"), ExportFormat::Markdown);
    EXPECT_EQ(exportFormatForPath(u"a.txt"), ExportFormat::Text);
    EXPECT_EQ(exportFormatForPath(u"a.mm"), ExportFormat::FreeMind);
    EXPECT_EQ(exportFormatForPath(u"a.mind"), ExportFormat::Unknown);
    EXPECT_EQ(exportFormatForPath(u"png"), ExportFormat::Unknown);
    EXPECT_EQ(exportFormatForPath(u"dir.png/file"), ExportFormat::Unknown);
}

class CommandLineFiles : public MapFiles {
  protected:
    // A map with a child, saved under name.
    std::u16string savedMap(const std::u16string& name) {
        MindMap source;
        source.addChildNode();
        source.selectedNode->text = u"子节点 & <child>";
        const std::u16string file = path(name);
        EXPECT_TRUE(source.saveToFile(file));
        return file;
    }

    static CommandLine exportOf(const std::u16string& in, const std::u16string& out) {
        return parseCommandLine({u"export", in, out});
    }
};

TEST_F(CommandLineFiles, OpenFailuresSayWhyInOneLine) {
    const std::string missing = openFailureLine(path(u"missing.mind"));
    EXPECT_EQ(missing.rfind("打开失败: ", 0), 0u) << missing;
    EXPECT_NE(missing.find("missing.mind: "), std::string::npos);
    EXPECT_EQ(missing.find('\n'), std::string::npos);

    fs::create_directory(dir / "folder.mind");
    const std::string folder = openFailureLine(path(u"folder.mind"));
    EXPECT_NE(folder, missing);
    EXPECT_NE(folder.find("folder.mind: "), std::string::npos);

    write(dir / "empty.mind", "");
    const std::string empty = openFailureLine(path(u"empty.mind"));
    EXPECT_NE(empty.find("no map"), std::string::npos) << empty;

#ifndef _WIN32
    write(dir / "locked.mind", "x");
    fs::permissions(dir / "locked.mind", fs::perms::none);
    if (std::ifstream(dir / "locked.mind")) GTEST_SKIP() << "running with the right to read any file";
    const std::string locked = openFailureLine(path(u"locked.mind"));
    EXPECT_NE(locked.find("ermission"), std::string::npos) << locked;
#endif
}

TEST_F(CommandLineFiles, FailedExportsWriteNothing) {
    const std::u16string in = savedMap(u"in.mind");
    std::string error;
    EXPECT_EQ(runExport(exportOf(path(u"missing.mind"), path(u"out.png")), error), kExportFailed);
    EXPECT_EQ(error.rfind("打开失败: ", 0), 0u) << error;
    EXPECT_EQ(runExport(exportOf(in, path(u"out.doc")), error), kExportRefused);
    fs::create_directory(dir / "folder");
    EXPECT_EQ(runExport(exportOf(path(u"folder"), path(u"out.md")), error), kExportFailed);
    EXPECT_EQ(entries(), 2u);  // in.mind and folder: no output, no partial file

    // An output that cannot be replaced (a folder of that name) stays as it was.
    fs::create_directory(dir / "taken.png");
    fs::create_directory(dir / "taken.txt");
    EXPECT_EQ(runExport(exportOf(in, path(u"taken.png")), error), kExportFailed);
    EXPECT_EQ(runExport(exportOf(in, path(u"taken.txt")), error), kExportFailed);
    EXPECT_TRUE(fs::is_directory(dir / "taken.png"));
    EXPECT_EQ(entries(), 4u);

    // A map whose picture passes the size limit is refused before anything is drawn.
    MindMap wide;
    wide.addChildNode();
    wide.selectedNode->x = 100000;
    const std::u16string wideFile = path(u"wide.mind");
    ASSERT_TRUE(wide.saveToFile(wideFile));
    EXPECT_EQ(runExport(exportOf(wideFile, path(u"wide.png")), error), kExportRefused);
    EXPECT_NE(error.find("16384"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(dir / "wide.png"));
}

TEST_F(CommandLineFiles, EveryFormatIsWrittenUnderANonAsciiName) {
    const std::u16string in = savedMap(u"导图.mind");
    for (const char16_t* name : {u"图.png", u"图.svg", u"图.opml", u"图.md", u"图.txt", u"图.mm"}) {
        std::string error;
        EXPECT_EQ(runExport(exportOf(in, path(name)), error), 0) << error;
        const std::string bytes = contents(dir / fs::path(std::u16string(name)));
        EXPECT_FALSE(bytes.empty()) << unicode::toUtf8(name);
        if (exportFormatForPath(name) != ExportFormat::Png) {
            EXPECT_NE(bytes.find("子节点"), std::string::npos) << unicode::toUtf8(name);
        }
    }
    EXPECT_EQ(contents(dir / u"图.png").substr(1, 3), "PNG");
    EXPECT_EQ(contents(dir / u"图.txt"), "中心主题\n\t子节点 & <child>\n");
    EXPECT_EQ(entries(), 7u);  // no partial file left beside them
}

}  // namespace
