// Blending and shadow blits: the fast loops against per-pixel references on seeded random
// surfaces, and the rules that pin single values.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

#include "tests/blit/blit_test_support.h"
#include "tests/image/bmp_files.h"

namespace {

using namespace blit_test;

enum class Family { HalfBlend, Blend, AlphaMap, Shade, HalfShade };

struct Variant {
    const char* name;
    Family family;
    bool keyed;
};

constexpr Variant kVariants[] = {
    {"OpaqueHalfBlend", Family::HalfBlend, false}, {"KeyedHalfBlend", Family::HalfBlend, true},
    {"OpaqueBlend", Family::Blend, false},         {"KeyedBlend", Family::Blend, true},
    {"KeyedAlphaMap", Family::AlphaMap, true},     {"OpaqueShade", Family::Shade, false},
    {"KeyedShade", Family::Shade, true},           {"OpaqueHalfShade", Family::HalfShade, false},
    {"KeyedHalfShade", Family::HalfShade, true},
};

std::int32_t RunFast(const Variant& v, PixelSurface& src, PixelSurface* dst, std::int32_t x, std::int32_t y, const Rect* r,
                     std::uint16_t param) {
    switch (v.family) {
        case Family::HalfBlend: return v.keyed ? src.BlitKeyedHalfBlend(dst, x, y, r) : src.BlitOpaqueHalfBlend(dst, x, y, r);
        case Family::Blend: return v.keyed ? src.BlitKeyedBlend(dst, x, y, r, param) : src.BlitOpaqueBlend(dst, x, y, r, param);
        case Family::AlphaMap: return src.BlitKeyedAlphaMap(dst, x, y, r);
        case Family::Shade: return v.keyed ? src.BlitKeyedShade(dst, x, y, r, param) : src.BlitOpaqueShade(dst, x, y, r, param);
        case Family::HalfShade: return v.keyed ? src.BlitKeyedHalfShade(dst, x, y, r) : src.BlitOpaqueHalfShade(dst, x, y, r);
    }
    return -99;
}

// The rule of each family for one pixel, from the channel formulas.
std::uint32_t ReferencePixel(const Variant& v, int depth, std::uint32_t key, std::uint32_t param, std::uint8_t alpha, std::uint32_t s,
                             std::uint32_t d) {
    if (v.keyed && IsKey(depth, s, key)) return d;
    const std::int64_t a = std::min<std::uint32_t>(param, 256);
    switch (v.family) {
        case Family::HalfBlend: return PerChannel(depth, s, d, [](auto sc, auto dc) { return (sc >> 1) + (dc >> 1); });
        case Family::Blend: return PerChannel(depth, s, d, [&](auto sc, auto dc) { return sc + FloorDiv((dc - sc) * a, 256); });
        case Family::AlphaMap: return PerChannel(depth, s, d, [&](auto sc, auto dc) { return dc + FloorDiv((sc - dc) * alpha, 256); });
        case Family::Shade: return PerChannel(depth, s, d, [&](auto, auto dc) { return FloorDiv(dc * a, 256); });
        case Family::HalfShade: return PerChannel(depth, s, d, [](auto, auto dc) { return dc >> 1; });
    }
    return d;
}

class SoftwareBlitTest : public BlitTest, public ::testing::WithParamInterface<int> {};

TEST_P(SoftwareBlitTest, FastLoopsMatchThePerPixelRules) {
    const int depth = GetParam();
    for (const Variant& v : kVariants) {
        for (const int iteration : TestIterations(120)) {
            // Each iteration has its own seed, so a failure can be re-run alone.
            const std::uint32_t seed = static_cast<std::uint32_t>(depth * 100000 + static_cast<int>(v.family) * 1000 + v.keyed * 500 + iteration);
            SCOPED_TRACE(std::string(v.name) + " iteration " + std::to_string(iteration));
            std::mt19937 rng(seed);
            auto src = Blank(1 + rng() % 37, 1 + rng() % 17, depth);
            auto dst = Blank(1 + rng() % 41, 1 + rng() % 19, depth);
            auto expected = Blank(dst->Width(), dst->Height(), depth);
            const std::uint32_t key = RandomPixel(rng, depth) & 0xFFFFFF;
            FillRandom(*src, rng, key, 30);
            FillRandom(*dst, rng);
            CopyPixels(*dst, *expected);
            MakeKey(*src, key);
            std::vector<std::uint8_t> map(static_cast<std::size_t>(src->Width() * src->Height()));
            for (auto& m : map) m = static_cast<std::uint8_t>(rng() % 3 == 0 ? 0 : rng() % 2 ? 255 : rng());
            auto owned = std::make_unique<std::uint8_t[]>(map.size());
            std::memcpy(owned.get(), map.data(), map.size());
            ASSERT_TRUE(src->SetAlphaMap(std::move(owned), map.size()));
            if (rng() % 3 == 0) {
                const Rect clip = RandomRect(rng, dst->Width(), dst->Height());
                dst->SetClipRect(clip);
                expected->SetClipRect(clip);
            }
            if (rng() % 4 == 0) src->SetClipRect(RandomRect(rng, src->Width(), src->Height()));
            const Rect rect = RandomRect(rng, src->Width(), src->Height());
            const Rect* r = rng() % 5 == 0 ? nullptr : &rect;
            const std::int32_t x = static_cast<std::int32_t>(rng() % (dst->Width() + 20)) - 10;
            const std::int32_t y = static_cast<std::int32_t>(rng() % (dst->Height() + 20)) - 10;
            const std::uint16_t param = static_cast<std::uint16_t>(rng() % 4 == 0 ? (rng() % 2 ? 0 : 256 + rng() % 300) : rng() % 257);

            const std::uint32_t theKey = src->ColorKey();
            ReferenceFrame(*src, *expected, x, y, r, [&](std::uint32_t s, std::uint32_t d, std::int32_t sx, std::int32_t sy) {
                return ReferencePixel(v, depth, theKey, param, map[static_cast<std::size_t>(sy * src->Width() + sx)], s, d);
            });
            ASSERT_EQ(RunFast(v, *src, dst.get(), x, y, r, param), 0);
            ASSERT_EQ(Snapshot(*dst), Snapshot(*expected));
            ASSERT_EQ(src->LockCount(), 0u);
            ASSERT_EQ(dst->LockCount(), 0u);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, SoftwareBlitTest, ::testing::ValuesIn(kSoftwareDepths),
                         [](const auto& info) { return "depth" + std::to_string(info.param); });

// Single values the rules fix, one destination pixel each.
TEST_F(BlitTest, BlendsAndShadowsGiveTheDocumentedValues) {
    struct Case {
        const char* what;
        int depth;
        Family family;
        std::uint32_t source, dest, param, expected;
    } cases[] = {
        {"white half blend loses each channel's low bit", 16, Family::HalfBlend, 0xFFFF, 0xFFFF, 0, 0xF7DE},
        {"5-5-5 white half blend", 15, Family::HalfBlend, 0x7FFF, 0x7FFF, 0, 0x7BDE},
        {"weight 128: red 31 over 0 gives 15", 16, Family::Blend, 0xF800, 0x0000, 128, 0x7800},
        {"weight 128: red 0 over 31 gives 15", 16, Family::Blend, 0x0000, 0xF800, 128, 0x7800},
        {"weight 0 draws the source", 16, Family::Blend, 0x1234, 0xFEDC, 0, 0x1234},
        {"weight 256 keeps the destination", 32, Family::Blend, 0x00123456, 0xAA654321, 256, 0xAA654321},
        {"weights above 256 count as 256", 24, Family::Blend, 0x123456, 0x654321, 1000, 0x654321},
        {"weight 25 floors toward minus infinity", 32, Family::Blend, 0x000000FF, 0x00000000, 25, 0x000000E6},
        {"shade 128 of white is the half shade", 16, Family::Shade, 0, 0xFFFF, 128, 0x7BEF},
        {"shade 256 keeps the destination", 15, Family::Shade, 0, 0x7FFF, 256, 0x7FFF},
        {"shade 0 is black and clears bit 15", 15, Family::Shade, 0, 0xFFFF, 0, 0x0000},
        {"half shade in 32 bits keeps the fourth byte", 32, Family::HalfShade, 0, 0xCCFF8001, 0, 0xCC7F4000},
        {"half blend in 32 bits keeps the fourth byte", 32, Family::HalfBlend, 0x11FFFFFF, 0x22FFFFFF, 0, 0x22FEFEFE},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        auto src = Blank(1, 1, k.depth);
        auto dst = Blank(1, 1, k.depth);
        SetRaw(*src, 0, 0, k.source);
        SetRaw(*dst, 0, 0, k.dest);
        const Variant v{"", k.family, false};
        ASSERT_EQ(RunFast(v, *src, dst.get(), 0, 0, nullptr, static_cast<std::uint16_t>(std::min<std::uint32_t>(k.param, 0xFFFF))), 0);
        EXPECT_EQ(Raw(*dst, 0, 0), k.expected);
    }
}

// A 16-bit row handled in pairs: a key in either half of a pair leaves that half alone.
TEST_F(BlitTest, KeyedHalvesOfAPairAreTestedOnTheirOwn) {
    for (const std::int32_t width : {4, 5}) {
        auto src = Blank(width, 1, 16);
        auto dst = Blank(width, 1, 16);
        const std::uint32_t key = 0xF81F;
        const std::uint32_t row[] = {key, 0xFFFF, 0xFFFF, key, 0xFFFF};
        for (std::int32_t x = 0; x < width; ++x) {
            SetRaw(*src, x, 0, row[x]);
            SetRaw(*dst, x, 0, 0x0001);
        }
        MakeKey(*src, key);
        ASSERT_EQ(src->BlitKeyedHalfBlend(dst.get(), 0, 0, nullptr), 0);
        for (std::int32_t x = 0; x < width; ++x) EXPECT_EQ(Raw(*dst, x, 0), row[x] == key ? 0x0001u : 0x7BEFu) << width << " wide, pixel " << x;
    }
}

TEST_F(BlitTest, AlphaMapByteZeroKeepsTheDestinationAndNoMapIsTheKeyedCopy) {
    auto src = Blank(3, 1, 32);
    auto dst = Blank(3, 1, 32);
    for (std::int32_t x = 0; x < 3; ++x) {
        SetRaw(*src, x, 0, 0x00FFFFFF);
        SetRaw(*dst, x, 0, 0x55000000);
    }
    SetRaw(*src, 0, 0, 0x00123456);
    MakeKey(*src, 0x00123456);
    auto map = std::make_unique<std::uint8_t[]>(3);
    map[0] = 255, map[1] = 0, map[2] = 128;
    ASSERT_TRUE(src->SetAlphaMap(std::move(map), 3));
    ASSERT_EQ(src->BlitKeyedAlphaMap(dst.get(), 0, 0, nullptr), 0);
    EXPECT_EQ(Raw(*dst, 0, 0), 0x55000000u);  // the key
    EXPECT_EQ(Raw(*dst, 1, 0), 0x55000000u);  // alpha 0
    EXPECT_EQ(Raw(*dst, 2, 0), 0x557F7F7Fu);  // alpha 128: 0 + floor(255 * 128 / 256)

    // Without a map: the colour-keyed copy, result included.
    ASSERT_TRUE(src->SetAlphaMap(nullptr, 0));
    ASSERT_EQ(src->BlitKeyedAlphaMap(dst.get(), 0, 0, nullptr), 0);
    EXPECT_EQ(Raw(*dst, 0, 0), 0x55000000u);
    EXPECT_EQ(Raw(*dst, 1, 0), 0x00FFFFFFu);
    PixelSurface none;
    EXPECT_EQ(none.BlitKeyedAlphaMap(dst.get(), 0, 0, nullptr), -1);
    EXPECT_EQ(none.BlitKeyedHalfBlend(dst.get(), 0, 0, nullptr), 0);
}

// A map belongs to the pixels it was set for: every way of giving the surface other pixels drops
// it, and the alpha-map blit is then the keyed copy (reading the old map with the new size would
// read past it).
TEST_F(BlitTest, AlphaMapIsDroppedWhenThePixelsAreReplaced) {
    testing_bmp::BmpLayout layout;
    layout.width = 40;
    layout.height = 30;
    layout.pixels = testing_bmp::PackRows(40, 30, 24, [](std::int32_t x, std::int32_t y) { return static_cast<std::uint32_t>(x * 5 + y); });
    const std::string path = (std::filesystem::temp_directory_path() / "alpha_map_test.bmp").string();
    {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
        const auto bytes = testing_bmp::MakeBmp(layout);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f.get()), bytes.size());
    }
    struct Case {
        const char* name;
        std::int32_t width, height, depth;  // the first pixels; 0 wide: none
        std::function<std::int32_t(PixelSurface&)> replace;
    };
    const Case cases[] = {
        {"re-created larger", 2, 2, 32, [this](PixelSurface& s) { return s.CreateBlank(screen.get(), 200, 200, 32); }},
        {"re-created at the same size", 2, 2, 32, [this](PixelSurface& s) { return s.CreateBlank(screen.get(), 2, 2, 32); }},
        {"re-created in another depth", 8, 8, 32, [this](PixelSurface& s) { return s.CreateBlank(screen.get(), 8, 8, 16); }},
        // An empty map fits a surface without pixels; the picture then gives it 40 x 30.
        {"a picture given to a surface without pixels", 0, 0, 0,
         [this, &path](PixelSurface& s) { return s.CreateFromFile(screen.get(), path.c_str(), media::MEMORY_SYSTEM); }},
    };
    std::mt19937 rng(17);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelSurface s;
        if (c.width > 0) {
            ASSERT_EQ(s.CreateBlank(screen.get(), c.width, c.height, c.depth), 1);
        }
        const auto size = static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height);
        ASSERT_TRUE(s.SetAlphaMap(std::make_unique<std::uint8_t[]>(size), size));  // every byte 0: draws nothing
        ASSERT_EQ(c.replace(s), 1);
        EXPECT_EQ(s.AlphaMap(), nullptr);
        const std::int32_t depth = s.GetPixelFormatInfo().depth;
        FillRandom(s, rng);
        MakeKey(s, 0);
        auto viaMap = Blank(s.Width(), s.Height(), depth);
        auto keyed = Blank(s.Width(), s.Height(), depth);
        ASSERT_EQ(s.BlitKeyedAlphaMap(viaMap.get(), 0, 0, nullptr), 0);
        ASSERT_EQ(s.BlitKeyed(keyed.get(), 0, 0, nullptr), 0);
        EXPECT_EQ(Snapshot(*viaMap), Snapshot(*keyed));
    }
    std::filesystem::remove(path);
}

