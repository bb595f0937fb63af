// The blits that go through the platform's copies: plain and keyed copies, mirrors (and their
// software fallback), scaled and stretched copies, and lost surfaces.
#include <cmath>
#include <limits>

#include "tests/blit/blit_test_support.h"

namespace {

using namespace blit_test;
using platform::FaultPoint;

constexpr int kAllDepths[] = {8, 15, 16, 24, 32};

struct RandomBlit {
    std::unique_ptr<PixelSurface> src, dst, expected;
    Rect rect;
    const Rect* r = nullptr;
    std::int32_t x = 0, y = 0;
};

class PlatformBlitTest : public BlitTest, public ::testing::WithParamInterface<int> {
protected:
    // Surfaces and a blit position from one seed: odd sizes, clip rectangles on either side,
    // rectangles past the source, positions past the destination, keys in runs and alone.
    RandomBlit Make(std::uint32_t seed) {
        const int depth = GetParam();
        std::mt19937 rng(seed);
        RandomBlit b;
        b.src = Blank(1 + rng() % 29, 1 + rng() % 13, depth);
        b.dst = Blank(1 + rng() % 33, 1 + rng() % 15, depth);
        b.expected = Blank(b.dst->Width(), b.dst->Height(), depth);
        const std::uint32_t key = RandomPixel(rng, depth) & 0xFFFFFF;
        FillRandom(*b.src, rng, key, 30);
        MakeKey(*b.src, key);
        FillRandom(*b.dst, rng);
        CopyPixels(*b.dst, *b.expected);
        if (rng() % 3 == 0) b.src->SetClipRect(RandomRect(rng, b.src->Width(), b.src->Height()));
        if (rng() % 3 == 0) {
            const Rect clip = RandomRect(rng, b.dst->Width(), b.dst->Height());
            b.dst->SetClipRect(clip);
            b.expected->SetClipRect(clip);
        }
        b.rect = RandomRect(rng, b.src->Width(), b.src->Height());
        b.r = rng() % 5 == 0 ? nullptr : &b.rect;
        b.x = static_cast<std::int32_t>(rng() % (b.dst->Width() + 16)) - 8;
        b.y = static_cast<std::int32_t>(rng() % (b.dst->Height() + 16)) - 8;
        return b;
    }
};

TEST_P(PlatformBlitTest, CopiesMatchThePerPixelCopy) {
    for (const int iteration : TestIterations(300)) {
        const std::uint32_t seed = static_cast<std::uint32_t>(GetParam() * 1000 + iteration);
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        RandomBlit b = Make(seed);
        const bool keyed = iteration % 2;
        if (iteration % 10 == 4) {
            // One frame out of a wider sheet onto a surface of exactly the frame's width, whose
            // rows (a multiple of four pixels) have no padding: how a sprite's frame is taken out.
            const std::int32_t frame = 4 * (1 + iteration % 3);
            b.dst = Blank(frame, b.dst->Height(), GetParam());
            b.expected = Blank(frame, b.dst->Height(), GetParam());
            std::mt19937 rng(seed);
            FillRandom(*b.dst, rng);
            CopyPixels(*b.dst, *b.expected);
            b.src = Blank(frame * 3, b.dst->Height() + 2, GetParam());
            FillRandom(*b.src, rng);
            b.rect = {frame, 1, frame * 2, 1 + b.dst->Height()};
            b.r = &b.rect;
            b.x = b.y = 0;
        }
        const std::uint32_t key = b.src->ColorKey();
        Rect s = b.r ? *b.r : Rect{0, 0, b.src->Width(), b.src->Height()};
        std::int32_t x = b.x, y = b.y;
        if (media::ClipBlit(*b.src, *b.expected, x, y, s)) {
            for (std::int32_t i = 0; i < s.Height(); ++i) {
                for (std::int32_t j = 0; j < s.Width(); ++j) {
                    const std::uint32_t p = Raw(*b.src, s.left + j, s.top + i);
                    if (!keyed || !IsKey(p, key, GetParam())) SetRaw(*b.expected, x + j, y + i, p);
                }
            }
        }
        const std::int32_t result = keyed ? b.src->BlitKeyed(b.dst.get(), b.x, b.y, b.r) : b.src->BlitOpaque(b.dst.get(), b.x, b.y, b.r);
        ASSERT_EQ(result, 0);
        ASSERT_EQ(Snapshot(*b.dst), Snapshot(*b.expected));
    }
}

// A mirror looks like the picture cut to the source's clip rectangle, turned over and placed at
// (x, y), then cut by the destination's clip rectangle: the platform's mirror and the fallback
// through the pixel routines both.
TEST_P(PlatformBlitTest, MirrorsShowTheTurnedPictureWhereverTheyAreCut) {
    for (const int iteration : TestIterations(400)) {
        const std::uint32_t seed = static_cast<std::uint32_t>(GetParam() * 7000 + iteration);
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        RandomBlit b = Make(seed);
        const bool keyed = iteration % 2, leftRight = iteration % 4 < 2, refused = iteration % 8 < 4;
        const std::uint32_t key = b.src->ColorKey();
        Rect s = b.r ? *b.r : Rect{0, 0, b.src->Width(), b.src->Height()};
        if (media::ClipRect(*b.src, s)) {
            const Rect dc = b.dst->ClipRect();
            for (std::int32_t i = 0; i < s.Height(); ++i) {
                for (std::int32_t j = 0; j < s.Width(); ++j) {
                    const std::int64_t X = std::int64_t{b.x} + j, Y = std::int64_t{b.y} + i;
                    if (X < dc.left || X >= dc.right || Y < dc.top || Y >= dc.bottom) continue;
                    const std::uint32_t p = leftRight ? Raw(*b.src, s.right - 1 - j, s.top + i) : Raw(*b.src, s.left + j, s.bottom - 1 - i);
                    if (!keyed || !IsKey(p, key, GetParam())) SetRaw(*b.expected, static_cast<std::int32_t>(X), static_cast<std::int32_t>(Y), p);
                }
            }
        }
        host.ClearFaults();
        if (refused) host.SetFault(FaultPoint::MirrorBlit);
        std::int32_t result;
        if (leftRight) {
            result = keyed ? b.src->BlitKeyedMirrorX(b.dst.get(), b.x, b.y, b.r) : b.src->BlitOpaqueMirrorX(b.dst.get(), b.x, b.y, b.r);
        } else {
            result = keyed ? b.src->BlitKeyedMirrorY(b.dst.get(), b.x, b.y, b.r) : b.src->BlitOpaqueMirrorY(b.dst.get(), b.x, b.y, b.r);
        }
        ASSERT_EQ(result, 0);
        ASSERT_EQ(Snapshot(*b.dst), Snapshot(*b.expected));
        ASSERT_EQ(b.src->LockCount(), 0u);
        ASSERT_EQ(b.dst->LockCount(), 0u);
    }
}

// Scale 1.0 places the picture exactly where the plain copy would.
TEST_P(PlatformBlitTest, ScaleOneIsThePlainCopy) {
    for (const int iteration : TestIterations(200)) {
        const std::uint32_t seed = static_cast<std::uint32_t>(GetParam() * 3000 + iteration);
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        RandomBlit b = Make(seed);
        const bool keyed = iteration % 2;
        const std::int32_t plain = keyed ? b.src->BlitKeyed(b.expected.get(), b.x, b.y, b.r) : b.src->BlitOpaque(b.expected.get(), b.x, b.y, b.r);
        ASSERT_EQ(plain, 0);
        ASSERT_EQ(keyed ? b.src->BlitKeyedScaled(b.dst.get(), b.x, b.y, b.r, 1.0f) : b.src->BlitOpaqueScaled(b.dst.get(), b.x, b.y, b.r, 1.0f), 0);
        ASSERT_EQ(Snapshot(*b.dst), Snapshot(*b.expected));
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, PlatformBlitTest, ::testing::ValuesIn(kAllDepths),
                         [](const auto& info) { return "depth" + std::to_string(info.param); });

// The bounding box of the destination pixels that differ from value.
Rect Covered(const PixelSurface& s, std::uint32_t value) {
    Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (std::int32_t y = 0; y < s.Height(); ++y) {
        for (std::int32_t x = 0; x < s.Width(); ++x) {
            if (Raw(s, x, y) == value) continue;
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
        }
    }
    return box;
}

TEST_F(BlitTest, ScaledBlitsCoverTheFootprintAboutTheCentre) {
    auto src = Blank(10, 10, 32);
    src->Fill(0x00FF0000);
    struct Case {
        const char* what;
        float scale;
        Rect covered;
    } cases[] = {
        {"scale 2", 2.0f, {95, 95, 115, 115}},
        {"scale 1", 1.0f, {100, 100, 110, 110}},
        {"scale 0.5", 0.5f, {102, 102, 107, 107}},
    };
    for (const Case& k : cases) {
        auto dst = Blank(200, 200, 32);
        ASSERT_EQ(src->BlitOpaqueScaled(dst.get(), 100, 100, nullptr, k.scale), 0) << k.what;
        EXPECT_EQ(Covered(*dst, 0), k.covered) << k.what;
    }
    const float nothing[] = {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 1e30f};
    for (const float scale : nothing) {
        auto dst = Blank(200, 200, 32);
        EXPECT_EQ(src->BlitOpaqueScaled(dst.get(), 100, 100, nullptr, scale), 0) << scale;
        EXPECT_EQ(src->BlitKeyedScaled(dst.get(), 100, 100, nullptr, scale), 0) << scale;
        EXPECT_EQ(Covered(*dst, 0).left, INT32_MAX) << scale;
    }
}

// Where the destination rectangle is cut, each cut edge of the source moves by the cut divided by
// the scale (or the stretch ratio), truncated: the same copy as the platform's with those
// rectangles.
TEST_F(BlitTest, ScaledAndStretchedCutsAreCarriedBackIntoTheSource) {
    auto src = Blank(10, 10, 16);
    std::mt19937 rng(11);
    FillRandom(*src, rng);
    struct Case {
        const char* what;
        bool stretched;
        std::int32_t x, y;
        float scale;
        std::int32_t width, height;
        Rect dest, source;  // what the platform is given
    } cases[] = {
        // d = (-10, -5, 10, 15) cut to (0, 0, 10, 15): top +5 / 2, left +10 / 2.
        {"scale 2 off the top left", false, -5, 0, 2.0f, 0, 0, {0, 0, 10, 15}, {5, 2, 10, 10}},
        // d = (25, 25, 45, 45) cut to (25, 25, 30, 30): bottom -15 / 2, right -15 / 2.
        {"scale 2 off the bottom right", false, 30, 30, 2.0f, 0, 0, {25, 25, 30, 30}, {0, 0, 3, 3}},
        // d = (-7, 0, 23, 5) cut to (0, 0, 23, 5): left +7 / 3.
        {"stretched off the left", true, -7, 0, 0, 30, 5, {0, 0, 23, 5}, {2, 0, 10, 10}},
        // d = (20, 28, 40, 48) cut to (20, 28, 30, 30): bottom -18 / 2, right -10 / 2.
        {"stretched off the bottom right", true, 20, 28, 0, 20, 20, {20, 28, 30, 30}, {0, 0, 5, 1}},
    };
    for (const Case& k : cases) {
        auto dst = Blank(30, 30, 16);
        auto expected = Blank(30, 30, 16);
        ASSERT_EQ(expected->Surface()->Blt(&k.dest, src->Surface(), &k.source, platform::DDBLT_WAIT, nullptr), 0) << k.what;
        const std::int32_t result = k.stretched ? src->BlitOpaqueStretched(dst.get(), k.x, k.y, nullptr, k.width, k.height)
                                                : src->BlitOpaqueScaled(dst.get(), k.x, k.y, nullptr, k.scale);
        EXPECT_EQ(result, 0) << k.what;
        EXPECT_EQ(Snapshot(*dst), Snapshot(*expected)) << k.what;
    }
}

TEST_F(BlitTest, StretchedBlitsFillTheGivenSizeOrNothing) {
    auto src = Blank(4, 3, 24);
    src->Fill(0x123456);
    auto dst = Blank(50, 50, 24);
    ASSERT_EQ(src->BlitKeyedStretched(dst.get(), 5, 6, nullptr, 17, 9), 0);
    EXPECT_EQ(Covered(*dst, 0), (Rect{5, 6, 22, 15}));
    const std::int32_t sizes[][2] = {{0, 5}, {5, 0}, {-3, 5}, {5, -1}};
    for (const auto& size : sizes) {
        auto empty = Blank(50, 50, 24);
        EXPECT_EQ(src->BlitOpaqueStretched(empty.get(), 5, 6, nullptr, size[0], size[1]), 0);
        EXPECT_EQ(Covered(*empty, 0).left, INT32_MAX);
    }
    // A size that would pass the largest coordinate draws nothing.
    EXPECT_EQ(src->BlitOpaqueStretched(dst.get(), INT32_MAX - 5, 0, nullptr, 100, 10), 0);
    const Rect inverted{3, 0, 1, 3};
    EXPECT_EQ(src->BlitOpaqueStretched(dst.get(), 0, 0, &inverted, 10, 10), 0);
    EXPECT_EQ(src->BlitOpaqueScaled(dst.get(), 0, 0, &inverted, 2.0f), 0);
    EXPECT_EQ(src->BlitOpaqueMirrorX(dst.get(), 0, 0, &inverted), 0);
}

TEST_F(BlitTest, MirroredSpriteHalfOffTheLeftShowsItsLeftHalfTurned) {
    auto src = Blank(6, 1, 32);
    for (std::int32_t x = 0; x < 6; ++x) SetRaw(*src, x, 0, 10 + x);
    auto dst = Blank(8, 1, 32);
    for (const bool refused : {false, true}) {
        host.ClearFaults();
        if (refused) host.SetFault(FaultPoint::MirrorBlit);
        dst->Fill(0);
        ASSERT_EQ(src->BlitOpaqueMirrorX(dst.get(), -3, 0, nullptr), 0);
        // Columns 0..2 of the picture, turned: 12, 11, 10.
        const std::uint32_t expected[] = {12, 11, 10, 0, 0, 0, 0, 0};
        for (std::int32_t x = 0; x < 8; ++x) EXPECT_EQ(Raw(*dst, x, 0), expected[x]) << "refused " << refused << ", x " << x;
    }
    // The switch refuses the platform's mirror only.
    const Rect all{0, 0, 6, 1};
    platform::BltFx fx;
    fx.ddfx = platform::DDBLTFX_MIRRORLEFTRIGHT;
    EXPECT_EQ(dst->Surface()->Blt(&all, src->Surface(), &all, platform::DDBLT_DDFX, &fx), platform::DDERR_NOMIRRORHW);
    EXPECT_EQ(dst->Surface()->Blt(&all, src->Surface(), &all, 0, nullptr), platform::DD_OK);
}

TEST_F(BlitTest, PlatformPathsNeedBothPlatformSurfaces) {
    auto real = Blank(4, 4, 32);
    PixelSurface empty;
    Rect r{0, 0, 2, 2};
    const auto all = [&](PixelSurface& s, PixelSurface* d) {
        return std::vector<std::int32_t>{s.BlitOpaque(d, 0, 0, &r),           s.BlitKeyed(d, 0, 0, &r),
                                         s.BlitOpaqueMirrorX(d, 0, 0, &r),    s.BlitKeyedMirrorY(d, 0, 0, &r),
                                         s.BlitOpaqueScaled(d, 0, 0, &r, 2),  s.BlitKeyedStretched(d, 0, 0, &r, 3, 3),
                                         s.BlitKeyedAlphaMap(d, 0, 0, &r)};
    };
    const std::vector<std::int32_t> minusOne(7, -1);
    EXPECT_EQ(all(empty, real.get()), minusOne);
    EXPECT_EQ(all(*real, &empty), minusOne);
    EXPECT_EQ(all(*real, nullptr), minusOne);
}

// A lost surface met by a platform copy restores the source and drops the drawing: the plain
// and mirror copies return the restore's result, the scaled and stretched ones the copy's.
TEST_F(BlitTest, LostSurfacesAreRestoredAndTheDrawingDropped) {
    struct Case {
        const char* what;
        bool failRestore;
        std::int32_t copy, mirror, scaled;
    } cases[] = {
        // Blank surfaces have no picture to reload: the restore gives -2.
        {"restored", false, -2, -2, platform::DDERR_SURFACELOST},
        {"restore refused", true, platform::E_FAIL, platform::E_FAIL, platform::DDERR_SURFACELOST},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        auto src = Blank(4, 4, 16);
        auto dst = Blank(8, 8, 16);
        src->Fill(0x1234);
        host.ClearFaults();
        if (k.failRestore) host.SetFault(FaultPoint::RestoreSurface);
        src->Surface()->MarkLost();
        EXPECT_EQ(src->BlitOpaque(dst.get(), 0, 0, nullptr), k.copy);
        src->Surface()->MarkLost();
        EXPECT_EQ(src->BlitKeyedMirrorX(dst.get(), 0, 0, nullptr), k.mirror);
        src->Surface()->MarkLost();
        EXPECT_EQ(src->BlitOpaqueScaled(dst.get(), 0, 0, nullptr, 2.0f), k.scaled);
        src->Surface()->MarkLost();
        EXPECT_EQ(src->BlitKeyedStretched(dst.get(), 0, 0, nullptr, 5, 5), k.scaled);
        EXPECT_EQ(platform::Failed(src->Surface()->IsLost()), k.failRestore);
        EXPECT_EQ(Covered(*dst, 0).left, INT32_MAX) << "nothing drawn";
    }
}

}  // namespace

namespace {

using namespace blit_test;

// Keyed copies skip the key by runs the source keeps between copies; every way the source's
// pixels or key can change must show in the next copy.
TEST_F(BlitTest, KeyedCopiesFollowEveryChangeOfTheSource) {
    for (const int depth : {8, 16, 24, 32}) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        auto src = Blank(40, 30, depth);
        auto other = Blank(40, 30, depth);
        const std::uint32_t key = 0x1F & PixelBits(depth), ink = 0x2A2A2A2A & PixelBits(depth);
        // A sprite: an ellipse of ink over the key, so the runs are long enough to be kept.
        src->Fill(key);
        src->Lock();
        for (std::int32_t y = 0; y < 30; ++y)
            for (std::int32_t x = 0; x < 40; ++x)
                if ((x - 20) * (x - 20) * 9 + (y - 15) * (y - 15) * 16 <= 3600) src->PutPixel(x, y, ink + static_cast<std::uint32_t>(x));
        src->Unlock();
        MakeKey(*src, key);
        other->Fill(ink);

        const auto check = [&](const char* after) {
            SCOPED_TRACE(after);
            auto dst = Blank(50, 40, depth);
            auto expected = Blank(50, 40, depth);
            const Rect part{3, 2, 37, 29};
            for (std::int32_t y = part.top; y < part.bottom; ++y)
                for (std::int32_t x = part.left; x < part.right; ++x) {
                    const std::uint32_t p = Raw(*src, x, y);
                    if (!IsKey(p, src->ColorKey(), depth)) SetRaw(*expected, x + 5 - part.left, y + 4 - part.top, p);
                }
            ASSERT_EQ(src->BlitKeyed(dst.get(), 5, 4, &part), 0);
            ASSERT_EQ(src->BlitKeyed(dst.get(), 5, 4, &part), 0);
            EXPECT_EQ(Snapshot(*dst), Snapshot(*expected));
        };
        check("first copy");
        SetRaw(*src, 20, 15, key);
        check("a pixel set to the key under a lock");
        src->Lock();
        src->PutPixel(20, 16, key);
        check("a pixel set while the source stays locked");
        src->PutPixel(21, 16, key);
        check("another pixel set under the same lock");
        src->Unlock();
        const Rect band{0, 10, 40, 12};
        ASSERT_EQ(src->Surface()->Blt(&band, other->Surface(), &band, 0, nullptr), 0);
        check("a band copied into the source");
        platform::BltFx fill;
        fill.fillColor = key;
        const Rect hole{10, 5, 20, 9};
        ASSERT_EQ(src->Surface()->Blt(&hole, nullptr, nullptr, platform::DDBLT_COLORFILL, &fill), 0);
        check("a rectangle filled with the key");
        src->DrawTextAt(2, 2, 0x00FFFFFF, "Hi");
        check("text drawn into the source");
        MakeKey(*src, ink + 20);
        check("a new key");
    }
}

}  // namespace

