// The rotation blits and the quad mapper against a per-pixel reference that walks the edges and
// spans with running sums, exactly as the mapper is described, reading through GetPixel with the
// sampled position held on the source surface.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "media/blit/edge_table.h"
#include "tests/blit/blit_test_support.h"

namespace {

using namespace blit_test;

struct Corners {
    std::int32_t x[4], y[4];
};

// The mapper, written out slowly.
void ReferenceQuad(PixelSurface& src, PixelSurface& dst, const Corners& q, const Rect& s, bool keyed) {
    const Rect clip = dst.ClipRect();
    const std::int64_t sw = std::int64_t{s.right} - s.left, sh = std::int64_t{s.bottom} - s.top;
    if (sw <= 0 || sh <= 0 || sw > 32767 || sh > 32767) return;
    for (int k = 0; k < 4; ++k)
        if (std::abs(std::int64_t{q.x[k]}) > 32767 || std::abs(std::int64_t{q.y[k]}) > 32767) return;
    std::int32_t top = *std::min_element(q.y, q.y + 4), bottom = *std::max_element(q.y, q.y + 4);
    if (top >= bottom || bottom < clip.top || top >= clip.bottom) return;
    top = std::max(top, clip.top);
    bottom = std::min(bottom, clip.bottom);
    if (bottom - top < 1) return;
    bottom = std::min(bottom, clip.bottom - 1);

    using Entry = std::array<std::int64_t, 3>;
    std::vector<Entry> left(static_cast<std::size_t>(clip.bottom)), right(static_cast<std::size_t>(clip.bottom));
    const std::int64_t U = sw * 65536, V = sh * 65536;
    const auto scan = [&](std::vector<Entry>& table, bool isLeft, std::int64_t xs, std::int64_t xe, std::int64_t ys, std::int64_t dy, int edge) {
        const std::int64_t count = std::max<std::int64_t>(dy + 1, 1);
        std::int64_t x = xs * 65536, u = 0, v = 0, du = 0, dv = 0;
        const std::int64_t xstep = (xe - xs) * 65536 / count;
        switch (edge * (isLeft ? -1 : 1)) {
            case 1: du = U / count; break;
            case 2: u = U; dv = V / count; break;
            case 3: u = U, v = V, du = -U / count; break;
            case 4: v = V, dv = -V / count; break;
            case -1: u = U, du = -U / count; break;
            case -2: u = U, v = V, dv = -V / count; break;
            case -3: v = V, du = U / count; break;
            case -4: dv = V / count; break;
        }
        for (std::int64_t y = ys; y <= ys + count; ++y, x += xstep, u += du, v += dv)
            if (y >= clip.top && y < clip.bottom) table[static_cast<std::size_t>(y)] = {x, u, v};
    };
    for (int k = 0; k < 4; ++k) {
        const int n = (k + 1) % 4;
        if (q.y[n] < q.y[k]) {
            scan(left, true, q.x[n], q.x[k], q.y[n], std::int64_t{q.y[k]} - q.y[n], k + 1);
        } else {
            scan(right, false, q.x[k], q.x[n], q.y[k], std::int64_t{q.y[n]} - q.y[k], k + 1);
        }
    }
    const int depth = src.GetPixelFormatInfo().depth;
    if (dst.GetPixelFormatInfo().depth != depth || media::BytesPerPixelOfDepth(depth) == 0) return;
    const std::uint32_t key = src.ColorKey();
    src.Lock();
    dst.Lock();
    for (std::int32_t y = top; y <= bottom; ++y) {
        const Entry& l = left[static_cast<std::size_t>(y)];
        const Entry& r = right[static_cast<std::size_t>(y)];
        std::int64_t a = FloorDiv(l[0], 65536), b = FloorDiv(r[0], 65536);
        const std::int64_t span = std::max<std::int64_t>(b - a, 1);
        const std::int64_t du = (r[1] - l[1]) / span, dv = (r[2] - l[2]) / span;
        std::int64_t u = l[1], v = l[2];
        if (a < clip.left) {
            u += (clip.left - a) * du;
            v += (clip.left - a) * dv;
            a = clip.left;
        }
        b = std::min<std::int64_t>(b, clip.right);
        u += std::int64_t{s.left} * 65536;
        v += std::int64_t{s.top} * 65536;
        for (std::int64_t x = a; x + 1 < b; ++x) {
            u += du;
            v += dv;
            const auto column = static_cast<std::int32_t>(std::clamp<std::int64_t>(FloorDiv(u, 65536), 0, src.Width() - 1));
            const auto row = static_cast<std::int32_t>(std::clamp<std::int64_t>(FloorDiv(v, 65536), 0, src.Height() - 1));
            const std::uint32_t p = src.GetPixel(column, row);
            if (keyed) {
                const std::uint32_t compared = depth >= 24 ? ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF) : p;
                if (compared == key) continue;
            }
            const auto X = static_cast<std::int32_t>(x);
            dst.PutPixel(X, y, depth == 32 ? (dst.GetPixel(X, y) & 0xFF000000u) | (p & 0xFFFFFF) : p);
        }
    }
    src.Unlock();
    dst.Unlock();
}

