#pragma once
// Shared ground for the blit tests: surfaces filled from a seed, raw snapshots, and slow
// references written per pixel through the pixel routines and the channel formulas, which the
// fast loops are compared against.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "media/blit/clipping.h"
#include "media/display/pixel_surface.h"
#include "media/display/screen.h"
#include "tests/headless_test.h"

namespace blit_test {

using media::PixelSurface;
using platform::Rect;

inline constexpr int kSoftwareDepths[] = {15, 16, 24, 32};

class BlitTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        screen = std::make_unique<media::Screen>();
    }
    void TearDown() override {
        screen.reset();
        HeadlessTest::TearDown();
    }

    std::unique_ptr<PixelSurface> Blank(std::int32_t width, std::int32_t height, int depth) {
        auto s = std::make_unique<PixelSurface>();
        EXPECT_EQ(s->CreateBlank(screen.get(), width, height, depth), 1);
        return s;
    }

    std::unique_ptr<media::Screen> screen;
};

// The bits a pixel of the depth holds.
inline std::uint32_t PixelBits(int depth) {
    switch (depth) {
        case 8: return 0xFF;
        case 15:
        case 16: return 0xFFFF;
        case 24: return 0xFFFFFF;
        default: return 0xFFFFFFFF;
    }
}

// A raw value weighted toward 0x00 and 0xFF bytes, where carries and masks go wrong.
inline std::uint32_t RandomPixel(std::mt19937& rng, int depth) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint32_t r = rng();
        const std::uint32_t byte = r % 4 == 0 ? 0 : r % 4 == 1 ? 0xFF : (r >> 8) & 0xFF;
        v |= byte << (8 * i);
    }
    return v & PixelBits(depth);
}

// Whether a keyed blit leaves a source pixel out: the key against the 16-bit pixel, or against
// the three colour bytes in 24 and 32 bits (a key with a fourth byte matches nothing).
inline bool IsKey(std::uint32_t pixel, std::uint32_t key, int depth) { return (depth == 32 ? pixel & 0xFFFFFF : pixel) == key; }

inline void SetRaw(PixelSurface& s, std::int32_t x, std::int32_t y, std::uint32_t value) {
    s.Lock();
    s.PutPixel(x, y, value);
    s.Unlock();
}

inline std::uint32_t Raw(const PixelSurface& s, std::int32_t x, std::int32_t y) { return s.Surface()->PixelAt(x, y); }

// Every pixel random; with keyDensity > 0, that share of pixels is the key (in 32 bits with a
// random fourth byte, which the 24-bit key comparison ignores).
inline void FillRandom(PixelSurface& s, std::mt19937& rng, std::uint32_t key = 0, int keyDensityPercent = 0) {
    const int depth = s.GetPixelFormatInfo().depth;
    s.Lock();
    const platform::Rect clip = s.ClipRect();
    s.SetClipRect({0, 0, s.Width(), s.Height()});
    for (std::int32_t y = 0; y < s.Height(); ++y) {
        for (std::int32_t x = 0; x < s.Width(); ++x) {
            std::uint32_t v = RandomPixel(rng, depth);
            if (keyDensityPercent > 0 && static_cast<int>(rng() % 100) < keyDensityPercent)
                v = depth == 32 ? (key & 0xFFFFFF) | (rng() % 2 ? 0 : rng() << 24) : key;
            s.PutPixel(x, y, v);
        }
    }
    s.SetClipRect(clip);
    s.Unlock();
}

// The key the blits compare with, made the surface's own through its top-left pixel.
inline std::uint32_t MakeKey(PixelSurface& s, std::uint32_t key) {
    SetRaw(s, 0, 0, key);
    EXPECT_EQ(s.SetColorKeyFromTopLeft(), 0);
    return s.ColorKey();
}

