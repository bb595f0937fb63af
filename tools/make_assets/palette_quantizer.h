// Reduces a painted picture to at most 256 colours for an RLE8 file: median cut over the
// picture's colours, weighted by how often each occurs, without dithering (flat areas stay flat
// and compress well). A colour key keeps palette entry 0 exactly and no other entry comes near
// it.
#pragma once

#include <optional>

#include "tools/make_assets/bmp_writer.h"

namespace assets {

// The 3-3-2 palette index of a colour: two colours with the same index are the same colour on an
// 8-bit display, and then also in every deeper format's top bits.
int Index332(Rgb8 c);

// With a key, pixels of exactly the key colour become index 0 and hold it; no other entry shares
// the key's 3-3-2 index.
IndexedPicture Quantize(const RgbPicture& picture, std::optional<Rgb8> key, int maxColours = 256);

}  // namespace assets
