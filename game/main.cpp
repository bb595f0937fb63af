// bodo & zamel: the program's entry point.
#include "game/app_shell.h"
#include "platform/window/window.h"

int main() {
    const int exitCode = game::RunApplication(platform::SW_SHOWNORMAL);
    platform::ResetWindowSystem();
    return exitCode;
}
