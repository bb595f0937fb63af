#include "tools/replay/shot_writer.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "game/app_shell.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/pixels/color_convert.h"

namespace replay {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool EndsWithBmp(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".bmp";
}

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::string WriteBmp(std::FILE* file, const RgbImage& image) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
    const std::uint32_t dataBytes = rowBytes * static_cast<std::uint32_t>(image.height);
    std::vector<std::uint8_t> out;
    out.reserve(54 + dataBytes);
    out.push_back('B');
    out.push_back('M');
    PutLe(out, 54 + dataBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<std::uint32_t>(image.width), 4);
    PutLe(out, static_cast<std::uint32_t>(image.height), 4);  // bottom-up
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);  // no compression
    PutLe(out, dataBytes, 4);
    PutLe(out, 2835, 4);  // 72 dpi
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (std::int32_t y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* row = image.pixels.data() + static_cast<std::size_t>(y) * image.width * 3;
        for (std::int32_t x = 0; x < image.width; ++x) {
            out.push_back(row[x * 3 + 2]);
            out.push_back(row[x * 3 + 1]);
            out.push_back(row[x * 3]);
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(image.width) * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    if (std::fwrite(out.data(), 1, out.size(), file) != out.size()) return std::strerror(errno);
    return {};
}

std::string WritePng(std::FILE* file, const RgbImage& image) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return "libpng could not start";
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return "libpng could not start";
    }
    // libpng reports its errors by jumping back here; nothing below owns memory of its own.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return "libpng failed to write the picture";
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::int32_t y = 0; y < image.height; ++y)
        png_write_row(png, image.pixels.data() + static_cast<std::size_t>(y) * image.width * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return {};
}

}  // namespace

RgbImage CaptureClientArea() {
    RgbImage image;
    auto& host = platform::headless::Controls();
    if (!game::mainWindow) return image;
    const platform::DisplaySurface& desktop = host.DesktopSurface();
    const platform::PixelView view = desktop.View();
    const platform::Point origin = host.ClientOrigin(*game::mainWindow);
    image.width = game::kClientWidth;
    image.height = game::kClientHeight;
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height * 3, 0);
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::int32_t dy = origin.y + y;
        if (dy < 0 || dy >= view.height) continue;
        std::uint8_t* out = image.pixels.data() + static_cast<std::size_t>(y) * image.width * 3;
        for (std::int32_t x = 0; x < image.width; ++x) {
            const std::int32_t dx = origin.x + x;
            if (dx < 0 || dx >= view.width) continue;
            const platform::COLORREF colour = platform::ColorRefFromRaw(desktop.PixelAt(dx, dy), view.format);
            out[x * 3] = platform::RedOf(colour);
            out[x * 3 + 1] = platform::GreenOf(colour);
            out[x * 3 + 2] = platform::BlueOf(colour);
        }
    }
    return image;
}

std::string WriteShot(const std::string& path, const RgbImage& image) {
    if (image.width <= 0 || image.height <= 0) return "nothing was presented";
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) return std::strerror(errno);
    std::string error = EndsWithBmp(path) ? WriteBmp(file.get(), image) : WritePng(file.get(), image);
    if (error.empty() && std::fflush(file.get()) != 0) error = std::strerror(errno);
    return error;
}

}  // namespace replay
