#pragma once
// Globally unique identifiers in the layout the OS interfaces use: devices and drivers are named
// by them.
#include <array>
#include <cstdint>

namespace platform {

/// A 128-bit identifier of a device or an interface.
struct Guid {
    /// Its fields.
    /// @{
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0, data3 = 0;
    std::array<std::uint8_t, 8> data4{};
    /// @}

    /// Field-wise equality.
    constexpr bool operator==(const Guid&) const = default;
};

}  // namespace platform
