// Every asset file of the game, made in memory: the name the game loads it by and its bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/make_assets/bmp_writer.h"

namespace assets {

struct AssetFile {
  std::string name;
  std::vector<uint8_t> bytes;
};

// The key every keyed picture has in its top-left pixel: magenta, which no art colour comes near.
constexpr Rgb8 kColorKey{255, 0, 255};

std::vector<AssetFile> MakePictures();
std::vector<AssetFile> MakeSounds();
std::vector<AssetFile> MakeAllAssets();

}  // namespace assets
