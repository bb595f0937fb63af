#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "platform/bitmaps/dib_transfer.h"
#include "platform/pixels/color_convert.h"
#include "platform/video/display_surface.h"

namespace {

using platform::BitmapInfo;
using platform::DisplaySurface;
using platform::Rect;

struct Rgb8 {
    std::uint8_t r, g, b;
};

std::uint8_t Widen5(unsigned c) { return static_cast<std::uint8_t>((c << 3) | (c >> 2)); }
std::uint8_t Widen6(unsigned c) { return static_cast<std::uint8_t>((c << 2) | (c >> 4)); }

// The slow, obvious reading of one bitmap pixel (y from the top), written apart from the loops.
Rgb8 ReferenceColor(const BitmapInfo& info, const std::vector<std::uint8_t>& bits, int x, int y) {
    const auto& h = info.header;
    const int height = h.height < 0 ? -h.height : h.height;
    const std::size_t rowLength = static_cast<std::size_t>((h.width * h.bitCount + 31) / 32) * 4;
    const std::uint8_t* row = bits.data() + rowLength * static_cast<std::size_t>(h.height < 0 ? y : height - 1 - y);
    auto quad = [&](unsigned i) { return Rgb8{info.colors[i].red, info.colors[i].green, info.colors[i].blue}; };
    switch (h.bitCount) {
        case 1: return quad((row[x / 8] >> (7 - x % 8)) & 1);
        case 4: return quad(x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4);
        case 8: return quad(row[x]);
        case 16: {
            const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
            if (h.compression == platform::BI_BITFIELDS) return {Widen5(v >> 11), Widen6((v >> 5) & 63), Widen5(v & 31)};
            return {Widen5((v >> 10) & 31), Widen5((v >> 5) & 31), Widen5(v & 31)};
        }
        case 24: return {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
        default: return {row[4 * x + 2], row[4 * x + 1], row[4 * x]};
    }
}

struct SourceKind {
    int bitCount;
    bool bitFields565;
};

class DibTransferTest : public ::testing::TestWithParam<std::tuple<SourceKind, int, bool>> {};

// Every source layout into every surface depth, bottom-up and top-down, on odd widths whose rows
// need padding: each surface pixel must be the reference colour packed into the surface format.
TEST_P(DibTransferTest, EveryPixelGetsTheColourAtItsPosition) {
    const auto [kind, depth, topDown] = GetParam();
    std::mt19937 rng(static_cast<unsigned>(kind.bitCount * 1000 + depth * 10 + topDown));
    for (const auto& [w, h] : {std::pair{13, 5}, std::pair{1, 1}, std::pair{7, 3}}) {
        BitmapInfo info;
        info.header.width = w;
        info.header.height = topDown ? -h : h;
        info.header.bitCount = static_cast<std::uint16_t>(kind.bitCount);
        for (auto& q : info.colors) q = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), 0};
        if (kind.bitFields565) {
            info.header.compression = platform::BI_BITFIELDS;
            platform::SetBitFieldMasks(info, 0xF800, 0x07E0, 0x001F);
        }
        std::vector<std::uint8_t> bits(platform::DibRowLength(w, kind.bitCount) * static_cast<std::size_t>(h));
        for (auto& b : bits) b = static_cast<std::uint8_t>(rng());

        DisplaySurface surface(w, h, platform::FormatForDepth(depth), platform::DDSCAPS_SYSTEMMEMORY);
        ASSERT_TRUE(platform::DrawDib(surface.View(), surface.Bounds(), info, bits.data(), {0, 0, w, h}));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const Rgb8 c = ReferenceColor(info, bits, x, y);
                ASSERT_EQ(surface.PixelAt(x, y), platform::RawFromRgb(c.r, c.g, c.b, surface.Format()))
                    << "bits " << kind.bitCount << " depth " << depth << " at " << x << "," << y << " size " << w << "x" << h;
            }
        }
        // Drawn 3 columns left and 1 row up: the cut starts inside a packed byte and a row.
        DisplaySurface shifted(w, h, platform::FormatForDepth(depth), platform::DDSCAPS_SYSTEMMEMORY);
        ASSERT_TRUE(platform::DrawDib(shifted.View(), {-3, -1, w - 3, h - 1}, info, bits.data(), {0, 0, w, h}));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                std::uint32_t expected = 0;
                if (x + 3 < w && y + 1 < h) {
                    const Rgb8 c = ReferenceColor(info, bits, x + 3, y + 1);
                    expected = platform::RawFromRgb(c.r, c.g, c.b, shifted.Format());
                }
                ASSERT_EQ(shifted.PixelAt(x, y), expected) << "shifted, bits " << kind.bitCount << " depth " << depth << " at " << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SourcesAndDepths, DibTransferTest,
                         ::testing::Combine(::testing::Values(SourceKind{1, false}, SourceKind{4, false}, SourceKind{8, false},
                                                              SourceKind{16, false}, SourceKind{16, true}, SourceKind{24, false},
                                                              SourceKind{32, false}),
                                            ::testing::Values(8, 15, 16, 24, 32), ::testing::Bool()));

BitmapInfo Info24(int w, int h) {
    BitmapInfo info;
    info.header.width = w;
    info.header.height = h;
    info.header.bitCount = 24;
    return info;
}

// A 2x2 picture, top row red then green, bottom row blue then white (stored bottom-up).
std::vector<std::uint8_t> FourColours() {
    return {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0};
}

