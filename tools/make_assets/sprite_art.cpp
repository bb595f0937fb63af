#include "tools/make_assets/sprite_art.h"

#include <array>
#include <cmath>

#include "tools/make_assets/sketch.h"

namespace assets {

namespace {

constexpr Color kInk = Hex(0x2a170b);
constexpr Color kWhite = Hex(0xffffff);
constexpr Color kFur = Hex(0xa0622d);
constexpr Color kMuzzle = Hex(0xf0c88e);
constexpr Color kScarf = Hex(0xd8312a);
constexpr Color kHoney = Hex(0xf2a516);
constexpr Color kString = Hex(0xe6b34a);
constexpr Color kCream = Hex(0xf7ecd0);

// One eye: white, pupil looking a little down and inwards, a glint.
void Eye(Sketch& k, double cx, double cy, double rx, double ry, double lookX) {
  k.Outlined(k.Ellipse(cx, cy, rx, ry), kWhite, kInk, 0.9);
  k.Fill(k.Circle(cx + lookX, cy + ry * 0.2, rx * 0.62), kInk);
  k.Fill(k.Circle(cx + lookX + rx * 0.25, cy - ry * 0.1, rx * 0.22), kWhite);
}

}  // namespace

void PaintBodo(Canvas& canvas, double left, double top, double scale) {
  Sketch k(canvas, left, top, scale);
  // Ears behind the head.
  for (double side : {-1.0, 1.0}) {
    const double cx = 45 + side * 17.5;
    k.Outlined(k.Circle(cx, 14, 8.5), k.Lit(cx, 14, 8.5, 8.5, kFur, 0.2), kInk, 1.5);
    k.Fill(k.Circle(cx, 15, 4.5), Hex(0xe2a986));
  }
  // Arms raised to catch, behind the body.
  for (double side : {-1.0, 1.0}) {
    k.Outlined(k.Capsule(45 + side * 16, 56, 45 + side * 33, 40, 6.3), k.Lit(45 + side * 25, 48, 12, 12, kFur, 0.2), kInk, 1.5);
    k.Outlined(k.Circle(45 + side * 35, 37.5, 7), k.Lit(45 + side * 35, 37.5, 7, 7, kFur, 0.3), kInk, 1.5);
    k.Fill(k.Ellipse(45 + side * 35.5, 36.5, 3.6, 3), Hex(0xe2a986));
  }
  // Body, belly, feet.
  k.Outlined(k.Ellipse(45, 63, 23, 21), k.Lit(45, 63, 23, 21, kFur, 0.25), kInk, 1.5);
  k.Fill(k.Ellipse(45, 67.5, 14.5, 13.5), k.Lit(45, 67.5, 14.5, 13.5, kMuzzle, 0.15));
  for (double side : {-1.0, 1.0}) {
    const double cx = 45 + side * 12.5;
    k.Outlined(k.Ellipse(cx, 83, 11, 5.5), k.Lit(cx, 83, 11, 5.5, Hex(0x8a5126), 0.2), kInk, 1.5);
    k.Fill(k.Ellipse(cx, 82.5, 5, 2.6), Hex(0xe2a986));
  }
  // Scarf with its knot hanging to the side.
  k.Outlined(k.Polygon({{51, 47}, {61, 58}, {56.5, 61.5}, {47.5, 50}}), k.Lit(55, 54, 8, 8, kScarf, 0.3), kInk, 1.3);
  k.Outlined(k.RoundRect(27, 43.5, 63, 52.5, 4.5), k.Lit(45, 48, 18, 4.5, kScarf, 0.45), kInk, 1.4);
  // Head and face.
  k.Outlined(k.Circle(45, 29, 20), k.Lit(45, 29, 20, 20, kFur, 0.3), kInk, 1.5);
  k.Fill(k.Ellipse(32.5, 35.5, 3.8, 2.3), Hex(0xf08a8a), 0.55);
  k.Fill(k.Ellipse(57.5, 35.5, 3.8, 2.3), Hex(0xf08a8a), 0.55);
  k.Outlined(k.Ellipse(45, 38, 10.5, 7.5), k.Lit(45, 38, 10.5, 7.5, kMuzzle, 0.3), Hex(0x6b3d1a), 0.8);
  const Shape mouth = Intersect(k.Ellipse(45, 39.5, 4.6, 4), k.RoundRect(39, 39.5, 51, 45, 0));
  k.Outlined(mouth, Hex(0x8a2020), kInk, 0.8);
  k.Fill(k.Ellipse(45, 42.6, 2.4, 1.1), Hex(0xf07c80));
  k.Fill(k.Ellipse(45, 34, 4.4, 2.9), k.Lit(45, 34, 4.4, 2.9, kInk, 0.9));
  Eye(k, 37.5, 25.5, 4, 5, 0.7);
  Eye(k, 52.5, 25.5, 4, 5, -0.7);
  k.Fill(k.Capsule(34.5, 18.5, 39.5, 17.5, 0.9), kInk);
  k.Fill(k.Capsule(50.5, 17.5, 55.5, 18.5, 0.9), kInk);
}

void PaintPot(Canvas& canvas, double left, double top, double scale, PotGlaze glaze) {
  Sketch k(canvas, left, top, scale);
  const Color body = glaze == PotGlaze::Red ? Hex(0xd0382a) : Hex(0x2f6fd8);
  const Color deep = glaze == PotGlaze::Red ? Hex(0x8e1f17) : Hex(0x1c4391);
  k.Outlined(k.Ellipse(20, 33, 17.5, 16), k.Lit(20, 33, 17.5, 16, body, 0.6), kInk, 1.4);
  k.Outlined(k.RoundRect(10, 13, 30, 22, 2), k.Gradient(13, deep, 22, body), kInk, 1.2);
  k.Outlined(k.RoundRect(7, 10.5, 33, 17, 3), k.Lit(20, 13.5, 13, 4, Mix(body, kWhite, 0.2), 0.4), kInk, 1.2);
  // Gingham cloth over the mouth of the pot, tied with a string.
  const Shape cloth = Union(k.Ellipse(20, 9.5, 13.5, 6.5), k.Polygon({{6.5, 9}, {33.5, 9}, {35.5, 16.5}, {4.5, 16.5}}));
  const double cell = k.S(3.2);
  const Paint gingham = [&, body, cell](double x, double y) {
    const int across = static_cast<int>(std::floor((x - k.X(0)) / cell)) & 1;
    const int down = static_cast<int>(std::floor((y - k.Y(0)) / cell)) & 1;
    const Color c = across && down ? body : (across || down ? Mix(body, kWhite, 0.55) : kWhite);
    return Scale(c, 0.8 + 0.2 * (1 - (y - k.Y(3)) / k.S(14)));
  };
  k.Outlined(cloth, gingham, kInk, 1.2);
  k.Outlined(k.Capsule(6.5, 14, 33.5, 14, 1.1), kString, kInk, 0.7);
  // Honey running down from under the cloth.
  k.Outlined(Union(k.Capsule(27, 16, 27, 24, 1.7), k.Circle(27, 24.8, 2.3)), k.Lit(27, 21, 3, 6, kHoney, 0.8), kInk, 0.9);
  // Label with a Z for zamel.
  k.Outlined(k.Ellipse(19, 35, 8.5, 7), k.Lit(19, 35, 8.5, 7, kCream, 0.2), kInk, 1.0);
  for (const auto& [ax, ay, bx, by] : {std::array<double, 4>{15.8, 31.8, 22.2, 31.8}, {22.2, 31.8, 15.8, 38.2}, {15.8, 38.2, 22.2, 38.2}}) {
    k.Fill(k.Capsule(ax, ay, bx, by, 1.0), deep);
  }
}

void PaintBee(Canvas& canvas, double left, double top, double scale) {
  Sketch k(canvas, left, top, scale);
  constexpr Color kYellow = Hex(0xffc629);
  constexpr Color kStripe = Hex(0x2b2118);
  for (double side : {-1.0, 1.0}) {
    const double cx = 20 + side * 10;
    const Shape wing = k.Ellipse(cx, 17, 10.2, 6.4, side * 0.55);
    k.Outlined(wing, k.Lit(cx, 17, 10, 10, Hex(0xe3f4ff), 0.9), Hex(0x3d5c78), 1.3);
    // The vein stays inside the wing's outline.
    k.Fill(Intersect(k.Capsule(20 + side * 4, 20, 20 + side * 16, 12.5, 0.45), Grow(wing, -k.S(0.6))), Hex(0x9ab8d0));
  }
  k.Outlined(k.Polygon({{17.2, 8}, {22.8, 8}, {20, 1.8}}), kStripe, kInk, 0.6);
  const Shape abdomen = k.Ellipse(20, 19, 10, 12.5);
  k.Outlined(abdomen, k.Lit(20, 19, 10, 12.5, kYellow, 0.5), kInk, 1.3);
  for (double band : {10.0, 17.0, 24.0}) {
    k.Fill(Intersect(abdomen, k.RoundRect(0, band, 40, band + 3.6, 0)), k.Lit(20, 19, 10, 12.5, kStripe, 0.4));
  }
  k.Outlined(k.Circle(20, 32.5, 6), k.Lit(20, 32.5, 6, 6, Hex(0x7a5520), 0.3), kInk, 1.2);
  // Head first in the fall, with a frown under its antennae.
  for (double side : {-1.0, 1.0}) {
    k.Fill(k.Capsule(20 + side * 3, 45, 20 + side * 6.8, 48.8, 0.8), kInk);
    k.Fill(k.Circle(20 + side * 7.2, 49, 1.5), kInk);
  }
  k.Outlined(k.Circle(20, 40, 7.3), k.Lit(20, 40, 7.3, 7.3, Hex(0xffd54a), 0.5), kInk, 1.3);
  Eye(k, 17, 40, 2.5, 3, 0.4);
  Eye(k, 23, 40, 2.5, 3, -0.4);
  k.Fill(k.Capsule(14.5, 36, 18.5, 37.2, 0.7), kInk);
  k.Fill(k.Capsule(21.5, 37.2, 25.5, 36, 0.7), kInk);
  k.Fill(k.Capsule(18.5, 44.6, 21.5, 44.6, 0.6), kInk);
}

void PaintHeart(Canvas& canvas, double left, double top, double scale) {
  Sketch k(canvas, left, top, scale);
  const Shape heart = Union(Union(k.Circle(11.5, 9.5, 5.1), k.Circle(20.5, 9.5, 5.1)),
                            k.Polygon({{6.55, 11}, {16, 21.5}, {25.45, 11}, {16, 8}}));
  k.Outlined(heart, k.Lit(14, 12, 11, 10, Hex(0xf0283c), 0.7), Hex(0x4a0710), 1.1);
  k.Fill(k.Ellipse(10.5, 8.3, 2.2, 1.3, -0.6), kWhite, 0.85);
}

void PaintLevelPot(Canvas& canvas, double left, double top, double scale) {
  Sketch k(canvas, left, top, scale);
  constexpr Color kLid = Hex(0x8a5226);
  k.Outlined(k.Ellipse(16, 20.5, 11, 10), k.Lit(16, 20.5, 11, 10, Hex(0xf0a01c), 0.7), kInk, 1.3);
  k.Outlined(k.RoundRect(7, 8, 25, 13, 2.2), k.Lit(16, 10.5, 9, 3, kLid, 0.4), kInk, 1.2);
  k.Outlined(k.Circle(16, 6.2, 2.6), k.Lit(16, 6.2, 2.6, 2.6, kLid, 0.5), kInk, 1.0);
  k.Outlined(Union(k.Capsule(11, 12.5, 11, 17.5, 1.4), k.Circle(11, 18, 1.9)), k.Lit(11, 15, 2, 4, Hex(0xffd060), 0.8), kInk, 0.8);
  k.Fill(k.Ellipse(20, 22, 3.5, 2.6), kCream, 0.9);
}

}  // namespace assets
