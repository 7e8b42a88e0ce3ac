// ICCCM selection transfers on the process's one connection. The owner answers on whichever
// thread pumps events (the input reader); a requester waits for that thread to see the answer,
// or pumps events itself when no reader runs.
#include "platform/x11/selection.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/x11/display.h"
#include "platform/x11/events.h"

namespace platform::x11 {
namespace {

// Data above this goes in INCR steps of this size: well below any server's request limit.
constexpr std::size_t kIncrChunk = 64 * 1024;
// A requester takes at most this much from an owner; an owner sending more is not listened to.
constexpr std::size_t kMaxIncoming = std::size_t{512} << 20;

struct Atoms {
    Atom clipboard, targets, incr, utf8String, atomPair, property;
};

// Everything below is used with XLock held.
Window selectionWindow = None;
Atoms atoms{};
SelectionContent owned;
bool owning = false;

// An outgoing INCR transfer: the requestor deletes the property to ask for the next step.
struct Outgoing {
    Window requestor;
    Atom property;
    Atom type;
    std::string data;
    std::size_t sent = 0;
    bool finished = false;  // the empty closing step has been written
};
std::list<Outgoing> outgoing;

// The one conversion this process waits for, and what it got. Guarded by XLock; the waiter is
// woken through `changed`.
struct Incoming {
    bool active = false;
    bool done = false;
    bool incr = false;
    bool got = false;
    std::string data;
    std::chrono::steady_clock::time_point lastHeard;
};
Incoming incoming;
std::mutex wakeMutex;
std::condition_variable changed;

bool ensureWindow(Display* display) {
    if (selectionWindow != None) return true;
    const char* names[] = {"CLIPBOARD", "TARGETS", "INCR", "UTF8_STRING", "ATOM_PAIR", "MINDMAP_SELECTION"};
    Atom values[6];
    if (XInternAtoms(display, const_cast<char**>(names), 6, False, values) == 0) return false;
    atoms = Atoms{values[0], values[1], values[2], values[3], values[4], values[5]};
    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    selectionWindow = XCreateWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, InputOnly,
                                    CopyFromParent, CWEventMask, &attributes);
    return selectionWindow != None;
}

void notifyWaiter() {
    std::lock_guard<std::mutex> lock(wakeMutex);
    changed.notify_all();
}

// Reads (and deletes) the whole property; false when it is not there.
bool takeProperty(Display* display, Window window, Atom property, Atom& type, std::string& bytes) {
    Atom actualType = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 0x1FFFFFFF, True, AnyPropertyType, &actualType,
                           &format, &items, &after, &data) != Success) {
        return false;
    }
    type = actualType;
    const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
    if (data != nullptr) {
        bytes.assign(reinterpret_cast<const char*>(data), items * unit);
        XFree(data);
    } else {
        bytes.clear();
    }
    return actualType != None;
}

void sendNotify(Display* display, const XSelectionRequestEvent& request, Atom property) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.property = property;
    reply.xselection.time = request.time;
    XSendEvent(display, request.requestor, False, 0, &reply);
}

// Writes one target's answer to the requestor's property; false when there is none to give.
bool answerTarget(Display* display, Window requestor, Atom target, Atom property) {
    if (target == atoms.targets) {
        std::vector<Atom> offered{atoms.targets};
        for (const auto& [offer, bytes] : owned) offered.push_back(offer);
        XChangeProperty(display, requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered.data()),
                        static_cast<int>(offered.size()));
        return true;
    }
    const auto found = owned.find(target);
    if (found == owned.end()) return false;
    const std::string& data = found->second;
    if (data.size() <= kIncrChunk) {
        XChangeProperty(display, requestor, property, target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
        return true;
    }
    // Too big for one step: announce the size and send the data as the requestor asks for it.
    XSelectInput(display, requestor, PropertyChangeMask);
    const long size = static_cast<long>(data.size());
    XChangeProperty(display, requestor, property, atoms.incr, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    outgoing.push_back(Outgoing{requestor, property, target, data});
    return true;
}

void onRequest(Display* display, const XSelectionRequestEvent& request) {
    // An obsolete requestor names no property: the target's name is the property.
    const Atom property = request.property == None ? request.target : request.property;
    bool answered = false;
    xBeginErrorTrap();  // the requestor's window may be gone already
    if (owning && request.selection == atoms.clipboard && request.owner == selectionWindow) {
        answered = answerTarget(display, request.requestor, request.target, property);
    }
    sendNotify(display, request, answered ? property : None);
    xEndErrorTrap();
}

// The requestor took the last step (deleted the property): the next one, or the empty end.
bool onOutgoingStep(Display* display, const XPropertyEvent& event) {
    if (event.state != PropertyDelete) return false;
    for (auto it = outgoing.begin(); it != outgoing.end(); ++it) {
        if (it->requestor != event.window || it->property != event.atom) continue;
        const std::size_t size = std::min(kIncrChunk, it->data.size() - it->sent);
        xBeginErrorTrap();
        XChangeProperty(display, it->requestor, it->property, it->type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(it->data.data() + it->sent),
                        static_cast<int>(size));
        const bool failed = xEndErrorTrap();
        it->sent += size;
        if (size == 0 || failed) {
            xBeginErrorTrap();
            XSelectInput(display, it->requestor, NoEventMask);
            xEndErrorTrap();
            outgoing.erase(it);
        }
        return true;
    }
    return false;
}

void onNotify(Display* display, const XSelectionEvent& event) {
    if (!incoming.active || incoming.done) return;
    incoming.lastHeard = std::chrono::steady_clock::now();
    Atom type = None;
    if (event.property == None ||
        !takeProperty(display, selectionWindow, event.property, type, incoming.data)) {
        incoming.done = true;
    } else if (type == atoms.incr) {
        incoming.incr = true;  // deleting the property asked for the first step
        incoming.data.clear();
    } else {
        incoming.got = true;
        incoming.done = true;
    }
    notifyWaiter();
}

void onIncomingStep(Display* display, const XPropertyEvent& event) {
    if (event.state != PropertyNewValue) return;
    Atom type = None;
    std::string step;
    if (!takeProperty(display, selectionWindow, atoms.property, type, step)) return;
    incoming.lastHeard = std::chrono::steady_clock::now();
    if (step.empty()) {
        incoming.got = true;
        incoming.done = true;
    } else if (incoming.data.size() + step.size() > kMaxIncoming) {
        incoming.data.clear();
        incoming.done = true;  // as if nothing was offered
    } else {
        incoming.data += step;
    }
    notifyWaiter();
}

}  // namespace

