// Draws a frame through the installed layer on the headless backend and checks that the desktop
// shows it: a window, a screen, a filled back surface with a line, and one presented frame.
#include <cstdio>

#include "media/display/pixel_surface.h"
#include "media/display/screen.h"
#include "platform/window/window.h"
#ifndef CONSUMER_REAL_BACKEND
#include "platform/backends/headless/headless_backend.h"
#endif

int main() {
#ifndef CONSUMER_REAL_BACKEND
    platform::headless::Controls().SetDesktop(320, 240, 32);
#endif
    platform::WindowClass windowClass;
    windowClass.className = "consumer";
    windowClass.proc = &platform::DefWindowProc;
    platform::RegisterClass(windowClass);
    platform::HWND window = platform::CreateWindowEx(0, "consumer", "consumer", platform::WS_POPUP, 10, 20, 64, 48);
    platform::ShowWindow(window, platform::SW_SHOWNORMAL);

    int failures = 0;
    {
        media::Screen screen;
        if (const std::int32_t result = screen.SetWindowedMode(window, 64, 48); result != 0) {
            std::fprintf(stderr, "consumer: SetWindowedMode gave %d\n", result);
            return 1;
        }
        media::PixelSurface* back = screen.Back();
        back->Fill(0x00336699);
        back->Lock();
        back->DrawHLine(0, 63, 5, 0x00FF0000);
        back->Unlock();
        screen.Flip(0, 1, 0);
#ifndef CONSUMER_REAL_BACKEND
        const auto& desktop = platform::headless::Controls().DesktopSurface();
        const struct { int x, y; unsigned expected; } probes[] = {
            {10, 20, 0x00336699}, {73, 67, 0x00336699}, {40, 25, 0x00FF0000}, {9, 20, 0}, {74, 20, 0}};
        for (const auto& probe : probes) {
            const unsigned got = desktop.PixelAt(probe.x, probe.y);
            if (got != probe.expected) {
                std::fprintf(stderr, "consumer: desktop (%d, %d) is %08X, expected %08X\n", probe.x, probe.y, got, probe.expected);
                ++failures;
            }
        }
#endif
    }
    platform::ResetWindowSystem();
    if (failures == 0) std::puts("consumer: frame presented");
    return failures == 0 ? 0 : 1;
}
