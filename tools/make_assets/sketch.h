// Drawing in a piece of art's own coordinates: every sprite is designed in its frame (for
// example 90x90 for the hero) and can be painted at any place and size, so the menu screens
// show the same characters larger.
#pragma once

#include <vector>

#include "tools/make_assets/canvas.h"

namespace assets {

class Sketch {
 public:
  Sketch(Canvas& canvas, double left, double top, double scale) : canvas_(canvas), left_(left), top_(top), scale_(scale) {}

  Shape Circle(double cx, double cy, double r) const;
  Shape Ellipse(double cx, double cy, double rx, double ry, double angle = 0) const;
  Shape RoundRect(double x0, double y0, double x1, double y1, double radius) const;
  Shape Capsule(double ax, double ay, double bx, double by, double radius) const;
  Shape Polygon(const std::vector<Point>& points) const;

  Paint Lit(double cx, double cy, double rx, double ry, Color base, double shine = 0.5) const;
  Paint Gradient(double y0, Color c0, double y1, Color c1) const;

  void Fill(const Shape& shape, const Paint& paint, double opacity = 1.0) { canvas_.Fill(shape, paint, opacity); }
  void Fill(const Shape& shape, Color colour, double opacity = 1.0) { canvas_.Fill(shape, Solid(colour), opacity); }
  // Outline width in the art's own units.
  void Outlined(const Shape& shape, const Paint& paint, Color outline, double width) {
    canvas_.FillOutlined(shape, paint, outline, width * scale_);
  }
  void Outlined(const Shape& shape, Color colour, Color outline, double width) { Outlined(shape, Solid(colour), outline, width); }

  double X(double x) const { return left_ + x * scale_; }
  double Y(double y) const { return top_ + y * scale_; }
  double S(double length) const { return length * scale_; }

 private:
  Canvas& canvas_;
  double left_, top_, scale_;
};

}  // namespace assets
