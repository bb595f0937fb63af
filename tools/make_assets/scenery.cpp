#include "tools/make_assets/scenery.h"

#include <array>
#include <cmath>
#include <numbers>

#include "tools/make_assets/text_painter.h"

namespace assets {

namespace {

constexpr Color kInk = Hex(0x2a170b);

// A small fixed generator so the flowers grow in the same places on every run and machine.
class Scatter {
 public:
  explicit Scatter(unsigned seed) : state_(seed) {}
  double Next() {  // 0..1
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) / 16777216.0;
  }

 private:
  uint32_t state_;
};

Shape Rect(double x0, double y0, double x1, double y1) { return RoundRect(x0, y0, x1, y1, 0); }

}  // namespace

void PaintSky(Canvas& canvas, Color top, Color horizon, double horizonY) {
  canvas.Fill(Rect(0, 0, canvas.Width(), horizonY + 40), VerticalGradient(0, top, horizonY, horizon));
}

void PaintSun(Canvas& canvas, double cx, double cy, double r) {
  for (int ring = 3; ring >= 1; --ring) canvas.Fill(Circle(cx, cy, r + ring * 9), Solid(Hex(0xfff6c0)), 0.16);
  const Paint glow = [cx, cy, r](double x, double y) {
    return Mix(Hex(0xfffbd8), Hex(0xffcf3a), std::min(1.0, std::hypot(x - cx, y - cy) / r));
  };
  canvas.Fill(Circle(cx, cy, r), glow);
}

void PaintCloud(Canvas& canvas, double cx, double cy, double s) {
  const Shape cloud = Union(Union(Circle(cx - 30 * s, cy + 6 * s, 18 * s), Circle(cx, cy - 6 * s, 26 * s)),
                            Union(Circle(cx + 30 * s, cy + 4 * s, 20 * s), RoundRect(cx - 46 * s, cy + 2 * s, cx + 48 * s, cy + 24 * s, 11 * s)));
  canvas.Fill(Translate(cloud, 0, 4 * s), Solid(Hex(0x9fcbe6)), 0.6);
  canvas.Fill(cloud, VerticalGradient(cy - 30 * s, Hex(0xffffff), cy + 24 * s, Hex(0xdcecf8)));
}

void PaintHills(Canvas& canvas, double horizonY, bool night) {
  const double w = canvas.Width();
  const Color far = night ? Hex(0x1d3350) : Hex(0x8cc9a0);
  const Color near = night ? Hex(0x1f4030) : Hex(0x78bb62);
  canvas.Fill(Ellipse(w * 0.22, horizonY + 50, w * 0.42, 95), VerticalGradient(horizonY - 45, far, horizonY + 30, Mix(far, near, 0.5)));
  canvas.Fill(Ellipse(w * 0.78, horizonY + 60, w * 0.45, 110), VerticalGradient(horizonY - 50, far, horizonY + 30, Mix(far, near, 0.5)));
  canvas.Fill(Ellipse(w * 0.5, horizonY + 80, w * 0.5, 95), VerticalGradient(horizonY - 15, near, horizonY + 40, Scale(near, 0.85)));
}

void PaintMeadow(Canvas& canvas, double groundY, double bottomY, unsigned seed, bool night) {
  const double w = canvas.Width();
  const Color top = night ? Hex(0x24522c) : Hex(0x67b846);
  const Color low = night ? Hex(0x163a1e) : Hex(0x3f8f2c);
  canvas.Fill(Union(Ellipse(w / 2, groundY + 700, w * 1.1, 700), Rect(0, groundY + 30, w, bottomY)), VerticalGradient(groundY, top, bottomY, low));
  Scatter scatter(seed);
  const Color petals[] = {Hex(0xffffff), Hex(0xffe066), Hex(0xff9ec4), Hex(0xb9a4ff)};
  for (int i = 0; i < 46; ++i) {
    const double x = 8 + scatter.Next() * (w - 16), y = groundY + 12 + scatter.Next() * (bottomY - groundY - 18);
    const double depth = (y - groundY) / (bottomY - groundY);  // nearer flowers are larger
    const double r = 1.6 + 1.6 * depth;
    const int kind = static_cast<int>(scatter.Next() * 4) & 3;
    // A blade pair under each flower, then five petals round a yellow middle.
    canvas.Fill(Capsule({x - 3 * r, y + 3 * r}, {x - 1.2 * r, y}, 0.55 * r), Solid(Scale(low, 0.8)));
    canvas.Fill(Capsule({x + 3 * r, y + 3 * r}, {x + 1.2 * r, y}, 0.55 * r), Solid(Scale(low, 0.8)));
    if (night) continue;
    for (int p = 0; p < 5; ++p) {
      const double a = p * 2 * std::numbers::pi / 5;
      canvas.Fill(Circle(x + std::cos(a) * r, y + std::sin(a) * r, r * 0.8), Solid(petals[kind]));
    }
    canvas.Fill(Circle(x, y, r * 0.6), Solid(Hex(0xf0a020)));
  }
}

