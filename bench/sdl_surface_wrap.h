#pragma once
// An SDL surface over the same pixel memory as one of ours, for the benchmarks that run SDL2's
// operation on the very pixels ours works on. Free it with SDL_FreeSurface; the pixels stay ours.
#include <SDL.h>

#include "platform/video/display_surface.h"

// The same byte layout as ours at each depth: 3-3-2 indexes, 5-5-5, 5-6-5, blue-green-red bytes,
// and blue-green-red-x words.
inline SDL_Surface* WrapForSdl(platform::DisplaySurface& s) {
    const int depth = s.Format() == platform::FormatForDepth(15) ? 15 : static_cast<int>(s.Format().bitCount);
    const Uint32 format = depth == 8    ? SDL_PIXELFORMAT_RGB332
                          : depth == 15 ? SDL_PIXELFORMAT_RGB555
                          : depth == 16 ? SDL_PIXELFORMAT_RGB565
                          : depth == 24 ? SDL_PIXELFORMAT_BGR24
                                        : SDL_PIXELFORMAT_RGB888;
    return SDL_CreateRGBSurfaceWithFormatFrom(s.Row(0), s.Width(), s.Height(), s.BytesPerPixel() * 8, s.Pitch(), format);
}
