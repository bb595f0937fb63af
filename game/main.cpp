// bodo & zamel: the program's entry point.
#include "game/app_shell.h"
#include "platform/core/quit_signals.h"
#include "platform/window/window.h"

int main() {
    // Before anything else: SIGTERM or SIGINT during start-up must end the game through its
    // close request (exit code 0), not kill it.
    platform::CatchQuitSignals();
    const int exitCode = game::RunApplication(platform::SW_SHOWNORMAL);
    platform::ResetWindowSystem();
    return exitCode;
}
