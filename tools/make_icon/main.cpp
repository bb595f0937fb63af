// make-icon: the game's icon at any square size, as an RGBA PNG, made from the game's own art (the
// hero, Bodo, by default). The art's key colour (its top-left pixel, as the game keys its sprites)
// becomes transparent; the art is cut to what is drawn, centred on a square, and scaled: averaged
// over each icon pixel's area when made smaller (so 16 px keeps the shape's colours), repeated
// pixel for pixel when made larger (so 256 px stays sharp). The desktop packages' hicolor icons
// and the browser build's manifest icons are made by it at build time. It needs only stb, so the
// browser build compiles it for the host as it does its other data tools.
//   make-icon SIZE OUTPUT.png [ART]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#ifndef MAKE_ICON_DEFAULT_ART
#define MAKE_ICON_DEFAULT_ART "assets/bodo.bmp"
#endif

namespace {

constexpr const char* kUsage = "usage: make-icon SIZE OUTPUT.png [ART]\n";
constexpr const char* kHelp =
    "usage: make-icon SIZE OUTPUT.png [ART]\n"
    "\n"
    "Writes the game's icon, SIZE x SIZE pixels (1 to 1024), as an RGBA PNG to OUTPUT.png, made\n"
    "from the picture ART (BMP or PNG; the game's hero by default): its top-left pixel's colour\n"
    "is transparent, the rest is cut to what is drawn, centred, and scaled to fit: averaged when\n"
    "smaller, each pixel repeated when larger.\n"
    "\n"
    "options:\n"
    "  -h, --help  this manual\n"
    "\n"
    "exit codes:\n"
    "  0  the icon was written\n"
    "  1  ART did not load, or OUTPUT.png could not be written (one line says which)\n"
    "  2  bad arguments (with the usage line)\n"
    "\n"
    "environment: none.\n";

struct Rgba {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;  // 4 bytes a pixel, rows top to bottom

    unsigned char* At(int x, int y) { return &pixels[(static_cast<std::size_t>(y) * width + x) * 4]; }
    const unsigned char* At(int x, int y) const { return &pixels[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

// The art with its key colour made transparent (alpha 0, colour black so averaging never bleeds
// the key's colour into the edges).
bool LoadKeyed(const char* path, Rgba* art) {
    int channels = 0;
    unsigned char* data = stbi_load(path, &art->width, &art->height, &channels, 4);
    if (!data) return false;
    art->pixels.assign(data, data + static_cast<std::size_t>(art->width) * art->height * 4);
    stbi_image_free(data);
    unsigned char key[3];
    std::memcpy(key, art->At(0, 0), 3);
    for (std::size_t i = 0; i < art->pixels.size(); i += 4) {
        unsigned char* p = &art->pixels[i];
        if (std::memcmp(p, key, 3) == 0) std::memset(p, 0, 4);
    }
    return true;
}

// The smallest square around every drawn pixel, centred on the drawing; pixels outside the art
// read as transparent. Empty when nothing is drawn.
Rgba CutToSquare(const Rgba& art) {
    int left = art.width, top = art.height, right = -1, bottom = -1;
    for (int y = 0; y < art.height; ++y) {
        for (int x = 0; x < art.width; ++x) {
            if (art.At(x, y)[3] == 0) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    Rgba square;
    if (right < 0) return square;
    const int side = std::max(right - left + 1, bottom - top + 1);
    square.width = square.height = side;
    square.pixels.assign(static_cast<std::size_t>(side) * side * 4, 0);
    const int offsetX = left - (side - (right - left + 1)) / 2;
    const int offsetY = top - (side - (bottom - top + 1)) / 2;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int sx = x + offsetX, sy = y + offsetY;
            if (sx >= 0 && sy >= 0 && sx < art.width && sy < art.height) std::memcpy(square.At(x, y), art.At(sx, sy), 4);
        }
    }
    return square;
}

// Larger: each icon pixel takes the art pixel under its centre.
Rgba Repeat(const Rgba& square, int size) {
    Rgba icon{size, size, std::vector<unsigned char>(static_cast<std::size_t>(size) * size * 4)};
    for (int y = 0; y < size; ++y) {
        const int sy = (2 * y + 1) * square.height / (2 * size);
        for (int x = 0; x < size; ++x) std::memcpy(icon.At(x, y), square.At((2 * x + 1) * square.width / (2 * size), sy), 4);
    }
    return icon;
}

// Smaller: each icon pixel averages the art pixels its area covers, in whole art pixels (their
// share of the edges is small at the sizes icons come in), colours weighted by their alpha so a
// transparent neighbour darkens nothing.
Rgba Average(const Rgba& square, int size) {
    Rgba icon{size, size, std::vector<unsigned char>(static_cast<std::size_t>(size) * size * 4)};
    for (int y = 0; y < size; ++y) {
        const int y0 = y * square.height / size, y1 = std::max(y0 + 1, (y + 1) * square.height / size);
        for (int x = 0; x < size; ++x) {
            const int x0 = x * square.width / size, x1 = std::max(x0 + 1, (x + 1) * square.width / size);
            unsigned long sum[4] = {0, 0, 0, 0};
            for (int sy = y0; sy < y1; ++sy) {
                for (int sx = x0; sx < x1; ++sx) {
                    const unsigned char* p = square.At(sx, sy);
                    for (int c = 0; c < 3; ++c) sum[c] += static_cast<unsigned long>(p[c]) * p[3];
                    sum[3] += p[3];
                }
            }
            unsigned char* out = icon.At(x, y);
            const unsigned long count = static_cast<unsigned long>(x1 - x0) * (y1 - y0);
            for (int c = 0; c < 3; ++c) out[c] = static_cast<unsigned char>(sum[3] ? (sum[c] + sum[3] / 2) / sum[3] : 0);
            out[3] = static_cast<unsigned char>((sum[3] + count / 2) / count);
        }
    }
    return icon;
}

bool ParseSize(const char* text, int* size) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 1024) return false;
    *size = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    int size = 0;
    if (argc < 3 || argc > 4 || !ParseSize(argv[1], &size) || !*argv[2]) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const char* artPath = argc == 4 ? argv[3] : MAKE_ICON_DEFAULT_ART;
    Rgba art;
    if (!LoadKeyed(artPath, &art)) {
        std::fprintf(stderr, "make-icon: %s: %s\n", artPath, stbi_failure_reason());
        return 1;
    }
    const Rgba square = CutToSquare(art);
    if (square.width == 0) {
        std::fprintf(stderr, "make-icon: %s: nothing is drawn but the key colour\n", artPath);
        return 1;
    }
    const Rgba icon = size >= square.width ? Repeat(square, size) : Average(square, size);
    if (!stbi_write_png(argv[2], size, size, 4, icon.pixels.data(), size * 4)) {
        std::fprintf(stderr, "make-icon: %s: cannot be written\n", argv[2]);
        return 1;
    }
    return 0;
}
