#include "media/blit/coverage_blend.h"

#include "media/blit/straight_alpha.h"
#include "platform/pixels/pixel_access.h"

namespace media {

namespace {

template <typename T, bool Opaque>
void Blend(const platform::PixelView& dest, const std::uint8_t* coverage, std::ptrdiff_t pitch, std::uint32_t raw, std::uint32_t alpha) {
    constexpr int B = T::kBytes;
    for (std::int32_t y = 0; y < dest.height; ++y, coverage += pitch) {
        std::uint8_t* d = dest.Row(y);
        for (std::int32_t x = 0; x < dest.width; ++x) {
            const std::uint32_t weight = Opaque ? coverage[x] : Div255(coverage[x] * alpha);
            platform::StorePixel<B>(d + x * B, OverPixel<T>(raw, platform::LoadPixel<B>(d + x * B), weight));
        }
    }
}

}  // namespace

MEDIA_PIXEL_LOOP void BlendCoverage(const platform::PixelView& dest, std::int32_t depth, const std::uint8_t* coverage,
                                    std::ptrdiff_t coveragePitch, std::uint32_t raw, std::uint8_t alpha) {
    if (dest.Empty() || alpha == 0) return;
    platform::DispatchDepth(depth, [&]<typename T>() {
        if (alpha == 255) {
            Blend<T, true>(dest, coverage, coveragePitch, raw, 255);
        } else {
            Blend<T, false>(dest, coverage, coveragePitch, raw, alpha);
        }
    });
}

}  // namespace media
