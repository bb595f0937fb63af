#pragma once
// A pixman image over the same pixel memory as one of our surfaces, for the benchmarks that run
// pixman's operation on the very pixels ours works on; the image is released with its holder, the
// pixels stay ours.
#include <cstdint>
#include <memory>

#include <pixman.h>

#include "media/display/pixel_surface.h"

struct PixmanImage {
    explicit PixmanImage(pixman_image_t* image) : image(image) {}
    ~PixmanImage() { pixman_image_unref(image); }
    PixmanImage(const PixmanImage&) = delete;
    PixmanImage& operator=(const PixmanImage&) = delete;
    pixman_image_t* image;
};

// The same byte layout as ours at each depth: 3-3-2 indexes, 5-5-5, 5-6-5, blue-green-red bytes,
// and blue-green-red-x words.
inline std::unique_ptr<PixmanImage> WrapForPixman(media::PixelSurface& s) {
    platform::DisplaySurface& d = *s.Surface();
    const int depth = s.GetPixelFormatInfo().depth;
    const pixman_format_code_t format = depth == 8    ? PIXMAN_r3g3b2
                                        : depth == 15 ? PIXMAN_x1r5g5b5
                                        : depth == 16 ? PIXMAN_r5g6b5
                                        : depth == 24 ? PIXMAN_r8g8b8
                                                      : PIXMAN_x8r8g8b8;
    return std::make_unique<PixmanImage>(
        pixman_image_create_bits(format, d.Width(), d.Height(), reinterpret_cast<std::uint32_t*>(d.Row(0)), d.Pitch()));
}
