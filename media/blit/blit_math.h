#pragma once
// Checked conversions for the blits that compute positions in floating point or in wider
// integers: a value that does not fit a 32-bit coordinate means there is nothing to draw.
#include <cstdint>
#include <limits>

namespace media {

// Truncation toward zero into 32 bits; false for NaN, infinities and values outside the range.
inline bool TruncateTo32(double value, std::int32_t& out) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return false;
    out = static_cast<std::int32_t>(value);
    return true;
}

inline bool Fits32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace media
