// Reducing painted pictures to an RLE8 palette: exact where the colours fit, close where they do
// not, and the colour key kept apart.
#include "tools/make_assets/palette_quantizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

namespace {

using assets::Rgb8;
constexpr Rgb8 kKey{255, 0, 255};

assets::RgbPicture Noise(int width, int height, int distinctLevels, unsigned seed, bool withKey) {
  std::mt19937 random(seed);
  assets::RgbPicture p{width, height, {}};
  for (int i = 0; i < width * height; ++i) {
    if (withKey && random() % 5 == 0) {
      p.pixels.push_back(kKey);
      continue;
    }
    auto level = [&] { return static_cast<uint8_t>(random() % distinctLevels * (255 / std::max(1, distinctLevels - 1))); };
    Rgb8 c{level(), level(), level()};
    if (assets::Index332(c) == assets::Index332(kKey)) c.g = 128;  // art keeps away from the key
    p.pixels.push_back(c);
  }
  return p;
}

TEST(PaletteQuantizer, KeepsFewColoursExactAndTheKeyAtIndexZero) {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    const assets::RgbPicture picture = Noise(37, 23, 5, seed, true);  // at most 125 colours
    const assets::IndexedPicture q = assets::Quantize(picture, kKey);
    ASSERT_FALSE(q.palette.empty());
    EXPECT_EQ(q.palette[0], kKey);
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
      EXPECT_EQ(q.palette.at(q.indexes[i]), picture.pixels[i]) << "seed " << seed << " pixel " << i;
      EXPECT_EQ(q.indexes[i] == 0, picture.pixels[i] == kKey);
    }
  }
}

TEST(PaletteQuantizer, ReducesManyColoursCloselyWithoutComingNearTheKey) {
  for (bool keyed : {true, false}) {
    SCOPED_TRACE(keyed ? "keyed" : "opaque");
    const assets::RgbPicture picture = Noise(160, 120, 40, 7, keyed);
    const assets::IndexedPicture q = assets::Quantize(picture, keyed ? std::optional<Rgb8>(kKey) : std::nullopt);
    EXPECT_LE(q.palette.size(), 256u);
    EXPECT_GE(q.palette.size(), 250u);
    double error = 0;
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
      const Rgb8 a = picture.pixels[i], b = q.palette.at(q.indexes[i]);
      error += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
      if (keyed) {
        EXPECT_EQ(q.indexes[i] == 0, a == kKey) << i;
      }
    }
    EXPECT_LT(error / (3.0 * picture.pixels.size()), 24.0);  // 64000 colours into 256 boxes
    if (keyed) {
      for (size_t i = 1; i < q.palette.size(); ++i) {
        EXPECT_NE(assets::Index332(q.palette[i]), assets::Index332(kKey)) << i;
      }
    }
  }
}

TEST(PaletteQuantizer, NeverTurnsArtIntoTheKeyHoweverFewColoursAreLeft) {
  // One entry left besides the key: the pink pixel is nearer the key than the dark entry, yet
  // must not become a hole in the picture.
  assets::RgbPicture picture{10, 10, std::vector<Rgb8>(100, Rgb8{0, 0, 0})};
  picture.pixels[0] = kKey;
  picture.pixels[55] = {255, 60, 255};
  const assets::IndexedPicture q = assets::Quantize(picture, kKey, 2);
  ASSERT_EQ(q.palette.size(), 2u);
  EXPECT_EQ(q.indexes[0], 0);
  EXPECT_EQ(q.indexes[55], 1);
}

TEST(PaletteQuantizer, MovesAnEntryWhoseAverageFallsOnTheKey) {
  // Two colours on either side of the key's 3-3-2 cell average into it.
  assets::RgbPicture picture{3, 1, {kKey, {255, 40, 255}, {200, 0, 255}}};
  const assets::IndexedPicture q = assets::Quantize(picture, kKey, 2);
  ASSERT_EQ(q.palette.size(), 2u);
  EXPECT_NE(assets::Index332(q.palette[1]), assets::Index332(kKey));
  EXPECT_EQ(q.indexes, (std::vector<uint8_t>{0, 1, 1}));
}

TEST(PaletteQuantizer, GivesTheSameResultEveryRun) {
  const assets::RgbPicture picture = Noise(90, 50, 30, 3, true);
  const assets::IndexedPicture a = assets::Quantize(picture, kKey), b = assets::Quantize(picture, kKey);
  EXPECT_EQ(a.indexes, b.indexes);
  EXPECT_EQ(a.palette, b.palette);
}

TEST(PaletteQuantizer, Index332TakesTheTopBitsOfEachChannel) {
  EXPECT_EQ(assets::Index332({255, 0, 255}), 0xE3);
  EXPECT_EQ(assets::Index332({224, 31, 192}), 0xE3);
  EXPECT_EQ(assets::Index332({223, 31, 192}), 0xC3);
  EXPECT_EQ(assets::Index332({224, 32, 192}), 0xE7);
  EXPECT_EQ(assets::Index332({0, 0, 191}), 0x02);
}

}  // namespace
