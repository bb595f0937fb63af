#include "platform/color_convert.h"

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

}  // namespace platform
