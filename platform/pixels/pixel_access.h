#pragma once
// Raw pixel loads and stores by bytes per pixel. Every access goes through memcpy so that any
// address is fine (the compiler emits single loads and stores) and the alignment checks stay clean.
#include <cstdint>
#include <cstring>

// Marks the entry of a pixel loop to be built twice, for AVX2 and for the baseline processor,
// with everything it calls inlined into each; the loader picks one for the running processor.
// The loops are written plainly for the vectoriser: this gives it wider registers where the
// processor has them. Only GCC on x86-64, and not in sanitizer builds.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
#define MEDIA_PIXEL_LOOP __attribute__((target_clones("avx2", "default"), flatten))
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

// The bits of a raw value that a pixel of this size holds.
template <int Bytes>
constexpr std::uint32_t PixelMask() {
    return Bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * Bytes)) - 1u;
}

// The bits of a pixel that a colour key is compared with: the whole pixel, except that a 32-bit
// pixel's fourth byte carries no colour and is left out (as in the 24-bit formats, the key is
// compared with the three colour bytes). A key with bits outside this mask matches no pixel.
template <int Bytes>
constexpr std::uint32_t KeyCompareMask() {
    return Bytes == 4 ? 0x00FFFFFFu : PixelMask<Bytes>();
}

// Calls f.template operator()<Bytes>() for a run-time pixel size of 1 to 4 bytes: the one place
// where a depth is turned into a compile-time constant, once per operation.
template <typename F>
inline void DispatchBytes(int bytes, F&& f) {
    switch (bytes) {
        case 1: f.template operator()<1>(); break;
        case 2: f.template operator()<2>(); break;
        case 3: f.template operator()<3>(); break;
        case 4: f.template operator()<4>(); break;
        default: break;
    }
}

}  // namespace platform
