// Fuzz target: arbitrary bytes through the PNG decoder.
#include "fuzz/picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::DecodeAs(media::IMAGE_PNG, data, size);
}
