#include "tools/make_assets/catch_sound.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace assets {

namespace {

struct Chime {
  double start;      // seconds
  double frequency;  // Hz
  double level;
  double decay;      // seconds for the level to fall to 1/e
};

// A bell-like tone: the fundamental with two quieter harmonics, a 3 ms attack and an
// exponential decay. Harmonics at or above half the sample rate are left out: they would fold
// back as off-key tones.
double ChimeAt(const Chime& c, double t, double nyquist) {
  const double local = t - c.start;
  if (local < 0) return 0;
  const double attack = std::min(1.0, local / 0.003);
  const double phase = 2 * std::numbers::pi * c.frequency * local;
  constexpr double kHarmonicLevels[] = {1.0, 0.35, 0.12};
  double tone = 0;
  for (int h = 1; h <= 3; ++h) {
    if (h * c.frequency < nyquist) tone += kHarmonicLevels[h - 1] * std::sin(h * phase);
  }
  return c.level * attack * std::exp(-local / c.decay) * tone;
}

}  // namespace

std::vector<double> CatchSound(uint32_t sampleRate) {
  constexpr double kLength = 0.32;
  // E6 then B6 a fifth above, with a faint sparkle two octaves over the first note.
  const Chime chimes[] = {{0.0, 1318.51, 0.8, 0.06}, {0.055, 1975.53, 1.0, 0.09}, {0.055, 5274.04, 0.12, 0.03}};
  const auto count = static_cast<size_t>(kLength * sampleRate);
  std::vector<double> samples(count);
  for (size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / sampleRate;
    for (const Chime& c : chimes) samples[i] += ChimeAt(c, t, sampleRate / 2.0);
    samples[i] *= std::min(1.0, (kLength - t) / 0.02);  // fade out the tail to silence
  }
  double peak = 0;
  for (double s : samples) peak = std::max(peak, std::abs(s));
  for (double& s : samples) s *= 0.8 / peak;
  return samples;
}

}  // namespace assets
