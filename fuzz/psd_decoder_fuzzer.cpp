// Fuzz target: arbitrary bytes through the PSD decoder.
#include "fuzz/picture_fuzz.h"

namespace {

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 | static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A document without channels needs no image data, so a few bytes can ask for 2^26 black
    // pixels, which take seconds under the sanitizers. The size limits have unit tests; here
    // documents above 2^22 pixels are skipped so the time goes into the parsing.
    if (size >= 22 && std::uint64_t{BigEndian32(data + 14)} * BigEndian32(data + 18) > (std::uint64_t{1} << 22)) return 0;
    return fuzz::DecodeAs(media::IMAGE_PSD, data, size);
}
