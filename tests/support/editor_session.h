// The real editor as a child process on the X display, driven like a user through the X driver:
// pointer and keys in, the window's pixels out, every wait against a deadline.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/x_driver.h"

namespace mmtest {

// The editor's colours as its RGB() makes them (0x00BBGGRR), the way the session reports them.
enum EditorColour : std::uint32_t {
    kWhite = 0xFFFFFF,
    kSelected = 0xB48246,
    kDefaultFill = 0xDCDCDC,
    kGreen = 0xB4DCB4,
    kBoxFill = 0xF0F0F0,
    kTextBoxOutline = 0x969696,
};

// Where a node box at (x, y) shows its fill, clear of its caption, grid lines and connectors.
constexpr int probeX(int nodeX) {
    return nodeX + 3;
}
constexpr int probeY(int nodeY) {
    return nodeY + 42;
}

// Enough for a loaded machine; Wine asks for more.
inline constexpr Milliseconds kEditorPatience{10000};

class EditorSession {
  public:
    using Clock = std::chrono::steady_clock;

    // Whose window waitForWindow takes: the started process's own (by _NET_WM_PID), or any
    // titled "mindmap" (a launcher, such as Wine, runs the editor in another process).
    enum class WindowOwner { StartedProcess, Anyone };

    EditorSession() = default;
    ~EditorSession();  // kills the editor if it still runs
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    bool connected() const { return x.ok(); }

    // Starts the program with workDir as its current directory and its output in stdout.txt
    // and stderr.txt there; extra environment entries ("NAME=value", or "NAME" to remove one)
    // are applied in the child, after XDG_STATE_HOME=workDir/state (the editor's state folder
    // is the test's own unless an entry says otherwise); args follow the program's name.
    bool start(const std::string& program, const std::string& workDir,
               const std::vector<std::string>& env = {}, const std::vector<std::string>& args = {});
    Clock::time_point startTime() const { return started; }

    // Waits for the editor's window, titled "mindmap", and gives it the keyboard.
    bool waitForWindow(Milliseconds timeout, WindowOwner owner = WindowOwner::StartedProcess);
    // Waits until the first whole frame is on screen (the status bar is drawn).
    bool waitForFirstFrame(Milliseconds timeout);

    // The window's pixel as 0x00BBGGRR; XDriver::kUnreadable when it cannot be read.
    std::uint32_t colourAt(int x, int y);
    // A block of the window's pixels, row by row, as 0x00BBGGRR; empty when unreadable.
    std::vector<std::uint32_t> colours(int x, int y, int width, int height);
    bool waitForColour(int x, int y, std::uint32_t colour, Milliseconds timeout);
    bool waitForOtherColour(int x, int y, std::uint32_t colour, Milliseconds timeout);

    // Pointer, in window coordinates (outside the window too). Button 1 left, 2 middle, 3 right.
    void moveTo(int x, int y);
    void click(int x, int y, unsigned button = 1);
    void drag(int fromX, int fromY, int toX, int toY, unsigned button = 1);
    // A drag in steps of one's own: the button pressed or released where the pointer goes.
    void press(int x, int y, unsigned button = 1);
    void release(int x, int y, unsigned button = 1);
    // Wheel steps at a point, positive away from the user, with the modifiers held around them.
    void wheel(int x, int y, int steps, std::initializer_list<unsigned long> modifiers = {});

    // Keys, by keysym; characters, as XDriver types them.
    void tap(unsigned long keysym, std::initializer_list<unsigned long> modifiers = {});
    void type(const std::string& ascii);

    // Waits until every input sent so far has been handled and drawn: a hover over a panel
    // button and away shows up only after the messages queued before it.
    bool settle(Milliseconds timeout);

    // The path dialog (Ctrl+S, Ctrl+O, the panel's save and open).
    bool waitForPathDialog(Milliseconds timeout);
    bool waitForPathDialogClosed(Milliseconds timeout);
    // Types the path into the open dialog and presses its OK.
    bool enterPath(const std::string& path, Milliseconds timeout);

    // What the window manager sends for the close button.
    void sendCloseRequest();

    // The program's exit code once it has ended (and is reaped), or nothing when it still runs
    // at the deadline or ended by a signal.
    std::optional<int> waitForExit(Milliseconds timeout);
    pid_t pid() const { return child; }
    // The signal that ended the program (after waitForExit found it ended so), else 0.
    int endSignal() const { return endSignal_; }
    XWindow window() const { return editorWindow; }

    // The session's own connection: the editor is started after its keys are mapped.
    XDriver x;

  private:
    XWindow editorWindow = 0;
    pid_t child = -1;
    bool reaped = false;
    int exitStatus = 0;
    int endSignal_ = 0;
    Clock::time_point started{};
};

// In a child before exec: applies "NAME=value" entries and removes "NAME" ones.
void applyEnvironment(const std::vector<std::string>& entries);

}  // namespace mmtest
