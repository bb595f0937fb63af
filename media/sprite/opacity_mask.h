#pragma once
// OpacityMask: which pixels of a sheet's picture differ from its colour key, one byte per pixel,
// found once and kept while the pixels and the key stay as they are. The overlap test of two
// sprites then reads one byte per pixel of each instead of whole pixels, and compares nothing.
//
// A 32-bit pixel is opaque in two senses, kept as two bits of its byte: its whole value differs
// from the key (sprites of one sheet compare whole values), or its three colour bytes do (sprites
// of two sheets compare colours only). Smaller pixels set both bits alike.
#include <cstdint>
#include <vector>

#include "../../platform/pixels/pixel_view.h"

namespace media {

/// One byte per pixel of a picture: kWholeValue and kColourBytes set where the pixel is opaque.
class OpacityMask {
public:
    /// The pixel's whole value differs from the key.
    static constexpr std::uint8_t kWholeValue = 1;
    /// The pixel's colour bytes differ from the key (for 32-bit pixels: the fourth byte ignored).
    static constexpr std::uint8_t kColourBytes = 2;

    /// True when the mask was found in pixels of this content version with this key.
    bool ValidFor(std::uint64_t version, std::uint32_t key) const { return valid_ && version_ == version && key_ == key; }
    /// Finds the mask of view's pixels against key (a raw value; a key that a pixel of the view's
    /// size cannot hold matches no pixel) and remembers the content version it holds for.
    void Build(const platform::PixelView& view, std::uint32_t key, std::uint64_t version);
    /// The mask byte of pixel (x, y); rows follow each other without padding.
    const std::uint8_t* At(std::int64_t x, std::int64_t y) const { return bytes_.data() + y * width_ + x; }
    /// Bytes from one mask row to the next.
    std::int32_t Pitch() const { return width_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::int32_t width_ = 0;
    std::uint64_t version_ = 0;
    std::uint32_t key_ = 0;
    bool valid_ = false;
};

}  // namespace media
