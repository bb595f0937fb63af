// The catch sound ("item.wav"): a short bright two-note chime, synthesised.
#pragma once

#include <cstdint>
#include <vector>

namespace assets {

constexpr uint32_t kCatchSoundRate = 22050;

// Samples in -1..1 at the given rate, peaking at 0.8.
std::vector<double> CatchSound(uint32_t sampleRate);

}  // namespace assets
