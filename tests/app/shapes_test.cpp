// Shapes on the canvas at every depth: each covers exactly the pixels its rule names, computed
// here per pixel (integer arithmetic for circles, ellipses and rounded corners, a floating-point
// winding number for polygons and lines, whose vertices keep pixel centres off their edges),
// translucent shapes blend each pixel once, and no coordinate overflows.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <vector>

#include "media/app/zamelmedia.h"
#include "tests/headless_test.h"

namespace {

using media::Color;
using media::FillMode;
using media::Point;
using Int128 = __int128;

constexpr Color kBackground{20, 40, 60}, kInk{250, 130, 10};

// (x, y) within the ellipse of radii rx, ry around (cx, cy), in exact arithmetic.
bool InEllipse(std::int64_t x, std::int64_t y, std::int64_t cx, std::int64_t cy, std::int64_t rx, std::int64_t ry) {
    if (rx < 0 || ry < 0) return false;
    const Int128 dx = x - cx, dy = y - cy;
    if (dx > rx || -dx > rx || dy > ry || -dy > ry) return false;
    return dx * dx * ry * ry + dy * dy * rx * rx <= Int128{rx} * rx * ry * ry;
}

bool InRoundedRect(int x, int y, const media::IntRect& r, int radius) {
    if (r.width <= 0 || r.height <= 0 || x < r.x || y < r.y || x >= r.x + r.width || y >= r.y + r.height) return false;
    const int rr = std::max(0, std::min(radius, (std::min(r.width, r.height) - 1) / 2));
    // The nearest corner circle's centre, if (x, y) lies in a corner square.
    const int cx = x < r.x + rr ? r.x + rr : (x > r.x + r.width - 1 - rr ? r.x + r.width - 1 - rr : x);
    const int cy = y < r.y + rr ? r.y + rr : (y > r.y + r.height - 1 - rr ? r.y + r.height - 1 - rr : y);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= rr * rr;
}

// Non-zero winding number of the pixel centre (x, y) in the closed outline.
bool InPolygon(double x, double y, const std::vector<Point>& p) {
    int winding = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Point a = p[i], b = p[(i + 1) % p.size()];
        if ((a.y <= y) == (b.y <= y)) continue;
        const double cross = a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
        if (cross <= x) winding += b.y > a.y ? 1 : -1;
    }
    return winding != 0;
}

// Within the rectangle of the given thickness around segment a-b, reaching past both ends: 1 or
// 0, or -1 within rounding of its edge (its corners are not exact, so such pixels are skipped).
int InThickLine(double x, double y, Point a, Point b, double thickness) {
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
    const double along = (x - a.x) * ux + (y - a.y) * uy, across = -(x - a.x) * uy + (y - a.y) * ux;
    const double margin = std::min({along + thickness / 2, length + thickness / 2 - along, thickness / 2 - std::fabs(across)});
    if (std::fabs(margin) < 0.01) return -1;
    return margin > 0 ? 1 : 0;
}

struct ShapeCase {
    const char* name;
    std::function<media::Status(const media::Canvas&)> draw;
    std::function<int(int, int)> covered;  // 1 covered, 0 not, -1 not compared
};

class ShapesTest : public HeadlessTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        host.SetDesktop(320, 240, GetParam());
        ASSERT_TRUE(window.Open("shapes", 40, 30));
    }
    // Every pixel of the canvas is the ink where covered, the background elsewhere.
    void ExpectCoverage(const ShapeCase& c) {
        SCOPED_TRACE(c.name);
        const media::Canvas canvas = window.Draw();
        ASSERT_TRUE(canvas.Clear(kBackground));
        ASSERT_TRUE(c.draw(canvas));
        media::Picture probe;  // the two colours as this depth shows them
        ASSERT_TRUE(probe.Create(window, 2, 1, kBackground));
        ASSERT_TRUE(probe.Draw().DrawRect({1, 0, 1, 1}, kInk));
        const Color ink = probe.Draw().PixelAt(1, 0), background = probe.Draw().PixelAt(0, 0);
        for (int y = 0; y < canvas.Height(); ++y) {
            for (int x = 0; x < canvas.Width(); ++x) {
                const int covered = c.covered(x, y);
                if (covered >= 0) {
                    ASSERT_EQ(canvas.PixelAt(x, y), covered ? ink : background) << "pixel " << x << ", " << y;
                }
            }
        }
    }
    media::Window window;
};

