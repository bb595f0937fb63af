#include "tools/make_assets/text_painter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <cmath>
#include <limits>

#include "tools/make_assets/bitmap_font.h"

namespace assets {

namespace {

constexpr int kSamples = 4;  // per output pixel and axis

// One Scale2x pass: each pixel becomes 2x2, corners filled or cut where two neighbours agree,
// which turns the font's stair steps into diagonals.
Bitmap Scale2x(const Bitmap& in) {
  Bitmap out{in.width * 2, in.height * 2, {}};
  out.bits.assign(static_cast<size_t>(out.width) * out.height, 0);
  for (int y = 0; y < in.height; ++y) {
    for (int x = 0; x < in.width; ++x) {
      const bool p = in.At(x, y), a = in.At(x, y - 1), b = in.At(x + 1, y), c = in.At(x - 1, y), d = in.At(x, y + 1);
      const bool e0 = (c == a && c != d && a != b) ? a : p;
      const bool e1 = (a == b && a != c && b != d) ? b : p;
      const bool e2 = (d == c && d != b && c != a) ? c : p;
      const bool e3 = (b == d && b != a && d != c) ? d : p;
      const size_t top = static_cast<size_t>(2 * y) * out.width + 2 * x;
      out.bits[top] = e0;
      out.bits[top + 1] = e1;
      out.bits[top + out.width] = e2;
      out.bits[top + out.width + 1] = e3;
    }
  }
  return out;
}

// Two-pass chamfer distance (1 and sqrt 2 steps) from every cell to the nearest set cell, in cells.
std::vector<float> DistanceField(const std::vector<uint8_t>& set, int w, int h) {
  constexpr float kFar = std::numeric_limits<float>::max() / 4;
  constexpr float kDiagonal = 1.41421356f;
  std::vector<float> d(set.size());
  for (size_t i = 0; i < set.size(); ++i) d[i] = set[i] ? 0.0f : kFar;
  auto at = [&](int x, int y) -> float& { return d[static_cast<size_t>(y) * w + x]; };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      float& v = at(x, y);
      if (x > 0) v = std::min(v, at(x - 1, y) + 1);
      if (y > 0) {
        v = std::min(v, at(x, y - 1) + 1);
        if (x > 0) v = std::min(v, at(x - 1, y - 1) + kDiagonal);
        if (x + 1 < w) v = std::min(v, at(x + 1, y - 1) + kDiagonal);
      }
    }
  }
  for (int y = h - 1; y >= 0; --y) {
    for (int x = w - 1; x >= 0; --x) {
      float& v = at(x, y);
      if (x + 1 < w) v = std::min(v, at(x + 1, y) + 1);
      if (y + 1 < h) {
        v = std::min(v, at(x, y + 1) + 1);
        if (x + 1 < w) v = std::min(v, at(x + 1, y + 1) + kDiagonal);
        if (x > 0) v = std::min(v, at(x - 1, y + 1) + kDiagonal);
      }
    }
  }
  return d;
}

}  // namespace

double TextWidth(std::string_view text, const TextStyle& style) { return BitmapFont::Width(text) * style.scale; }

void DrawText(Canvas& canvas, std::string_view text, double x, double y, const TextStyle& style) {
  // A letter without a glyph would silently vanish from a screen: stop the generator instead.
  if (const std::string missing = BitmapFont::Missing(text); !missing.empty()) {
    std::fprintf(stderr, "make-assets: no glyph for \"%s\" in \"%.*s\"\n", missing.c_str(), static_cast<int>(text.size()), text.data());
    std::abort();
  }
  const Bitmap smooth = Scale2x(Scale2x(BitmapFont::Line(text)));  // 4 cells per font pixel
  const double margin = std::ceil(style.bold + style.outlineWidth + style.shadowOffset + 2);
  const int boxW = static_cast<int>(std::ceil(smooth.width / 4.0 * style.scale + 2 * margin));
  const int boxH = static_cast<int>(std::ceil(BitmapFont::kRows * style.scale + 2 * margin));
  const int left = static_cast<int>(std::floor(x - margin)), top = static_cast<int>(std::floor(y - margin));

  // The letters sampled on a grid of kSamples x kSamples per output pixel.
  const int gw = boxW * kSamples, gh = boxH * kSamples;
  std::vector<uint8_t> set(static_cast<size_t>(gw) * gh);
  for (int gy = 0; gy < gh; ++gy) {
    for (int gx = 0; gx < gw; ++gx) {
      const double px = left + (gx + 0.5) / kSamples - x, py = top + (gy + 0.5) / kSamples - y;
      const int u = static_cast<int>(std::floor(px / style.scale * 4)), v = static_cast<int>(std::floor(py / style.scale * 4));
      set[static_cast<size_t>(gy) * gw + gx] = smooth.At(u, v);
    }
  }
  const std::vector<float> distance = DistanceField(set, gw, gh);
  auto coverage = [&](int ox, int oy, double reach, double shift) {
    const int s = static_cast<int>(std::lround(shift * kSamples));
    int inside = 0;
    for (int sy = 0; sy < kSamples; ++sy) {
      for (int sx = 0; sx < kSamples; ++sx) {
        const int gx = ox * kSamples + sx - s, gy = oy * kSamples + sy - s;
        if (gx < 0 || gy < 0 || gx >= gw || gy >= gh) continue;
        inside += distance[static_cast<size_t>(gy) * gw + gx] <= reach * kSamples;
      }
    }
    return static_cast<double>(inside) / (kSamples * kSamples);
  };

  const double fillReach = style.bold, outlineReach = style.bold + style.outlineWidth;
  for (int oy = 0; oy < boxH; ++oy) {
    for (int ox = 0; ox < boxW; ++ox) {
      const int cx = left + ox, cy = top + oy;
      if (style.shadowOffset > 0) {
        canvas.Blend(cx, cy, style.shadow, coverage(ox, oy, outlineReach, style.shadowOffset) * style.shadowOpacity);
      }
      if (style.outlineWidth > 0) canvas.Blend(cx, cy, style.outline, coverage(ox, oy, outlineReach, 0));
      const double capsT = std::clamp((cy + 0.5 - y) / (7 * style.scale), 0.0, 1.0);
      canvas.Blend(cx, cy, Mix(style.top, style.bottom, capsT), coverage(ox, oy, fillReach, 0));
    }
  }
}

void DrawTextCentred(Canvas& canvas, std::string_view text, double centreX, double y, const TextStyle& style) {
  DrawText(canvas, text, centreX - TextWidth(text, style) / 2, y, style);
}

}  // namespace assets
