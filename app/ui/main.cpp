// Program entry: read the command line; export without a window, or open the window, open the
// file given, run the loop until Escape, shut down.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "app/render/palette.h"
#include "app/ui/command_line.h"
#include "app/ui/event_loop.h"
#include "app/ui/export_command.h"
#include "app/ui/text_style.h"
#include "graphics/graphics.h"

#ifndef _WIN32
#include <cstdlib>
#endif

namespace {

constexpr int kKeepConsole = 1;
constexpr int kUsageError = 2;

bool openEditorWindow() {
#ifndef _WIN32
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::fputs("mindmap: no X display (DISPLAY is not set); start it from a graphical session.\n",
                   stderr);
        return false;
    }
#endif
    if (Gfx::openGraphWindow(kWindowWidth, kWindowHeight, kKeepConsole) == nullptr) {
        Gfx::closeGraphWindow();  // gives back the graphics layer taken for the attempt
        std::fputs("mindmap: the graphics window could not be opened (is the X display reachable?).\n",
                   stderr);
        return false;
    }
    return true;
}

void printLine(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

int runEditor(const std::u16string& file) {
    if (!openEditorWindow()) return 1;
    Gfx::setBackgroundColor(palette::kBackground);
    applyEditorTextStyle();
    auto mindMap = std::make_unique<MindMap>();
    // A file that cannot be opened leaves the fresh map; the console says why.
    if (!file.empty() && !mindMap->loadFromFile(file)) printLine(openFailureLine(file));

    runEventLoop(*mindMap);

    Gfx::closeGraphWindow();
    mindMap.reset();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The console shows the UTF-8 lines printed here as such.
    SetConsoleOutputCP(CP_UTF8);
#endif
    const CommandLine commandLine = parseCommandLine(programArguments(argc, argv));
    switch (commandLine.action) {
        case CommandLine::Action::Help:
            std::fputs(usageText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::fputs(versionText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Invalid:
            printLine("mindmap: " + commandLine.error);
            std::fputs(usageText().c_str(), stderr);
            return kUsageError;
        case CommandLine::Action::Export: {
            std::string error;
            const int code = runExport(commandLine, error);
            if (code != 0) printLine(error);
            return code;
        }
        case CommandLine::Action::Import:
            printLine("mindmap: import is not available in this build");
            return kUsageError;
        case CommandLine::Action::Edit:
            break;
    }
    return runEditor(commandLine.file);
}
