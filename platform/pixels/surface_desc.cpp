#include "platform/pixels/surface_desc.h"

#include "platform/pixels/pixel_traits.h"

namespace platform {

namespace {

template <typename T>
constexpr PixelFormatDesc Describe() {
    return {T::kIndexed ? DDPF_PALETTEINDEXED8 | DDPF_RGB : DDPF_RGB, T::kBytes * 8u, T::kRedMask, T::kGreenMask, T::kBlueMask};
}

}  // namespace

PixelFormatDesc FormatForDepth(int depth) {
    // A code the display does not offer gets the 32-bit format.
    PixelFormatDesc format = Describe<PixelTraits<32>>();
    DispatchDepth(depth, [&]<typename T>() { format = Describe<T>(); });
    return format;
}

int BytesPerPixel(const PixelFormatDesc& format) {
    const int bytes = static_cast<int>((format.bitCount + 7) / 8);
    return bytes < 1 ? 1 : (bytes > 4 ? 4 : bytes);
}

}  // namespace platform
