#include "platform/pixels/color_convert.h"

#include <bit>

namespace platform {

std::uint32_t PackChannel(std::uint8_t value, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t narrowed = bits >= 8 ? std::uint32_t{value} << (bits - 8) : std::uint32_t{value} >> (8 - bits);
    return (narrowed << shift) & mask;
}

std::uint32_t RawFromRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b, const PixelFormatDesc& format) {
    if (format.bitCount <= 8) return PaletteIndex332(r, g, b);
    return PackChannel(r, format.redMask) | PackChannel(g, format.greenMask) | PackChannel(b, format.blueMask);
}

namespace {

std::uint8_t UnpackChannel(std::uint32_t raw, std::uint32_t mask) {
    if (mask == 0) return 0;
    return WidenChannel((raw & mask) >> std::countr_zero(mask), std::popcount(mask));
}

}  // namespace

COLORREF ColorRefFromRaw(std::uint32_t raw, const PixelFormatDesc& format) {
    if (format.bitCount <= 8) return ColorOfIndex332(static_cast<std::uint8_t>(raw));
    return Rgb(UnpackChannel(raw, format.redMask), UnpackChannel(raw, format.greenMask), UnpackChannel(raw, format.blueMask));
}

}  // namespace platform
