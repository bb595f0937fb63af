#pragma once
// The runs of a surface's pixels that differ from its colour key, row by row: what a keyed copy
// from that surface has to copy. A display surface finds them on its first keyed copy and keeps
// them while its pixels and key stay as they are, so later keyed copies skip transparent pixels
// without reading them, as run-length accelerated keys do. The runs' pixels are kept too, packed,
// each run behind a small header, so that a copy reads them as one stream.
#include <cstdint>
#include <vector>

#include "pixel_view.h"
#include "../core/geometry.h"

namespace platform {

/// The runs of a surface's pixels that are not its colour key, kept between keyed copies.
class KeyRuns {
public:
    /// False for 8-bit pictures small enough to stay in the first-level cache (a sprite): there
    /// the per-pixel select of a keyed copy, one vector compare for 32 pixels, beats walking
    /// runs. Wider pixels take four times as many vectors a row or more, and runs pay at every
    /// size.
    static bool PaysFor(const PixelView& view) {
        return view.bytesPerPixel != 1 || static_cast<std::int64_t>(view.pitch) * view.height > kSmallPictureBytes;
    }
    /// The size (pitch times rows) up to which a picture counts as small.
    static constexpr std::int64_t kSmallPictureBytes = 32 * 1024;

    /// Forgets the runs: the pixels or the key may have changed.
    void Drop() { valid_ = false; }
    /// True when the runs are built and for this key.
    bool ValidFor(std::uint32_t key) const { return valid_ && key_ == key; }
    /// Finds the runs of view's pixels that are not key (a raw value of the view's pixel size),
    /// comparing the bits PixelSize::kKeyCompareMask names.
    void Build(const PixelView& view, std::uint32_t key);
    /// False when the picture breaks into so many runs that copying them one by one would be
    /// slower than testing every pixel.
    bool Worthwhile() const { return worthwhile_; }
    /// Copies the non-key pixels of source rectangle from (inside the view the runs were found
    /// in) to dst with its top-left at (x, y).
    void Copy(const PixelView& dst, std::int32_t x, std::int32_t y, int bytesPerPixel, const Rect& from) const;

private:
    struct Run {
        std::int32_t start, end;  ///< columns, end exclusive
        std::size_t offset;       ///< where the run's pixels start in stream_
    };
    /// A run's header in the stream: the bytes to skip from where the run before it in the row
    /// ended, and the run's length in bytes, its top bit set on the row's last run. A row
    /// without runs has one of length 0.
    struct Header {
        std::uint32_t skip, byteCount;
    };
    static constexpr std::uint32_t kLastInRow = 0x80000000u;
    void CopyWholeRows(const PixelView& dst, std::uint8_t* first, std::int32_t top, std::int32_t bottom) const;

    std::vector<std::uint32_t> rowFirst_;  ///< index of each row's first run; one more entry at the end
    std::vector<std::size_t> rowStream_;   ///< where each row starts in stream_
    std::vector<Run> runs_;
    /// Row after row, each run's header followed by its pixels: a copy of whole rows reads one
    /// dense stream, with no table to look up between runs.
    std::vector<std::uint8_t> stream_;
    std::uint32_t key_ = 0;
    std::int32_t width_ = 0;  ///< of the view the runs were found in
    bool valid_ = false;
    bool worthwhile_ = false;
};

}  // namespace platform