namespace {

using namespace blit_test;

// The platform refuses copies between pixel sizes; the mirror's fallback then draws nothing
// rather than raw values of one format in another, and so does a refused mirror between 5-5-5
// and 5-6-5 (same size, different colours).
TEST_F(BlitTest, MirrorFallbackDrawsOnlyBetweenEqualDepths) {
    const int pairs[][2] = {{16, 32}, {15, 16}, {32, 24}};
    for (const auto& pair : pairs) {
        auto src = Blank(6, 4, pair[0]);
        auto dst = Blank(8, 8, pair[1]);
        src->Fill(0x1234);
        host.ClearFaults();
        host.SetFault(platform::FaultPoint::MirrorBlit);
        EXPECT_EQ(src->BlitOpaqueMirrorX(dst.get(), 1, 1, nullptr), 0);
        EXPECT_EQ(src->BlitKeyedMirrorY(dst.get(), 1, 1, nullptr), 0);
        EXPECT_EQ(Snapshot(*dst), std::vector<std::uint32_t>(64, 0)) << pair[0] << " onto " << pair[1];
    }
}

}  // namespace

namespace {

using namespace blit_test;

// Cut mirrors stay within what the platform's mirror can do: between 5-5-5 and 5-6-5 surfaces
// (one pixel size) the platform copies raw values, which the fallback would refuse; so what is
// drawn shows the platform did the work, for cuts on every side.
TEST_F(BlitTest, CutMirrorsGoThroughThePlatform) {
    auto src = Blank(10, 6, 15);
    std::mt19937 rng(3);
    FillRandom(*src, rng);
    const std::int32_t positions[][2] = {{-4, 0}, {5, 0}, {-3, 1}, {0, -2}, {2, 4}, {-6, -3}};
    for (const bool leftRight : {true, false}) {
        for (const auto& at : positions) {
            auto dst = Blank(8, 6, 16);
            auto same = Blank(8, 6, 15);
            const std::int32_t a = leftRight ? src->BlitOpaqueMirrorX(dst.get(), at[0], at[1], nullptr)
                                             : src->BlitOpaqueMirrorY(dst.get(), at[0], at[1], nullptr);
            const std::int32_t b = leftRight ? src->BlitOpaqueMirrorX(same.get(), at[0], at[1], nullptr)
                                             : src->BlitOpaqueMirrorY(same.get(), at[0], at[1], nullptr);
            EXPECT_EQ(a, 0);
            EXPECT_EQ(b, 0);
            EXPECT_EQ(Snapshot(*dst), Snapshot(*same)) << (leftRight ? "left-right" : "top-bottom") << " at " << at[0] << "," << at[1];
        }
    }
}

}  // namespace
