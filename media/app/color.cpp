#include "media/app/color.h"

#include "media/display/pixel_surface.h"
#include "platform/pixels/color_convert.h"

namespace media {

std::uint32_t Color::RawFor(const PixelSurface& surface) const {
    const platform::DisplaySurface* pixels = surface.Surface();
    return pixels ? platform::RawFromRgb(r, g, b, pixels->Format()) : 0;
}

Color Color::FromRaw(std::uint32_t raw, const PixelSurface& surface) {
    const platform::DisplaySurface* pixels = surface.Surface();
    if (!pixels) return {};
    const platform::COLORREF c = platform::ColorRefFromRaw(raw, pixels->Format());
    return {platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c)};
}

}  // namespace media
