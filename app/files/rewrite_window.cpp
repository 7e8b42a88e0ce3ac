#include "app/files/rewrite_window.h"

#include <condition_variable>
#include <mutex>

namespace {
struct Gate {
    std::mutex lock;
    std::condition_variable closed;
    int open = 0;
};
Gate& gate() {
    static Gate* const g = new Gate;  // outlives every thread that may end the program
    return *g;
}
thread_local int ownWindows = 0;
}  // namespace

RewriteWindow::RewriteWindow() {
#ifndef _WIN32
    // SIGXFSZ too: a write past the size limit then fails with EFBIG, and the backup goes back.
    sigset_t ending;
    sigemptyset(&ending);
    for (int number :
         {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2, SIGXFSZ, SIGVTALRM, SIGPROF}) {
        sigaddset(&ending, number);
    }
    pthread_sigmask(SIG_BLOCK, &ending, &previousMask);
#endif
    std::lock_guard<std::mutex> guard(gate().lock);
    ++gate().open;
    ++ownWindows;
}

RewriteWindow::~RewriteWindow() {
    {
        std::lock_guard<std::mutex> guard(gate().lock);
        --gate().open;
        --ownWindows;
    }
    gate().closed.notify_all();
#ifndef _WIN32
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);  // what was held back arrives now
#endif
}

void waitForRewritesInPlace() {
    std::unique_lock<std::mutex> guard(gate().lock);
    gate().closed.wait(guard, [] { return gate().open == ownWindows; });
}
