// Fuzz target: arbitrary bytes through the loader's detection and whichever decoder it picks,
// as the program loads every picture (type code 0). The signature checks see short data, data
// that ends inside a signature and data that carries several signatures at once.
#include "fuzz/picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The message for unrecognised content is recorded, not printed for every input (after the
    // display's first set-up, which resets the backend).
    fuzz::Device();
    platform::headless::Controls().SetDebugEcho(false);
    return fuzz::DecodeAs(media::IMAGE_NONE, data, size);
}
