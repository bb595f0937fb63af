#include "platform/pixels/key_runs.h"

#include <algorithm>
#include <cstring>

#include "platform/pixels/pixel_access.h"
#include "platform/pixels/pixel_traits.h"
#include "platform/pixels/short_copy.h"

namespace platform {

void KeyRuns::Build(const PixelView& view, std::uint32_t key) {
    rowFirst_.clear();
    runs_.clear();
    pixels_.clear();
    rowFirst_.reserve(static_cast<std::size_t>(view.height) + 1);
    DispatchBytes(view.bytesPerPixel, [&]<int B>() {
        for (std::int32_t y = 0; y < view.height; ++y) {
            rowFirst_.push_back(static_cast<std::uint32_t>(runs_.size()));
            const std::uint8_t* p = view.Row(y);
            std::int32_t x = 0;
            while (x < view.width) {
                while (x < view.width && PixelSize<B>::IsKey(LoadPixel<B>(p + x * B), key)) ++x;
                const std::int32_t start = x;
                while (x < view.width && !PixelSize<B>::IsKey(LoadPixel<B>(p + x * B), key)) ++x;
                if (x > start) {
                    runs_.push_back({start, x, pixels_.size(), static_cast<std::uint32_t>(start * B), static_cast<std::uint32_t>((x - start) * B)});
                    pixels_.insert(pixels_.end(), p + start * B, p + x * B);
                }
            }
        }
    });
    rowFirst_.push_back(static_cast<std::uint32_t>(runs_.size()));
    key_ = key;
    width_ = view.width;
    valid_ = true;
    // A run costs a call; below about eight pixels a run the per-pixel test is faster.
    worthwhile_ = runs_.size() * 8 <= static_cast<std::size_t>(view.width) * static_cast<std::size_t>(view.height);
}

MEDIA_PIXEL_LOOP void KeyRuns::Copy(const PixelView& dst, std::int32_t x, std::int32_t y, int bytesPerPixel, const Rect& from) const {
    const std::ptrdiff_t bytes = bytesPerPixel;
    const std::uint8_t* packed = pixels_.data();
    // Whole rows need no cutting of their runs.
    const bool wholeRows = from.left == 0 && from.right == width_;
    for (std::int32_t row = from.top; row < from.bottom; ++row) {
        std::uint8_t* d = dst.Row(y + row - from.top) + (static_cast<std::ptrdiff_t>(x) - from.left) * bytes;
        const Run* run = runs_.data() + rowFirst_[static_cast<std::size_t>(row)];
        const Run* end = runs_.data() + rowFirst_[static_cast<std::size_t>(row) + 1];
        if (!wholeRows) {
            for (; run != end; ++run) {
                const std::int32_t a = std::max(run->start, from.left), b = std::min(run->end, from.right);
                if (a < b) CopyShort(d + a * bytes, packed + run->offset + (a - run->start) * bytes, static_cast<std::size_t>((b - a) * bytes));
            }
            continue;
        }
        // Whole rows take their runs' pixels in the order they were packed.
        const std::uint8_t* pixels = packed + (run != end ? run->offset : 0);
        for (; run != end; ++run) {
            CopyShort(d + run->startByte, pixels, run->byteCount);
            pixels += run->byteCount;
        }
    }
}

}  // namespace platform
