// A real input method for the end-to-end tests: fcitx5 with its pinyin engine, or ibus with
// libpinyin, started on the test's X display with a home and a D-Bus session of its own, and
// switched the way a user would (fcitx5-remote, ibus engine). Every wait has a deadline.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/x_driver.h"

namespace e2e {

enum class InputMethodKind { Fcitx, Ibus };

class InputMethodServer {
  public:
    InputMethodServer(InputMethodKind kind, std::filesystem::path home);
    // Ends the server, its helpers and its bus, and waits until X no longer knows the server:
    // X input sent afterwards reaches its windows after the news that the server is gone.
    ~InputMethodServer();
    InputMethodServer(const InputMethodServer&) = delete;
    InputMethodServer& operator=(const InputMethodServer&) = delete;

    // Whether the server's programs are installed.
    static bool installed(InputMethodKind kind);

    // Starts the bus and the server; true once the server has announced itself to X
    // (XIM_SERVERS on the root window), answers X clients and answers its control tool.
    // `why` says what failed.
    bool start(mmtest::XDriver& x, std::chrono::milliseconds limit, std::string* why);

    // Turns Chinese typing on (fcitx: pinyin active; ibus: the libpinyin engine) or off, and
    // waits until the server reports it. fcitx reports the state of the focused input
    // context, so a true answer also means the editor is connected to it.
    bool chinese(bool on, std::chrono::milliseconds limit);
    // What the control tool says now, for failure messages.
    std::string state();

    // For the editor's environment.
    std::string xmodifiers() const;

  private:
    std::vector<std::string> environment() const;
    pid_t spawn(const std::vector<std::string>& argv, const std::filesystem::path& log);
    // Runs a control command to its end (five seconds at most); what it printed, or nothing
    // when it could not run or did not end.
    std::optional<std::string> control(const std::vector<std::string>& argv);
    void stop(pid_t& group);

    InputMethodKind kind_;
    std::filesystem::path home_;
    std::string busAddress_;
    std::string display_;
    pid_t bus_ = -1;
    pid_t server_ = -1;
    mmtest::XDriver* x_ = nullptr;
};

// True when the root window lists the named input method server ("fcitx", "ibus").
bool inputMethodServerListed(mmtest::XDriver& x, const std::string& name);
// True when the server answers a request for its locales, as it does before a client connects.
bool inputMethodServerAnswers(mmtest::XDriver& x, const std::string& name);
// True while a client owns the server's selection, that is, while the server is connected.
bool inputMethodServerOwned(mmtest::XDriver& x, const std::string& name);

}  // namespace e2e
