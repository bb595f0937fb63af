// Shapes as signed distance functions (negative inside, in pixels) with a bounding box, so that
// the canvas can sample their coverage for smooth edges and grow them into outlines.
#pragma once

#include <functional>
#include <vector>

namespace assets {

struct Box {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

struct Point {
  double x = 0, y = 0;
};

struct Shape {
  std::function<double(double, double)> distance;
  Box box;
};

Shape Circle(double cx, double cy, double r);
Shape Ellipse(double cx, double cy, double rx, double ry);
Shape RoundRect(double x0, double y0, double x1, double y1, double radius);
Shape Capsule(Point a, Point b, double radius);
Shape Polygon(std::vector<Point> points);

Shape Union(const Shape& a, const Shape& b);
Shape Intersect(const Shape& a, const Shape& b);
Shape Subtract(const Shape& a, const Shape& b);
// The shape grown outwards by d pixels (shrunk for a negative d).
Shape Grow(const Shape& s, double d);
Shape Translate(const Shape& s, double dx, double dy);
// The shape turned by angle (radians, clockwise on screen) about (cx, cy).
Shape Rotate(const Shape& s, double cx, double cy, double angle);

}  // namespace assets
