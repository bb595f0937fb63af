#pragma once
// What every example shares and would otherwise repeat: a window of a given client size, one turn
// of the message queue, and the --frames N --screenshot FILE options that run an example for N
// frames and save its last frame (the README's pictures are made that way on the headless
// backend). Only the layer's public headers are used.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "media/display/pixel_surface.h"
#include "platform/pixels/color_convert.h"
#include "platform/window/window.h"

namespace example {

inline bool quitRequested = false;

// The close box ends the example: the window procedure turns WM_CLOSE into a quit request.
inline platform::LRESULT WindowProc(platform::HWND window, std::uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) {
    if (message == platform::WM_CLOSE) {
        quitRequested = true;
        return 0;
    }
    return platform::DefWindowProc(window, message, wParam, lParam);
}

// A shown window whose client area is width x height, or null.
inline platform::HWND OpenWindow(const char* title, std::int32_t width, std::int32_t height) {
    platform::WindowClass windowClass;
    windowClass.className = "example";
    windowClass.proc = &WindowProc;
    platform::RegisterClass(windowClass);
    const std::uint32_t style = platform::WS_CAPTION | platform::WS_SYSMENU;
    platform::Rect rect{0, 0, width, height};
    platform::AdjustWindowRectEx(&rect, style, false, 0);  // the outer size for that client area
    platform::HWND window = platform::CreateWindowEx(0, "example", title, style, 0, 0, rect.Width(), rect.Height());
    if (window) platform::ShowWindow(window, platform::SW_SHOWNORMAL);
    return window;
}

// Handles every waiting message; false once the window was closed or the program asked to quit.
inline bool PumpMessages() {
    platform::Message message;
    while (platform::PeekMessage(&message, nullptr, 0, 0, platform::PM_REMOVE)) {
        if (message.message == platform::WM_QUIT) quitRequested = true;
        platform::DispatchMessage(&message);
    }
    return !quitRequested;
}

// The raw pixel value of a colour in the surface's format (what Fill and the pixel routines take).
inline std::uint32_t Colour(const media::PixelSurface& surface, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return platform::RawFromRgb(r, g, b, surface.Surface()->Format());
}

// --frames N (stop after N frames) and --screenshot FILE (save the last frame as a PPM).
struct RunOptions {
    long frames = -1;  // -1: until the window is closed
    const char* screenshot = nullptr;
    const char* argument = nullptr;  // the first other argument (a file name), if any
};

inline RunOptions ParseOptions(int argc, char** argv) {
    RunOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            options.frames = std::strtol(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
            options.screenshot = argv[++i];
        } else if (!options.argument) {
            options.argument = argv[i];
        }
    }
    return options;
}

// Writes the surface as a binary PPM, each raw pixel turned back into its colour. The surface
// must not be locked by the caller. False when the file cannot be written.
inline bool SaveScreenshot(media::PixelSurface& surface, const char* path) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", surface.Width(), surface.Height());
    surface.Lock();
    const platform::PixelFormatDesc format = surface.View().format;
    for (std::int32_t y = 0; y < surface.Height(); ++y) {
        for (std::int32_t x = 0; x < surface.Width(); ++x) {
            const platform::COLORREF c = platform::ColorRefFromRaw(surface.GetPixel(x, y), format);
            const unsigned char rgb[3] = {platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c)};
            std::fwrite(rgb, 1, 3, file);
        }
    }
    surface.Unlock();
    return std::fclose(file) == 0;
}

}  // namespace example
