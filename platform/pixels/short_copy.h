#pragma once
// Copies and fills for loops that make one per row, run or packet: spans of a few bytes to a few
// hundred, too short for a library call to pay for itself, and whole rows of a screen. Each is
// done by fixed-size pieces the compiler keeps in registers, the last piece ending at the span's
// end (overlapping the one before it), so nothing outside the span is read or written. Source
// and destination must not overlap.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform {

namespace short_copy_detail {

typedef std::uint8_t Bytes32 __attribute__((vector_size(32)));
typedef std::uint8_t Bytes16 __attribute__((vector_size(16)));

// A span of N to 2N bytes as its first N and its last N, both read before either is written: no
// loop and one branch per size class.
template <typename Piece>
inline void CopyEnds(std::uint8_t* d, const std::uint8_t* s, std::size_t bytes) {
    constexpr std::size_t N = sizeof(Piece);
    Piece head, tail;
    std::memcpy(&head, s, N);
    std::memcpy(&tail, s + bytes - N, N);
    std::memcpy(d, &head, N);
    std::memcpy(d + bytes - N, &tail, N);
}

// 64 to 128 bytes: two 32-byte pieces from each end (named values, so that the compiler keeps
// every one in a register).
inline void CopyEnds64(std::uint8_t* d, const std::uint8_t* s, std::size_t bytes) {
    Bytes32 a, b, y, z;
    std::memcpy(&a, s, 32);
    std::memcpy(&b, s + 32, 32);
    std::memcpy(&y, s + bytes - 64, 32);
    std::memcpy(&z, s + bytes - 32, 32);
    std::memcpy(d, &a, 32);
    std::memcpy(d + 32, &b, 32);
    std::memcpy(d + bytes - 64, &y, 32);
    std::memcpy(d + bytes - 32, &z, 32);
}

// 128 to 256 bytes: four 32-byte pieces from each end, all read before any is written.
inline void CopyEnds128(std::uint8_t* d, const std::uint8_t* s, std::size_t bytes) {
    Bytes32 a, b, c, e, w, x, y, z;
    std::memcpy(&a, s, 32);
    std::memcpy(&b, s + 32, 32);
    std::memcpy(&c, s + 64, 32);
    std::memcpy(&e, s + 96, 32);
    std::memcpy(&w, s + bytes - 128, 32);
    std::memcpy(&x, s + bytes - 96, 32);
    std::memcpy(&y, s + bytes - 64, 32);
    std::memcpy(&z, s + bytes - 32, 32);
    std::memcpy(d, &a, 32);
    std::memcpy(d + 32, &b, 32);
    std::memcpy(d + 64, &c, 32);
    std::memcpy(d + 96, &e, 32);
    std::memcpy(d + bytes - 128, &w, 32);
    std::memcpy(d + bytes - 96, &x, 32);
    std::memcpy(d + bytes - 64, &y, 32);
    std::memcpy(d + bytes - 32, &z, 32);
}

template <typename Piece>
inline void FillPieces(std::uint8_t* d, Piece piece, std::size_t bytes) {
    constexpr std::size_t N = sizeof(Piece);
    for (std::size_t i = 0; i + N < bytes; i += N) std::memcpy(d + i, &piece, N);
    std::memcpy(d + bytes - N, &piece, N);
}

}  // namespace short_copy_detail

// 32 bytes or more: the first and last 32 bytes as they fall, between them 32-byte pieces at the
// destination's 32-byte boundaries, so that no store straddles a cache line.
inline void CopyAlignedStores(std::uint8_t* d, const std::uint8_t* s, std::size_t bytes) {
    using short_copy_detail::Bytes32;
    Bytes32 a, z;
    std::memcpy(&a, s, 32);
    std::memcpy(&z, s + bytes - 32, 32);
    std::memcpy(d, &a, 32);
    for (std::size_t i = 32 - reinterpret_cast<std::uintptr_t>(d) % 32; i + 32 < bytes; i += 32) {
        std::memcpy(&a, s + i, 32);
        std::memcpy(d + i, &a, 32);
    }
    std::memcpy(d + bytes - 32, &z, 32);
}

// Spans up to 256 bytes (a sprite's row, a run of it) in two overlapping pieces of their size
// class; longer ones (whole rows of a screen) by 32-byte pieces. The library's copy is not used
// for rows: from 2 KB on it moves them with the string-move instruction, which on some
// processors runs several times slower than vector moves for rows a surface's pitch apart.
inline void CopyShort(std::uint8_t* d, const std::uint8_t* s, std::size_t bytes) {
    using namespace short_copy_detail;
    if (bytes > 256) {
        CopyAlignedStores(d, s, bytes);
    } else if (bytes > 128) {
        CopyEnds128(d, s, bytes);
    } else if (bytes > 64) {
        CopyEnds64(d, s, bytes);
    } else if (bytes > 32) {
        CopyEnds<Bytes32>(d, s, bytes);
    } else if (bytes >= 16) {
        CopyEnds<Bytes16>(d, s, bytes);
    } else if (bytes >= 8) {
        CopyEnds<std::uint64_t>(d, s, bytes);
    } else if (bytes >= 4) {
        CopyEnds<std::uint32_t>(d, s, bytes);
    } else if (bytes >= 2) {
        CopyEnds<std::uint16_t>(d, s, bytes);
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
