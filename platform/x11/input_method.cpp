#include "platform/x11/input_method.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"

namespace platform::x11 {

namespace {

struct InputMethod {
    XIM im = nullptr;
    // True when `im` is the one XMODIFIERS asks for; false for Xlib's own stand-by, which
    // the chosen server replaces once it is there.
    bool chosen = false;
    Atom serversAtom = None;
    // The chosen server is asked for its locales before it is opened (see askChosenServer).
    ::Window askingWindow = None;
    Atom answerProperty = None;
    Atom serverSelection = None;  // "@server=<name>" of the chosen server once asked
};

InputMethod& state() {
    static auto* instance = new InputMethod;  // used by threads that may outlive main
    return *instance;
}

// An input method is bound to the character locale it was opened under: under "C" fcitx and
// ibus accept the connection but their committed text never converts. The program sets a
// UTF-8 character locale once at its start, before any thread; nothing here switches it, as
// setlocale is not safe while other threads run. Xutf8LookupString answers in UTF-8.
XIM openInputMethod(Display* display, const char* modifiers) {
    if (!XSupportsLocale() || XSetLocaleModifiers(modifiers) == nullptr) return nullptr;
    return XOpenIM(display, nullptr, nullptr, nullptr);
}

// The server XMODIFIERS names ("@im=fcitx": "fcitx"); empty for Xlib's own input method.
std::string chosenServer() {
    const char* modifiers = std::getenv("XMODIFIERS");
    if (modifiers == nullptr) return {};
    const char* at = std::strstr(modifiers, "@im=");
    if (at == nullptr) return {};
    std::string name(at + 4);
    name = name.substr(0, name.find('@'));
    return name == "none" || name == "local" ? std::string() : name;
}

void forgetContexts() {
    for (WindowRecord* window : user32::allWindows()) window->inputContext = nullptr;
}

// A server that goes away takes its input contexts with it; forget them so nothing uses them
// again. Keys then type through the keyboard map alone until a server is back.
void onDestroyed(XIM, XPointer, XPointer) {
    state().im = nullptr;
    state().chosen = false;
    forgetContexts();
}

void adopt(XIM im, bool chosen) {
    state().im = im;
    state().chosen = chosen;
    XIMCallback destroyed{nullptr, onDestroyed};
    XSetIMValues(im, XNDestroyCallback, &destroyed, nullptr);
}

}  // namespace

// Xlib's calls that wait for the server's answer (a context made or changed, a key passed on
// in step with the server) read events until that answer comes: for a server that is gone, the
// news of its end sits unread in the queue and the wait never ends. A round trip first brings
// that news in, and Xlib's own filter takes the server down (onDestroyed follows).
void noticeServerGone(Display* display) {
    InputMethod& s = state();
    if (!s.chosen || s.im == nullptr || s.serverSelection == None) return;
    if (XGetSelectionOwner(display, s.serverSelection) != None) return;
    std::vector<XEvent> others;
    XEvent event;
    while (XCheckTypedEvent(display, DestroyNotify, &event)) {
        if (!XFilterEvent(&event, None)) others.push_back(event);
    }
    for (auto it = others.rbegin(); it != others.rend(); ++it) XPutBackEvent(display, &*it);
    if (s.im != nullptr && s.chosen) onDestroyed(nullptr, nullptr, nullptr);
}

namespace {

void applySpot(Display* display, const WindowRecord& window) {
    if (window.inputContext != nullptr) noticeServerGone(display);
    if (window.inputContext == nullptr || !window.hasInputSpot) return;
    XPoint spot{static_cast<short>(window.inputSpot.x), static_cast<short>(window.inputSpot.y)};
    XVaNestedList attributes = XVaCreateNestedList(0, XNSpotLocation, &spot, nullptr);
    if (attributes == nullptr) return;
    XSetICValues(window.inputContext, XNPreeditAttributes, attributes, nullptr);
    XFree(attributes);
}

XIC createContext(XIM im, ::Window xid) {
    // Preedit and status in the input method's own windows; the spot location, set later,
    // places them.
    XIC ic = XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, xid,
                       XNFocusWindow, xid, nullptr);
    if (ic == nullptr) {
        ic = XCreateIC(im, XNInputStyle, XIMPreeditNone | XIMStatusNone, XNClientWindow, xid, XNFocusWindow,
                       xid, nullptr);
    }
    return ic;
}

}  // namespace

