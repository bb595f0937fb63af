#include "platform/pixels/surface_desc.h"

namespace platform {

PixelFormatDesc FormatForDepth(int depth) {
    switch (depth) {
        case 8: return {DDPF_PALETTEINDEXED8 | DDPF_RGB, 8, 0, 0, 0};
        case 15: return {DDPF_RGB, 16, 0x7C00, 0x03E0, 0x001F};
        case 16: return {DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F};
        case 24: return {DDPF_RGB, 24, 0xFF0000, 0x00FF00, 0x0000FF};
        default: return {DDPF_RGB, 32, 0xFF0000, 0x00FF00, 0x0000FF};
    }
}

int BytesPerPixel(const PixelFormatDesc& format) {
    const int bytes = static_cast<int>((format.bitCount + 7) / 8);
    return bytes < 1 ? 1 : (bytes > 4 ? 4 : bytes);
}

}  // namespace platform
