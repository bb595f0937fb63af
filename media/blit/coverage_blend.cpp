#include "media/blit/coverage_blend.h"


#include "media/blit/straight_alpha.h"
#include "platform/pixels/pixel_access.h"

namespace media {

namespace {


template <typename T, bool Opaque>
void Blend(const platform::PixelView& dest, const CoveragePiece* pieces, std::size_t count, const std::uint8_t* map, std::ptrdiff_t pitch,
           std::uint32_t raw, std::uint32_t alpha) {
    constexpr int B = T::kBytes;
    for (std::size_t k = 0; k < count; ++k) {
        const platform::Rect& r = pieces[k].area;
        const std::uint8_t* coverage = map + pieces[k].offset;
        for (std::int32_t y = r.top; y < r.bottom; ++y, coverage += pitch) {
            // A glyph row's empty ends are left alone; between them every pixel is blended, with
            // no branch, which the vectoriser widens.
            std::int32_t first = 0, end = r.right - r.left;
            while (first < end && coverage[first] == 0) ++first;
            while (end > first && coverage[end - 1] == 0) --end;
            std::uint8_t* d = dest.At(r.left, y);
            std::int32_t x = first;
#if defined(__SSE2__)
            if constexpr (T::kDepth == 32) {
                const __m128i colour = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<std::int32_t>(raw & 0xFFFFFF)), _mm_setzero_si128());
                // The last group may reach past the row's end (weights 0 there: those pixels are
                // written back unchanged), as long as it stays on the surface's row.
                for (; x < end && r.left + x + 4 <= dest.width; x += 4) {
                    std::uint8_t weights[4];
                    for (int k = 0; k < 4; ++k) {
                        const std::uint32_t c = x + k < end ? coverage[x + k] : 0;
                        weights[k] = static_cast<std::uint8_t>(Opaque ? c : Div255(c * alpha));
                    }
                    OverFour(d + x * B, colour, colour, weights);
                }
            }
#endif
            for (; x < end; ++x) {
                const std::uint32_t c = coverage[x];
                platform::StorePixel<B>(d + x * B, OverPixel<T>(raw, platform::LoadPixel<B>(d + x * B), Opaque ? c : Div255(c * alpha)));
            }
        }
    }
}

}  // namespace

MEDIA_PIXEL_LOOP void BlendCoverage(const platform::PixelView& dest, std::int32_t depth, const CoveragePiece* pieces, std::size_t count,
                                    const std::uint8_t* coverage, std::ptrdiff_t coveragePitch, std::uint32_t raw, std::uint8_t alpha) {
    if (dest.Empty() || alpha == 0) return;
    platform::DispatchDepth(depth, [&]<typename T>() {
        if (alpha == 255) {
            Blend<T, true>(dest, pieces, count, coverage, coveragePitch, raw, 255);
        } else {
            Blend<T, false>(dest, pieces, count, coverage, coveragePitch, raw, alpha);
        }
    });
}

}  // namespace media