// The corners the rotation blits compute.
Corners RotatedCorners(std::int32_t cx, std::int32_t cy, const Rect& r, double angle, double scale) {
    const auto hw = static_cast<std::int32_t>(r.Width() * scale * 0.5), hh = static_cast<std::int32_t>(r.Height() * scale * 0.5);
    const double s = std::sin(-angle), c = std::cos(-angle);
    const std::int32_t o[4][2] = {{-hw, -hh}, {hw, -hh}, {hw, hh}, {-hw, hh}};
    Corners q;
    for (int k = 0; k < 4; ++k) {
        q.x[k] = cx + static_cast<std::int32_t>(c * o[k][0] - s * o[k][1]);
        q.y[k] = cy + static_cast<std::int32_t>(s * o[k][0] + c * o[k][1]);
    }
    return q;
}

constexpr int kRotationDepths[] = {8, 15, 16, 24, 32};

class QuadMapperTest : public BlitTest, public ::testing::WithParamInterface<int> {};

TEST_P(QuadMapperTest, RotationsMatchTheReference) {
    const int depth = GetParam();
    for (const int iteration : TestIterations(250)) {
        const std::uint32_t seed = static_cast<std::uint32_t>(depth * 10000 + iteration);
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        std::mt19937 rng(seed);
        auto src = Blank(1 + rng() % 23, 1 + rng() % 17, depth);
        auto dst = Blank(1 + rng() % 61, 1 + rng() % 47, depth);
        auto expected = Blank(dst->Width(), dst->Height(), depth);
        const std::uint32_t key = RandomPixel(rng, depth) & 0xFFFFFF;
        FillRandom(*src, rng, key, 25);
        MakeKey(*src, key);
        FillRandom(*dst, rng);
        CopyPixels(*dst, *expected);
        if (rng() % 3 == 0) {
            const Rect clip = RandomRect(rng, dst->Width(), dst->Height());
            dst->SetClipRect(clip);
            expected->SetClipRect(clip);
        }
        if (rng() % 4 == 0) src->SetClipRect(RandomRect(rng, src->Width(), src->Height()));
        Rect rect = RandomRect(rng, src->Width(), src->Height());
        const std::int32_t cx = static_cast<std::int32_t>(rng() % (dst->Width() + 30)) - 15;
        const std::int32_t cy = static_cast<std::int32_t>(rng() % (dst->Height() + 30)) - 15;
        const double angle = (static_cast<double>(rng() % 20001) - 10000) / 1000.0;
        const double scale = (static_cast<double>(rng() % 4001) - 500) / 1000.0;
        const bool keyed = iteration % 2;

        Rect cut = rect;
        if (media::ClipRect(*src, cut)) ReferenceQuad(*src, *expected, RotatedCorners(cx, cy, cut, angle, scale), cut, keyed);
        const std::int32_t result = keyed ? src->BlitKeyedRotated(dst.get(), cx, cy, &rect, angle, scale)
                                          : src->BlitOpaqueRotated(dst.get(), cx, cy, &rect, angle, scale);
        ASSERT_EQ(result, 1);
        ASSERT_EQ(Snapshot(*dst), Snapshot(*expected));
        if (media::ClipRect(*src, cut)) {
            EXPECT_EQ(rect, cut) << "the source rectangle is clipped in place";
        }
    }
}

