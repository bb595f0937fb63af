#include "platform/key_runs.h"

#include <algorithm>
#include <cstring>

#include "platform/pixel_access.h"

namespace platform {

namespace {

// Copies n bytes between distinct buffers without a call: runs in sprites are short, and a
// library call per run costs more than the copy. Whole 32-byte blocks, then the last 32 (or 8,
// or 1) bytes again, overlapping what was copied.
inline void CopyRun(std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
    if (n >= 32) {
        std::size_t i = 0;
        for (; i + 32 <= n; i += 32) std::memcpy(d + i, s + i, 32);
        if (i < n) std::memcpy(d + n - 32, s + n - 32, 32);
    } else if (n >= 8) {
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8) std::memcpy(d + i, s + i, 8);
        if (i < n) std::memcpy(d + n - 8, s + n - 8, 8);
    } else {
        for (std::size_t i = 0; i < n; ++i) d[i] = s[i];
    }
}

}  // namespace

void KeyRuns::Build(const PixelView& view, std::uint32_t key) {
    rowFirst_.clear();
    runs_.clear();
    rowFirst_.reserve(static_cast<std::size_t>(view.height) + 1);
    DispatchBytes(view.bytesPerPixel, [&]<int B>() {
        for (std::int32_t y = 0; y < view.height; ++y) {
            rowFirst_.push_back(static_cast<std::uint32_t>(runs_.size()));
            const std::uint8_t* p = view.Row(y);
            std::int32_t x = 0;
            while (x < view.width) {
                while (x < view.width && LoadPixel<B>(p + x * B) == key) ++x;
                const std::int32_t start = x;
                while (x < view.width && LoadPixel<B>(p + x * B) != key) ++x;
                if (x > start) runs_.push_back({start, x});
            }
        }
    });
    rowFirst_.push_back(static_cast<std::uint32_t>(runs_.size()));
    key_ = key;
    valid_ = true;
    // A run costs a call; below about eight pixels a run the per-pixel test is faster.
    worthwhile_ = runs_.size() * 8 <= static_cast<std::size_t>(view.width) * static_cast<std::size_t>(view.height);
}

void KeyRuns::Copy(const PixelView& dst, std::int32_t x, std::int32_t y, const PixelView& src, const Rect& from) const {
    const std::size_t bytes = static_cast<std::size_t>(src.bytesPerPixel);
    for (std::int32_t row = from.top; row < from.bottom; ++row) {
        const std::uint8_t* s = src.Row(row);
        std::uint8_t* d = dst.Row(y + row - from.top) + (static_cast<std::ptrdiff_t>(x) - from.left) * src.bytesPerPixel;
        const Run* run = runs_.data() + rowFirst_[static_cast<std::size_t>(row)];
        const Run* end = runs_.data() + rowFirst_[static_cast<std::size_t>(row) + 1];
        for (; run != end; ++run) {
            const std::int32_t a = std::max(run->start, from.left), b = std::min(run->end, from.right);
            if (a < b) CopyRun(d + a * src.bytesPerPixel, s + a * src.bytesPerPixel, static_cast<std::size_t>(b - a) * bytes);
        }
    }
}

}  // namespace platform
