// The WAV writer against the format: header fields and 16-bit little-endian samples.
#include "tools/make_assets/wav_writer.h"

#include <gtest/gtest.h>

#include "tests/assets/asset_readers.h"

namespace {

TEST(WavWriter, WritesAConsistentPcmHeader) {
  for (uint32_t rate : {22050u, 44100u}) {
    for (size_t count : {size_t{0}, size_t{1}, size_t{7}, size_t{1000}}) {
      SCOPED_TRACE(testing::Message() << rate << " Hz, " << count << " samples");
      const std::vector<uint8_t> file = assets::WriteWav16Mono(std::vector<double>(count, 0.25), rate);
      EXPECT_EQ(file.size(), 44 + 2 * count);
      const auto wav = asset_test::ReadWav(file);
      ASSERT_TRUE(wav.has_value());
      EXPECT_EQ(wav->riffSize, file.size() - 8);
      EXPECT_EQ(wav->formatSize, 16u);
      EXPECT_EQ(wav->formatTag, 1);
      EXPECT_EQ(wav->channels, 1);
      EXPECT_EQ(wav->sampleRate, rate);
      EXPECT_EQ(wav->byteRate, rate * 2);
      EXPECT_EQ(wav->blockAlign, 2);
      EXPECT_EQ(wav->bitsPerSample, 16);
      EXPECT_EQ(wav->dataSize, 2 * count);
      EXPECT_EQ(wav->samples.size(), count);
    }
  }
}

TEST(WavWriter, RoundsAndClampsSamples) {
  const std::vector<double> in = {0.0, 1.0, -1.0, 0.5, -0.5, 2.0, -3.0, 1e-6, 0.00002};
  const std::vector<int16_t> out = {0, 32767, -32767, 16384, -16384, 32767, -32767, 0, 1};
  const auto wav = asset_test::ReadWav(assets::WriteWav16Mono(in, 22050));
  ASSERT_TRUE(wav.has_value());
  EXPECT_EQ(wav->samples, out);
}

}  // namespace
