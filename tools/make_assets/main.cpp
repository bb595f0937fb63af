// make-assets: writes the game's pictures, tunes and sound into a folder (default: assets).
// Every run writes the same bytes. make-assets --help prints its manual.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "tools/make_assets/asset_set.h"

namespace {

constexpr const char* kHelp =
    "usage: make-assets [OUTPUT_DIR]\n"
    "\n"
    "Paints and composes the game's pictures, tunes and sound and writes them into OUTPUT_DIR\n"
    "(default: assets), made if missing; files of the same names are replaced. Prints each\n"
    "file's name and size. Every run writes the same bytes: the committed assets/ folder is\n"
    "this program's output.\n"
    "\n"
    "options:\n"
    "  -h, --help  this manual\n"
    "\n"
    "exit codes:\n"
    "  0  every file was written\n"
    "  1  the folder cannot be made or a file cannot be written\n"
    "  2  bad arguments\n"
    "\n"
    "environment: none.\n";

bool IsHelp(std::string_view argument) { return argument == "--help" || argument == "-h"; }

}  // namespace

int main(int argc, char** argv) {
  if (std::any_of(argv + 1, argv + argc, IsHelp)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
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