Atom xAtomNamed(const char* name) {
    return XInternAtom(xDisplay(), name, False);
}

bool xOwnClipboard(SelectionContent content) {
    XLock lock;
    Display* display = xDisplay();
    if (display == nullptr || !ensureWindow(display)) return false;
    owned = std::move(content);
    outgoing.clear();
    XSetSelectionOwner(display, atoms.clipboard, selectionWindow, CurrentTime);
    owning = XGetSelectionOwner(display, atoms.clipboard) == selectionWindow;
    XFlush(display);
    return owning;
}

bool xClipboardOwned() {
    XLock lock;
    // The server, not the SelectionClear still on its way, says who owns it now: a program that
    // took the clipboard a moment ago must be the one a paste reads.
    Display* display = xDisplay();
    if (owning && display != nullptr && XGetSelectionOwner(display, atoms.clipboard) != selectionWindow) {
        owning = false;
        owned.clear();
    }
    return owning;
}

SelectionFetch xFetchClipboard(Atom target, std::string& bytes, int timeoutMs) {
    {
        XLock lock;
        Display* display = xDisplay();
        if (display == nullptr || !ensureWindow(display)) return SelectionFetch::Missing;
        incoming = Incoming{};
        incoming.active = true;
        incoming.lastHeard = std::chrono::steady_clock::now();
        XDeleteProperty(display, selectionWindow, atoms.property);
        XConvertSelection(display, atoms.clipboard, target, atoms.property, selectionWindow, CurrentTime);
        XFlush(display);
        wakeInputReader();
    }
    const auto timeout = std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            XLock lock;
            if (incoming.done || std::chrono::steady_clock::now() - incoming.lastHeard >= timeout) {
                const bool answered = incoming.done;
                incoming.active = false;
                if (!answered) return SelectionFetch::NoAnswer;
                if (!incoming.got) return SelectionFetch::Missing;
                bytes = std::move(incoming.data);
                incoming.data.clear();
                return SelectionFetch::Got;
            }
        }
        if (inputReaderRunning()) {
            std::unique_lock<std::mutex> lock(wakeMutex);
            changed.wait_for(lock, std::chrono::milliseconds(20));
        } else {
            pumpXEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
}

bool handleSelectionEvent(Display* display, XEvent& event) {
    if (selectionWindow == None) return false;
    switch (event.type) {
        case SelectionRequest:
            if (event.xselectionrequest.owner != selectionWindow) return false;
            onRequest(display, event.xselectionrequest);
            return true;
        case SelectionClear:
            if (event.xselectionclear.window != selectionWindow) return false;
            if (event.xselectionclear.selection == atoms.clipboard) {
                owning = false;
                owned.clear();
            }
            return true;
        case SelectionNotify:
            if (event.xselection.requestor != selectionWindow) return false;
            onNotify(display, event.xselection);
            return true;
        case PropertyNotify:
            if (event.xproperty.window == selectionWindow) {
                if (event.xproperty.atom == atoms.property && incoming.active && incoming.incr &&
                    !incoming.done)
                    onIncomingStep(display, event.xproperty);
                return true;
            }
            return onOutgoingStep(display, event.xproperty);
        default:
            return false;
    }
}

}  // namespace platform::x11
