// The blending and shadow blits: software loops on the locked surfaces, through the shared frame.
#include "media/blit/blit_loops.h"
#include "media/blit/software_frame.h"

namespace media {

using platform::Rect;

std::int32_t PixelSurface::BlitOpaqueHalfBlend(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect) {
    return RunSoftwareBlit(*this, dest, x, y, srcRect, [&](const SoftwareBlitArea& area) { HalfBlendLoop(area, false, 0); });
}

std::int32_t PixelSurface::BlitKeyedHalfBlend(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect) {
    return RunSoftwareBlit(*this, dest, x, y, srcRect, [&](const SoftwareBlitArea& area) { HalfBlendLoop(area, true, colorKey_); });
}

std::int32_t PixelSurface::BlitOpaqueBlend(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect, std::uint16_t weight) {
    return RunSoftwareBlit(*this, dest, x, y, srcRect, [&](const SoftwareBlitArea& area) { BlendLoop(area, false, 0, weight); });
}

std::int32_t PixelSurface::BlitKeyedBlend(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect, std::uint16_t weight) {
    return RunSoftwareBlit(*this, dest, x, y, srcRect, [&](const SoftwareBlitArea& area) { BlendLoop(area, true, colorKey_, weight); });
}

std::int32_t PixelSurface::BlitKeyedAlphaMap(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect) {
    // Without a map every pixel is the source's own: the plain colour-keyed copy, hardware path
    // and result included.
    if (!alphaMap_) return BlitKeyed(dest, x, y, srcRect);
    return RunSoftwareBlit(*this, dest, x, y, srcRect,
                           [&](const SoftwareBlitArea& area) { AlphaMapLoop(area, colorKey_, alphaMap_.get(), width_); });
}

std::int32_t PixelSurface::BlitOpaqueShade(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect, std::uint16_t factor) {
    return RunSoftwareBlit(*this, dest, x, y, srcRect, [&](const SoftwareBlitArea& area) { ShadeLoop(area, false, 0, factor); });
}

std::int32_t PixelSurface::BlitKeyedShade(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect, std::uint16_t factor) {
    return RunSoftwareBlit(*this, dest, x, y, srcRect, [&](const SoftwareBlitArea& area) { ShadeLoop(area, true, colorKey_, factor); });
}

std::int32_t PixelSurface::BlitOpaqueHalfShade(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect) {
    return RunSoftwareBlit(*this, dest, x, y, srcRect, [&](const SoftwareBlitArea& area) { HalfShadeLoop(area, false, 0); });
}

std::int32_t PixelSurface::BlitKeyedHalfShade(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect) {
    return RunSoftwareBlit(*this, dest, x, y, srcRect, [&](const SoftwareBlitArea& area) { HalfShadeLoop(area, true, colorKey_); });
}

}  // namespace media
