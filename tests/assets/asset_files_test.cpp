// The committed assets as the game loads them: every file present with the size the game
// expects, keyed pictures with the key in the top-left pixel and no colour near it, the
// play field showing through the win and lose pictures, tunes and sound readable and of sensible
// length and level; and the generator making exactly the committed bytes again.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

#include "tests/assets/asset_readers.h"
#include "tools/make_assets/asset_set.h"

namespace {

using asset_test::Pixel;

constexpr Pixel kKey{255, 0, 255};

std::string PathOf(const std::string& name) { return std::string(ASSETS_DIR) + "/" + name; }

// 3-3-2 index: pixels equal here are equal in every display depth's top bits, so they would all
// match a colour key of the other.
int Index332(Pixel p) { return (p.r & 0xE0) | ((p.g >> 3) & 0x1C) | (p.b >> 6); }

enum class Kind { Screen, KeyedScreen, Sprite };

struct ExpectedPicture {
  const char* name;
  int width, height;
  Kind kind;
};

const ExpectedPicture kPictures[] = {
    {"title.bmp", 640, 480, Kind::Screen},        {"option.bmp", 640, 480, Kind::Screen},
    {"about.bmp", 640, 480, Kind::Screen},        {"over.bmp", 640, 480, Kind::Screen},
    {"bg1.bmp", 640, 480, Kind::KeyedScreen},     {"main_win.bmp", 640, 480, Kind::KeyedScreen},
    {"main_lose.bmp", 640, 480, Kind::KeyedScreen}, {"bodo.bmp", 90, 90, Kind::Sprite},
    {"r_zamel.bmp", 40, 51, Kind::Sprite},        {"b_zamel.bmp", 40, 51, Kind::Sprite},
    {"hart.bmp", 32, 26, Kind::Sprite},           {"bb_zamel.bmp", 32, 32, Kind::Sprite},
    {"bee.bmp", 40, 51, Kind::Sprite},
};

double KeyShare(const asset_test::BmpFile& bmp) {
  size_t keys = 0;
  for (const Pixel& p : bmp.pixels) keys += p == kKey;
  return static_cast<double>(keys) / bmp.pixels.size();
}

TEST(AssetPictures, HaveTheGameSizesAndFormats) {
  for (const ExpectedPicture& expected : kPictures) {
    SCOPED_TRACE(expected.name);
    const std::vector<uint8_t> bytes = asset_test::ReadWholeFile(PathOf(expected.name));
    ASSERT_FALSE(bytes.empty());
    const auto bmp = asset_test::ReadBmp(bytes);
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ(bmp->width, expected.width);
    EXPECT_EQ(bmp->height, expected.height);  // positive: stored bottom up, as the game's reader wants
    EXPECT_EQ(bmp->fileSizeField, bytes.size());
    if (expected.kind == Kind::Sprite) {
      EXPECT_EQ(bmp->bitCount, 24);
    } else {
      EXPECT_EQ(bmp->bitCount, 8);
      EXPECT_EQ(bmp->compression, 1);
      EXPECT_LT(bytes.size(), 100000u);  // a quarter of the 8-bit size or less
    }
    std::set<int> colours;
    for (const Pixel& p : bmp->pixels) colours.insert(p.r << 16 | p.g << 8 | p.b);
    EXPECT_GE(colours.size(), expected.kind == Kind::Sprite ? 40u : 120u);  // shaded art, not flat placeholders
  }
}

TEST(AssetPictures, KeyedOnesHoldTheKeyTopLeftAndNoColourNearIt) {
  for (const ExpectedPicture& expected : kPictures) {
    if (expected.kind == Kind::Screen) continue;
    SCOPED_TRACE(expected.name);
    const auto bmp = asset_test::ReadBmp(asset_test::ReadWholeFile(PathOf(expected.name)));
    ASSERT_TRUE(bmp.has_value());
    EXPECT_TRUE(bmp->At(0, 0) == kKey);
    size_t near = 0;
    for (const Pixel& p : bmp->pixels) near += !(p == kKey) && Index332(p) == Index332(kKey);
    EXPECT_EQ(near, 0u);
  }
}

TEST(AssetPictures, SpriteEdgesAreOutlinesWithoutKeyFringes) {
  for (const ExpectedPicture& expected : kPictures) {
    if (expected.kind != Kind::Sprite) continue;
    SCOPED_TRACE(expected.name);
    const auto bmp = asset_test::ReadBmp(asset_test::ReadWholeFile(PathOf(expected.name)));
    ASSERT_TRUE(bmp.has_value());
    const double share = KeyShare(*bmp);
    EXPECT_GT(share, 0.15);  // a figure with room around it ...
    EXPECT_LT(share, 0.75);  // ... filling a good part of its frame
    for (int y = 0; y < bmp->height; ++y) {
      for (int x = 0; x < bmp->width; ++x) {
        const Pixel p = bmp->At(x, y);
        if (p == kKey) continue;
        auto key = [&](int nx, int ny) { return nx >= 0 && ny >= 0 && nx < bmp->width && ny < bmp->height && bmp->At(nx, ny) == kKey; };
        if (!(key(x - 1, y) || key(x + 1, y) || key(x, y - 1) || key(x, y + 1))) continue;
        // A pixel next to the key is drawn in a dark outline colour, never a pink blend.
        EXPECT_LT(0.299 * p.r + 0.587 * p.g + 0.114 * p.b, 100) << x << "," << y;
      }
    }
  }
}

TEST(AssetPictures, PlayFieldIsWholeAndShowsThroughTheWinAndLosePictures) {
  const auto field = asset_test::ReadBmp(asset_test::ReadWholeFile(PathOf("bg1.bmp")));
  ASSERT_TRUE(field.has_value());
  EXPECT_LT(KeyShare(*field), 0.001);  // the background covers the field; only its corner is the key
  for (const char* name : {"main_win.bmp", "main_lose.bmp"}) {
    SCOPED_TRACE(name);
    const auto bmp = asset_test::ReadBmp(asset_test::ReadWholeFile(PathOf(name)));
    ASSERT_TRUE(bmp.has_value());
    EXPECT_GT(KeyShare(*bmp), 0.5);
    // The hero's row and the status board stay open, the banner in the middle of the top is solid.
    EXPECT_TRUE(bmp->At(430, 320) == kKey);
    EXPECT_TRUE(bmp->At(520, 440) == kKey);
    EXPECT_FALSE(bmp->At(320, 120) == kKey);
  }
}

struct ExpectedTune {
  const char* name;
  double minSeconds, maxSeconds;
};

// Seconds from the start to the last event, following the tempo changes of the first track.
double Duration(const asset_test::MidiFile& midi) {
  std::map<uint32_t, uint32_t> tempo{{0, 500000}};
  uint32_t last = 0;
  for (const auto& track : midi.tracks) {
    for (const auto& e : track) {
      last = std::max(last, e.tick);
      if (e.bytes.size() == 6 && e.bytes[0] == 0xFF && e.bytes[1] == 0x51) tempo[e.tick] = e.bytes[3] << 16 | e.bytes[4] << 8 | e.bytes[5];
    }
  }
  double seconds = 0;
  for (auto it = tempo.begin(); it != tempo.end(); ++it) {
    const uint32_t end = std::next(it) == tempo.end() ? last : std::next(it)->first;
    if (end > it->first) seconds += static_cast<double>(end - it->first) * it->second / 1e6 / midi.division;
  }
  return seconds;
}

// The play screen draws its six hearts at x 510, 530, ... 610, y 400, onto the dark panel of
// bg1.bmp (x 392..636, y 394..462). Every heart pixel that shows must land inside that panel, so
// the last heart is neither cut by the window's right edge nor drawn over the board's frame.
TEST(AssetPictures, EveryHeartFitsInsideThePlayPanel) {
  constexpr int kPanelLeft = 392, kPanelTop = 394, kPanelRight = 636, kPanelBottom = 462;
  constexpr int kFirstHeartX = 510, kHeartSpacing = 20, kHeartY = 400, kHearts = 6;
  const auto heart = asset_test::ReadBmp(asset_test::ReadWholeFile(PathOf("hart.bmp")));
  ASSERT_TRUE(heart.has_value());
  for (int n = 0; n < kHearts; ++n) {
    SCOPED_TRACE("heart " + std::to_string(n));
    int outside = 0;
    for (int y = 0; y < heart->height; ++y) {
      for (int x = 0; x < heart->width; ++x) {
        if (heart->At(x, y) == kKey) continue;
        const int screenX = kFirstHeartX + kHeartSpacing * n + x, screenY = kHeartY + y;
        outside += screenX < kPanelLeft || screenX >= kPanelRight || screenY < kPanelTop || screenY >= kPanelBottom;
      }
    }
    EXPECT_EQ(outside, 0);
  }
}

TEST(AssetTunes, AreGeneralMidiFilesOfFittingLength) {
  const ExpectedTune tunes[] = {{"Sound_menu.mid", 30, 120}, {"xlost.mid", 60, 240}, {"Sound_win.mid", 3, 15}, {"xmusic5.mid", 3, 15}};
  for (const ExpectedTune& expected : tunes) {
    SCOPED_TRACE(expected.name);
    const auto midi = asset_test::ReadMidi(asset_test::ReadWholeFile(PathOf(expected.name)));
    ASSERT_TRUE(midi.has_value());
    EXPECT_EQ(midi->format, 1);
    EXPECT_GE(midi->tracks.size(), 3u);
    const double seconds = Duration(*midi);
    EXPECT_GE(seconds, expected.minSeconds);
    EXPECT_LE(seconds, expected.maxSeconds);
    // Every melodic channel chooses its instrument before its first note; every note ends.
    std::set<int> programmed;
    std::map<std::pair<int, int>, int> sounding;
    size_t notes = 0;
    for (const auto& track : midi->tracks) {
      for (const auto& e : track) {
        const int kind = e.bytes[0] & 0xF0, channel = e.bytes[0] & 0x0F;
        if (kind == 0xC0) programmed.insert(channel);
        if (kind == 0x90) {
          ++notes;
          if (channel != 9) {
            EXPECT_TRUE(programmed.count(channel)) << "channel " << channel;
          }
          EXPECT_GE(e.bytes[1], 21);
          EXPECT_LE(e.bytes[1], 108);
          ++sounding[{channel, e.bytes[1]}];
        }
        if (kind == 0x80) --sounding[{channel, e.bytes[1]}];
      }
    }
    EXPECT_GE(notes, 20u);
    for (const auto& [note, count] : sounding) EXPECT_EQ(count, 0) << "channel " << note.first << " key " << note.second;
  }
}

TEST(AssetSound, IsAShortCleanCatchSound) {
  const auto wav = asset_test::ReadWav(asset_test::ReadWholeFile(PathOf("item.wav")));
  ASSERT_TRUE(wav.has_value());
  EXPECT_EQ(wav->formatTag, 1);
  EXPECT_EQ(wav->channels, 1);
  EXPECT_TRUE(wav->sampleRate == 22050 || wav->sampleRate == 44100);
  const double seconds = static_cast<double>(wav->samples.size()) / wav->sampleRate;
  EXPECT_GT(seconds, 0.1);
  EXPECT_LT(seconds, 0.5);
  int peak = 0;
  double energy = 0;
  for (int16_t s : wav->samples) {
    peak = std::max(peak, std::abs(static_cast<int>(s)));
    energy += static_cast<double>(s) * s;
  }
  EXPECT_GT(peak, 16000);  // loud enough to hear over the music ...
  EXPECT_LT(peak, 32000);  // ... without clipping
  EXPECT_GT(std::sqrt(energy / wav->samples.size()), 3000);
  EXPECT_LT(std::abs(wav->samples.front()), 500);  // starts and ends without a click
  EXPECT_LT(std::abs(wav->samples.back()), 500);
}

TEST(AssetGenerator, MakesExactlyTheCommittedFiles) {
  const std::vector<assets::AssetFile> made = assets::MakeAllAssets();
  std::set<std::string> names;
  for (const assets::AssetFile& file : made) {
    names.insert(file.name);
    EXPECT_EQ(file.bytes, asset_test::ReadWholeFile(PathOf(file.name))) << file.name << " differs: run make-assets";
  }
  const std::set<std::string> expected = {"title.bmp", "option.bmp", "about.bmp", "bg1.bmp", "main_win.bmp", "main_lose.bmp",
                                          "over.bmp", "bodo.bmp", "r_zamel.bmp", "b_zamel.bmp", "hart.bmp", "bb_zamel.bmp",
                                          "bee.bmp", "Sound_menu.mid", "xlost.mid", "Sound_win.mid", "xmusic5.mid", "item.wav"};
  EXPECT_EQ(names, expected);
}

}  // namespace
