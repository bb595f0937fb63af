#pragma once
#include <cstdint>
namespace platform {
inline constexpr int kGlyphWidth = 8;    // fixed advance in pixels
inline constexpr int kGlyphHeight = 16;
// The 16 rows of the glyph for character c, top row first; bit 7 of each byte is the leftmost
// pixel. Characters outside 32..126 have no glyph: null (callers advance blank).
const std::uint8_t* GlyphRows(unsigned char c);
}  // namespace platform
