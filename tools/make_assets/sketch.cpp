#include "tools/make_assets/sketch.h"

namespace assets {

Shape Sketch::Circle(double cx, double cy, double r) const { return assets::Circle(X(cx), Y(cy), S(r)); }

Shape Sketch::Ellipse(double cx, double cy, double rx, double ry, double angle) const {
  const Shape e = assets::Ellipse(X(cx), Y(cy), S(rx), S(ry));
  return angle == 0 ? e : Rotate(e, X(cx), Y(cy), angle);
}

Shape Sketch::RoundRect(double x0, double y0, double x1, double y1, double radius) const {
  return assets::RoundRect(X(x0), Y(y0), X(x1), Y(y1), S(radius));
}

Shape Sketch::Capsule(double ax, double ay, double bx, double by, double radius) const {
  return assets::Capsule({X(ax), Y(ay)}, {X(bx), Y(by)}, S(radius));
}

Shape Sketch::Polygon(const std::vector<Point>& points) const {
  std::vector<Point> mapped;
  for (const Point& p : points) mapped.push_back({X(p.x), Y(p.y)});
  return assets::Polygon(std::move(mapped));
}

Paint Sketch::Lit(double cx, double cy, double rx, double ry, Color base, double shine) const {
  return assets::Lit(X(cx), Y(cy), S(rx), S(ry), base, shine);
}

Paint Sketch::Gradient(double y0, Color c0, double y1, Color c1) const {
  return VerticalGradient(Y(y0), c0, Y(y1), c1);
}

}  // namespace assets
