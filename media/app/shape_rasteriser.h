#pragma once
// Turns the front door's shapes into spans of covered pixels, cut to a clip rectangle, for the
// span fill (media/blit/span_fill.h). Every coordinate names a pixel: the point (x, y) is the
// centre of pixel (x, y). No antialiasing: a pixel is covered or not, by these rules.
//
// - Ellipse with centre (cx, cy) and radii rx, ry >= 0 (a circle: rx = ry = r): pixel (x, y) is
//   covered when |x - cx| <= rx, |y - cy| <= ry and
//       (x - cx)^2 * ry^2 + (y - cy)^2 * rx^2 <= rx^2 * ry^2
//   (for a circle: (x - cx)^2 + (y - cy)^2 <= r^2; radius 0 is the centre pixel alone).
// - Its outline of thickness t: covered by the ellipse of radii rx, ry and not by the one of
//   radii rx - t, ry - t (nothing is taken away where those are negative).
// - Rounded rectangle: the pixels of the rectangle, less those in each corner square of side r
//   that lie outside the quarter circle of radius r centred on the square's inner corner pixel
//   (r cut to half the shorter side, rounded down). Outline: less the rounded rectangle one
//   pixel inside it with radius r - 1.
// - Polygon (triangles too), vertices rounded to 1/256 pixel: a pixel is covered when its centre
//   is inside by the non-zero winding rule, so concave and self-crossing outlines fill as
//   drawn. A centre exactly on an edge counts when the inside lies to its right (towards +x)
//   or, on a horizontal edge, below it (towards +y): shapes that share an edge share no pixel.
// - Line of thickness t: the polygon around the segment, t wide, reaching t / 2 past each end
//   (square ends). A polygon's outline is its edges as lines of thickness 1, each pixel once.
//
// Coordinates are 64-bit here (polygon arithmetic 128-bit where needed), so no int a caller
// gives overflows; polygon vertices must lie within 2^30 pixels of the origin.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/app/canvas.h"
#include "media/blit/span_fill.h"
#include "platform/core/geometry.h"

namespace media {

class ShapeRasteriser {
public:
    /// Spans are cut to clip (which must not be empty) and collected in a buffer that one
    /// thread's rasterisers share, so drawing shapes frame after frame allocates nothing new.
    explicit ShapeRasteriser(const platform::Rect& clip);

    /// Ellipse or circle, with the hole of the given inner radii (negative: none).
    void Ellipse(std::int64_t cx, std::int64_t cy, std::int64_t rx, std::int64_t ry, std::int64_t innerRx, std::int64_t innerRy);
    /// Rounded rectangle (x, y, width, height, radius), with the one-pixel hole of its outline.
    void RoundedRect(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height, std::int64_t radius, bool outline);
    /// Polygon of count vertices; false (nothing added) for a vertex that is not finite or is
    /// farther than 2^30 pixels out.
    bool Polygon(const Point* points, std::size_t count);
    /// Lines of the given thickness between points[i] and points[i + 1] (and the last back to
    /// the first when closed), as one shape; false as Polygon.
    bool Lines(const Point* points, std::size_t count, float thickness, bool closed);

    const std::vector<PixelSpan>& Spans() const { return spans_; }

private:
    struct Edge;
    // Adds pixels begin..end (both included) of row y, cut to the clip rectangle.
    void Add(std::int64_t y, std::int64_t begin, std::int64_t end);
    // The polygons in fixed point (1/256 pixel): several closed outlines filled as one shape.
    bool FillOutlines(const std::vector<std::int64_t>& xs, const std::vector<std::int64_t>& ys, const std::vector<std::size_t>& ends);
    template <typename Wide>
    void Scan(std::vector<Edge>& edges);

    platform::Rect clip_;
    std::vector<PixelSpan>& spans_;
};

}  // namespace media