TEST_P(ShapesTest, EachShapeCoversExactlyThePixelsOfItsRule) {
    // Vertices in quarter pixels: exact in the reference's arithmetic and in the rasteriser's.
    const std::vector<Point> star = {{20.25f, 1.25f}, {26, 27.75f}, {3.5f, 10.5f}, {36.75f, 9.75f}, {12.25f, 28}};
    const std::vector<Point> concave = {{2.25f, 2.25f}, {30.75f, 4}, {12.5f, 12.5f}, {33.25f, 26}, {4, 22.25f}};
    const std::vector<Point> triangle = {{-5.25f, 3.75f}, {44.5f, 12.25f}, {8, 40.5f}};
    const Point from{3.25f, 25.5f}, to{35.25f, 4};
    // A U whose inner left edge bends at a row centre (9.25, 10): only one of the two edges
    // meeting there may count on that row, or the winding carries across the gap.
    const std::vector<Point> u = {{2.25f, 2.25f}, {8.75f, 2.25f}, {9.25f, 10}, {9.75f, 15.25f}, {20.25f, 15.25f},
                                  {20.25f, 2.25f}, {26.25f, 2.25f}, {26.25f, 20.25f}, {2.25f, 20.25f}};
    const ShapeCase cases[] = {
        {"circle", [](const media::Canvas& c) { return c.DrawCircle(17, 13, 9, kInk); }, [](int x, int y) { return InEllipse(x, y, 17, 13, 9, 9); }},
        {"circle of radius 0", [](const media::Canvas& c) { return c.DrawCircle(4, 5, 0, kInk); }, [](int x, int y) { return x == 4 && y == 5; }},
        {"circle cut by the edges", [](const media::Canvas& c) { return c.DrawCircle(-3, 28, 12, kInk); },
         [](int x, int y) { return InEllipse(x, y, -3, 28, 12, 12); }},
        {"circle outline", [](const media::Canvas& c) { return c.DrawCircle(20, 15, 11, kInk, FillMode::Outline); },
         [](int x, int y) { return InEllipse(x, y, 20, 15, 11, 11) && !InEllipse(x, y, 20, 15, 10, 10); }},
        {"ellipse", [](const media::Canvas& c) { return c.DrawEllipse(20, 14, 17, 6, kInk); }, [](int x, int y) { return InEllipse(x, y, 20, 14, 17, 6); }},
        {"flat ellipse", [](const media::Canvas& c) { return c.DrawEllipse(20, 14, 7, 0, kInk); }, [](int x, int y) { return y == 14 && x >= 13 && x <= 27; }},
        {"ellipse outline", [](const media::Canvas& c) { return c.DrawEllipse(19, 15, 8, 13, kInk, FillMode::Outline); },
         [](int x, int y) { return InEllipse(x, y, 19, 15, 8, 13) && !InEllipse(x, y, 19, 15, 7, 12); }},
        {"rounded rectangle", [](const media::Canvas& c) { return c.DrawRoundedRect({3, 2, 30, 20}, 6, kInk); },
         [](int x, int y) { return InRoundedRect(x, y, {3, 2, 30, 20}, 6); }},
        {"rounded rectangle, radius past half", [](const media::Canvas& c) { return c.DrawRoundedRect({5, 4, 9, 20}, 50, kInk); },
         [](int x, int y) { return InRoundedRect(x, y, {5, 4, 9, 20}, 50); }},
        {"rounded outline", [](const media::Canvas& c) { return c.DrawRoundedRect({-2, 3, 30, 20}, 5, kInk, FillMode::Outline); },
         [](int x, int y) { return InRoundedRect(x, y, {-2, 3, 30, 20}, 5) && !InRoundedRect(x, y, {-1, 4, 28, 18}, 4); }},
        {"triangle off two edges", [&](const media::Canvas& c) { return c.DrawTriangle(triangle[0], triangle[1], triangle[2], kInk); },
         [&](int x, int y) { return InPolygon(x, y, triangle); }},
        {"self-crossing star", [&](const media::Canvas& c) { return c.DrawPolygon(star.data(), star.size(), kInk); },
         [&](int x, int y) { return InPolygon(x, y, star); }},
        {"U bending on a row centre", [&](const media::Canvas& c) { return c.DrawPolygon(u.data(), u.size(), kInk); },
         [&](int x, int y) { return InPolygon(x, y, u); }},
        {"concave polygon", [&](const media::Canvas& c) { return c.DrawPolygon(concave.data(), concave.size(), kInk); },
         [&](int x, int y) { return InPolygon(x, y, concave); }},
        {"thick line", [&](const media::Canvas& c) { return c.DrawLine(from, to, 4.6f, kInk); }, [&](int x, int y) { return InThickLine(x, y, from, to, 4.6); }},
        {"square of sharing triangles", [](const media::Canvas& c) {
             const media::Status first = c.DrawTriangle({5, 5}, {25, 5}, {25, 20}, kInk);
             return first ? c.DrawTriangle({5, 5}, {25, 20}, {5, 20}, kInk) : first;
         },
         [](int x, int y) { return x >= 5 && x < 25 && y >= 5 && y < 20; }},
    };
    for (const ShapeCase& c : cases) ExpectCoverage(c);
}

