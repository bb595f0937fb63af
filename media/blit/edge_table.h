#pragma once
// One line of the rotation blit's span tables: where a span end lies on the line (x) and which
// source position it maps to (u, v, relative to the source rectangle), all in 16.16 fixed point.
#include <cstdint>
#include <vector>

namespace media {

struct EdgeEntry {
    std::int32_t x = 0, u = 0, v = 0;
    constexpr bool operator==(const EdgeEntry&) const = default;
};

// One entry per destination line, owned by the source surface and refilled by each rotation blit.
using EdgeTable = std::vector<EdgeEntry>;

}  // namespace media
