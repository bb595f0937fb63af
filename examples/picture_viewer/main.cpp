// Tutorial: a picture viewer. `picture-viewer FILE` shows any picture the layer reads (the format
// is found from the file's content, not its name) scaled to the 640 x 480 window, keeping its
// proportions, centred on a dark grey border.
//
// 1. PixelSurface::CreateFromFile loads the picture into a surface in the screen's format.
// 2. A stretching copy (Blt with different source and destination sizes) scales it into the back
//    surface; Flip presents it.
#include <algorithm>
#include <cstdio>

#include "example_support.h"
#include "media/display/pixel_surface.h"
#include "media/display/screen.h"
#include "platform/pixels/surface_desc.h"
#include "platform/core/system.h"

namespace {

constexpr std::int32_t kWidth = 640, kHeight = 480;

// The largest rectangle with the picture's proportions that fits the window, centred.
platform::Rect FitInWindow(std::int32_t width, std::int32_t height) {
    // Compare width/height with kWidth/kHeight without dividing: which side limits the scale.
    const bool wide = std::int64_t{width} * kHeight >= std::int64_t{height} * kWidth;
    const auto w = static_cast<std::int32_t>(wide ? kWidth : std::int64_t{width} * kHeight / height);
    const auto h = static_cast<std::int32_t>(wide ? std::int64_t{height} * kWidth / width : kHeight);
    const std::int32_t left = (kWidth - std::max(w, 1)) / 2, top = (kHeight - std::max(h, 1)) / 2;
    return {left, top, left + std::max(w, 1), top + std::max(h, 1)};
}

}  // namespace

int main(int argc, char** argv) {
    const example::RunOptions options = example::ParseOptions(argc, argv);
    if (!options.argument) {
        std::fprintf(stderr, "usage: picture-viewer FILE [--frames N] [--screenshot OUT.ppm]\n");
        return 2;
    }
    platform::HWND window = example::OpenWindow(options.argument, kWidth, kHeight);
    media::Screen screen;
    if (!window || screen.SetWindowedMode(window, kWidth, kHeight) != 0) {
        std::fprintf(stderr, "picture-viewer: no window or display\n");
        return 1;
    }
    // The surface belongs to this program; the screen lists it so it is redrawn from the file
    // after the display loses its surfaces.
    media::PixelSurface picture;
    if (picture.CreateFromFile(&screen, options.argument, media::MEMORY_ANY) != 1) {
        std::fprintf(stderr, "picture-viewer: %s is not a picture the layer reads\n", options.argument);
        return 1;
    }
    std::printf("%s: %d x %d\n", options.argument, picture.Width(), picture.Height());

    media::PixelSurface* back = screen.Back();
    const platform::Rect target = FitInWindow(picture.Width(), picture.Height());
    for (long frame = 0; example::PumpMessages() && frame != options.frames; ++frame) {
        back->Fill(example::Colour(*back, 48, 48, 48));
        back->Surface()->Blt(&target, picture.Surface(), nullptr, platform::DDBLT_WAIT, nullptr);
        screen.Flip(0, 1, 0);
        platform::Sleep(30);  // nothing moves: a few frames a second are enough
    }
    if (options.screenshot && !example::SaveScreenshot(*back, options.screenshot)) return 1;
    return 0;
}
