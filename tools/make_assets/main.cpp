// make-assets: writes the game's pictures, tunes and sound into a folder (default: assets).
// Every run writes the same bytes.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/make_assets/asset_set.h"

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: make-assets [OUTPUT_DIR]\n");
    return 2;
  }
  const std::filesystem::path folder = argc == 2 ? argv[1] : "assets";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "make-assets: cannot create %s: %s\n", folder.c_str(), error.message().c_str());
    return 1;
  }
  for (const assets::AssetFile& file : assets::MakeAllAssets()) {
    const std::filesystem::path path = folder / file.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
    out.close();
    if (!out) {
      std::fprintf(stderr, "make-assets: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%-16s %7zu bytes\n", file.name.c_str(), file.bytes.size());
  }
  return 0;
}
