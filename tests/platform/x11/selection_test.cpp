// The clipboard calls against a second X client, as another program on the desktop: the
// stand-in as CLIPBOARD's owner (TARGETS, text, the private target, big data in INCR steps) and
// as requester (from an owner that answers at once, one that sends in INCR steps, and one that
// never answers).
// gtest first: X's None macro would break its templates.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xlib.h>
// clang-format on
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/x11/display.h"
#include "platform/x11/selection.h"
#include "tests/platform/user32/window_test_support.h"

namespace {

constexpr std::size_t kStep = 4096;  // the test owner's INCR step

// Another X client with a window of its own.
class OtherClient {
  public:
    OtherClient() : display(XOpenDisplay(nullptr)) {
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        XSelectInput(display, window, PropertyChangeMask);
        clipboard = atom("CLIPBOARD");
        incr = atom("INCR");
        property = atom("TEST_PROPERTY");
    }
    ~OtherClient() {
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    Atom atom(const char* name) { return XInternAtom(display, name, False); }

    // Waits up to 5 s for an event of type on this client's window.
    bool waitFor(int type, XEvent& event) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < end) {
            while (XPending(display) > 0) {
                XNextEvent(display, &event);
                if (event.type == type) return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    std::string takeProperty(Atom& type) {
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, window, property, 0, 0x1FFFFFFF, True, AnyPropertyType, &type, &format,
                           &items, &after, &data);
        const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
        std::string bytes(reinterpret_cast<const char*>(data), data == nullptr ? 0 : items * unit);
        if (data != nullptr) XFree(data);
        return bytes;
    }

    // Converts CLIPBOARD to target as a requester does, following INCR; false when refused.
    bool convert(Atom target, std::string& bytes, bool& stepped) {
        stepped = false;
        XConvertSelection(display, clipboard, target, property, window, CurrentTime);
        XFlush(display);
        XEvent event;
        if (!waitFor(SelectionNotify, event) || event.xselection.property == None) return false;
        Atom type = None;
        bytes = takeProperty(type);
        if (type != incr) return true;
        stepped = true;
        bytes.clear();
        for (;;) {
            if (!waitFor(PropertyNotify, event)) return false;
            if (event.xproperty.atom != property || event.xproperty.state != PropertyNewValue) continue;
            const std::string step = takeProperty(type);
            if (step.empty()) return true;
            bytes += step;
        }
    }

    Display* display;
    Window window;
    Atom clipboard, incr, property;
};

// What the stand-in's clipboard gives for format, and the last error.
HANDLE getData(UINT format, std::string& bytes, DWORD& error) {
    EXPECT_TRUE(OpenClipboard(nullptr));
    SetLastError(0);
    HANDLE block = GetClipboardData(format);
    error = GetLastError();
    if (block != nullptr) {
        bytes.assign(static_cast<const char*>(GlobalLock(block)), GlobalSize(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return block;
}

HGLOBAL globalOf(const void* data, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
    return block;
}

std::string bigData() {
    std::string data(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 251);
    return data;
}

class ClipboardSelection : public ::testing::Test {
  protected:
    void SetUp() override { REQUIRE_DISPLAY(); }
    const UINT privateFormat = RegisterClipboardFormatW(reinterpret_cast<LPCWSTR>(u"MindMap.SelectionTest"));
};

TEST_F(ClipboardSelection, AnotherClientGetsTargetsTextAndBigPrivateDataInSteps) {
    ASSERT_GE(privateFormat, 0xC000u);
    EXPECT_EQ(privateFormat, RegisterClipboardFormatW(reinterpret_cast<LPCWSTR>(u"MindMap.SelectionTest")));
    const std::u16string text = u"héllo 中文\n";
    const std::string big = bigData();
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, globalOf(text.c_str(), (text.size() + 1) * 2)), nullptr);
    ASSERT_NE(SetClipboardData(privateFormat, globalOf(big.data(), big.size())), nullptr);
    ASSERT_TRUE(CloseClipboard());

    OtherClient other;
    std::string bytes;
    bool stepped = false;
    ASSERT_TRUE(other.convert(other.atom("TARGETS"), bytes, stepped));
    std::vector<Atom> targets(bytes.size() / sizeof(long));
    std::memcpy(targets.data(), bytes.data(), targets.size() * sizeof(long));
    for (const char* name : {"TARGETS", "UTF8_STRING", "MindMap.SelectionTest"})
        EXPECT_NE(std::find(targets.begin(), targets.end(), other.atom(name)), targets.end()) << name;

    ASSERT_TRUE(other.convert(other.atom("UTF8_STRING"), bytes, stepped));
    EXPECT_EQ(bytes, "h\xC3\xA9llo \xE4\xB8\xAD\xE6\x96\x87\n");
    EXPECT_FALSE(stepped);
    ASSERT_TRUE(other.convert(other.atom("MindMap.SelectionTest"), bytes, stepped));
    EXPECT_TRUE(stepped);
    EXPECT_TRUE(bytes == big) << bytes.size() << " bytes of " << big.size();
    EXPECT_FALSE(other.convert(other.atom("image/png"), bytes, stepped));  // not offered

    // The stand-in answers itself from its own copy.
    DWORD error = 0;
    ASSERT_NE(getData(CF_UNICODETEXT, bytes, error), nullptr);
    EXPECT_EQ(bytes, std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2));
}

// An owner on the other client: answers text at once and the private target in INCR steps,
// or, when silent, never answers.
void serveSelection(OtherClient& owner, const std::string& text, const std::string& big, bool silent,
                    std::atomic<bool>& stop) {
    XSetSelectionOwner(owner.display, owner.clipboard, owner.window, CurrentTime);
    XFlush(owner.display);
    Window stepTo = None;
    Atom stepProperty = None;
    std::size_t sent = 0;
    bool closed = false;
    while (!stop) {
        while (XPending(owner.display) > 0) {
            XEvent event;
            XNextEvent(owner.display, &event);
            if (event.type == SelectionRequest && !silent) {
                const XSelectionRequestEvent& request = event.xselectionrequest;
                XEvent reply{};
                reply.xselection.type = SelectionNotify;
                reply.xselection.requestor = request.requestor;
                reply.xselection.selection = request.selection;
                reply.xselection.target = request.target;
                reply.xselection.property = request.property;
                reply.xselection.time = request.time;
                if (request.target == owner.atom("UTF8_STRING")) {
                    XChangeProperty(owner.display, request.requestor, request.property, request.target, 8,
                                    PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()),
                                    static_cast<int>(text.size()));
                } else if (request.target == owner.atom("MindMap.SelectionTest")) {
                    XSelectInput(owner.display, request.requestor, PropertyChangeMask);
                    const long size = static_cast<long>(big.size());
                    XChangeProperty(owner.display, request.requestor, request.property, owner.incr, 32,
                                    PropModeReplace, reinterpret_cast<const unsigned char*>(&size), 1);
                    stepTo = request.requestor;
                    stepProperty = request.property;
                    sent = 0;
                    closed = false;
                } else {
                    reply.xselection.property = None;
                }
                XSendEvent(owner.display, request.requestor, False, 0, &reply);
                XFlush(owner.display);
            } else if (event.type == PropertyNotify && event.xproperty.window == stepTo &&
                       event.xproperty.atom == stepProperty && event.xproperty.state == PropertyDelete &&
                       !closed) {
                const std::size_t size = std::min(kStep, big.size() - sent);
                XChangeProperty(owner.display, stepTo, stepProperty, owner.atom("MindMap.SelectionTest"), 8,
                                PropModeReplace, reinterpret_cast<const unsigned char*>(big.data() + sent),
                                static_cast<int>(size));
                XFlush(owner.display);
                sent += size;
                closed = size == 0;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST_F(ClipboardSelection, TakesTextAndSteppedDataFromAnotherOwner) {
    OtherClient owner;
    std::atomic<bool> stop{false};
    const std::string text = "from \xE5\x88\xAB\xE5\xA4\x84\n";
    const std::string big = bigData().substr(0, 300 * 1024 + 5);
    std::thread serving(serveSelection, std::ref(owner), std::cref(text), std::cref(big), false,
                        std::ref(stop));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the owner has taken CLIPBOARD

    std::string bytes;
    DWORD error = 0;
    ASSERT_NE(getData(CF_UNICODETEXT, bytes, error), nullptr);
    const std::u16string expected = u"from 别处\n";
    EXPECT_EQ(bytes, std::string(reinterpret_cast<const char*>(expected.c_str()), (expected.size() + 1) * 2));
    ASSERT_NE(getData(privateFormat, bytes, error), nullptr);
    EXPECT_TRUE(bytes == big) << bytes.size() << " bytes of " << big.size();
    EXPECT_EQ(getData(RegisterClipboardFormatW(reinterpret_cast<LPCWSTR>(u"not.offered")), bytes, error),
              nullptr);
    EXPECT_NE(error, static_cast<DWORD>(ERROR_TIMEOUT));
    stop = true;
    serving.join();
}

// Another program that takes the clipboard right after this process copied is the one a paste
// reads, even before this process has heard that it lost the selection.
TEST_F(ClipboardSelection, APasteRightAfterAnotherProgramTookTheClipboardReadsThatProgram) {
    const std::u16string ours = u"ours";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, globalOf(ours.c_str(), (ours.size() + 1) * sizeof(char16_t)));
    ASSERT_TRUE(CloseClipboard());

    OtherClient owner;
    std::atomic<bool> stop{false};
    const std::string text = "theirs";
    std::thread serving;
    {
        // Held, the lock keeps this process's reader from hearing of the loss meanwhile.
        platform::x11::XLock heldByTheTest;
        serving = std::thread(serveSelection, std::ref(owner), std::cref(text), std::string(), false,
                              std::ref(stop));
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (XGetSelectionOwner(owner.display, owner.clipboard) != owner.window &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_FALSE(platform::x11::xClipboardOwned());
    }

    std::string bytes;
    DWORD error = 0;
    ASSERT_NE(getData(CF_UNICODETEXT, bytes, error), nullptr);
    const std::u16string expected = u"theirs";
    EXPECT_EQ(bytes, std::string(reinterpret_cast<const char*>(expected.c_str()), (expected.size() + 1) * 2));
    stop = true;
    serving.join();
}

TEST_F(ClipboardSelection, AnOwnerThatNeverAnswersIsGivenUpAfterTwoSeconds) {
    OtherClient owner;
    std::atomic<bool> stop{false};
    std::thread serving(serveSelection, std::ref(owner), std::string(), std::string(), true, std::ref(stop));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::string bytes;
    DWORD error = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(getData(CF_UNICODETEXT, bytes, error), nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900));
    stop = true;
    serving.join();
}

TEST_F(ClipboardSelection, OpenIsPerThreadAndDataNeedsAnOpenClipboard) {
    // Refused data stays the caller's to free.
    HGLOBAL refused = GlobalAlloc(GMEM_MOVEABLE, 2);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, refused), nullptr);
    GlobalFree(refused);
    ASSERT_TRUE(OpenClipboard(nullptr));
    bool openedElsewhere = true;
    std::thread([&] { openedElsewhere = OpenClipboard(nullptr) != FALSE; }).join();
    EXPECT_FALSE(openedElsewhere);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
}

}  // namespace