TEST(DibTransfer, StretchesToTheDestinationAndCutsItToTheSurface) {
    DisplaySurface surface(5, 5, platform::FormatForDepth(32), platform::DDSCAPS_SYSTEMMEMORY);
    const auto bits = FourColours();
    // Doubled onto (1, 1)-(5, 5): each source pixel covers a 2x2 block.
    ASSERT_TRUE(platform::DrawDib(surface.View(), {1, 1, 5, 5}, Info24(2, 2), bits.data(), {0, 0, 2, 2}));
    EXPECT_EQ(surface.PixelAt(0, 0), 0u);
    EXPECT_EQ(surface.PixelAt(1, 1), 0xFF0000u);
    EXPECT_EQ(surface.PixelAt(2, 2), 0xFF0000u);
    EXPECT_EQ(surface.PixelAt(3, 1), 0x00FF00u);
    EXPECT_EQ(surface.PixelAt(1, 4), 0x0000FFu);
    EXPECT_EQ(surface.PixelAt(4, 4), 0xFFFFFFu);
    // 1:1 at (-1, 1): the source's right column lands in column 0, its top row in row 1.
    DisplaySurface small(2, 2, platform::FormatForDepth(32), platform::DDSCAPS_SYSTEMMEMORY);
    ASSERT_TRUE(platform::DrawDib(small.View(), {-1, 1, 1, 3}, Info24(2, 2), bits.data(), {0, 0, 2, 2}));
    EXPECT_EQ(small.PixelAt(0, 0), 0u);
    EXPECT_EQ(small.PixelAt(0, 1), 0x00FF00u);
    EXPECT_EQ(small.PixelAt(1, 1), 0u);
}

TEST(DibTransfer, RefusesWhatItCannotDraw) {
    DisplaySurface surface(4, 4, platform::FormatForDepth(32), platform::DDSCAPS_SYSTEMMEMORY);
    const auto bits = FourColours();
    struct Case {
        const char* what;
        void (*change)(BitmapInfo&);
        Rect src;
    };
    const Case cases[] = {
        {"bit count 2", [](BitmapInfo& i) { i.header.bitCount = 2; }, {0, 0, 2, 2}},
        {"width 0", [](BitmapInfo& i) { i.header.width = 0; }, {0, 0, 2, 2}},
        {"height 0", [](BitmapInfo& i) { i.header.height = 0; }, {0, 0, 2, 2}},
        {"short header", [](BitmapInfo& i) { i.header.size = 12; }, {0, 0, 2, 2}},
        {"run-length", [](BitmapInfo& i) { i.header.compression = platform::BI_RLE8; }, {0, 0, 2, 2}},
        {"bit fields at 24 bits", [](BitmapInfo& i) { i.header.compression = platform::BI_BITFIELDS; }, {0, 0, 2, 2}},
        {"source past the right", [](BitmapInfo&) {}, {1, 0, 3, 2}},
        {"source above the top", [](BitmapInfo&) {}, {0, -1, 2, 1}},
    };
    for (const Case& c : cases) {
        BitmapInfo info = Info24(2, 2);
        c.change(info);
        EXPECT_FALSE(platform::DrawDib(surface.View(), {0, 0, 2, 2}, info, bits.data(), c.src)) << c.what;
    }
    BitmapInfo masks;
    masks.header.width = 1;
    masks.header.height = 1;
    masks.header.bitCount = 16;
    masks.header.compression = platform::BI_BITFIELDS;
    platform::SetBitFieldMasks(masks, 0xF000, 0x0F0F, 0x00F0);  // green is not one run of bits
    EXPECT_FALSE(platform::IsDrawableDib(masks));
    platform::SetBitFieldMasks(masks, 0x1F0000, 0x07E0, 0x001F);  // red past a 16-bit pixel
    EXPECT_FALSE(platform::IsDrawableDib(masks));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(surface.PixelAt(i % 4, i / 4), 0u) << "a refused drawing wrote pixel " << i;
}

TEST(DibTransfer, DeviceContextFormChecksItsArguments) {
    DisplaySurface surface(2, 2, platform::FormatForDepth(24), platform::DDSCAPS_SYSTEMMEMORY);
    platform::HDC dc = nullptr;
    ASSERT_EQ(surface.GetDC(&dc), platform::DD_OK);
    const auto bits = FourColours();
    const BitmapInfo info = Info24(2, 2);
    EXPECT_EQ(platform::StretchDIBits(dc, 0, 0, 2, 2, 0, 0, 2, 2, bits.data(), &info, 1, platform::SRCCOPY), platform::GDI_ERROR);
    EXPECT_EQ(platform::StretchDIBits(dc, 0, 0, 2, 2, 0, 0, 2, 2, bits.data(), &info, 0, 0x00EE0086), platform::GDI_ERROR);
    EXPECT_EQ(platform::StretchDIBits(dc, 0, 0, 2, 2, 0, 0, 2, 2, nullptr, &info, 0, platform::SRCCOPY), platform::GDI_ERROR);
    EXPECT_EQ(platform::StretchDIBits(nullptr, 0, 0, 2, 2, 0, 0, 2, 2, bits.data(), &info, 0, platform::SRCCOPY), platform::GDI_ERROR);
    EXPECT_EQ(platform::StretchDIBits(dc, INT32_MAX, 0, 2, 2, 0, 0, 2, 2, bits.data(), &info, 0, platform::SRCCOPY), platform::GDI_ERROR);
    EXPECT_EQ(surface.PixelAt(1, 1), 0u);
    EXPECT_EQ(platform::StretchDIBits(dc, 0, 0, 2, 2, 0, 0, 2, 2, bits.data(), &info, 0, platform::SRCCOPY), 2);
    EXPECT_EQ(surface.PixelAt(1, 1), 0xFFFFFFu);
    surface.ReleaseDC(dc);
}

}  // namespace
