#include "tools/make_assets/palette_quantizer.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace assets {

namespace {

struct Entry {
  uint32_t rgb;
  uint32_t count;
};

int Channel(uint32_t rgb, int axis) { return (rgb >> (16 - 8 * axis)) & 0xFF; }
uint32_t Pack(Rgb8 c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }
Rgb8 Unpack(uint32_t v) { return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)}; }

// A box of the median cut: a range of the colour list, its error and the axis to cut it along.
struct CutBox {
  size_t begin, end;
  double error = 0;
  int axis = 0;
};

void Measure(const std::vector<Entry>& colours, CutBox& box) {
  double n = 0, sum[3] = {}, sq[3] = {};
  for (size_t i = box.begin; i < box.end; ++i) {
    for (int a = 0; a < 3; ++a) {
      const double v = Channel(colours[i].rgb, a);
      sum[a] += v * colours[i].count;
      sq[a] += v * v * colours[i].count;
    }
    n += colours[i].count;
  }
  box.error = 0;
  double widest = -1;
  for (int a = 0; a < 3; ++a) {
    const double variance = sq[a] - sum[a] * sum[a] / n;  // times n: the box's squared error on this axis
    box.error += variance;
    if (variance > widest) {
      widest = variance;
      box.axis = a;
    }
  }
  if (box.end - box.begin < 2) box.error = 0;  // one colour cannot be cut
}

Rgb8 Mean(const std::vector<Entry>& colours, const CutBox& box) {
  double n = 0, sum[3] = {};
  for (size_t i = box.begin; i < box.end; ++i) {
    for (int a = 0; a < 3; ++a) sum[a] += static_cast<double>(Channel(colours[i].rgb, a)) * colours[i].count;
    n += colours[i].count;
  }
  auto channel = [&](int a) { return static_cast<uint8_t>(std::clamp(static_cast<int>(sum[a] / n + 0.5), 0, 255)); };
  return {channel(0), channel(1), channel(2)};
}

Rgb8 MostFrequent(const std::vector<Entry>& colours, const CutBox& box) {
  size_t best = box.begin;
  for (size_t i = box.begin; i < box.end; ++i) {
    if (colours[i].count > colours[best].count) best = i;
  }
  return Unpack(colours[best].rgb);
}

std::vector<CutBox> MedianCut(std::vector<Entry>& colours, int boxes) {
  std::vector<CutBox> cut{{0, colours.size()}};
  Measure(colours, cut[0]);
  while (static_cast<int>(cut.size()) < boxes) {
    auto worst = std::max_element(cut.begin(), cut.end(), [](const CutBox& a, const CutBox& b) { return a.error < b.error; });
    if (worst->error <= 0) break;
    CutBox box = *worst;
    const int axis = box.axis;
    std::sort(colours.begin() + box.begin, colours.begin() + box.end, [axis](const Entry& a, const Entry& b) {
      return Channel(a.rgb, axis) != Channel(b.rgb, axis) ? Channel(a.rgb, axis) < Channel(b.rgb, axis) : a.rgb < b.rgb;
    });
    uint64_t total = 0, half = 0;
    for (size_t i = box.begin; i < box.end; ++i) total += colours[i].count;
    size_t split = box.begin + 1;
    for (size_t i = box.begin; i + 1 < box.end; ++i) {
      half += colours[i].count;
      split = i + 1;
      if (2 * half >= total) break;
    }
    CutBox low{box.begin, split}, high{split, box.end};
    Measure(colours, low);
    Measure(colours, high);
    *worst = low;
    cut.push_back(high);
  }
  return cut;
}

}  // namespace

int Index332(Rgb8 c) { return (c.r & 0xE0) | ((c.g >> 3) & 0x1C) | (c.b >> 6); }

IndexedPicture Quantize(const RgbPicture& picture, std::optional<Rgb8> key, int maxColours) {
  std::unordered_map<uint32_t, uint32_t> histogram;
  for (const Rgb8& c : picture.pixels) {
    if (!key || !(c == *key)) ++histogram[Pack(c)];
  }
  std::vector<Entry> colours;
  for (const auto& [rgb, count] : histogram) colours.push_back({rgb, count});
  std::sort(colours.begin(), colours.end(), [](const Entry& a, const Entry& b) { return a.rgb < b.rgb; });

  IndexedPicture out{picture.width, picture.height, {}, {}};
  if (key) out.palette.push_back(*key);
  const int free = maxColours - static_cast<int>(out.palette.size());
  std::unordered_map<uint32_t, uint8_t> indexOf;
  if (!colours.empty()) {
    const std::vector<CutBox> boxes = MedianCut(colours, free);
    for (const CutBox& box : boxes) {
      Rgb8 colour = Mean(colours, box);
      if (key && Index332(colour) == Index332(*key)) colour = MostFrequent(colours, box);
      const auto index = static_cast<uint8_t>(out.palette.size());
      out.palette.push_back(colour);
      for (size_t i = box.begin; i < box.end; ++i) indexOf[colours[i].rgb] = index;
    }
    // Each colour goes to the nearest entry, which is not always the one of its own box.
    for (auto& [rgb, index] : indexOf) {
      const Rgb8 c = Unpack(rgb);
      int bestDistance = INT32_MAX;
      for (size_t i = key ? 1 : 0; i < out.palette.size(); ++i) {
        const Rgb8 p = out.palette[i];
        const int dr = c.r - p.r, dg = c.g - p.g, db = c.b - p.b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
          bestDistance = distance;
          index = static_cast<uint8_t>(i);
        }
      }
    }
  }
  out.indexes.reserve(picture.pixels.size());
  for (const Rgb8& c : picture.pixels) out.indexes.push_back(key && c == *key ? 0 : indexOf.at(Pack(c)));
  return out;
}

}  // namespace assets
