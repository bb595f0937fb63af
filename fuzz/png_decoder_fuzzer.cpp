// Fuzz target: arbitrary bytes through the PNG decoder, as they are and again with every chunk's
// CRC made right, so that mutations inside the chunks get past the checksums to the inflation,
// the row filters and the pixel conversion instead of stopping there.
#include <array>
#include <vector>

#include "fuzz/picture_fuzz.h"

namespace {

// CRC-32 as PNG chunks use it (reflected, polynomial 0xEDB88320), over the type and the body.
std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// The chunks after the 8-byte signature with their CRCs rewritten, as far as whole chunks go.
std::vector<std::uint8_t> WithRightCrcs(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> out(data, data + size);
    std::size_t at = 8;
    while (size >= 12 && at <= size - 12) {
        const std::uint32_t length = std::uint32_t{out[at]} << 24 | std::uint32_t{out[at + 1]} << 16 | std::uint32_t{out[at + 2]} << 8 | out[at + 3];
        if (length > size - at - 12) break;
        const std::uint32_t crc = Crc32(&out[at + 4], std::size_t{length} + 4);
        for (int i = 0; i < 4; ++i) out[at + 8 + length + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at += 12 + std::size_t{length};
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::DecodeAs(media::IMAGE_PNG, data, size);
    const std::vector<std::uint8_t> fixed = WithRightCrcs(data, size);
    return fuzz::DecodeAs(media::IMAGE_PNG, fixed.data(), fixed.size());
}
