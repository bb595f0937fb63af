// The game's lettering: a proportional bitmap font drawn in code. Capitals and digits stand 7
// rows tall, small letters 5 rows with ascenders and descenders, in a cell 9 rows high; the text
// painter scales, rounds and outlines it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace assets {

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bits;  // 0 or 1, top row first
  bool At(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height && bits[static_cast<size_t>(y) * width + x] != 0;
  }
};

class BitmapFont {
 public:
  static constexpr int kRows = 9;
  static constexpr int kSpacing = 1;  // blank columns between glyphs

  // A line of text as one bitmap kRows high; characters without a glyph are left out.
  static Bitmap Line(std::string_view text);
  // Width of Line(text) in font pixels.
  static int Width(std::string_view text);
  // The characters of text that have no glyph (empty when all can be drawn).
  static std::string Missing(std::string_view text);
};

}  // namespace assets
