#pragma once
// Rectangles and points in the window system's layout: right and bottom are exclusive.
#include <algorithm>
#include <climits>
#include <cstdint>

namespace platform {

/// A point in pixels.
struct Point {
    /// Column and row.
    /// @{
    std::int32_t x = 0, y = 0;
    /// @}
};

/// A rectangle in pixels: left and top inside, right and bottom just outside.
struct Rect {
    /// Its edges.
    /// @{
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    /// @}

    /// Width, height, and whether it holds no pixel.
    /// @{
    constexpr std::int32_t Width() const { return right - left; }
    constexpr std::int32_t Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    /// @}
    /// Edge-wise equality.
    constexpr bool operator==(const Rect&) const = default;
};

/// The part two rectangles share (empty when none).
constexpr Rect Intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

/// The rectangle moved by (dx, dy).
constexpr Rect Offset(const Rect& r, std::int32_t dx, std::int32_t dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

/// True when r is not empty and its width and height fit in 32 bits.
constexpr bool IsUsable(const Rect& r) {
    return !r.IsEmpty() && std::int64_t{r.right} - r.left <= INT32_MAX && std::int64_t{r.bottom} - r.top <= INT32_MAX;
}

/// True when r lies wholly inside (0, 0, width, height) and is not empty.
constexpr bool FitsInside(const Rect& r, std::int32_t width, std::int32_t height) {
    return !r.IsEmpty() && r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height;
}

}  // namespace platform
