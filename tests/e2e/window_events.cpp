// A front-door window that prints the window's own events (Resized, Closed, focus) on standard
// output as they come, one line each, for the end-to-end tests of the real window. It runs until
// the window is closed and ends with exit code 0.
// Usage: window-events [--resizable | --fullscreen]
#include <cstdio>
#include <cstring>

#include "media/app/zamelmedia.h"

int main(int argc, char** argv) {
    media::WindowMode mode = media::WindowMode::Windowed;
    if (argc > 1 && std::strcmp(argv[1], "--resizable") == 0) mode = media::WindowMode::Resizable;
    if (argc > 1 && std::strcmp(argv[1], "--fullscreen") == 0) mode = media::WindowMode::Fullscreen;
    media::Window window;
    if (!window.Open("window events", 320, 240, mode).Report("window-events")) return 1;
    float dt = 0;
    bool running = true;
    while (running) {
        running = window.NextFrame(dt);
        for (media::Event event; window.PollEvent(event);) {
            switch (event.type) {
                case media::EventType::Resized: std::printf("Resized %dx%d\n", event.x, event.y); break;
                case media::EventType::Closed: std::printf("Closed\n"); break;
                case media::EventType::FocusGained: std::printf("FocusGained\n"); break;
                case media::EventType::FocusLost: std::printf("FocusLost\n"); break;
                default: break;
            }
        }
        std::fflush(stdout);
        if (running) window.Draw().Clear(media::kDarkBlue);
    }
    return 0;
}
