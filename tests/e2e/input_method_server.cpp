#include "tests/e2e/input_method_server.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "tests/support/editor_session.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPoll = std::chrono::milliseconds(50);
// A control command or a stopping server gets this long.
constexpr auto kStopping = std::chrono::milliseconds(5000);

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
    if (x_ == nullptr) return;
    const std::string name = kind_ == InputMethodKind::Fcitx ? "fcitx" : "ibus";
    mmtest::waitFor(
        "X to forget the " + name + " server", [&] { return !inputMethodServerOwned(*x_, name); },
        [] { return std::string("its selection still has an owner"); }, kStopping, kPoll);
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
    mmtest::applyEnvironment(env);
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
    int status = 0;
    if (!mmtest::waitUntil([&] { return waitpid(child, &status, WNOHANG) != 0; }, kStopping,
                           std::chrono::milliseconds(5))) {
        kill(-child, SIGKILL);
        waitpid(child, &status, 0);
        return std::nullopt;
    }
    // ibus answers a successful "engine NAME" with status 1: what it prints is the answer.
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) return std::nullopt;
    std::ifstream in(out);
    return trimmed(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

void InputMethodServer::stop(pid_t& group) {
    if (group <= 0) return;
    kill(-group, SIGTERM);
    if (!mmtest::waitUntil([&] { return waitpid(group, nullptr, WNOHANG) != 0; }, kStopping,
                           std::chrono::milliseconds(10))) {
        kill(-group, SIGKILL);
        waitpid(group, nullptr, 0);
    }
    kill(-group, SIGKILL);  // helpers the leader left behind
    group = -1;
}

bool InputMethodServer::start(mmtest::XDriver& x, std::chrono::milliseconds limit, std::string* why) {
    x_ = &x;
    fs::create_directories(home_);
    const fs::path socket = home_ / "bus";
    busAddress_ = "unix:path=" + socket.string();
    bus_ = spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + busAddress_},
                 home_ / "dbus.log");
    const auto deadline = Clock::now() + limit;
    if (!mmtest::waitUntil([&] { return fs::exists(socket); }, limit, kPoll)) {
        *why = "the D-Bus session never opened its socket";
        return false;
    }
    const std::string name = kind_ == InputMethodKind::Fcitx ? "fcitx" : "ibus";
    if (kind_ == InputMethodKind::Fcitx) {
        writeFcitxProfile(home_);
        server_ = spawn({"fcitx5", "--disable=wayland,waylandim"}, home_ / "server.log");
    } else {
        server_ = spawn({"ibus-daemon", "--xim", "--panel=disable", "--replace"}, home_ / "server.log");
    }
    bool listed = false;
    const auto ready = [&] {
        // Listed (the list may also be a stale one of an earlier server) and answering.
        listed = inputMethodServerListed(x, name) && inputMethodServerAnswers(x, name);
        bool answers = false;
        if (kind_ == InputMethodKind::Fcitx) {
            const auto state = control({"fcitx5-remote"});
            answers = state && (*state == "0" || *state == "1" || *state == "2");
        } else {
            control({"ibus", "engine", "libpinyin"});
            answers = control({"ibus", "engine"}) == std::optional<std::string>("libpinyin");
        }
        return listed && answers;
    };
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (mmtest::waitUntil(ready, std::max(left, std::chrono::milliseconds(0)), kPoll)) return true;
    *why = name + (listed ? " never answered its control tool" : " never answered X clients") +
           "; its log: " + (home_ / "server.log").string();
    return false;
}

std::string InputMethodServer::state() {
    const auto answer =
        kind_ == InputMethodKind::Fcitx ? control({"fcitx5-remote"}) : control({"ibus", "engine"});
    return answer ? *answer : "(no answer)";
}

bool InputMethodServer::chinese(bool on, std::chrono::milliseconds limit) {
    const auto switched = [&] {
        if (kind_ == InputMethodKind::Fcitx) {
            // 2: active, 1: inactive (of the focused input context); 0: none focused.
            control({"fcitx5-remote", on ? "-o" : "-c"});
            return control({"fcitx5-remote"}) == std::optional<std::string>(on ? "2" : "1");
        }
        // Setting the engine again starts it anew, and keys that meet the change are lost.
        const std::string engine = on ? "libpinyin" : "xkb:us::eng";
        if (control({"ibus", "engine"}) == std::optional<std::string>(engine)) return true;
        control({"ibus", "engine", engine});
        return false;
    };
    return mmtest::waitUntil(switched, limit, kPoll);
}

bool inputMethodServerListed(mmtest::XDriver& x, const std::string& name) {
    for (const long atom : x.longProperty(x.rootWindow(), "XIM_SERVERS", "ATOM")) {
        char* atomName = XGetAtomName(x.display(), static_cast<Atom>(atom));
        if (atomName == nullptr) continue;
        const bool found = std::string(atomName) == "@server=" + name;
        XFree(atomName);
        if (found) return true;
    }
    return false;
}

bool inputMethodServerAnswers(mmtest::XDriver& x, const std::string& name) {
    Display* display = x.display();
    const Atom selection = XInternAtom(display, ("@server=" + name).c_str(), False);
    if (XGetSelectionOwner(display, selection) == None) return false;
    const Window requestor = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(display, selection, XInternAtom(display, "LOCALES", False),
                      XInternAtom(display, "MM_TEST_LOCALES", False), requestor, CurrentTime);
    XFlush(display);
    bool answered = false;
    mmtest::waitUntil(
        [&] {
            XEvent event;
            if (!XCheckTypedWindowEvent(display, requestor, SelectionNotify, &event)) return false;
            answered = event.xselection.property != None;
            return true;
        },
        std::chrono::milliseconds(250));
    XDestroyWindow(display, requestor);
    return answered;
}

bool inputMethodServerOwned(mmtest::XDriver& x, const std::string& name) {
    Display* display = x.display();
    const Atom selection = XInternAtom(display, ("@server=" + name).c_str(), False);
    return XGetSelectionOwner(display, selection) != None;
}

}  // namespace e2e
