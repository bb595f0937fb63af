#pragma once
// Drawing on a surface with colours and named options: what a window's back surface and a
// picture both offer. A Canvas is a handle: it does not own the surface it draws on.
#include <cstddef>
#include <cstdint>

#include "color.h"
#include "status.h"

namespace media {

class PixelSurface;
class Picture;
class Font;
struct DrawOptions;
struct TextSize;

/// A rectangle: top-left corner and size in pixels.
struct IntRect {
    std::int32_t x = 0;       ///< left column
    std::int32_t y = 0;       ///< top row
    std::int32_t width = 0;   ///< columns
    std::int32_t height = 0;  ///< rows
};

/// A point on the canvas in pixels: (x, y) is the centre of pixel (x, y); fractions allowed.
struct Point {
    float x = 0;  ///< column
    float y = 0;  ///< row
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
    /// Each pixel over the canvas with the picture's own alpha (straight, not premultiplied): 0
    /// leaves the canvas, 255 covers it, between them each channel (s * a + c * (255 - a)) / 255
    /// rounded. A picture without alpha draws opaque. On an 8-bit canvas, which cannot blend, a
    /// pixel is drawn where its alpha is 128 or more.
    Alpha,
    /// Alpha for a picture that has alpha (Picture::HasAlpha), Keyed for one that has not.
    Auto,
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
    /// Draws UTF-8 text in a TrueType font with its first line's top-left at (x, y) ('\n' starts
    /// a line below): antialiased, the colour's alpha its opacity, kerned (see Font).
    Status DrawText(std::int32_t x, std::int32_t y, const char* text, Color color, const Font& font) const;
    /// Draws text in the built-in 8x16 characters, each pixel a scale x scale block (1 to 64),
    /// the colour's alpha its opacity; at scale 1 the pixels DrawText draws.
    Status DrawText(std::int32_t x, std::int32_t y, const char* text, Color color, std::int32_t scale) const;
    /// The size text takes in the built-in characters at that scale.
    static TextSize MeasureText(const char* text, std::int32_t scale = 1);
    /// Copies the whole picture with its top-left corner at (x, y).
    Status Draw(const Picture& picture, std::int32_t x, std::int32_t y, BlitMode mode = BlitMode::Auto) const;
    /// Copies the source rectangle of the picture with its top-left corner at (x, y).
    Status Draw(const Picture& picture, const IntRect& source, std::int32_t x, std::int32_t y,
                BlitMode mode = BlitMode::Auto) const;

    /// Shapes, filled or as a one-pixel outline; media/app/shape_rasteriser.h states exactly
    /// which pixels each covers (a circle of radius r at (x, y): the pixels whose distance from
    /// pixel (x, y) is at most r). Unlike the calls above, the colour's alpha is its opacity:
    /// 255 covers, lower values blend over the canvas with straight alpha (an 8-bit canvas draws
    /// colours of alpha 128 and more whole, lower ones not at all). Any coordinates are safe;
    /// negative sizes draw nothing; polygon points farther than 2^30 pixels out are refused.
    /// @{
    Status DrawCircle(std::int32_t x, std::int32_t y, std::int32_t radius, Color color, FillMode mode = FillMode::Solid) const;
    Status DrawEllipse(std::int32_t x, std::int32_t y, std::int32_t radiusX, std::int32_t radiusY, Color color,
                       FillMode mode = FillMode::Solid) const;
    Status DrawRoundedRect(const IntRect& rect, std::int32_t radius, Color color, FillMode mode = FillMode::Solid) const;
    Status DrawTriangle(Point a, Point b, Point c, Color color, FillMode mode = FillMode::Solid) const;
    /// Convex or concave; crossing outlines fill by the non-zero winding rule.
    Status DrawPolygon(const Point* points, std::size_t count, Color color, FillMode mode = FillMode::Solid) const;
    /// A line of the given thickness with square ends, reaching half the thickness past each point.
    Status DrawLine(Point from, Point to, float thickness, Color color) const;
    /// @}

    /// Draws the source rectangle of the picture moved, scaled, turned, flipped, tinted or faded
    /// as the options say (see DrawOptions), through one mapping for every transform.
    Status Draw(const Picture& picture, const IntRect& source, const DrawOptions& options) const;

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
