#pragma once
// Reading a standard MIDI file's numbers: big-endian header fields and the variable-length
// numbers of delta times and event lengths. Shared by the timeline and the excerpt maker.
#include <cstddef>
#include <cstdint>

namespace platform::midi {

inline std::uint32_t BigEndian(const std::uint8_t* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

// A variable-length number at data[at], moving at past it; false when it runs past the end or
// over four bytes.
inline bool ReadVarLen(const std::uint8_t* data, std::size_t size, std::size_t& at, std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (at >= size) return false;
        const std::uint8_t byte = data[at++];
        value = value << 7 | (byte & 0x7F);
        if (!(byte & 0x80)) return true;
    }
    return false;
}

}  // namespace platform::midi
