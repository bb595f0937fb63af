#pragma once
// What every example shares and would otherwise repeat: the --frames N --screenshot FILE options
// that run an example for N frames and save its last frame (the README's pictures are made that
// way on the headless backend), and the window's mode. Only the layer's public headers are used.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <zamelmedia/media/app/window.h>
#include <zamelmedia/media/display/pixel_surface.h>
#include <zamelmedia/platform/pixels/color_convert.h>

namespace example {

// --frames N (stop after N frames), --screenshot FILE (save the last frame as a PPM), and
// --fullscreen or --resizable (the window's mode; the drawing area is scaled to the window).
struct RunOptions {
    long frames = -1;  // -1: until the window is closed
    const char* screenshot = nullptr;
    media::WindowMode mode = media::WindowMode::Windowed;
    const char* argument = nullptr;  // the first other argument (a file name), if any
};

inline RunOptions ParseOptions(int argc, char** argv) {
    RunOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            options.frames = std::strtol(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
            options.screenshot = argv[++i];
        } else if (std::strcmp(argv[i], "--fullscreen") == 0) {
            options.mode = media::WindowMode::Fullscreen;
        } else if (std::strcmp(argv[i], "--resizable") == 0) {
            options.mode = media::WindowMode::Resizable;
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
