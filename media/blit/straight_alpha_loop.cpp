#include "media/blit/straight_alpha_loop.h"

#include <cstring>

#include "media/blit/straight_alpha.h"
#include "platform/pixels/pixel_access.h"

#if defined(MEDIA_PIXEL_CLONES)
#include <immintrin.h>
#endif

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

#if defined(MEDIA_PIXEL_CLONES)
// OverPixel's channel arithmetic on sixteen 16-bit channels: source, destination, weight.
__attribute__((target("avx2"), always_inline)) inline __m256i Mix16(__m256i s, __m256i d, __m256i w) {
    __m256i x = _mm256_add_epi16(_mm256_mullo_epi16(s, w), _mm256_mullo_epi16(d, _mm256_sub_epi16(_mm256_set1_epi16(255), w)));
    x = _mm256_add_epi16(x, _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8);
}

// OverRow32 in 256-bit registers, for processors with AVX2: eight pixels an instruction. Each
// 128-bit half of a register works on its own four pixels, so the weights are spread the same way
// the unpacking spreads the pixels (pixels 0, 1 | 4, 5 low, 2, 3 | 6, 7 high).
__attribute__((target("avx2"))) void OverRow32Avx2(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* alpha, std::int32_t w) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i fourth = _mm256_set1_epi32(static_cast<std::int32_t>(0xFF000000u));
    std::int32_t i = 0;
    for (; i + 8 <= w; i += 8) {
        std::uint64_t weights;
        std::memcpy(&weights, alpha + i, 8);
        if (weights == 0) continue;
        __m256i* dp = reinterpret_cast<__m256i*>(d + i * 4);
        const __m256i src = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i * 4));
        const __m256i old = _mm256_loadu_si256(dp);
        __m256i out = src;
        if (weights != ~std::uint64_t{0}) {
            // Each pixel's weight in both 16-bit halves of its 32 bits, then over its four bytes.
            __m256i ww = _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(static_cast<long long>(weights)));
            ww = _mm256_or_si256(ww, _mm256_slli_epi32(ww, 16));
            out = _mm256_packus_epi16(
                Mix16(_mm256_unpacklo_epi8(src, zero), _mm256_unpacklo_epi8(old, zero), _mm256_unpacklo_epi32(ww, ww)),
                Mix16(_mm256_unpackhi_epi8(src, zero), _mm256_unpackhi_epi8(old, zero), _mm256_unpackhi_epi32(ww, ww)));
        }
        _mm256_storeu_si256(dp, _mm256_or_si256(_mm256_andnot_si256(fourth, out), _mm256_and_si256(fourth, old)));
    }
    OverRun<platform::PixelTraits<32>>(d, s, alpha, i, w);
}
#endif

template <typename T>
void StraightAlphaWalk(const SoftwareBlitArea& area, const std::uint8_t* map, std::int32_t mapWidth) {
    const std::int32_t w = area.dest.width;
    const std::uint8_t* alphaRow = map + static_cast<std::ptrdiff_t>(area.sourceRect.top) * mapWidth + area.sourceRect.left;
#if defined(MEDIA_PIXEL_CLONES)
    if constexpr (T::kDepth == 32) {
        if (__builtin_cpu_supports("avx2")) {
            for (std::int32_t y = 0; y < area.dest.height; ++y, alphaRow += mapWidth) OverRow32Avx2(area.dest.Row(y), area.source.Row(y), alphaRow, w);
            return;
        }
    }
#endif
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
