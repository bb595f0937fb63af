#include "tools/make_assets/canvas.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

constexpr int kSamples = 4;  // per pixel and axis

}  // namespace

Paint Solid(Color c) {
  return [c](double, double) { return c; };
}

Paint VerticalGradient(double y0, Color c0, double y1, Color c1) {
  return [=](double, double y) { return Mix(c0, c1, std::clamp((y - y0) / (y1 - y0), 0.0, 1.0)); };
}

Paint Lit(double cx, double cy, double rx, double ry, Color base, double shine) {
  return [=](double x, double y) {
    const double nx = std::clamp((x - cx) / rx, -1.0, 1.0), ny = std::clamp((y - cy) / ry, -1.0, 1.0);
    const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
    // Light from the upper left and a little in front.
    constexpr double lx = -0.48, ly = -0.62, lz = 0.62;
    const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
    const double rz = 2 * diffuse * nz - lz;  // reflected light towards the viewer
    const double specular = std::pow(std::max(0.0, rz), 24) * shine;
    const Color shaded = Scale(base, 0.42 + 0.72 * diffuse);
    return Clamp(Mix(shaded, Color{1, 1, 1}, specular));
  };
}

Canvas::Canvas(int width, int height) : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

Canvas::Canvas(int width, int height, Color ground) : Canvas(width, height) {
  for (Pixel& p : pixels_) p = {ground.r, ground.g, ground.b, 1.0};
}

void Canvas::Blend(int x, int y, Color c, double a) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || a <= 0) return;
  a = std::min(a, 1.0);
  Pixel& p = pixels_[Index(x, y)];
  p.r = c.r * a + p.r * (1 - a);
  p.g = c.g * a + p.g * (1 - a);
  p.b = c.b * a + p.b * (1 - a);
  p.a = a + p.a * (1 - a);
}

Color Canvas::At(int x, int y) const {
  const Pixel& p = pixels_[Index(x, y)];
  if (p.a <= 0) return {};
  return Clamp({p.r / p.a, p.g / p.a, p.b / p.a});
}

void Canvas::Fill(const Shape& shape, const Paint& paint, double opacity) {
  const int x0 = std::max(0, static_cast<int>(std::floor(shape.box.x0)) - 1);
  const int y0 = std::max(0, static_cast<int>(std::floor(shape.box.y0)) - 1);
  const int x1 = std::min(width_, static_cast<int>(std::ceil(shape.box.x1)) + 1);
  const int y1 = std::min(height_, static_cast<int>(std::ceil(shape.box.y1)) + 1);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const double cx = x + 0.5, cy = y + 0.5;
      const double centre = shape.distance(cx, cy);
      double coverage;
      if (centre > 1.0) {
        continue;  // the whole pixel lies outside
      } else if (centre < -1.0) {
        coverage = 1.0;
      } else {
        int inside = 0;
        for (int sy = 0; sy < kSamples; ++sy) {
          for (int sx = 0; sx < kSamples; ++sx) {
            inside += shape.distance(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples) <= 0;
          }
        }
        coverage = static_cast<double>(inside) / (kSamples * kSamples);
      }
      if (coverage > 0) Blend(x, y, paint(cx, cy), coverage * opacity);
    }
  }
}

void Canvas::FillOutlined(const Shape& shape, const Paint& paint, Color outline, double width) {
  Fill(Grow(shape, width), Solid(outline));
  Fill(shape, paint);
}

Rgb8 ToRgb8(Color c) {
  c = Clamp(c);
  return {static_cast<uint8_t>(std::lround(c.r * 255)), static_cast<uint8_t>(std::lround(c.g * 255)),
          static_cast<uint8_t>(std::lround(c.b * 255))};
}

RgbPicture Canvas::Resolve(Rgb8 key) const {
  RgbPicture out{width_, height_, std::vector<Rgb8>(pixels_.size())};
  for (size_t i = 0; i < pixels_.size(); ++i) {
    const Pixel& p = pixels_[i];
    out.pixels[i] = p.a >= 0.5 ? ToRgb8({p.r / p.a, p.g / p.a, p.b / p.a}) : key;
  }
  return out;
}

RgbPicture Canvas::Resolve() const { return Resolve(Rgb8{}); }

}  // namespace assets
