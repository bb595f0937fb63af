#include "platform/core/quit_signals.h"

#include <signal.h>

#include <csignal>

namespace platform {

namespace {

volatile std::sig_atomic_t quitSignalled = 0;
bool caught = false;

extern "C" void OnQuitSignal(int) { quitSignalled = 1; }

}  // namespace

void CatchQuitSignals() {
    struct sigaction action {};
    action.sa_handler = &OnQuitSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking call the signal interrupts returns, so the close request is not
    // held up behind it.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigset_t quit;
    sigemptyset(&quit);
    sigaddset(&quit, SIGINT);
    sigaddset(&quit, SIGTERM);
    sigprocmask(SIG_UNBLOCK, &quit, nullptr);
    caught = true;
}

bool QuitSignalsCaught() { return caught; }

bool TakeQuitSignal() {
    if (!quitSignalled) return false;
    quitSignalled = 0;
    return true;
}

}  // namespace platform
