#include "platform/audio/ogg_pages.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

namespace platform {

namespace {

constexpr std::size_t kHeaderBytes = 27;  // "OggS", version, flags, granule, serial, sequence, checksum, segments
constexpr std::uint8_t kLastPage = 0x04;

// The Ogg checksum: CRC-32 with the polynomial 0x04C11DB7, most significant bit first, starting
// from 0, no final inversion. Four bytes a step through four tables (table k: a byte followed by
// k zero bytes), so the walk costs a small part of decoding.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 4>;

const CrcTables& Tables() {
    static const CrcTables tables = [] {
        CrcTables t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t r = i << 24;
            for (int bit = 0; bit < 8; ++bit) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[0][i] = r;
        }
        for (std::size_t k = 1; k < 4; ++k) {
            for (std::size_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 24];
        }
        return t;
    }();
    return tables;
}

std::uint32_t Crc(std::uint32_t crc, const std::uint8_t* bytes, std::size_t size) {
    const CrcTables& t = Tables();
    for (; size >= 4; size -= 4, bytes += 4) {
        crc ^= std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
        crc = t[3][crc >> 24] ^ t[2][(crc >> 16) & 0xFF] ^ t[1][(crc >> 8) & 0xFF] ^ t[0][crc & 0xFF];
    }
    for (; size > 0; --size, ++bytes) crc = (crc << 8) ^ t[0][((crc >> 24) ^ *bytes) & 0xFF];
    return crc;
}

std::uint32_t Le32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24); }

// A comment header's packet: type 3, "vorbis", the vendor string, the comments, each with its
// length, and the framing bit, every length inside the packet. stb_vorbis reads these lengths
// unchecked: one past the packet's end makes it free pointers it never set.
bool CommentHeaderHolds(const std::vector<std::uint8_t>& packet) {
    std::size_t at = 7;
    if (packet.size() < at || packet[0] != 3 || std::memcmp(&packet[1], "vorbis", 6) != 0) return true;  // not a comment header: stb_vorbis says so
    const auto string = [&]() {
        if (packet.size() - at < 4) return false;
        const std::uint32_t length = Le32(&packet[at]);
        at += 4;
        if (length > packet.size() - at) return false;
        at += length;
        return true;
    };
    if (!string() || packet.size() - at < 4) return false;
    const std::uint32_t comments = Le32(&packet[at]);
    at += 4;
    if (comments > (packet.size() - at) / 4) return false;
    for (std::uint32_t i = 0; i < comments; ++i) {
        if (!string()) return false;
    }
    return at < packet.size() && (packet[at] & 1);
}

}  // namespace

bool LooksLikeOgg(const void* bytes, std::size_t size) { return bytes && size >= 4 && std::memcmp(bytes, "OggS", 4) == 0; }

std::string CheckOggPages(const OggRead& read, std::uint64_t size, std::uint64_t* lastGranule) {
    std::array<std::uint8_t, kHeaderBytes + 255> header{};
    std::vector<std::uint8_t> body;
    body.reserve(255 * 255);
    std::uint64_t at = 0;
    std::uint64_t page = 0;
    std::uint32_t serial = 0;
    bool last = false;
    // The stream's first two packets, put together from their segments: the second, the comment
    // header, is checked before stb_vorbis reads it.
    constexpr std::size_t kMaxCommentBytes = std::size_t{16} << 20;
    std::vector<std::uint8_t> packet;
    int packets = 0;
    while (at < size) {
        const std::string where = "page " + std::to_string(page + 1) + " at byte " + std::to_string(at);
        if (last) return "corrupt: bytes after the page that ends the stream (" + where + ")";
        if (size - at < kHeaderBytes || read(at, header.data(), kHeaderBytes) != kHeaderBytes) return "truncated: " + where + " is cut off";
        if (std::memcmp(header.data(), "OggS", 4) != 0 || header[4] != 0) return "corrupt: no Ogg page where " + where + " should start";
        if (page > 0 && Le32(&header[14]) != serial) return "corrupt: " + where + " belongs to another stream (chained or multiplexed files are not played)";
        serial = Le32(&header[14]);
        const std::size_t segments = header[26];
        if (read(at + kHeaderBytes, &header[kHeaderBytes], segments) != segments) return "truncated: " + where + " is cut off";
        std::size_t bodyBytes = 0;
        for (std::size_t i = 0; i < segments; ++i) bodyBytes += header[kHeaderBytes + i];
        body.resize(bodyBytes);
        if (read(at + kHeaderBytes + segments, body.data(), bodyBytes) != bodyBytes) return "truncated: " + where + " is cut off";
        const std::uint32_t stored = Le32(&header[22]);
        std::memset(&header[22], 0, 4);
        const std::uint32_t crc = Crc(Crc(0, header.data(), kHeaderBytes + segments), body.data(), bodyBytes);
        if (crc != stored) return "corrupt: " + where + " fails its checksum";
        if (packets < 2) {
            std::size_t offset = 0;
            for (std::size_t i = 0; i < segments && packets < 2; ++i) {
                const std::size_t length = header[kHeaderBytes + i];
                packet.insert(packet.end(), body.begin() + static_cast<std::ptrdiff_t>(offset),
                              body.begin() + static_cast<std::ptrdiff_t>(offset + length));
                offset += length;
                if (packet.size() > kMaxCommentBytes) return "unsupported: a header packet over 16 MiB (" + where + ")";
                if (length == 255) continue;
                if (++packets == 2 && !CommentHeaderHolds(packet)) return "corrupt: the comment header's lengths run past it";
                packet.clear();
            }
        }
        last = (header[5] & kLastPage) != 0;
        if (lastGranule) *lastGranule = Le32(&header[6]) | std::uint64_t{Le32(&header[10])} << 32;
        at += kHeaderBytes + segments + bodyBytes;
        ++page;
    }
    if (page == 0) return "truncated: no Ogg page";
    if (!last) return "truncated: the stream stops after page " + std::to_string(page) + " without its last page";
    return {};
}

std::string CheckOggPages(const std::uint8_t* bytes, std::size_t size, std::uint64_t* lastGranule) {
    return CheckOggPages(
        [bytes, size](std::uint64_t offset, std::uint8_t* out, std::size_t wanted) -> std::size_t {
            if (offset >= size) return 0;
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, size - offset));
            std::memcpy(out, bytes + offset, n);
            return n;
        },
        size, lastGranule);
}

}  // namespace platform
