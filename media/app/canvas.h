#pragma once
// Drawing on a surface with colours and named options: what a window's back surface and a
// picture both offer. A Canvas is a handle: it does not own the surface it draws on.
#include <cstdint>

#include "color.h"
#include "status.h"

namespace media {

class PixelSurface;
class Picture;

/// A rectangle: top-left corner and size in pixels.
struct IntRect {
    std::int32_t x = 0;       ///< left column
    std::int32_t y = 0;       ///< top row
    std::int32_t width = 0;   ///< columns
    std::int32_t height = 0;  ///< rows
};

/// How a rectangle is drawn.
enum class FillMode {
    Solid,    ///< every pixel inside
    Outline,  ///< a one-pixel border
};

/// How a picture is copied onto a canvas. The keyed modes leave out the picture's colour key
/// (Picture::Load and Picture::KeyFromTopLeft give it one); a picture without a key draws every
/// pixel in them, as in their opaque twins.
enum class BlitMode {
    Opaque,         ///< every pixel
    Keyed,          ///< pixels of the picture's colour key are left out
    MirrorX,        ///< keyed, flipped left to right
    MirrorY,        ///< keyed, flipped top to bottom
    OpaqueMirrorX,  ///< every pixel, flipped left to right
    OpaqueMirrorY,  ///< every pixel, flipped top to bottom
    HalfBlend,      ///< keyed, each pixel the mean of picture and canvas
};

/// Drawing on one surface. Every call clips to the surface and says why it failed.
class Canvas {
public:
    /// A canvas on the surface, which must outlive it.
    explicit Canvas(PixelSurface& surface) : surface_(&surface) {}

    /// Fills the whole surface with the colour.
    Status Clear(Color color) const;
    /// Draws a rectangle, filled or as an outline.
    Status DrawRect(const IntRect& rect, Color color, FillMode mode = FillMode::Solid) const;
    /// Draws a one-pixel line between two points, both included.
    Status DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Color color) const;
    /// Draws text in 8x16 characters with its top-left corner at (x, y), on a transparent background.
    Status DrawText(std::int32_t x, std::int32_t y, const char* text, Color color) const;
    /// Copies the whole picture with its top-left corner at (x, y).
    Status Draw(const Picture& picture, std::int32_t x, std::int32_t y, BlitMode mode = BlitMode::Keyed) const;
    /// Copies the source rectangle of the picture with its top-left corner at (x, y).
    Status Draw(const Picture& picture, const IntRect& source, std::int32_t x, std::int32_t y,
                BlitMode mode = BlitMode::Keyed) const;

    /// The colour of one pixel (black outside the surface).
    Color PixelAt(std::int32_t x, std::int32_t y) const;
    /// Width in pixels.
    std::int32_t Width() const;
    /// Height in pixels.
    std::int32_t Height() const;
    /// The surface drawn on, for the layer's own calls (pixel routines, sprites).
    PixelSurface& Surface() const { return *surface_; }

private:
    PixelSurface* surface_;
};

}  // namespace media
