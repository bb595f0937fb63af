#pragma once
// Writes a surface's pixels to a PNG file: what Picture::Save and Window::Screenshot produce.
// Colours are read back as the layer reads its formats for output (5- and 6-bit channels widened
// by repeating their top bits, 8-bit indexes through the 3-3-2 palette); with an alpha map the
// file is RGBA, else RGB. Encoded by libspng natively, by stb_image_write in the browser build.
#include <cstdint>

#include "status.h"

namespace media {

class PixelSurface;

/// The top-left width x height pixels of the surface (both cut to the surface) and, when given,
/// the alpha map (one byte per surface pixel, surface-width bytes a row) into the file at path,
/// replacing it. Says why when the surface cannot be read or the file not written.
Status WritePng(PixelSurface& surface, std::int32_t width, std::int32_t height, const std::uint8_t* alpha, const char* path);

}  // namespace media
