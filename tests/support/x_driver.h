// The tests' one X driver: a connection of their own to the X server that finds windows, reads
// their pixels and sends real input through XTest, as a user's server would deliver it. Every
// wait has a deadline and, when it runs out, says on standard error what it waited for and
// what it saw last.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

struct _XDisplay;  // Xlib's Display, kept out of the tests' namespace with its macros

namespace mmtest {

using XWindow = unsigned long;
using Milliseconds = std::chrono::milliseconds;

inline constexpr Milliseconds kPatience{5000};

// Polls until the condition holds or the time is up; true when it held. A condition that runs
// a program asks for a longer pause between polls.
bool waitUntil(const std::function<bool()>& condition, Milliseconds timeout = kPatience,
               Milliseconds pause = Milliseconds(2));
// The same, and when the time is up prints "waited N ms for <what>; <lastSeen()>".
bool waitFor(const std::string& what, const std::function<bool()>& condition,
             const std::function<std::string()>& lastSeen, Milliseconds timeout = kPatience,
             Milliseconds pause = Milliseconds(2));

// "rgb(70, 130, 180)" for 0xRRGGBB: no doubt about the byte order in a failure message.
std::string describeRgb(std::uint32_t rgb);

struct ScreenRect {
    int x, y, width, height;
};

class XDriver {
  public:
    // Opens $DISPLAY, trying again while a busy or resetting server refuses connections.
    XDriver();
    // Releases what it still holds down and gives back the keycodes it mapped.
    ~XDriver();
    XDriver(const XDriver&) = delete;
    XDriver& operator=(const XDriver&) = delete;

    // Whether an X display can be reached at all; tests skip themselves otherwise.
    static bool available();

    bool ok() const { return display_ != nullptr; }
    _XDisplay* display() const { return display_; }
    // Returns once the server has handled every request sent so far.
    void sync();

    // A viewable window titled so (_NET_WM_NAME or WM_NAME), the topmost first; with a pid,
    // only one whose _NET_WM_PID says it belongs to that process. 0 when there is none.
    XWindow windowTitled(const std::string& title, pid_t pid = 0);
    // The same, waiting until one shows.
    XWindow findWindow(const std::string& title, Milliseconds timeout = kPatience, pid_t pid = 0);
    XWindow rootWindow();
    bool isViewable(XWindow window);
    void clientSize(XWindow window, int* width, int* height);
    // Where the window is on the screen, and its size.
    ScreenRect screenRect(XWindow window);
    void focus(XWindow window);
    // What a window manager sends when the close button is pressed.
    void sendCloseRequest(XWindow window);
    // The items of a property of 32-bit format (as Xlib hands them: longs) of that type; empty
    // when the window has none.
    std::vector<long> longProperty(XWindow window, const std::string& name, const std::string& type);

    // Pixels as 0xRRGGBB; kUnreadable (a block: empty) when the window cannot be read.
    static constexpr std::uint32_t kUnreadable = 0xFFFFFFFF;
    std::uint32_t pixel(XWindow window, int x, int y);
    // Row by row.
    std::vector<std::uint32_t> pixels(XWindow window, int x, int y, int width, int height);
    bool waitForPixel(XWindow window, int x, int y, std::uint32_t expected, Milliseconds timeout = kPatience);
    // Waits until the pixel is readable and no longer `colour`.
    bool waitForPixelOtherThan(XWindow window, int x, int y, std::uint32_t colour,
                               Milliseconds timeout = kPatience);

    // Keys by keysym (XK_...).
    void key(unsigned long keysym, bool press);
    // Holds the modifiers (XK_Control_L, XK_Shift_L, ...) down around a tap of the key.
    void tap(unsigned long keysym, std::initializer_list<unsigned long> modifiers = {});
    // Printable ASCII, with Shift where the keyboard has the character on its second level.
    void type(const std::string& ascii);
    // Characters beyond the keyboard: each gets a spare keycode mapped to its Unicode keysym
    // while the driver lives. A client reads the mapping when it connects: map them before
    // starting a program that is to read them. False when the spare keycodes run out.
    bool mapCharacters(const std::u32string& characters);
    // Types one character that mapCharacters mapped; false for another.
    bool typeCharacter(char32_t character);
    // A spare keycode whose only symbol is `keysym`, as a key of another layout has it (the
    // German keyboard's '+' key types plus unshifted); false when none is spare. Given back at
    // the driver's end, like the characters' keys.
    bool mapKeysym(unsigned long keysym);
    // Taps the key mapKeysym gave the symbol, with the modifiers held around it; false when it
    // has none.
    bool tapMapped(unsigned long keysym, std::initializer_list<unsigned long> modifiers = {});
    // Releases every key and button the server holds down, whoever pressed them.
    void releaseEverything();

    // The pointer, in window coordinates (translated to the screen's) or screen coordinates.
    void movePointer(XWindow window, int x, int y);
    void movePointerOnScreen(int x, int y);
    // Buttons: 1 left, 2 middle, 3 right, 4 and 5 the wheel away from and towards the user.
    void button(unsigned number, bool press);
    void click(unsigned number = 1);
    void clickAt(XWindow window, int x, int y, unsigned number = 1);
    // Presses at `from`, moves through the midpoint to `to` and releases there.
    void drag(XWindow window, int fromX, int fromY, int toX, int toY, unsigned number = 1);
    // Turns the wheel where the pointer is, one button click a step: away from the user
    // (button 4) for positive steps, towards them (button 5) for negative ones; the modifiers
    // are held down around the whole turn.
    void wheel(int steps, std::initializer_list<unsigned long> modifiers = {});

  private:
    void keycode(unsigned code, bool press);
    bool mapSpareKeys(const std::vector<unsigned long>& keysyms);

    _XDisplay* display_ = nullptr;
    std::vector<std::pair<unsigned long, unsigned>> mappedKeys_;  // keysym, keycode
    std::vector<unsigned> heldKeys_;
    std::vector<unsigned> heldButtons_;
};

}  // namespace mmtest

// The names the graphics window tests know the driver by.
namespace Gfx::testing {

using XDisplay = mmtest::XDriver;
using XWindow = mmtest::XWindow;

template <typename Condition>
bool waitUntil(Condition condition, int timeoutMs = 5000) {
    return mmtest::waitUntil(condition, std::chrono::milliseconds(timeoutMs));
}

}  // namespace Gfx::testing
