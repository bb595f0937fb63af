#pragma once
// Copies and fills of a few bytes to a few hundred, for loops that make one per row or per
// packet: too short for a library call to pay for itself. Each is done by fixed-size pieces the
// compiler keeps in registers, the last piece ending at the span's end (overlapping the one
// before it), so nothing outside the span is read or written. Source and destination must not
// overlap.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform {

namespace short_copy_detail {

typedef std::uint8_t Bytes32 __attribute__((vector_size(32)));
typedef std::uint8_t Bytes16 __attribute__((vector_size(16)));

// One register per piece (two halves where the target has no 32-byte registers). bytes >= the
// piece's size.
template <typename Piece>
inline void CopyPieces(std::uint8_t* d, const std::uint8_t* s, std::size_t bytes) {
    constexpr std::size_t N = sizeof(Piece);
    Piece piece;
    for (std::size_t i = 0; i + N < bytes; i += N) {
        std::memcpy(&piece, s + i, N);
        std::memcpy(d + i, &piece, N);
    }
    std::memcpy(&piece, s + bytes - N, N);
    std::memcpy(d + bytes - N, &piece, N);
}

template <typename Piece>
inline void FillPieces(std::uint8_t* d, Piece piece, std::size_t bytes) {
    constexpr std::size_t N = sizeof(Piece);
    for (std::size_t i = 0; i + N < bytes; i += N) std::memcpy(d + i, &piece, N);
    std::memcpy(d + bytes - N, &piece, N);
}

}  // namespace short_copy_detail

inline void CopyShort(std::uint8_t* d, const std::uint8_t* s, std::size_t bytes) {
    using namespace short_copy_detail;
    if (bytes >= 32) {
        CopyPieces<Bytes32>(d, s, bytes);
    } else if (bytes >= 16) {
        CopyPieces<Bytes16>(d, s, bytes);
    } else if (bytes >= 8) {
        CopyPieces<std::uint64_t>(d, s, bytes);
    } else if (bytes >= 4) {
        CopyPieces<std::uint32_t>(d, s, bytes);
    } else if (bytes >= 2) {
        CopyPieces<std::uint16_t>(d, s, bytes);
    } else if (bytes == 1) {
        *d = *s;
    }
}

inline void FillShort(std::uint8_t* d, std::uint8_t value, std::size_t bytes) {
    using namespace short_copy_detail;
    const std::uint64_t word = value * 0x0101010101010101u;
    if (bytes >= 16) {
        Bytes16 piece;
        std::memcpy(&piece, &word, 8);
        std::memcpy(reinterpret_cast<std::uint8_t*>(&piece) + 8, &word, 8);
        FillPieces<Bytes16>(d, piece, bytes);
    } else if (bytes >= 8) {
        FillPieces<std::uint64_t>(d, word, bytes);
    } else if (bytes >= 4) {
        FillPieces<std::uint32_t>(d, static_cast<std::uint32_t>(word), bytes);
    } else if (bytes >= 2) {
        FillPieces<std::uint16_t>(d, static_cast<std::uint16_t>(word), bytes);
    } else if (bytes == 1) {
        *d = value;
    }
}

}  // namespace platform
