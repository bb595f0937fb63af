// ClipRect and ClipBlit: the cuts against both surfaces' clip rectangles.
#include "tests/blit/blit_test_support.h"

namespace {

using namespace blit_test;

TEST_F(BlitTest, ClipRectCutsToTheClipRectangleAndRejectsWhatHoldsNoPixel) {
    auto s = Blank(20, 10, 32);
    s->SetClipRect({2, 1, 18, 9});
    struct Case {
        const char* what;
        Rect in;
        std::int32_t result;
        Rect out;
    } cases[] = {
        {"inside", {3, 2, 5, 4}, 1, {3, 2, 5, 4}},
        {"over every edge", {-5, -5, 40, 40}, 1, {2, 1, 18, 9}},
        {"touching the left edge from outside", {0, 2, 2, 4}, 0, {0, 2, 2, 4}},
        {"touching the bottom edge from below", {3, 9, 5, 12}, 0, {3, 9, 5, 12}},
        {"empty", {4, 4, 4, 6}, 0, {4, 4, 4, 6}},
        {"inverted", {10, 6, 5, 3}, 0, {10, 6, 5, 3}},
        {"inverted across the clip", {17, 2, 3, 4}, 0, {17, 2, 3, 4}},
    };
    for (const Case& k : cases) {
        Rect r = k.in;
        EXPECT_EQ(media::ClipRect(*s, r), k.result) << k.what;
        EXPECT_EQ(r, k.out) << k.what;
    }
    // A clip rectangle set beyond the surface holds nothing.
    s->SetClipRect({30, 30, 40, 40});
    Rect r{0, 0, 100, 100};
    EXPECT_EQ(media::ClipRect(*s, r), 0);
}

TEST_F(BlitTest, ClipBlitCarriesDestinationCutsIntoTheSource) {
    auto src = Blank(10, 10, 16);
    auto dst = Blank(30, 20, 16);
    struct Case {
        const char* what;
        std::int32_t x, y;
        Rect rect;
        std::int32_t result;
        std::int32_t outX, outY;
        Rect outRect;
    } cases[] = {
        {"inside", 5, 5, {0, 0, 10, 10}, 1, 5, 5, {0, 0, 10, 10}},
        {"off the left edge", -3, 2, {0, 0, 10, 10}, 1, 0, 2, {3, 0, 10, 10}},
        {"off the bottom right", 25, 15, {0, 0, 10, 10}, 1, 25, 15, {0, 0, 5, 5}},
        {"source larger than the surface keeps its place", 2, 2, {-4, -4, 20, 20}, 1, 2, 2, {0, 0, 10, 10}},
        {"wholly off the destination", 30, 0, {0, 0, 10, 10}, 0, 30, 0, {0, 0, 10, 10}},
        {"wholly outside the source", 0, 0, {10, 0, 12, 5}, 0, 0, 0, {10, 0, 12, 5}},
        {"at the largest coordinate", INT32_MAX - 2, 0, {0, 0, 10, 10}, 0, INT32_MAX - 2, 0, {0, 0, 10, 10}},
        {"from the smallest coordinate", INT32_MIN, INT32_MIN, {0, 0, 10, 10}, 0, INT32_MIN, INT32_MIN, {0, 0, 10, 10}},
    };
    for (const Case& k : cases) {
        std::int32_t x = k.x, y = k.y;
        Rect r = k.rect;
        EXPECT_EQ(media::ClipBlit(*src, *dst, x, y, r), k.result) << k.what;
        EXPECT_EQ(x, k.outX) << k.what;
        EXPECT_EQ(y, k.outY) << k.what;
        EXPECT_EQ(r, k.outRect) << k.what;
    }
}

// Whatever the rectangles, a clipped blit covers equal-sized rectangles that lie inside both
// clip rectangles, and each destination pixel stays where the unclipped blit would put it.
TEST_F(BlitTest, ClipBlitKeepsEveryPixelInPlace) {
    auto src = Blank(12, 9, 32);
    auto dst = Blank(15, 11, 32);
    for (const int iteration : TestIterations(2000)) {
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        std::mt19937 rng(IterationSeed(5, iteration));
        src->SetClipRect(RandomRect(rng, 12, 9));
        dst->SetClipRect(RandomRect(rng, 15, 11));
        Rect r = RandomRect(rng, 12, 9);
        std::int32_t x = static_cast<std::int32_t>(rng() % 40) - 20, y = static_cast<std::int32_t>(rng() % 30) - 15;
        Rect cut = r;
        if (!media::ClipRect(*src, cut)) {
            EXPECT_EQ(media::ClipBlit(*src, *dst, x, y, r), 0);
            continue;
        }
        const std::int32_t x0 = x, y0 = y;
        const Rect shifted = cut;
        if (!media::ClipBlit(*src, *dst, x, y, r)) continue;
        ASSERT_FALSE(r.IsEmpty());
        const Rect d{x, y, x + r.Width(), y + r.Height()};
        const Rect sc = src->ClipRect(), dc = dst->ClipRect();
        ASSERT_EQ(platform::Intersect(r, sc), r);
        ASSERT_EQ(platform::Intersect(d, dc), d);
        // The source cut is formed at (x0, y0); destination cuts move both rectangles together.
        ASSERT_EQ(x - x0, r.left - shifted.left);
        ASSERT_EQ(y - y0, r.top - shifted.top);
    }
}

}  // namespace