// A translucent shape blends each pixel once: two triangles sharing an edge, a polygon's outline
// where its edges meet and a line over itself leave one even blend everywhere they cover.
TEST_P(ShapesTest, TranslucentShapesBlendEachPixelOnce) {
    const media::Canvas canvas = window.Draw();
    const Color half{kInk.r, kInk.g, kInk.b, 128};
    // The blend of the ink over the background, as this depth makes it: one translucent pixel.
    ASSERT_TRUE(canvas.Clear(kBackground));
    ASSERT_TRUE(canvas.DrawCircle(0, 0, 0, half));
    const Color once = canvas.PixelAt(0, 0), background = canvas.PixelAt(1, 0);
    EXPECT_NE(once, background);
    const Point outline[] = {{6, 4}, {30, 6}, {18, 26}};
    const std::vector<std::function<media::Status()>> draws = {
        [&] {
            const media::Status first = canvas.DrawTriangle({4, 4}, {30, 4}, {30, 24}, half);
            return first ? canvas.DrawTriangle({4, 4}, {30, 24}, {4, 24}, half) : first;
        },
        [&] { return canvas.DrawPolygon(outline, 3, half, FillMode::Outline); },
        [&] { return canvas.DrawLine({3, 3}, {36, 27}, 3, half); },
        [&] { return canvas.DrawCircle(20, 15, 12, half, FillMode::Outline); },
    };
    for (std::size_t i = 0; i < draws.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "draw " << i);
        ASSERT_TRUE(canvas.Clear(kBackground));
        ASSERT_TRUE(draws[i]());
        int blended = 0;
        for (int y = 0; y < canvas.Height(); ++y) {
            for (int x = 0; x < canvas.Width(); ++x) {
                const Color c = canvas.PixelAt(x, y);
                ASSERT_TRUE(c == once || c == background) << "pixel " << x << ", " << y << " blended more than once";
                blended += c == once;
            }
        }
        EXPECT_GT(blended, 20);
    }
}

// Shapes anywhere in the int range, of any size, are cut to the canvas without overflow, and
// still cover exactly their pixels; points beyond 2^30 pixels are refused and say why.
TEST_P(ShapesTest, HugeAndFarShapesNeverOverflow) {
    constexpr std::int32_t kMin = INT32_MIN, kMax = INT32_MAX;
    const std::vector<Point> vast = {{-1e9f, -1e9f}, {1e9f, -5e8f}, {0, 1e9f}};
    const ShapeCase cases[] = {
        {"largest circle at the far corner", [](const media::Canvas& c) { return c.DrawCircle(kMax, kMax, kMax, kInk); },
         [](int x, int y) { return InEllipse(x, y, kMax, kMax, kMax, kMax); }},
        {"largest circle at the near corner", [](const media::Canvas& c) { return c.DrawCircle(kMin, kMin, kMax, kInk); },
         [](int x, int y) { return InEllipse(x, y, kMin, kMin, kMax, kMax); }},
        {"largest ellipse outline", [](const media::Canvas& c) { return c.DrawEllipse(20, kMax, kMax, kMax, kInk, FillMode::Outline); },
         [](int x, int y) { return InEllipse(x, y, 20, kMax, kMax, kMax) && !InEllipse(x, y, 20, kMax, kMax - 1, kMax - 1); }},
        {"negative radius", [](const media::Canvas& c) { return c.DrawCircle(10, 10, -5, kInk); }, [](int, int) { return false; }},
        {"widest rounded rectangle", [](const media::Canvas& c) { return c.DrawRoundedRect({kMin, kMin, kMax, kMax}, kMax, kInk); },
         [](int, int) { return false; }},
        {"rounded rectangle reaching in", [](const media::Canvas& c) { return c.DrawRoundedRect({-1000, 10, kMax, 5}, kMax, kInk); },
         [](int x, int y) { return y >= 10 && y < 15 && x >= 0; }},
        {"vast triangle", [&](const media::Canvas& c) { return c.DrawPolygon(vast.data(), vast.size(), kInk); }, [](int, int) { return true; }},
    };
    for (const ShapeCase& c : cases) ExpectCoverage(c);
    const Point beyond[] = {{0, 0}, {3e38f, 0}, {0, 10}};
    EXPECT_EQ(window.Draw().DrawPolygon(beyond, 3, kInk).Code(), media::ErrorCode::InvalidArgument);
    const Point notANumber[] = {{0, 0}, {NAN, 0}, {0, 10}};
    EXPECT_EQ(window.Draw().DrawPolygon(notANumber, 3, kInk).Code(), media::ErrorCode::InvalidArgument);
    EXPECT_EQ(window.Draw().DrawLine({0, 0}, {10, 10}, INFINITY, kInk).Code(), media::ErrorCode::InvalidArgument);
}

INSTANTIATE_TEST_SUITE_P(Depths, ShapesTest, ::testing::Values(8, 15, 16, 24, 32), [](const auto& info) {
    return "depth_" + std::to_string(info.param);
});

}  // namespace
