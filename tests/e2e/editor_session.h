// Runs the real editor as a child process on an X display and drives it like a user: XTest
// pointer and key events in, window pixels (XGetImage) out. Every wait polls a condition
// against a deadline.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class EditorSession {
  public:
    using Clock = std::chrono::steady_clock;

    EditorSession();
    ~EditorSession();  // kills the editor if it still runs
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    bool connected() const { return display != nullptr; }

    // Starts the editor with workDir as its current directory and its output in stdout.txt
    // and stderr.txt there; extra environment entries ("NAME=value", or "NAME" to remove
    // one) are applied in the child.
    bool start(const std::string& program, const std::string& workDir,
               const std::vector<std::string>& env = {});
    Clock::time_point startTime() const { return started; }

    // Waits for the editor's top-level window, titled "mindmap", and gives it the keyboard.
    bool waitForWindow(std::chrono::milliseconds timeout);
    // Waits until the first whole frame is on screen (the status bar is drawn).
    bool waitForFirstFrame(std::chrono::milliseconds timeout);

    // The window's pixel as a colour 0x00BBGGRR; 0xFFFFFFFF when it cannot be read.
    std::uint32_t colourAt(int x, int y);
    // A block of the window's pixels, row by row, as colours 0x00BBGGRR; empty when unreadable.
    std::vector<std::uint32_t> colours(int x, int y, int width, int height);
    bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
    bool waitForColour(int x, int y, std::uint32_t colour, std::chrono::milliseconds timeout);
    bool waitForOtherColour(int x, int y, std::uint32_t colour, std::chrono::milliseconds timeout);

    // Pointer, in window coordinates. Button 1 left, 3 right.
    void moveTo(int x, int y);
    void click(int x, int y, unsigned button = 1);
    void buttonDown(unsigned button);
    void buttonUp(unsigned button);

    // Keys, by keysym.
    void tapKey(unsigned long keysym);
    void tapWithControl(unsigned long keysym);
    void typeAscii(const std::string& text);  // letters, digits and . / _ -
    // Characters beyond the keyboard: each gets a spare keycode mapped to its keysym. Call
    // before start(), so the editor reads the mapping when it connects; restored at the end.
    bool mapUnicodeKeys(const std::u32string& characters);
    void typeUnicode(char32_t codePoint);

    // Waits until every input sent so far has been handled and drawn: a hover over a panel
    // button and away shows up only after the messages queued before it.
    bool settle(std::chrono::milliseconds timeout);

    // What the window manager sends for the close button.
    void sendCloseRequest();

    // The editor's exit code once it has ended (and the child is reaped), or nothing when it
    // still runs at the deadline or ended by a signal.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    pid_t pid() const { return child; }
    Window window() const { return editorWindow; }
    Display* xDisplay() const { return display; }

  private:
    unsigned keycodeFor(unsigned long keysym);
    void flush();

    Display* display = nullptr;
    Window editorWindow = 0;
    pid_t child = -1;
    bool reaped = false;
    int exitStatus = 0;
    Clock::time_point started{};
    std::vector<std::pair<char32_t, unsigned>> unicodeKeys;
};

// Convenience for the tests.
inline constexpr std::chrono::milliseconds kPatience{10000};

// In a child before exec: applies "NAME=value" entries and removes "NAME" ones.
void applyEnvironment(const std::vector<std::string>& entries);
