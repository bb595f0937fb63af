// Writers for the two BMP kinds the game's pictures use: 8-bit run-length encoded (RLE8) with a
// palette, for the large screens, and 24-bit uncompressed, for the small sprites.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace assets {

struct Rgb8 {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb8&) const = default;
};

// A picture as palette indexes, stored top row first.
struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indexes;  // width * height
  std::vector<Rgb8> palette;     // 1..256 entries
};

// A picture as colours, stored top row first.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<Rgb8> pixels;  // width * height
  Rgb8 At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Encodes one row of indexes as RLE8 pairs: repeated runs as (count, index), mixed stretches of
// three or more as absolute runs padded to an even length. No end-of-line marker.
std::vector<uint8_t> EncodeRle8Row(const uint8_t* row, int width);

// The whole file: 14-byte file header, 40-byte info header, palette, then the rows bottom up,
// each closed by end-of-line except the last, which is closed by end-of-bitmap.
std::vector<uint8_t> WriteBmpRle8(const IndexedPicture& picture);

// The whole file: headers without a palette, rows bottom up, blue-green-red, padded to 4 bytes.
std::vector<uint8_t> WriteBmp24(const RgbPicture& picture);

}  // namespace assets
