#pragma once
// The Ogg container's pages walked from the first to the last, before any Vorbis decoding: every
// page must be whole, carry its checksum and belong to one stream, and the last must say it ends
// the stream. The Vorbis decoder trusts the pages it is given (it checks no checksum and takes a
// cut-off file for a shorter one), so this walk is what turns a corrupt or truncated file into a
// reason instead of noise or a silently shorter sound.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

/// Reads up to size bytes at offset into out; returns how many it read (fewer only at the end).
using OggRead = std::function<std::size_t(std::uint64_t offset, std::uint8_t* out, std::size_t size)>;

/// True when the bytes start like an Ogg file ("OggS").
bool LooksLikeOgg(const void* bytes, std::size_t size);

/// Walks the pages of a stream of size bytes; empty when every page holds together, else why
/// not, in words ("truncated: ...", "corrupt: ..."). lastGranule, when given, receives the last
/// page's granule position: the stream's length in samples.
std::string CheckOggPages(const OggRead& read, std::uint64_t size, std::uint64_t* lastGranule = nullptr);

/// The same over bytes in memory.
std::string CheckOggPages(const std::uint8_t* bytes, std::size_t size, std::uint64_t* lastGranule = nullptr);

}  // namespace platform
