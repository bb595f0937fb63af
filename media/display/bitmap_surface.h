#pragma once
// Bringing a bitmap resource of the program into a new display surface, for surfaces whose name
// the picture loader could not read: the bitmap is loaded by name, selected into a memory device
// context and stretched onto the surface's own device context, which converts its pixels.
#include <cstdint>

#include "../../platform/bitmaps/gdi_bitmap.h"
#include "../../platform/core/result_codes.h"
#include "../../platform/video/display_device.h"

namespace media {

/// A new surface holding the bitmap resource name (placement as for CreateFromFile), its size
/// written to width and height; null when there is no such bitmap or no surface.
std::shared_ptr<platform::DisplaySurface> LoadBitmapSurface(platform::DisplayDevice* device, const char* name, std::int32_t* width,
                                                            std::int32_t* height, std::int32_t placement);

/// Stretches the part (x, y, dx, dy) of bitmap (dx or dy 0: the bitmap's width or height) over the
/// whole surface. The result of getting the surface's device context (0 when the copy was done),
/// or E_FAIL for a null surface or bitmap.
platform::HRESULT CopyBitmapToSurface(platform::DisplaySurface* surface, platform::HBITMAP bitmap, std::int32_t x, std::int32_t y,
                                      std::int32_t dx, std::int32_t dy);

}  // namespace media
