#include "tests/support/editor_session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace mmtest {

namespace {

struct Spot {
    int x, y;
};

// The status bar, drawn last in every frame, and its fill.
constexpr Spot kStatusBar{1375, 745};
constexpr std::uint32_t kStatusFill = 0xF0F0F0;

// The grey "撤销" button and its hover fill: the settle probe.
constexpr Spot kUndoButton{14, 337};
constexpr std::uint32_t kUndoFill = 0xC8C8C8;
constexpr std::uint32_t kUndoHover = 0xB4B4B4;

// The path dialog's box, its white input field and its OK button.
constexpr Spot kDialogBox{425, 155};
constexpr Spot kDialogField{790, 225};
constexpr Spot kDialogOk{520, 290};

// The X server's 0xRRGGBB and the editor's 0x00BBGGRR are the same colour with red and blue
// swapped either way.
std::uint32_t swapRedBlue(std::uint32_t colour) {
    if (colour == XDriver::kUnreadable) return colour;
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

}  // namespace

void applyEnvironment(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        const auto eq = entry.find('=');
        if (eq == std::string::npos) {
            unsetenv(entry.c_str());
        } else {
            setenv(entry.substr(0, eq).c_str(), entry.substr(eq + 1).c_str(), 1);
        }
    }
}

EditorSession::~EditorSession() {
    if (child > 0 && !reaped) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

bool EditorSession::start(const std::string& program, const std::string& workDir,
                          const std::vector<std::string>& env, const std::vector<std::string>& args) {
    started = Clock::now();
    reaped = false;  // a session can start the program again once it ended
    endSignal_ = 0;
    editorWindow = 0;
    // What the editor keeps between runs (its recovery copy) stays in the test's own folder.
    std::vector<std::string> environment{"XDG_STATE_HOME=" + workDir + "/state"};
    environment.insert(environment.end(), env.begin(), env.end());
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    child = fork();
    if (child < 0) return false;
    if (child == 0) {
        if (chdir(workDir.c_str()) != 0) _exit(126);
        applyEnvironment(environment);
        const int devNull = open("/dev/null", O_RDONLY);
        if (devNull >= 0) dup2(devNull, STDIN_FILENO);
        const int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) dup2(out, STDOUT_FILENO);
        const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) dup2(err, STDERR_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return true;
}

bool EditorSession::waitForWindow(Milliseconds timeout, WindowOwner owner) {
    if (!x.ok()) return false;
    editorWindow = x.findWindow("mindmap", timeout, owner == WindowOwner::StartedProcess ? child : 0);
    if (editorWindow == 0) return false;
    x.focus(editorWindow);
    return true;
}

bool EditorSession::waitForFirstFrame(Milliseconds timeout) {
    return waitForColour(kStatusBar.x, kStatusBar.y, kStatusFill, timeout);
}

std::uint32_t EditorSession::colourAt(int atX, int atY) {
    return swapRedBlue(x.pixel(editorWindow, atX, atY));
}

std::vector<std::uint32_t> EditorSession::colours(int atX, int atY, int width, int height) {
    std::vector<std::uint32_t> block = x.pixels(editorWindow, atX, atY, width, height);
    for (std::uint32_t& colour : block) colour = swapRedBlue(colour);
    return block;
}

bool EditorSession::waitForColour(int atX, int atY, std::uint32_t colour, Milliseconds timeout) {
    return x.waitForPixel(editorWindow, atX, atY, swapRedBlue(colour), timeout);
}

bool EditorSession::waitForOtherColour(int atX, int atY, std::uint32_t colour, Milliseconds timeout) {
    return x.waitForPixelOtherThan(editorWindow, atX, atY, swapRedBlue(colour), timeout);
}

void EditorSession::moveTo(int atX, int atY) {
    x.movePointer(editorWindow, atX, atY);
}

void EditorSession::click(int atX, int atY, unsigned button) {
    x.clickAt(editorWindow, atX, atY, button);
}

void EditorSession::drag(int fromX, int fromY, int toX, int toY, unsigned button) {
    x.drag(editorWindow, fromX, fromY, toX, toY, button);
}

void EditorSession::press(int atX, int atY, unsigned button) {
    moveTo(atX, atY);
    x.button(button, true);
}

void EditorSession::release(int atX, int atY, unsigned button) {
    moveTo(atX, atY);
    x.button(button, false);
}

void EditorSession::wheel(int atX, int atY, int steps, std::initializer_list<unsigned long> modifiers) {
    moveTo(atX, atY);
    x.wheel(steps, modifiers);
}

void EditorSession::tap(unsigned long keysym, std::initializer_list<unsigned long> modifiers) {
    x.tap(keysym, modifiers);
}

void EditorSession::type(const std::string& ascii) {
    x.type(ascii);
}

bool EditorSession::settle(Milliseconds timeout) {
    moveTo(kUndoButton.x + 80, kUndoButton.y - 10);
    if (!waitForColour(kUndoButton.x, kUndoButton.y, kUndoHover, timeout)) return false;
    moveTo(1300, 700);
    return waitForColour(kUndoButton.x, kUndoButton.y, kUndoFill, timeout);
}

bool EditorSession::waitForPathDialog(Milliseconds timeout) {
    return waitFor(
        "the path dialog",
        [&] {
            return colourAt(kDialogBox.x, kDialogBox.y) == kBoxFill &&
                   colourAt(kDialogField.x, kDialogField.y) == kWhite;
        },
        [&] {
            return "its box shows " + describeRgb(swapRedBlue(colourAt(kDialogBox.x, kDialogBox.y))) +
                   ", its field " + describeRgb(swapRedBlue(colourAt(kDialogField.x, kDialogField.y)));
        },
        timeout);
}

bool EditorSession::waitForPathDialogClosed(Milliseconds timeout) {
    return waitForOtherColour(kDialogBox.x, kDialogBox.y, kBoxFill, timeout);
}

bool EditorSession::enterPath(const std::string& path, Milliseconds timeout) {
    if (!waitForPathDialog(timeout)) return false;
    type(path);
    if (!settle(timeout)) return false;
    click(kDialogOk.x, kDialogOk.y);
    return true;
}

void EditorSession::sendCloseRequest() {
    x.sendCloseRequest(editorWindow);
}

std::optional<int> EditorSession::waitForExit(Milliseconds timeout) {
    if (child <= 0) return std::nullopt;
    const bool ended = waitFor(
        "the program (pid " + std::to_string(child) + ") to end",
        [&] {
            if (!reaped && waitpid(child, &exitStatus, WNOHANG) == child) reaped = true;
            return reaped;
        },
        [] { return std::string("it still runs"); }, timeout);
    if (!ended) return std::nullopt;
    if (!WIFEXITED(exitStatus)) {
        endSignal_ = WTERMSIG(exitStatus);
        std::fprintf(stderr, "the program (pid %d) ended by signal %d\n", static_cast<int>(child),
                     WTERMSIG(exitStatus));
        return std::nullopt;
    }
    return WEXITSTATUS(exitStatus);
}

}  // namespace mmtest
