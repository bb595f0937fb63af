#pragma once
// Screenshots of bodo-zamel-replay: the presented client area as 8-bit RGB, written as PNG, or as
// a 24-bit BMP when the file name ends in ".bmp".
#include <cstdint>
#include <string>
#include <vector>

namespace replay {

struct RgbImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> pixels;  // rows top to bottom, R G B per pixel
};

// The window's client area as it was last presented on the headless desktop.
RgbImage CaptureClientArea();
// An empty string on success, else why the file could not be written.
std::string WriteShot(const std::string& path, const RgbImage& image);

}  // namespace replay
