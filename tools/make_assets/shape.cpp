#include "tools/make_assets/shape.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

Box Join(Box a, Box b) {
  return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Box Meet(Box a, Box b) {
  return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

}  // namespace

Shape Circle(double cx, double cy, double r) {
  return {[=](double x, double y) { return std::hypot(x - cx, y - cy) - r; }, {cx - r, cy - r, cx + r, cy + r}};
}

Shape Ellipse(double cx, double cy, double rx, double ry) {
  // Distance scaled from the unit circle: exact on the axes, close enough for edges and outlines
  // of the moderately flat ellipses the art uses.
  const double k = std::min(rx, ry);
  return {[=](double x, double y) { return (std::hypot((x - cx) / rx, (y - cy) / ry) - 1.0) * k; },
          {cx - rx, cy - ry, cx + rx, cy + ry}};
}

Shape RoundRect(double x0, double y0, double x1, double y1, double radius) {
  const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const double hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
  return {[=](double x, double y) {
            const double qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
            const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
            return outside + std::min(std::max(qx, qy), 0.0) - radius;
          },
          {x0, y0, x1, y1}};
}

Shape Capsule(Point a, Point b, double radius) {
  return {[=](double x, double y) {
            const double px = x - a.x, py = y - a.y, dx = b.x - a.x, dy = b.y - a.y;
            const double len2 = dx * dx + dy * dy;
            const double t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0, 1.0) : 0.0;
            return std::hypot(px - dx * t, py - dy * t) - radius;
          },
          {std::min(a.x, b.x) - radius, std::min(a.y, b.y) - radius, std::max(a.x, b.x) + radius,
           std::max(a.y, b.y) + radius}};
}

Shape Polygon(std::vector<Point> v) {
  Box box{v[0].x, v[0].y, v[0].x, v[0].y};
  for (const Point& p : v) box = Join(box, {p.x, p.y, p.x, p.y});
  return {[v](double x, double y) {
            // Nearest edge distance, signed by the even-odd crossing count.
            double d2 = 1e300;
            bool inside = false;
            for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
              const double ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
              const double wx = x - v[i].x, wy = y - v[i].y;
              const double t = std::clamp((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0, 1.0);
              const double bx = wx - ex * t, by = wy - ey * t;
              d2 = std::min(d2, bx * bx + by * by);
              if ((v[i].y > y) != (v[j].y > y) && x < (v[j].x - v[i].x) * (y - v[i].y) / (v[j].y - v[i].y) + v[i].x) {
                inside = !inside;
              }
            }
            return inside ? -std::sqrt(d2) : std::sqrt(d2);
          },
          box};
}

Shape Union(const Shape& a, const Shape& b) {
  return {[a, b](double x, double y) { return std::min(a.distance(x, y), b.distance(x, y)); }, Join(a.box, b.box)};
}

Shape Intersect(const Shape& a, const Shape& b) {
  return {[a, b](double x, double y) { return std::max(a.distance(x, y), b.distance(x, y)); }, Meet(a.box, b.box)};
}

Shape Subtract(const Shape& a, const Shape& b) {
  return {[a, b](double x, double y) { return std::max(a.distance(x, y), -b.distance(x, y)); }, a.box};
}

Shape Grow(const Shape& s, double d) {
  return {[s, d](double x, double y) { return s.distance(x, y) - d; },
          {s.box.x0 - d, s.box.y0 - d, s.box.x1 + d, s.box.y1 + d}};
}

Shape Translate(const Shape& s, double dx, double dy) {
  return {[s, dx, dy](double x, double y) { return s.distance(x - dx, y - dy); },
          {s.box.x0 + dx, s.box.y0 + dy, s.box.x1 + dx, s.box.y1 + dy}};
}

Shape Rotate(const Shape& s, double cx, double cy, double angle) {
  const double c = std::cos(angle), sn = std::sin(angle);
  // The box of the turned shape: the turned corners of the original box.
  Box box{1e300, 1e300, -1e300, -1e300};
  for (const Point& p : {Point{s.box.x0, s.box.y0}, Point{s.box.x1, s.box.y0}, Point{s.box.x0, s.box.y1}, Point{s.box.x1, s.box.y1}}) {
    const double x = cx + (p.x - cx) * c - (p.y - cy) * sn, y = cy + (p.x - cx) * sn + (p.y - cy) * c;
    box = Join(box, {x, y, x, y});
  }
  return {[s, cx, cy, c, sn](double x, double y) {
            const double dx = x - cx, dy = y - cy;
            return s.distance(cx + dx * c + dy * sn, cy - dx * sn + dy * c);
          },
          box};
}

}  // namespace assets
