#include "tests/e2e/input_method_server.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "tests/e2e/editor_session.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPoll = std::chrono::milliseconds(50);

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string rest = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= rest.size();) {
        const std::size_t end = std::min(rest.find(':', start), rest.size());
        const fs::path candidate = fs::path(rest.substr(start, end - start)) / program;
        if (access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// fcitx5's profile: the US keyboard and pinyin, pinyin the one Ctrl+Space (or fcitx5-remote
// -o) turns on.
void writeFcitxProfile(const fs::path& home) {
    fs::create_directories(home / ".config/fcitx5");
    std::ofstream(home / ".config/fcitx5/profile") << "[Groups/0]\n"
                                                      "Name=Default\n"
                                                      "Default Layout=us\n"
                                                      "DefaultIM=pinyin\n\n"
                                                      "[Groups/0/Items/0]\n"
                                                      "Name=keyboard-us\n"
                                                      "Layout=\n\n"
                                                      "[Groups/0/Items/1]\n"
                                                      "Name=pinyin\n"
                                                      "Layout=\n\n"
                                                      "[GroupOrder]\n"
                                                      "0=Default\n";
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace

InputMethodServer::InputMethodServer(InputMethodKind kind, fs::path home)
    : kind_(kind), home_(std::move(home)) {
    const char* display = std::getenv("DISPLAY");
    display_ = display != nullptr ? display : "";
}

InputMethodServer::~InputMethodServer() {
    stop(server_);
    stop(bus_);
    if (xDisplay_ == nullptr) return;
    const std::string name = kind_ == InputMethodKind::Fcitx ? "fcitx" : "ibus";
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (inputMethodServerOwned(xDisplay_, name) && Clock::now() < deadline)
        std::this_thread::sleep_for(kPoll);
}

bool InputMethodServer::installed(InputMethodKind kind) {
    if (!onPath("dbus-daemon")) return false;
    return kind == InputMethodKind::Fcitx ? onPath("fcitx5") && onPath("fcitx5-remote")
                                          : onPath("ibus-daemon") && onPath("ibus");
}

std::string InputMethodServer::xmodifiers() const {
    return kind_ == InputMethodKind::Fcitx ? "@im=fcitx" : "@im=ibus";
}

std::vector<std::string> InputMethodServer::environment() const {
    return {"HOME=" + home_.string(),
            "XDG_CONFIG_HOME=" + (home_ / ".config").string(),
            "XDG_DATA_HOME=" + (home_ / ".local/share").string(),
            "XDG_CACHE_HOME=" + (home_ / ".cache").string(),
            "DBUS_SESSION_BUS_ADDRESS=" + busAddress_,
            "DISPLAY=" + display_,
            "GSETTINGS_BACKEND=memory",
            "XMODIFIERS=" + xmodifiers(),
            "LANG=C.UTF-8",
            "LC_ALL"};
}

pid_t InputMethodServer::spawn(const std::vector<std::string>& argv, const fs::path& log) {
    const std::vector<std::string> env = environment();
    const pid_t child = fork();
    if (child != 0) return child;
    setpgid(0, 0);  // its own group, so that its helpers end with it
    applyEnvironment(env);
    const int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) dup2(devNull, STDIN_FILENO);
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

std::optional<std::string> InputMethodServer::control(const std::vector<std::string>& argv) {
    const fs::path out = home_ / "control.out";
    const pid_t child = spawn(argv, out);
    if (child < 0) return std::nullopt;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(-child, SIGKILL);
            waitpid(child, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // ibus answers a successful "engine NAME" with status 1: what it prints is the answer.
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) return std::nullopt;
    std::ifstream in(out);
    return trimmed(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

void InputMethodServer::stop(pid_t& group) {
    if (group <= 0) return;
    kill(-group, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (waitpid(group, nullptr, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(-group, SIGKILL);
            waitpid(group, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(-group, SIGKILL);  // helpers the leader left behind
    group = -1;
}

bool InputMethodServer::start(Display* display, std::chrono::milliseconds limit, std::string* why) {
    xDisplay_ = display;
    fs::create_directories(home_);
    const fs::path socket = home_ / "bus";
    busAddress_ = "unix:path=" + socket.string();
    bus_ = spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + busAddress_},
                 home_ / "dbus.log");
    const auto deadline = Clock::now() + limit;
    while (!fs::exists(socket)) {
        if (Clock::now() > deadline) {
            *why = "the D-Bus session never opened its socket";
            return false;
        }
        std::this_thread::sleep_for(kPoll);
    }
    const std::string name = kind_ == InputMethodKind::Fcitx ? "fcitx" : "ibus";
    if (kind_ == InputMethodKind::Fcitx) {
        writeFcitxProfile(home_);
        server_ = spawn({"fcitx5", "--disable=wayland,waylandim"}, home_ / "server.log");
    } else {
        server_ = spawn({"ibus-daemon", "--xim", "--panel=disable", "--replace"}, home_ / "server.log");
    }
    for (;;) {
        // Listed (the list may also be a stale one of an earlier server) and answering.
        const bool listed = inputMethodServerListed(display, name) && inputMethodServerAnswers(display, name);
        bool answers = false;
        if (kind_ == InputMethodKind::Fcitx) {
            const auto state = control({"fcitx5-remote"});
            answers = state && (*state == "0" || *state == "1" || *state == "2");
        } else {
            control({"ibus", "engine", "libpinyin"});
            answers = control({"ibus", "engine"}) == std::optional<std::string>("libpinyin");
        }
        if (listed && answers) return true;
        if (Clock::now() > deadline) {
            *why = name + (listed ? " never answered its control tool" : " never answered X clients") +
                   "; its log: " + (home_ / "server.log").string();
            return false;
        }
        std::this_thread::sleep_for(kPoll);
    }
}

std::string InputMethodServer::state() {
    const auto answer =
        kind_ == InputMethodKind::Fcitx ? control({"fcitx5-remote"}) : control({"ibus", "engine"});
    return answer ? *answer : "(no answer)";
}

bool InputMethodServer::chinese(bool on, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        if (kind_ == InputMethodKind::Fcitx) {
            // 2: active, 1: inactive (of the focused input context); 0: none focused.
            control({"fcitx5-remote", on ? "-o" : "-c"});
            if (control({"fcitx5-remote"}) == std::optional<std::string>(on ? "2" : "1")) return true;
        } else {
            // Setting the engine again starts it anew, and keys that meet the change are lost.
            const std::string engine = on ? "libpinyin" : "xkb:us::eng";
            if (control({"ibus", "engine"}) == std::optional<std::string>(engine)) return true;
            control({"ibus", "engine", engine});
        }
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(kPoll);
    }
}

bool inputMethodServerListed(Display* display, const std::string& name) {
    const Atom servers = XInternAtom(display, "XIM_SERVERS", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), servers, 0, 1024, False, XA_ATOM, &type,
                           &format, &count, &after, &data) != Success ||
        data == nullptr) {
        return false;
    }
    bool found = false;
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count && !found; ++i) {
        char* atomName = XGetAtomName(display, atoms[i]);
        if (atomName != nullptr) {
            found = std::string(atomName) == "@server=" + name;
            XFree(atomName);
        }
    }
    XFree(data);
    return found;
}

bool inputMethodServerAnswers(Display* display, const std::string& name) {
    const Atom selection = XInternAtom(display, ("@server=" + name).c_str(), False);
    if (XGetSelectionOwner(display, selection) == None) return false;
    const Window requestor = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(display, selection, XInternAtom(display, "LOCALES", False),
                      XInternAtom(display, "MM_TEST_LOCALES", False), requestor, CurrentTime);
    XFlush(display);
    const auto deadline = Clock::now() + std::chrono::milliseconds(250);
    bool answered = false;
    for (XEvent event; Clock::now() < deadline;) {
        if (XCheckTypedWindowEvent(display, requestor, SelectionNotify, &event)) {
            answered = event.xselection.property != None;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    XDestroyWindow(display, requestor);
    return answered;
}

bool inputMethodServerOwned(Display* display, const std::string& name) {
    const Atom selection = XInternAtom(display, ("@server=" + name).c_str(), False);
    return XGetSelectionOwner(display, selection) != None;
}

std::optional<ScreenRect> viewableWindowTitled(Display* display, const std::string& title) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
        return std::nullopt;
    std::optional<ScreenRect> found;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) == 0 || name == nullptr) continue;
        const bool match = title == name;
        XFree(name);
        XWindowAttributes attributes{};
        if (match && XGetWindowAttributes(display, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable) {
            found = ScreenRect{attributes.x, attributes.y, attributes.width, attributes.height};
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

}  // namespace e2e