// Arbitrary quads, in any corner order, reaching past every edge and mapping a rectangle that
// may lie partly off the source: every sampled position stays on the source surface.
TEST_P(QuadMapperTest, AnyQuadMatchesTheReferenceAndReadsOnlyTheSource) {
    const int depth = GetParam();
    for (const int iteration : TestIterations(250)) {
        const std::uint32_t seed = static_cast<std::uint32_t>(depth * 20000 + iteration);
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        std::mt19937 rng(seed);
        auto src = Blank(1 + rng() % 19, 1 + rng() % 13, depth);
        auto dst = Blank(1 + rng() % 50, 1 + rng() % 40, depth);
        auto expected = Blank(dst->Width(), dst->Height(), depth);
        FillRandom(*src, rng);
        FillRandom(*dst, rng);
        CopyPixels(*dst, *expected);
        if (rng() % 3 == 0) {
            const Rect clip = RandomRect(rng, dst->Width(), dst->Height());
            dst->SetClipRect(clip);
            expected->SetClipRect(clip);
        }
        Corners q;
        for (int k = 0; k < 4; ++k) {
            const bool far = rng() % 10 == 0;
            q.x[k] = far ? static_cast<std::int32_t>(rng() % 80001) - 40000 : static_cast<std::int32_t>(rng() % 90) - 20;
            q.y[k] = far ? static_cast<std::int32_t>(rng() % 80001) - 40000 : static_cast<std::int32_t>(rng() % 80) - 20;
        }
        const Rect rect{static_cast<std::int32_t>(rng() % 30) - 10, static_cast<std::int32_t>(rng() % 20) - 6,
                        static_cast<std::int32_t>(rng() % 40) - 5, static_cast<std::int32_t>(rng() % 30) - 3};
        ReferenceQuad(*src, *expected, q, rect, false);
        src->DrawQuad(dst.get(), q.x[0], q.y[0], q.x[1], q.y[1], q.x[2], q.y[2], q.x[3], q.y[3], &rect, 0);
        ASSERT_EQ(Snapshot(*dst), Snapshot(*expected));
        ASSERT_EQ(src->LeftEdges().size(), static_cast<std::size_t>(std::max(dst->ClipRect().bottom, 0)));
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, QuadMapperTest, ::testing::ValuesIn(kRotationDepths),
                         [](const auto& info) { return "depth" + std::to_string(info.param); });

TEST_F(BlitTest, AngleZeroMapsTheRectangleOntoItsFootprint) {
    auto src = Blank(20, 10, 32);
    for (std::int32_t y = 0; y < 10; ++y)
        for (std::int32_t x = 0; x < 20; ++x) SetRaw(*src, x, y, 0x00010000u * static_cast<std::uint32_t>(y + 1) + static_cast<std::uint32_t>(x + 1));
    auto dst = Blank(200, 200, 32);
    EXPECT_EQ(RotatedCorners(100, 100, {0, 0, 20, 10}, 0.0, 1.0).x[0], 90);
    Rect r{0, 0, 20, 10};
    ASSERT_EQ(src->BlitOpaqueRotated(dst.get(), 100, 100, &r, 0.0, 1.0), 1);
    // Corners (90, 95) to (110, 105): lines 95 to 105, columns 90 to 108, and the one-step offset
    // of the span fill (its first pixel samples column 1).
    const Rect covered{90, 95, 109, 106};
    std::int32_t drawn = 0;
    for (std::int32_t y = 0; y < 200; ++y)
        for (std::int32_t x = 0; x < 200; ++x) {
            const bool inside = x >= covered.left && x < covered.right && y >= covered.top && y < covered.bottom;
            drawn += Raw(*dst, x, y) != 0;
            if (!inside) {
                ASSERT_EQ(Raw(*dst, x, y), 0u) << x << "," << y;
            }
        }
    EXPECT_EQ(drawn, covered.Width() * covered.Height());
    EXPECT_EQ(Raw(*dst, 90, 95), 0x00010002u);
    EXPECT_EQ(Raw(*dst, 108, 95), 0x00010014u);
    EXPECT_EQ(Raw(*dst, 90, 105), 0x000A0002u);
}

TEST_F(BlitTest, QuadsThatCannotBeDrawnDrawNothing) {
    auto src = Blank(20, 10, 16);
    src->Fill(0x1234);
    struct Case {
        const char* what;
        Corners q;
    } cases[] = {
        {"counter-clockwise", {{90, 90, 110, 110}, {95, 105, 105, 95}}},
        {"all corners on one line", {{90, 100, 110, 120}, {95, 95, 95, 95}}},
        {"a corner past the fixed-point range", {{90, 110, 40000, 90}, {95, 95, 105, 105}}},
        {"wholly below", {{0, 50, 50, 0}, {300, 300, 350, 350}}},
    };
    for (const Case& k : cases) {
        auto dst = Blank(200, 200, 16);
        const Rect r{0, 0, 20, 10};
        src->DrawQuad(dst.get(), k.q.x[0], k.q.y[0], k.q.x[1], k.q.y[1], k.q.x[2], k.q.y[2], k.q.x[3], k.q.y[3], &r, 0);
        EXPECT_EQ(Snapshot(*dst), std::vector<std::uint32_t>(200 * 200, 0)) << k.what;
    }
    const double nothing[][2] = {{0.0, 0.0},
                                 {std::numeric_limits<double>::quiet_NaN(), 1.0},
                                 {0.5, std::numeric_limits<double>::infinity()},
                                 {std::numeric_limits<double>::infinity(), 1.0},
                                 {0.0, 1e12},
                                 {0.3, -1e12}};
    for (const auto& k : nothing) {
        auto dst = Blank(200, 200, 16);
        Rect r{0, 0, 20, 10};
        EXPECT_EQ(src->BlitKeyedRotated(dst.get(), 100, 100, &r, k[0], k[1]), 1);
        EXPECT_EQ(Snapshot(*dst), std::vector<std::uint32_t>(200 * 200, 0)) << k[0] << " " << k[1];
    }
    // Different depth codes draw nothing.
    auto other = Blank(200, 200, 15);
    Rect r{0, 0, 20, 10};
    EXPECT_EQ(src->BlitOpaqueRotated(other.get(), 100, 100, &r, 0.2, 1.0), 1);
    EXPECT_EQ(Snapshot(*other), std::vector<std::uint32_t>(200 * 200, 0));
}

TEST_F(BlitTest, RotationStopsAtTheLastLineOfTheClipAndDrawsFiveFiveFive) {
    auto src = Blank(20, 20, 15);
    src->Fill(0x7C00);
    auto dst = Blank(60, 60, 15);
    Rect r{0, 0, 20, 20};
    // A first rotation with the whole surface as clip leaves entries for lines 40 and beyond in
    // the tables' storage; the second must not reach them.
    auto scratch = Blank(60, 60, 15);
    ASSERT_EQ(src->BlitOpaqueRotated(scratch.get(), 30, 35, &r, 0.0, 1.0), 1);
    ASSERT_EQ(Raw(*scratch, 30, 40), 0x7C00u);
    dst->SetClipRect({0, 0, 60, 40});
    ASSERT_EQ(src->BlitOpaqueRotated(dst.get(), 30, 35, &r, 0.0, 1.0), 1);
    EXPECT_EQ(Raw(*dst, 30, 39), 0x7C00u) << "drawn down to clip.bottom - 1";
    EXPECT_EQ(Raw(*dst, 30, 40), 0u) << "and no further";
    EXPECT_EQ(src->LeftEdges().size(), 40u);
}

// In 24 and 32 bits the rotation's key is compared with the pixel's bytes read first to last as
// high to low: a key whose first and third bytes differ shows the difference.
TEST_F(BlitTest, RotationKeyReadsTheBytesInReverse) {
    for (const int depth : {24, 32}) {
        auto src = Blank(4, 4, depth);
        src->Fill(0x332211);  // bytes 0x11, 0x22, 0x33
        auto dst = Blank(20, 20, depth);
        dst->Fill(0x77777777);
        SetRaw(*src, 0, 0, 0x112233);
        ASSERT_EQ(src->SetColorKeyFromTopLeft(), 0);
        src->Fill(0x332211);
        Rect r{0, 0, 4, 4};
        src->BlitKeyedRotated(dst.get(), 10, 10, &r, 0.0, 1.0);
        const std::uint32_t untouched = depth == 32 ? 0x77777777u : 0x777777u;
        EXPECT_EQ(Raw(*dst, 10, 10), untouched) << depth << ": bytes 11 22 33 read in reverse are the key 0x112233";
        SetRaw(*src, 0, 0, 0x332211);
        ASSERT_EQ(src->SetColorKeyFromTopLeft(), 0);
        src->BlitKeyedRotated(dst.get(), 10, 10, &r, 0.0, 1.0);
        EXPECT_EQ(Raw(*dst, 10, 10), 0x332211u | (untouched & 0xFF000000u)) << depth << ": the little-endian value is not the key";
    }
}

TEST_F(BlitTest, RotationWithoutRectangleUsesTheWholeSource) {
    auto src = Blank(6, 4, 16);
    src->Fill(0x0F0F);
    auto dst = Blank(30, 30, 16);
    EXPECT_EQ(src->BlitOpaqueRotated(dst.get(), 15, 15, nullptr, 0.0, 1.0), 1);
    EXPECT_EQ(Raw(*dst, 15, 15), 0x0F0Fu);
    EXPECT_EQ(src->BlitOpaqueRotated(nullptr, 15, 15, nullptr, 0.0, 1.0), 1);
}

}  // namespace
