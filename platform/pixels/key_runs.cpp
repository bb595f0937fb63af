#include "platform/pixels/key_runs.h"

#include <algorithm>
#include <cstring>

#include "platform/pixels/pixel_access.h"
#include "platform/pixels/pixel_traits.h"
#include "platform/pixels/short_copy.h"

namespace platform {

void KeyRuns::Build(const PixelView& view, std::uint32_t key) {
    rowFirst_.clear();
    rowStream_.clear();
    runs_.clear();
    stream_.clear();
    rowFirst_.reserve(static_cast<std::size_t>(view.height) + 1);
    rowStream_.reserve(static_cast<std::size_t>(view.height));
    const auto putHeader = [this](std::uint32_t skip, std::uint32_t byteCount) {
        const Header header{skip, byteCount};
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&header);
        stream_.insert(stream_.end(), bytes, bytes + sizeof header);
    };
    const auto markLastInRow = [this](std::size_t at) {
        Header header;
        std::memcpy(&header, stream_.data() + at, sizeof header);
        header.byteCount |= kLastInRow;
        std::memcpy(stream_.data() + at, &header, sizeof header);
    };
    DispatchBytes(view.bytesPerPixel, [&]<int B>() {
        for (std::int32_t y = 0; y < view.height; ++y) {
            rowFirst_.push_back(static_cast<std::uint32_t>(runs_.size()));
            rowStream_.push_back(stream_.size());
            const std::uint8_t* p = view.Row(y);
            std::int32_t x = 0, lastEnd = 0;
            std::size_t lastHeader = SIZE_MAX;
            while (x < view.width) {
                while (x < view.width && PixelSize<B>::IsKey(LoadPixel<B>(p + x * B), key)) ++x;
                const std::int32_t start = x;
                while (x < view.width && !PixelSize<B>::IsKey(LoadPixel<B>(p + x * B), key)) ++x;
                if (x > start) {
                    const auto byteCount = static_cast<std::uint32_t>((x - start) * B);
                    lastHeader = stream_.size();
                    putHeader(static_cast<std::uint32_t>((start - lastEnd) * B), byteCount);
                    runs_.push_back({start, x, stream_.size()});
                    stream_.insert(stream_.end(), p + start * B, p + x * B);
                    lastEnd = x;
                }
            }
            if (lastHeader == SIZE_MAX) {
                putHeader(0, kLastInRow);
            } else {
                markLastInRow(lastHeader);
            }
        }
    });
    rowFirst_.push_back(static_cast<std::uint32_t>(runs_.size()));
    key_ = key;
    width_ = view.width;
    valid_ = true;
    // A run costs its header and the branches of its copy; below about eight pixels a run the
    // per-pixel test is faster.
    worthwhile_ = runs_.size() * 8 <= static_cast<std::size_t>(view.width) * static_cast<std::size_t>(view.height);
}

MEDIA_PIXEL_LOOP void KeyRuns::Copy(const PixelView& dst, std::int32_t x, std::int32_t y, int bytesPerPixel, const Rect& from) const {
    const std::ptrdiff_t bytes = bytesPerPixel;
    const std::uint8_t* packed = stream_.data();
    if (from.left == 0 && from.right == width_) {
        CopyWholeRows(dst, dst.Row(y) + static_cast<std::ptrdiff_t>(x) * bytes, from.top, from.bottom);
        return;
    }
    for (std::int32_t row = from.top; row < from.bottom; ++row) {
        std::uint8_t* d = dst.Row(y + row - from.top) + (static_cast<std::ptrdiff_t>(x) - from.left) * bytes;
        const Run* run = runs_.data() + rowFirst_[static_cast<std::size_t>(row)];
        const Run* end = runs_.data() + rowFirst_[static_cast<std::size_t>(row) + 1];
        for (; run != end; ++run) {
            const std::int32_t a = std::max(run->start, from.left), b = std::min(run->end, from.right);
            if (a < b) CopyShort(d + a * bytes, packed + run->offset + (a - run->start) * bytes, static_cast<std::size_t>((b - a) * bytes));
        }
    }
}

// Whole rows follow the stream: header, pixels, header, ... with the next read's address known
// as soon as a header is, like a run-length encoded surface.
MEDIA_PIXEL_LOOP void KeyRuns::CopyWholeRows(const PixelView& dst, std::uint8_t* first, std::int32_t top, std::int32_t bottom) const {
    const std::uint8_t* s = stream_.data() + rowStream_[static_cast<std::size_t>(top)];
    const std::ptrdiff_t pitch = dst.pitch;
    std::uint8_t* row = first;
    for (std::int32_t y = top; y < bottom; ++y, row += pitch) {
        std::uint8_t* d = row;
        for (;;) {
            Header header;
            std::memcpy(&header, s, sizeof header);
            s += sizeof header;
            const std::uint32_t byteCount = header.byteCount & ~kLastInRow;
            d += header.skip;
            if (byteCount > 64) {
                // Long enough that stores straddling cache lines would cost more than the
                // branches of aligning them.
                CopyAlignedStores(d, s, byteCount);
            } else {
                CopyShort(d, s, byteCount);
            }
            d += byteCount;
            s += byteCount;
            if (header.byteCount & kLastInRow) break;
        }
    }
}

}  // namespace platform
