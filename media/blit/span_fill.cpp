#include "media/blit/span_fill.h"

#include "media/blit/straight_alpha.h"
#include "platform/pixels/pixel_access.h"

namespace media {

namespace {

template <typename T>
void Fill(const platform::PixelView& dest, const PixelSpan* spans, std::size_t count, std::uint32_t raw, std::uint32_t alpha) {
    constexpr int B = T::kBytes;
    for (std::size_t k = 0; k < count; ++k) {
        const PixelSpan& s = spans[k];
        std::uint8_t* d = dest.Row(s.y) + static_cast<std::ptrdiff_t>(s.begin) * B;
        const std::int32_t n = s.end - s.begin;
        if (alpha == 255) {
            platform::FillPixels<B>(d, n, raw);
        } else {
            for (std::int32_t i = 0; i < n; ++i) platform::StorePixel<B>(d + i * B, OverPixel<T>(raw, platform::LoadPixel<B>(d + i * B), alpha));
        }
    }
}

}  // namespace

MEDIA_PIXEL_LOOP void FillSpans(const platform::PixelView& dest, std::int32_t depth, const PixelSpan* spans, std::size_t count,
                                std::uint32_t raw, std::uint8_t alpha) {
    if (alpha == 0) return;
    platform::DispatchDepth(depth, [&]<typename T>() {
        // The palette cannot blend: a colour at least half opaque is drawn whole, one below is not.
        if constexpr (T::kIndexed) {
            if (alpha >= 128) Fill<T>(dest, spans, count, raw, 255);
        } else {
            Fill<T>(dest, spans, count, raw, alpha);
        }
    });
}

}  // namespace media
