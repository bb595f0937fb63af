#pragma once
// Raw pixel loads and stores by bytes per pixel. Every access goes through memcpy so that any
// address is fine (the compiler emits single loads and stores) and the alignment checks stay clean.
#include <cstdint>
#include <cstring>

#include "platform/pixels/pixel_traits.h"

// Marks the entry of a pixel loop to be built twice, for AVX2 and for the baseline processor,
// with everything it calls inlined into each; the loader picks one for the running processor.
// The loops are written plainly for the vectoriser: this gives it wider registers where the
// processor has them. Only GCC on x86-64, and never in a sanitizer build: the loader runs the
// resolver that picks a copy before the sanitizer's runtime is ready (CMake defines
// MEDIA_NO_FUNCTION_CLONES for every sanitizer; the compiler's own macros catch flags set by hand).
// MEDIA_PIXEL_CLONES says the copies are made: under the same conditions a loop written with
// AVX2 intrinsics may be built beside its baseline and chosen once per call on the processor.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(MEDIA_NO_FUNCTION_CLONES) && \
    !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define MEDIA_PIXEL_LOOP __attribute__((target_clones("avx2", "default"), flatten))
#define MEDIA_PIXEL_CLONES 1
#else
#define MEDIA_PIXEL_LOOP
#endif

namespace platform {

template <int Bytes>
inline std::uint32_t LoadPixel(const std::uint8_t* p) {
    if constexpr (Bytes == 1) {
        return *p;
    } else if constexpr (Bytes == 2) {
        std::uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    } else if constexpr (Bytes == 3) {
        return p[0] | (p[1] << 8) | (std::uint32_t{p[2]} << 16);
    } else {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
}

template <int Bytes>
inline void StorePixel(std::uint8_t* p, std::uint32_t v) {
    if constexpr (Bytes == 1) {
        *p = static_cast<std::uint8_t>(v);
    } else if constexpr (Bytes == 2) {
        const auto w = static_cast<std::uint16_t>(v);
        std::memcpy(p, &w, 2);
    } else if constexpr (Bytes == 3) {
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
    } else {
        std::memcpy(p, &v, 4);
    }
}

// Writes count copies of the pixel from d on: bytes as one memset; 16-bit pixels as one pixel for
// an odd count and then words holding two, which halves the stores; wider pixels one by one.
template <int Bytes>
inline void FillPixels(std::uint8_t* d, std::int32_t count, std::uint32_t pixel) {
    if constexpr (Bytes == 1) {
        std::memset(d, static_cast<int>(pixel & 0xFF), static_cast<std::size_t>(count));
    } else if constexpr (Bytes == 2) {
        // Counted upwards to a bound, so the compiler knows the trip count and widens the stores.
        std::int32_t x = 0;
        if (count % 2) StorePixel<2>(d + 2 * x++, pixel);
        const std::uint32_t word = PixelSize<2>::Repeated(pixel);
        for (; x < count; x += 2) StorePixel<4>(d + 2 * x, word);
    } else {
        for (std::int32_t x = 0; x < count; ++x) StorePixel<Bytes>(d + x * Bytes, pixel);
    }
}

}  // namespace platform
