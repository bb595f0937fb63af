// Colours as three channels in 0..1 while painting; turned into bytes only when a picture is written.
#pragma once

#include <algorithm>
#include <cstdint>

namespace assets {

struct Color {
  double r = 0, g = 0, b = 0;
};

// 0xRRGGBB as written in the art's tables.
constexpr Color Hex(uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

constexpr Color Mix(Color a, Color b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr Color Scale(Color c, double f) { return {c.r * f, c.g * f, c.b * f}; }

inline Color Clamp(Color c) {
  return {std::clamp(c.r, 0.0, 1.0), std::clamp(c.g, 0.0, 1.0), std::clamp(c.b, 0.0, 1.0)};
}

}  // namespace assets
