#include "media/blit/straight_alpha_loop.h"

#include <cstring>

#include "media/blit/straight_alpha.h"
#include "platform/pixels/pixel_access.h"

namespace media {

namespace {

template <typename T>
void OverRun(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* alpha, std::int32_t from, std::int32_t to) {
    constexpr int B = T::kBytes;
    for (std::int32_t i = from; i < to; ++i)
        platform::StorePixel<B>(d + i * B, OverPixel<T>(platform::LoadPixel<B>(s + i * B), platform::LoadPixel<B>(d + i * B), alpha[i]));
}

#if defined(__SSE2__)
// A 32-bit row eight pixels at a time. Pictures with alpha are mostly runs of clear and opaque
// pixels: eight weights of 0 leave the destination as it is, eight of 255 take the source's
// colour bytes (the destination keeps its fourth byte, as OverPixel gives), and any other eight
// are blended four to an instruction with OverPixel's arithmetic. The last pixels go one by one.
void OverRow32(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* alpha, std::int32_t w) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i fourth = _mm_set1_epi32(static_cast<std::int32_t>(0xFF000000u));
    std::int32_t i = 0;
    for (; i + 8 <= w; i += 8) {
        std::uint64_t weights;
        std::memcpy(&weights, alpha + i, 8);
        if (weights == 0) continue;
        for (int half = 0; half < 8; half += 4) {
            std::uint8_t* dp = d + (i + half) * 4;
            const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + (i + half) * 4));
            if (weights == ~std::uint64_t{0}) {
                const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dp));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(dp), _mm_or_si128(_mm_andnot_si128(fourth, src), _mm_and_si128(fourth, old)));
            } else {
                OverFour(dp, _mm_unpacklo_epi8(src, zero), _mm_unpackhi_epi8(src, zero), alpha + i + half);
            }
        }
    }
    OverRun<platform::PixelTraits<32>>(d, s, alpha, i, w);
}
#endif

template <typename T>
void StraightAlphaWalk(const SoftwareBlitArea& area, const std::uint8_t* map, std::int32_t mapWidth) {
    const std::int32_t w = area.dest.width;
    const std::uint8_t* alphaRow = map + static_cast<std::ptrdiff_t>(area.sourceRect.top) * mapWidth + area.sourceRect.left;
    for (std::int32_t y = 0; y < area.dest.height; ++y, alphaRow += mapWidth) {
#if defined(__SSE2__)
        if constexpr (T::kDepth == 32) {
            OverRow32(area.dest.Row(y), area.source.Row(y), alphaRow, w);
            continue;
        }
#endif
        OverRun<T>(area.dest.Row(y), area.source.Row(y), alphaRow, 0, w);
    }
}

}  // namespace

MEDIA_PIXEL_LOOP void StraightAlphaLoop(const SoftwareBlitArea& area, const std::uint8_t* alphaMap, std::int32_t mapWidth) {
    platform::DispatchDepth(area.depth, [&]<typename T>() { StraightAlphaWalk<T>(area, alphaMap, mapWidth); });
}

}  // namespace media