void startInputMethod(Display* display) {
    InputMethod& s = state();
    s.serversAtom = XInternAtom(display, "XIM_SERVERS", False);
    s.answerProperty = XInternAtom(display, "MM_INPUT_METHOD_LOCALES", False);
    // A server that starts or restarts after the program announces itself on the root.
    XWindowAttributes root{};
    XGetWindowAttributes(display, DefaultRootWindow(display), &root);
    XSelectInput(display, DefaultRootWindow(display), root.your_event_mask | PropertyChangeMask);
    if (chosenServer().empty()) {
        if (XIM im = openInputMethod(display, "")) adopt(im, true);
        return;
    }
    // Xlib's own input method stands by until the chosen server has answered.
    if (XIM local = openInputMethod(display, "@im=none")) adopt(local, false);
    askChosenServer(display);
}

XIM xInputMethod() {
    return state().im;
}

void attachInputContext(Display* display, WindowRecord& window) {
    noticeServerGone(display);
    XIM im = state().im;
    window.inputContext = im != nullptr ? createContext(im, window.xid) : nullptr;
    if (window.inputContext == nullptr) return;
    long filterMask = 0;
    XGetICValues(window.inputContext, XNFilterEvents, &filterMask, nullptr);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window.xid, &attributes);
    XSelectInput(display, window.xid, attributes.your_event_mask | filterMask);
    applySpot(display, window);
}

bool isInputMethodServersChange(const XEvent& event) {
    return event.type == PropertyNotify && event.xproperty.atom == state().serversAtom &&
           event.xproperty.atom != None;
}

void askChosenServer(Display* display) {
    InputMethod& s = state();
    if (s.chosen) return;
    const std::string server = chosenServer();
    if (server.empty()) return;
    const Atom selection = XInternAtom(display, ("@server=" + server).c_str(), False);
    s.serverSelection = selection;
    if (XGetSelectionOwner(display, selection) == None) return;
    if (s.askingWindow == None) {
        XSetWindowAttributes attributes{};
        s.askingWindow = XCreateWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, InputOnly,
                                       CopyFromParent, 0, &attributes);
    }
    XConvertSelection(display, selection, XInternAtom(display, "LOCALES", False), s.answerProperty,
                      s.askingWindow, CurrentTime);
}

bool isChosenServerAnswer(const XEvent& event) {
    return event.type == SelectionNotify && event.xselection.requestor == state().askingWindow &&
           event.xselection.requestor != None;
}

void connectAnsweringServer(Display* display, const XEvent& answer) {
    InputMethod& s = state();
    XDeleteProperty(display, s.askingWindow, s.answerProperty);
    if (s.chosen || answer.xselection.property == None) return;
    XIM im = openInputMethod(display, "");
    if (im == nullptr) return;
    for (WindowRecord* window : user32::allWindows()) {
        if (window->inputContext != nullptr) XDestroyIC(window->inputContext);
        window->inputContext = nullptr;
    }
    if (s.im != nullptr) XCloseIM(s.im);
    adopt(im, true);
    const HWND focused = GetForegroundWindow();
    for (WindowRecord* window : user32::allWindows()) {
        if (window->destroying) continue;
        attachInputContext(display, *window);
        if (window->hwnd == focused && window->inputContext != nullptr) XSetICFocus(window->inputContext);
    }
}

void setInputSpot(WindowRecord& window, POINT spot) {
    window.inputSpot = spot;
    window.hasInputSpot = true;
    applySpot(xDisplay(), window);
}

}  // namespace platform::x11
