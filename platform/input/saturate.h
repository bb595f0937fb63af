#pragma once
// 32-bit arithmetic that stops at the limits instead of wrapping: positions and movement sums
// that run for a whole session, and products of movement with floating-point factors.
#include <cmath>
#include <cstdint>
#include <limits>

namespace platform {

constexpr std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = std::int64_t{a} + b;
    if (sum > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (sum < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(sum);
}

// Truncates toward zero like a plain conversion, but values beyond the 32-bit range become the
// nearest limit and NaN becomes 0 (a plain conversion of either is undefined).
inline std::int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace platform
