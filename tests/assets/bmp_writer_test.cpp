// The BMP writers against the format: RLE8 files decode back to the indexed picture they were
// made from, 24-bit files to their colours, with consistent headers.
#include "tools/make_assets/bmp_writer.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/assets/asset_readers.h"

namespace {

using assets::IndexedPicture;
using assets::Rgb8;

enum class Pattern { RandomRuns, OneColour, NoRuns, Pairs };

// A picture of the given shape; seed makes every case repeatable on its own.
IndexedPicture MakePicture(int width, int height, Pattern pattern, unsigned seed) {
  std::mt19937 random(seed);
  IndexedPicture p{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height), {}};
  for (int i = 0; i < 256; ++i) p.palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
  size_t i = 0;
  while (i < p.indexes.size()) {
    switch (pattern) {
      case Pattern::RandomRuns: {
        const size_t run = std::uniform_int_distribution<size_t>(1, random() % 4 == 0 ? 600 : 4)(random);
        const auto value = static_cast<uint8_t>(random() % 6 == 0 ? 0 : random());  // index 0 now and then
        for (size_t k = 0; k < run && i < p.indexes.size(); ++k) p.indexes[i++] = value;
        break;
      }
      case Pattern::OneColour: p.indexes[i++] = 77; break;
      case Pattern::NoRuns: p.indexes[i] = static_cast<uint8_t>(i % 2 == 0 ? 10 : 20 + i % 7); ++i; break;
      case Pattern::Pairs: p.indexes[i] = static_cast<uint8_t>((i / 2) % 3); ++i; break;
    }
  }
  return p;
}

TEST(BmpRle8Writer, DecodesBackToTheIndexedPicture) {
  const int widths[] = {1, 2, 3, 4, 5, 7, 254, 255, 256, 257, 300, 640};
  const int heights[] = {1, 2, 3, 9};
  const Pattern patterns[] = {Pattern::RandomRuns, Pattern::OneColour, Pattern::NoRuns, Pattern::Pairs};
  unsigned seed = 0;
  for (Pattern pattern : patterns) {
    for (int w : widths) {
      for (int h : heights) {
        ++seed;
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << w << "x" << h << ", pattern " << static_cast<int>(pattern));
        const IndexedPicture picture = MakePicture(w, h, pattern, seed);
        const std::vector<uint8_t> file = assets::WriteBmpRle8(picture);
        const auto read = asset_test::ReadBmp(file);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->width, w);
        EXPECT_EQ(read->height, h);
        EXPECT_EQ(read->bitCount, 8);
        EXPECT_EQ(read->compression, 1);
        EXPECT_EQ(read->dataOffset, 54u + 4 * 256);
        EXPECT_EQ(read->fileSizeField, file.size());
        EXPECT_EQ(read->imageSize, file.size() - read->dataOffset);
        EXPECT_EQ(read->indexes, picture.indexes);
        ASSERT_EQ(read->palette.size(), picture.palette.size());
        for (size_t i = 0; i < picture.palette.size(); ++i) {
          EXPECT_TRUE((read->palette[i] == asset_test::Pixel{picture.palette[i].r, picture.palette[i].g, picture.palette[i].b}));
        }
      }
    }
  }
}

TEST(BmpRle8Writer, EndsEveryRowButTheTopWithEndOfLineAndTheTopWithEndOfBitmap) {
  const IndexedPicture picture = MakePicture(5, 4, Pattern::OneColour, 1);
  const std::vector<uint8_t> file = assets::WriteBmpRle8(picture);
  const size_t data = 54 + 4 * 256;
  // Each row of five equal indexes is one run (5, 77).
  const std::vector<uint8_t> expected = {5, 77, 0, 0, 5, 77, 0, 0, 5, 77, 0, 0, 5, 77, 0, 1};
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + data, file.end()), expected);
}

struct RowCase {
  std::vector<uint8_t> row;
  std::vector<uint8_t> encoded;
};

TEST(BmpRle8Writer, EncodesRowsAsRunsAndPaddedAbsoluteStretches) {
  std::vector<uint8_t> long300(300, 9);
  const RowCase cases[] = {
      {{4}, {1, 4}},
      {{1, 2}, {1, 1, 1, 2}},                          // two singles are cheaper as runs of one
      {{1, 2, 3}, {0, 3, 1, 2, 3, 0}},                 // odd absolute stretch padded
      {{1, 2, 3, 4}, {0, 4, 1, 2, 3, 4}},              // even: no pad
      {{5, 5, 1, 2, 3, 6, 6}, {2, 5, 0, 3, 1, 2, 3, 0, 2, 6}},
      {long300, {255, 9, 45, 9}},                      // a count byte holds at most 255
  };
  for (const RowCase& c : cases) {
    EXPECT_EQ(assets::EncodeRle8Row(c.row.data(), static_cast<int>(c.row.size())), c.encoded);
  }
  std::vector<uint8_t> mixed(600);
  for (size_t i = 0; i < mixed.size(); ++i) mixed[i] = static_cast<uint8_t>(i * 37 % 251);  // no two equal neighbours
  const std::vector<uint8_t> encoded = assets::EncodeRle8Row(mixed.data(), 600);
  ASSERT_GE(encoded.size(), 2u);
  EXPECT_EQ(encoded[0], 0);
  EXPECT_EQ(encoded[1], 255);  // absolute stretches are split at 255 pixels too
}

TEST(Bmp24Writer, DecodesBackToTheColoursWithPaddedRows) {
  for (int w = 1; w <= 6; ++w) {
    for (int h : {1, 3}) {
      SCOPED_TRACE(testing::Message() << w << "x" << h);
      assets::RgbPicture picture{w, h, {}};
      for (int i = 0; i < w * h; ++i) picture.pixels.push_back({static_cast<uint8_t>(i * 40), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3 + 1)});
      const std::vector<uint8_t> file = assets::WriteBmp24(picture);
      const size_t rowBytes = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
      EXPECT_EQ(file.size(), 54 + rowBytes * h);
      const auto read = asset_test::ReadBmp(file);
      ASSERT_TRUE(read.has_value());
      EXPECT_EQ(read->bitCount, 24);
      EXPECT_EQ(read->compression, 0);
      EXPECT_EQ(read->dataOffset, 54u);
      EXPECT_EQ(read->fileSizeField, file.size());
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          const Rgb8 c = picture.At(x, y);
          EXPECT_TRUE((read->At(x, y) == asset_test::Pixel{c.r, c.g, c.b})) << x << "," << y;
        }
      }
      // The first stored row is the bottom one, blue first.
      EXPECT_EQ(file[54], picture.At(0, h - 1).b);
      EXPECT_EQ(file[56], picture.At(0, h - 1).r);
    }
  }
}

}  // namespace
