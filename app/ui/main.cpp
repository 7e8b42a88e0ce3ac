// Program entry: read the command line; export without a window, or open the window, open the
// file given, run the loop until Escape, shut down.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "app/outline/map_import.h"
#include "app/recovery/map_snapshot.h"
#include "app/recovery/recovery_copy.h"
#include "app/recovery/recovery_files.h"
#include "app/render/palette.h"
#include "app/ui/character_locale.h"
#include "app/ui/command_line.h"
#include "app/ui/event_loop.h"
#include "app/ui/export_command.h"
#include "app/ui/import_command.h"
#include "app/ui/program_end.h"
#include "app/ui/recovery_offer_input.h"
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

void keepWorkBeforeClosing() {
    keepUnsavedWork();
}

int runEditor(const CommandLine& commandLine) {
    sweepDiscardedRecoveryFiles();
    // The lock first: an editor starting meanwhile sees this one as running.
    RecoveryCopy recovery(recoveryCopyPath());
    std::vector<LeftRecoveryFile> left = leftRecoveryFiles();
    if (commandLine.recover && left.empty()) {
        printLine("mindmap: 没有可找回的恢复副本 / there is no recovery copy to open");
        return 1;
    }
    if (!openEditorWindow()) return 1;
    Gfx::setBackgroundColor(palette::kBackground);
    applyEditorTextStyle();
    auto mindMap = std::make_unique<MindMap>();
    keepWorkAtEveryEnd(recovery);
    Gfx::setUserCloseHandler(keepWorkBeforeClosing);
    // A file that cannot be opened leaves the fresh map; opening says why on the console.
    if (commandLine.recover) {
        // The newest; the others stay on offer.
        mindMap->loadFromFile(left.front().path);
        left.erase(left.begin());
    } else if (!commandLine.file.empty()) {
        mindMap->loadFromFile(commandLine.file);
    }
    announceRecoveryCopies(left);
    // The window offers them too: a desktop start has no console to read.
    RecoveryOffer offer = makeRecoveryOffer(left);
    mindMap->recoveryOffer = &offer;
    publishSnapshot(*mindMap);

    runEventLoop(*mindMap, &recovery);

    // The window goes first; the work is written after it.
    Gfx::setUserCloseHandler(nullptr);
    Gfx::closeGraphWindow();
    keepUnsavedWork();
    stopKeepingWork();
    mindMap->recoveryOffer = nullptr;
    mindMap.reset();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    useUtf8CharacterLocale();  // before any thread
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
        case CommandLine::Action::Import: {
            std::string error;
            std::string notice;
            if (runImport(commandLine, error, notice)) {
                if (!notice.empty()) printLine("mindmap: " + notice);
                return 0;
            }
            printLine("mindmap: " + error);
            return 1;
        }
        case CommandLine::Action::Edit:
            break;
    }
    return runEditor(commandLine);
}
