#include "tools/make_assets/wav_writer.h"

#include <algorithm>
#include <cmath>

#include "tools/make_assets/byte_sink.h"

namespace assets {

int16_t SampleToPcm16(double sample) {
  const double scaled = std::round(std::clamp(sample, -1.0, 1.0) * 32767.0);
  return static_cast<int16_t>(scaled);
}

std::vector<uint8_t> WriteWav16Mono(const std::vector<double>& samples, uint32_t sampleRate) {
  constexpr uint16_t kChannels = 1;
  constexpr uint16_t kBits = 16;
  constexpr uint16_t kBlockAlign = kChannels * kBits / 8;
  const auto dataBytes = static_cast<uint32_t>(samples.size() * kBlockAlign);
  ByteSink out;
  out.Bytes("RIFF");
  out.U32(4 + (8 + 16) + (8 + dataBytes));
  out.Bytes("WAVE");
  out.Bytes("fmt ");
  out.U32(16);
  out.U16(1);  // PCM
  out.U16(kChannels);
  out.U32(sampleRate);
  out.U32(sampleRate * kBlockAlign);
  out.U16(kBlockAlign);
  out.U16(kBits);
  out.Bytes("data");
  out.U32(dataBytes);
  for (double s : samples) out.U16(static_cast<uint16_t>(SampleToPcm16(s)));
  return out.Take();
}

}  // namespace assets
