#pragma once
// A picture owned by value: loaded from a file the layer reads (BMP, PCX, TGA, PSD, JPEG, PNG) or
// made blank to draw into, and drawn onto a window's canvas with a BlitMode.
#include <cstdint>
#include <memory>

#include "canvas.h"
#include "color.h"
#include "status.h"

namespace media {

class PixelSurface;
class Window;

/// A picture in the window's display format. It may outlive the window it was made for, keeping
/// its pixels.
class Picture {
public:
    /// A picture without pixels; Load or Create gives it some.
    Picture();
    ~Picture();
    /// Movable, not copyable; a moved-from picture has no pixels.
    /// @{
    Picture(Picture&&) noexcept;
    Picture& operator=(Picture&&) noexcept;
    /// @}

    /// Reads a picture file (absolute or relative path); the picture's colour key becomes its
    /// top-left pixel, and the alpha a PNG, 32-bit TGA or PSD file carries (an alpha channel, or
    /// a PNG's transparency chunk) is kept (HasAlpha). On failure the old pixels stay.
    Status Load(const Window& window, const char* path);
    /// A blank picture of the given size, filled with the colour.
    Status Create(const Window& window, std::int32_t width, std::int32_t height, Color fill = kBlack);
    /// Makes the colour of the top-left pixel transparent in keyed copies.
    Status KeyFromTopLeft();

    /// Writes the picture to a PNG file (RGBA when it has alpha, else RGB), replacing the file.
    Status Save(const char* path) const;

    /// True once the picture has pixels.
    bool Loaded() const;
    /// True when the picture has an alpha value per pixel (from its file): BlitMode::Auto then
    /// draws it blended.
    bool HasAlpha() const;
    /// Width in pixels (0 without pixels).
    std::int32_t Width() const;
    /// Height in pixels (0 without pixels).
    std::int32_t Height() const;
    /// A canvas to draw into the picture.
    Canvas Draw() const { return Canvas(Surface()); }
    /// The layer's surface under the picture, for sprites and the pixel routines (without
    /// pixels for a picture that has none, a moved-from one too).
    PixelSurface& Surface() const;

private:
    // Null until first asked for, so that a move leaves the source empty without allocating.
    mutable std::unique_ptr<PixelSurface> surface_;
};

}  // namespace media
