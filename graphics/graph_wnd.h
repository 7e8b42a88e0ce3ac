// GraphWnd, the window object: the window's back buffer (an IMAGE), the holder of the input
// queue and of the batch flag, and the owner of the window thread that creates the window,
// pumps its messages and copies the back buffer to the screen.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "graphics/image.h"
#include "graphics/input_queue.h"
#include "graphics/text_caret.h"

namespace Gfx {

// Private window messages of the window class "GfxWnd".
inline constexpr UINT kArmTakeMessage = WM_USER + 1;
inline constexpr UINT kCaptureMouseMessage = WM_USER + 2;
inline constexpr UINT kReleaseMouseMessage = WM_USER + 3;
// The program closes the window: destroy it and end the window thread, not the process.
inline constexpr UINT kDestroyForProgramMessage = WM_USER + 4;
// The program's text caret moved, appeared or went away: apply `textCaret`.
inline constexpr UINT kTextCaretMessage = WM_USER + 5;

struct WindowThreadParams {
    int x;  // -1: the system chooses
    int y;
    int width;  // client size
    int height;
    bool noCloseButton;
    bool noMinimizeButton;
    bool doubleClicks;
    std::u16string title;
};

class GraphWnd : public IMAGE {
  public:
    GraphWnd();
    ~GraphWnd() override;
    // Resizes the back buffer and the window's client area.
    void resize(int width, int height) override;

    // Create step (program's thread): starts the window thread and waits until the window
    // exists. Returns the window handle, empty when the window could not be made.
    HWND create(int width, int height, const std::u16string& title, bool showConsole, bool noCloseButton,
                bool noMinimizeButton, bool doubleClicks);
    // Close step on the program's thread: the window thread destroys the window and ends, and
    // this returns after it has ended.
    void close();

    void captureMouse();
    void releaseMouse();
    // Where the program's text caret is, for the system's input method (program's thread).
    void placeTextCaret(const CaretPlace& place);

    // Copies the back buffer (or a part of it) to the window under the device lock. A copy of
    // the whole buffer settles every change made before it.
    void copyToWindow();
    void copyToWindow(int left, int top, int width, int height);

    // Under the device lock, after the back buffer's pixels changed: outside a batch the window
    // thread copies them within 17 ms; in a batch its end does.
    void noteBackBufferChanged();
    // A batch begins: no periodic copies until it ends.
    void beginBatch();
    // The batch ended: changes its copy left out wake the window thread.
    void endBatch();
    // The copy at the end of a batch that changed only these parts: with nothing left uncopied
    // from before the batch, the parts alone bring the window up to date; otherwise the whole
    // buffer goes.
    void copyChangedParts(const RECT* parts, int count);

    // Blocking take from the input queue (program's thread).
    void takeInput(InputMessage* out, BYTE filter);

    bool hadConsole;
    HANDLE wakeEvent;
    InputQueue queue;
    FILE* consoleOut;
    FILE* consoleIn;
    std::atomic<HWND> hwnd;
    HDC windowDC;
    std::atomic<bool> batchActive;
    // Set for each queued input message; the program's thread waits on it (auto-reset).
    HANDLE inputEvent;
    // Pixels changed since the last copy of the whole buffer.
    std::atomic<bool> backBufferChanged;
    // The screen lost pixels (WM_PAINT) since the last copy of the whole buffer: a copy of
    // parts alone would leave them lost.
    std::atomic<bool> windowLostPixels{false};
    // backBufferChanged when the batch began (program's thread).
    bool changedBeforeBatch = true;
    // How often the window thread woke up, and how many periodic copies it made: the idle
    // window must do neither.
    std::atomic<std::uint64_t> windowThreadWakes;
    std::atomic<std::uint64_t> periodicCopies;

  private:
    static DWORD WINAPI windowThreadMain(LPVOID parameter);
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void runMessageLoop();
    void queueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void releaseWindowResources(RECT* consolePlace, bool* consoleReappears);
    void closeByUser(HWND window);
    static void showConsoleAt(const RECT& place);

    HANDLE windowThread;
    // Wakes the window thread for a change outside a batch (auto-reset).
    HANDLE changeEvent;
    std::atomic<bool> closingForProgram;
    TextCaret textCaret;
};

// The one window object the window thread and the window procedure work for.
extern std::atomic<GraphWnd*> activeWindow;

// The process's console window, or empty.
extern std::atomic<HWND> consoleWindow;

// The window title for an executable path: its file name without the extension.
std::u16string windowTitleFromPath(std::u16string_view path);

}  // namespace Gfx
