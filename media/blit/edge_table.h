#pragma once
// One line of the rotation blit's span tables: where a span end lies on the line (x) and which
// source position it maps to (u, v, relative to the source rectangle), all in 16.16 fixed point.
#include <cstdint>
#include <vector>

namespace media {

/// One end of a destination line's span in the rotation blit's tables (PixelSurface::DrawQuad):
/// where it lies on the line and the source position it maps to, in 16.16 fixed point.
struct EdgeEntry {
    /// x on the destination line; u and v from the source rectangle's top-left.
    /// @{
    std::int32_t x = 0, u = 0, v = 0;
    /// @}
    /// Equal when all three values are.
    constexpr bool operator==(const EdgeEntry&) const = default;
};

/// One entry per destination line, owned by the source surface and refilled by each rotation blit.
using EdgeTable = std::vector<EdgeEntry>;

}  // namespace media
