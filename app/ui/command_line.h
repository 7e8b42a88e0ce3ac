// The program's command line, parsed into what to do, with no side effects:
//   mindmap [FILE]                       the editor, with FILE opened as the open command does
//   mindmap -- FILE                      the same for a name starting with "-" (or "export")
//   mindmap --recover                    the editor, with the recovery copy opened
//   mindmap export [--as-shown] IN OUT   IN as a picture or an outline chosen by OUT's extension
//   mindmap import IN OUT.mind           another editor's outline or map as a map file
//   mindmap --help | -h,  mindmap --version | -v
#pragma once

#include <string>
#include <vector>

struct CommandLine {
    enum class Action { Edit, Help, Version, Export, Import, Invalid };

    Action action = Action::Edit;
    std::u16string file;    // Edit: the map to open; empty for a fresh map
    std::u16string input;   // Export, Import
    std::u16string output;  // Export, Import
    bool asShown = false;   // Export: the whole window as on screen instead of the map alone
    bool recover = false;   // Edit: open the recovery copy of an earlier run's unsaved work
    std::string error;      // Invalid: what is wrong, one line of UTF-8
};

// The arguments after the program's name.
CommandLine parseCommandLine(const std::vector<std::u16string>& arguments);

// The usage, in Chinese and English; the version line.
std::string usageText();
std::string versionText();

// The arguments after the program's name as UTF-16: argv (UTF-8) on Linux, the system's wide
// command line on Windows (argv there is in the console's code page and loses characters).
std::vector<std::u16string> programArguments(int argc, char** argv);

// The line that says why a map could not be opened from path: "打开失败: <path>: <reason>".
std::string openFailureLine(const std::u16string& path);
