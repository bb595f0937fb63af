#pragma once
// What every picture fuzz target does with one input: detect its type (the signature checks see
// the same bytes) and hand it to one decoder by type code, on a 32-bit headless display. A
// surface that comes back is read whole, so a wrong size or an unwritten row shows under the
// sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "media/display/pixel_surface.h"
#include "media/image/image.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/video/display_device.h"

namespace fuzz {

inline platform::DisplayDevice& Device() {
    static std::shared_ptr<platform::DisplayDevice> device = [] {
        platform::headless::Controls().Reset();
        std::shared_ptr<platform::DisplayDevice> d;
        platform::DirectDrawCreate(nullptr, &d);
        return d;
    }();
    return *device;
}

inline int DecodeAs(std::uint32_t type, const std::uint8_t* data, std::size_t size) {
    media::Image image;
    image.DetectType(size, data);
    const media::SurfacePtr surface = image.LoadMemory(&Device(), size, data, media::MEMORY_SYSTEM, type);
    if (!surface) return 0;
    if (surface->Width() < 1 || surface->Height() < 1) std::abort();
    static volatile std::uint32_t sink = 0;
    for (std::int32_t y = 0; y < surface->Height(); ++y) {
        for (std::int32_t x = 0; x < surface->Width(); ++x) sink = sink + surface->PixelAt(x, y);
    }
    return 0;
}

}  // namespace fuzz