void PaintBeeTree(Canvas& canvas, double x, double groundY) {
  const Color bark = Hex(0x7a4a26);
  const Shape trunk = Polygon({{x - 16, groundY}, {x - 9, groundY - 150}, {x + 9, groundY - 150}, {x + 18, groundY}});
  const Shape branch = Capsule({x - 4, groundY - 140}, {x - 62, groundY - 172}, 5);
  canvas.FillOutlined(Union(trunk, branch), VerticalGradient(groundY - 160, Hex(0x94603a), groundY, bark), kInk, 2);
  canvas.Fill(Capsule({x - 2, groundY - 40}, {x + 2, groundY - 95}, 1.6), Solid(Hex(0x5a3418)));
  const double cy = groundY - 215;
  const Shape crown = Union(Union(Circle(x - 40, cy + 20, 40), Circle(x + 5, cy - 10, 52)),
                            Union(Circle(x + 40, cy + 25, 38), Circle(x - 5, cy + 40, 42)));
  canvas.FillOutlined(crown, Lit(x - 5, cy + 10, 95, 85, Hex(0x4f9e3a), 0.15), Hex(0x1e3f14), 2);
  for (const auto& [dx, dy, r] : {std::array<double, 3>{-38, 8, 18}, {6, -24, 22}, {34, 14, 16}, {-8, 30, 15}}) {
    canvas.Fill(Circle(x + dx, cy + dy, r), Lit(x + dx, cy + dy, r, r, Hex(0x68b84a), 0.1), 0.8);
  }
  // The hive hangs from the branch: stacked rings with a dark door.
  const double hx = x - 56, hy = groundY - 125;
  canvas.Fill(Capsule({hx, groundY - 168}, {hx, hy - 30}, 1.3), Solid(kInk));
  const double rings[][2] = {{hy - 24, 12}, {hy - 12, 19}, {hy + 2, 22}, {hy + 16, 19}, {hy + 27, 12}};
  for (const auto& [ry, rx] : rings) {
    canvas.FillOutlined(Ellipse(hx, ry, rx, 8), Lit(hx, ry, rx, 8, Hex(0xe8a83a), 0.3), Hex(0x4a2a0c), 1.5);
  }
  canvas.FillOutlined(Ellipse(hx, hy + 6, 5, 4), Solid(Hex(0x2a1606)), Hex(0x4a2a0c), 1);
}

void PaintBoard(Canvas& canvas, double x0, double y0, double x1, double y1) {
  canvas.Fill(Rect(x0, y0, x1, y1), VerticalGradient(y0, Hex(0x6e4526), y1, Hex(0x4a2c16)));
  for (double y = y0 + 30; y < y1 - 4; y += 27) canvas.Fill(Rect(x0, y, x1, y + 2), Solid(Hex(0x3a2210)));
  canvas.Fill(Rect(x0, y0, x1, y0 + 7), VerticalGradient(y0, Hex(0xa87444), y0 + 7, Hex(0x7a4e2c)));
  canvas.Fill(Rect(x0, y0 + 7, x1, y0 + 9), Solid(Hex(0x2e1a0a)));
  for (double x = x0 + 14; x < x1; x += 150) {
    for (double y = y0 + 18; y < y1 - 6; y += 54) canvas.Fill(Circle(x, y, 2.5), Lit(x, y, 2.5, 2.5, Hex(0xb8b0a0), 0.8));
  }
}

void PaintPanel(Canvas& canvas, double x0, double y0, double x1, double y1) {
  const Shape panel = RoundRect(x0, y0, x1, y1, 18);
  canvas.Fill(Translate(panel, 6, 7), Solid(Hex(0x1b2a1a)), 0.35);
  canvas.FillOutlined(panel, VerticalGradient(y0, Hex(0xfff7e2), y1, Hex(0xf2d9a8)), Hex(0x5a3414), 4);
  canvas.FillOutlined(RoundRect(x0 + 8, y0 + 8, x1 - 8, y1 - 8, 12), VerticalGradient(y0, Hex(0xfff7e2), y1, Hex(0xf2d9a8)), Hex(0xd9b57a), 1.5);
}

void PaintInset(Canvas& canvas, double x0, double y0, double x1, double y1) {
  canvas.Fill(RoundRect(x0 - 1, y0 - 1, x1 + 1, y1 + 2, 9), Solid(Hex(0x9a6a40)));
  canvas.Fill(RoundRect(x0, y0, x1, y1, 8), VerticalGradient(y0, Hex(0x24140a), y1, Hex(0x3a2312)));
}

double PaintKeyCap(Canvas& canvas, double x, double y, double size, std::string_view label) {
  TextStyle text{.scale = size / 11.5, .top = Hex(0x3a3a48), .bottom = Hex(0x20202a), .bold = size / 40, .outlineWidth = 0};
  const double width = std::max(size, TextWidth(label, text) + size * 0.55);
  const double r = size * 0.2, lip = size * 0.12;
  canvas.FillOutlined(RoundRect(x, y + lip, x + width, y + size, r), Solid(Hex(0x767684)), kInk, 2);
  canvas.FillOutlined(RoundRect(x, y, x + width, y + size - lip, r), VerticalGradient(y, Hex(0xffffff), y + size, Hex(0xc9c9d4)), kInk, 2);
  const double capH = 7 * text.scale;
  DrawTextCentred(canvas, label, x + width / 2, y + (size - lip - capH) / 2, text);
  return width;
}

void PaintStar(Canvas& canvas, double cx, double cy, double r, Color fill) {
  std::vector<Point> points;
  for (int i = 0; i < 10; ++i) {
    const double a = -std::numbers::pi / 2 + i * std::numbers::pi / 5, rr = i % 2 == 0 ? r : r * 0.45;
    points.push_back({cx + std::cos(a) * rr, cy + std::sin(a) * rr});
  }
  canvas.FillOutlined(Polygon(points), Lit(cx, cy, r, r, fill, 0.6), Hex(0x5a3414), 1.6);
}

}  // namespace assets
