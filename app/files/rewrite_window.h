// The moments an in-place rewrite has emptied a file and not yet written it back whole. Ending
// the program then would leave the file cut short, so for that window the saving thread holds
// back the signals that end a process (they are delivered once it closes), and every end of
// the program that runs elsewhere (a signal's or the console's handler thread, the close
// button) first waits for the window to close with waitForRewritesInPlace.
#pragma once

#ifndef _WIN32
#include <signal.h>
#endif

class RewriteWindow {
  public:
    RewriteWindow();
    ~RewriteWindow();
    RewriteWindow(const RewriteWindow&) = delete;
    RewriteWindow& operator=(const RewriteWindow&) = delete;

  private:
#ifndef _WIN32
    sigset_t previousMask;
#endif
};

// Returns once no thread is inside a RewriteWindow. A thread that is inside one itself does
// not wait for its own.
void waitForRewritesInPlace();
