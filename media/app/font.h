#pragma once
// A TrueType font at one pixel size, for Canvas::DrawText: UTF-8 text, kerning, antialiased
// glyphs blended onto the canvas. Glyphs are rasterised once into the font's atlas (printable
// ASCII when the font is loaded, any other character the first time it is drawn or measured),
// so drawing text frame after frame rasterises nothing. Fonts are read by stb_truetype, on the
// desktop and in the browser alike; it trusts the file, so load fonts the program ships, not
// files from untrusted sources.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "color.h"
#include "status.h"

namespace media {

class PixelSurface;

/// A text's size in pixels.
struct TextSize {
    std::int32_t width = 0;   ///< the widest line, from its start to its last advance, rounded up
    std::int32_t height = 0;  ///< lines times the line height
};

/// A font at one pixel height. Movable, not copyable.
class Font {
public:
    Font();
    ~Font();
    /// Moves the font and its glyph atlas; the moved-from font is empty.
    /// @{
    Font(Font&&) noexcept;
    Font& operator=(Font&&) noexcept;
    /// @}

    /// Reads a TrueType font file (the first font of a collection) for glyphs pixelHeight pixels
    /// from the top of the highest ascender to the bottom of the lowest descender (1 to 1024). On
    /// failure the old font stays.
    Status Load(const char* path, float pixelHeight);
    /// The same from size bytes in memory (copied).
    Status LoadFromMemory(const void* data, std::size_t size, float pixelHeight);

    /// True once a font is loaded.
    bool Loaded() const;
    /// Rows from one line's top to the next: ascent - descent + line gap, rounded up.
    std::int32_t LineHeight() const;
    /// Rows from a line's top to its baseline.
    std::int32_t Ascent() const;
    /// The size text takes when drawn (lines split at '\n'); 0 x 0 without a font or text.
    TextSize Measure(const char* text) const;

    /// Draws UTF-8 text with its first line's top-left at (x, y), each glyph's coverage blended in
    /// the colour (its alpha the opacity), cut to the surface's clip rectangle; for
    /// Canvas::DrawText. Invalid UTF-8 bytes draw as U+FFFD; characters the font lacks as its
    /// missing glyph.
    Status DrawOn(PixelSurface& surface, std::int32_t x, std::int32_t y, const char* text, Color color) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

/// The next code point of UTF-8 text at *p, moving *p past it: invalid or cut sequences give
/// U+FFFD and move one byte. *p must not be at the terminating zero.
char32_t NextCodePoint(const char*& p);

}  // namespace media
