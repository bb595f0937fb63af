// A picture being painted: premultiplied colour with coverage per pixel. Shapes are filled with
// smooth edges (4x4 samples a pixel); a transparent canvas is resolved against a colour key at
// the end, each pixel either fully the art's colour or exactly the key, so no edge pixel carries
// a blend of the key.
#pragma once

#include <functional>
#include <vector>

#include "tools/make_assets/bmp_writer.h"
#include "tools/make_assets/color.h"
#include "tools/make_assets/shape.h"

namespace assets {

using Paint = std::function<Color(double x, double y)>;

Paint Solid(Color c);
// Colour from c0 at y0 to c1 at y1, held beyond both ends.
Paint VerticalGradient(double y0, Color c0, double y1, Color c1);
// A ball lit from the upper left: base colour shaded by the normal of the ellipse (cx, cy, rx,
// ry) with a soft highlight, for round bodies, pots and hearts.
Paint Lit(double cx, double cy, double rx, double ry, Color base, double shine = 0.5);

class Canvas {
 public:
  Canvas(int width, int height);                // transparent
  Canvas(int width, int height, Color ground);  // opaque

  int Width() const { return width_; }
  int Height() const { return height_; }

  void Fill(const Shape& shape, const Paint& paint, double opacity = 1.0);
  // The shape in its paint inside an outline of the given width and colour.
  void FillOutlined(const Shape& shape, const Paint& paint, Color outline, double width);
  // Covers pixel (x, y) with colour c at coverage a (0..1).
  void Blend(int x, int y, Color c, double a);
  Color At(int x, int y) const;  // the colour as painted, not premultiplied
  double CoverageAt(int x, int y) const { return pixels_[Index(x, y)].a; }

  // Pixels at least half covered take their colour, the others become the key.
  RgbPicture Resolve(Rgb8 key) const;
  RgbPicture Resolve() const;  // opaque canvases

 private:
  struct Pixel {
    double r = 0, g = 0, b = 0, a = 0;
  };
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }

  int width_;
  int height_;
  std::vector<Pixel> pixels_;
};

Rgb8 ToRgb8(Color c);

}  // namespace assets
