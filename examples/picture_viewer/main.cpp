// Tutorial: a picture viewer. `picture-viewer FILE` shows any picture the layer reads (the format
// is found from the file's content, not its name) scaled to the 640 x 480 window, keeping its
// proportions, centred on a dark grey border.
//
// 1. Picture::Load reads the file into a picture in the window's format; its Status says why a
//    file is not one.
// 2. Every frame: clear the window's canvas to grey and copy the picture scaled into it. Canvas
//    copies are one to one, so the scaling is the layer's stretching copy (Blt with different
//    source and destination sizes) from the picture's surface to the canvas's.
#include <algorithm>
#include <cstdio>

#include <zamelmedia/zamelmedia.h>
#include <zamelmedia/media/display/pixel_surface.h>
#include <zamelmedia/platform/pixels/surface_desc.h>

#include "example_support.h"

namespace {

constexpr std::int32_t kWidth = 640, kHeight = 480;
constexpr media::Color kBorder{48, 48, 48};

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
    media::Window window;
    if (!window.Open(options.argument, kWidth, kHeight, options.mode).Report("picture-viewer")) return 1;
    media::Picture picture;
    if (!picture.Load(window, options.argument).Report("picture-viewer")) return 1;
    std::printf("%s: %d x %d\n", options.argument, picture.Width(), picture.Height());

    const platform::Rect target = FitInWindow(picture.Width(), picture.Height());
    float dt = 0;
    for (long frame = 0; frame != options.frames && window.NextFrame(dt); ++frame) {
        const media::Canvas canvas = window.Draw();
        canvas.Clear(kBorder);
        canvas.Surface().Surface()->Blt(&target, picture.Surface().Surface(), nullptr, platform::DDBLT_WAIT, nullptr);
    }
    if (options.screenshot && !example::SaveScreenshot(window.Draw().Surface(), options.screenshot)) return 1;
    return 0;
}
