#pragma once
// The layer's description of a surface's pixels: per-channel maxima and shifts and a depth code
// (8, 15, 16, 24, 32, or 0 for a format the layer does not handle).
#include <cstdint>

namespace media {

struct PixelFormat {
    std::uint8_t blueMax = 0, greenMax = 0, redMax = 0;
    std::uint8_t blueShift = 0, greenShift = 0, redShift = 0;
    std::int32_t depth = 0;
};

// Bytes one pixel takes at a depth code (0 for unhandled depths).
constexpr int BytesPerPixelOfDepth(std::int32_t depth) {
    switch (depth) {
        case 8: return 1;
        case 15:
        case 16: return 2;
        case 24: return 3;
        case 32: return 4;
        default: return 0;
    }
}

}  // namespace media