inline std::vector<std::uint32_t> Snapshot(const PixelSurface& s) {
    std::vector<std::uint32_t> v;
    v.reserve(static_cast<std::size_t>(s.Width()) * static_cast<std::size_t>(s.Height()));
    for (std::int32_t y = 0; y < s.Height(); ++y)
        for (std::int32_t x = 0; x < s.Width(); ++x) v.push_back(Raw(s, x, y));
    return v;
}

// Copies every pixel of from into to (same size and depth).
inline void CopyPixels(const PixelSurface& from, PixelSurface& to) {
    to.Lock();
    const platform::Rect clip = to.ClipRect();
    to.SetClipRect({0, 0, to.Width(), to.Height()});
    for (std::int32_t y = 0; y < from.Height(); ++y)
        for (std::int32_t x = 0; x < from.Width(); ++x) to.PutPixel(x, y, Raw(from, x, y));
    to.SetClipRect(clip);
    to.Unlock();
}

// A rectangle around (and often past) a surface of the given size; sometimes inverted.
inline Rect RandomRect(std::mt19937& rng, std::int32_t width, std::int32_t height) {
    const auto pick = [&](std::int32_t lo, std::int32_t hi) { return lo + static_cast<std::int32_t>(rng() % static_cast<std::uint32_t>(hi - lo + 1)); };
    const std::int32_t l = pick(-3, width), t = pick(-3, height);
    return {l, t, pick(l - 1, width + 3), pick(t - 1, height + 3)};
}

// --- Channel formulas, written as plainly as the rules read. ---

struct Channel {
    int shift, bits;
};

inline std::vector<Channel> ChannelsOf(int depth) {
    if (depth == 15) return {{10, 5}, {5, 5}, {0, 5}};
    if (depth == 16) return {{11, 5}, {5, 6}, {0, 5}};
    return {{16, 8}, {8, 8}, {0, 8}};
}

inline std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Builds a pixel channel by channel from f(source channel, destination channel); a 32-bit
// destination keeps its fourth byte.
template <typename F>
std::uint32_t PerChannel(int depth, std::uint32_t s, std::uint32_t d, F f) {
    std::uint32_t out = depth == 32 ? d & 0xFF000000u : 0;
    for (const Channel& c : ChannelsOf(depth)) {
        const std::uint32_t mask = (1u << c.bits) - 1;
        const std::int64_t v = f(static_cast<std::int64_t>((s >> c.shift) & mask), static_cast<std::int64_t>((d >> c.shift) & mask));
        out |= static_cast<std::uint32_t>(v) << c.shift;
    }
    return out;
}

inline bool IsKey(int depth, std::uint32_t s, std::uint32_t key) { return (depth >= 24 ? s & 0xFFFFFF : s) == key; }

// The shared frame of the software blits, per pixel: ClipBlit, then for every pixel of the
// clipped rectangle f(source pixel, destination pixel, source x, source y) -> new destination
// pixel, through GetPixel and PutPixel. Nothing when the depths differ or are not 15-32.
template <typename F>
void ReferenceFrame(PixelSurface& src, PixelSurface& dst, std::int32_t x, std::int32_t y, const Rect* rect, F f) {
    Rect s = rect ? *rect : Rect{0, 0, src.Width(), src.Height()};
    const int depth = dst.GetPixelFormatInfo().depth;
    if (!media::ClipBlit(src, dst, x, y, s) || src.GetPixelFormatInfo().depth != depth || depth < 15) return;
    src.Lock();
    dst.Lock();
    for (std::int32_t i = 0; i < s.Height(); ++i) {
        for (std::int32_t j = 0; j < s.Width(); ++j) {
            const std::uint32_t sp = src.GetPixel(s.left + j, s.top + i), dp = dst.GetPixel(x + j, y + i);
            dst.PutPixel(x + j, y + i, f(sp, dp, s.left + j, s.top + i));
        }
    }
    src.Unlock();
    dst.Unlock();
}

}  // namespace blit_test