// Blits that must draw nothing and return 0, and leave both surfaces unlocked.
TEST_F(BlitTest, SoftwareBlitsDrawNothingWhenNothingCanBeDrawn) {
    struct Case {
        const char* what;
        int sourceDepth, destDepth;
        Rect rect;
        Rect destClip;
        bool loseDest;
    } cases[] = {
        {"different depth codes", 16, 32, {0, 0, 8, 8}, {0, 0, 8, 8}, false},
        {"5-5-5 onto 5-6-5", 15, 16, {0, 0, 8, 8}, {0, 0, 8, 8}, false},
        {"8-bit surfaces", 8, 8, {0, 0, 8, 8}, {0, 0, 8, 8}, false},
        {"inverted source rectangle", 32, 32, {6, 6, 2, 2}, {0, 0, 8, 8}, false},
        {"empty source rectangle", 32, 32, {2, 2, 2, 6}, {0, 0, 8, 8}, false},
        {"clip rectangle set beyond the surface", 32, 32, {0, 0, 8, 8}, {10, 10, 20, 20}, false},
        {"destination lock fails", 16, 16, {0, 0, 8, 8}, {0, 0, 8, 8}, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        host.ClearFaults();
        auto src = Blank(8, 8, k.sourceDepth);
        auto dst = Blank(8, 8, k.destDepth);
        std::mt19937 rng(1);
        FillRandom(*src, rng);
        FillRandom(*dst, rng);
        ASSERT_TRUE(src->SetAlphaMap(std::make_unique<std::uint8_t[]>(64), 64));
        dst->SetClipRect(k.destClip);
        const auto before = Snapshot(*dst);
        if (k.loseDest) {
            dst->Surface()->MarkLost();
            host.SetFault(platform::FaultPoint::RestoreSurface);
        }
        for (const Variant& v : kVariants) {
            EXPECT_EQ(RunFast(v, *src, dst.get(), 0, 0, &k.rect, 100), 0) << v.name;
            EXPECT_EQ(src->LockCount(), 0u) << v.name;
            EXPECT_EQ(dst->LockCount(), 0u) << v.name;
        }
        host.ClearFaults();
        dst->Surface()->Restore();
        EXPECT_EQ(Snapshot(*dst), before);
        EXPECT_FALSE(src->Surface()->IsLocked());
    }
    // No destination at all.
    auto src = Blank(4, 4, 32);
    EXPECT_EQ(src->BlitOpaqueShade(nullptr, 0, 0, nullptr, 7), 0);
}

TEST_F(BlitTest, ShadowOffsetPartlyOffTheDestinationCutsTheSourceToo) {
    auto src = Blank(4, 4, 16);
    auto dst = Blank(6, 6, 16);
    for (std::int32_t y = 0; y < 4; ++y)
        for (std::int32_t x = 0; x < 4; ++x) SetRaw(*src, x, y, x == 0 ? 0xF81F : 0x1111);
    MakeKey(*src, 0xF81F);
    dst->Fill(0xFFFF);
    // At (-1, 4): column 0 (the key column) and the rows below 6 are cut away.
    ASSERT_EQ(src->BlitKeyedHalfShade(dst.get(), -1, 4, nullptr), 0);
    for (std::int32_t y = 0; y < 6; ++y)
        for (std::int32_t x = 0; x < 6; ++x) EXPECT_EQ(Raw(*dst, x, y), y >= 4 && x <= 2 ? 0x7BEFu : 0xFFFFu) << x << "," << y;
}

}  // namespace
