// picture-to-ppm: loads a picture through the layer's loader exactly as the program does
// (format by content, placement MEMORY_ANY) into a surface of the chosen depth on the headless
// backend, and writes that surface as a binary PPM. INPUT "-" is standard input. Exit 0 on
// success, 1 when the picture does not load (a missing file told apart from one the loader does
// not decode), 2 for bad arguments or an output that cannot be written.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "media/display/pixel_surface.h"
#include "media/image/image.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/pixels/color_convert.h"
#include "platform/video/display_device.h"

namespace {

constexpr const char* kUsage = "usage: picture-to-ppm [--depth 8|15|16|24|32] [--alpha PGM] INPUT OUTPUT\n";
constexpr const char* kHelp =
    "usage: picture-to-ppm [--depth 8|15|16|24|32] [--alpha PGM] INPUT OUTPUT\n"
    "\n"
    "Loads the picture INPUT through the layer's picture loader exactly as the game does (BMP,\n"
    "TGA, PCX, PSD, JPEG or PNG, recognised by the content, not the name) into a surface of the\n"
    "given depth and writes that surface as a binary PPM (P6) to OUTPUT. INPUT - reads the\n"
    "picture from standard input. Runs in memory: no window is opened.\n"
    "\n"
    "options:\n"
    "  --depth 8|15|16|24|32  the surface's bits per pixel (default 32); 8 bits through the\n"
    "                         fixed palette, 15 and 16 bits with 5- and 6-bit channels\n"
    "  --alpha PGM            also write the picture's alpha (a PNG's alpha channel or\n"
    "                         transparency, a 32-bit TGA's or a PSD's fourth channel) as a\n"
    "                         binary PGM (P5); 255 everywhere for a picture without alpha\n"
    "  -h, --help             this manual\n"
    "      --version          the program's version\n"
    "\n"
    "exit codes:\n"
    "  0  the PPM was written\n"
    "  1  the picture did not load: no such file, a file that cannot be read, or not a\n"
    "     picture the layer reads (one line on standard error says which)\n"
    "  2  bad arguments (with the usage line), or OUTPUT cannot be written\n"
    "\n"
    "environment: none; the depth is chosen with --depth.\n";

bool IsHelp(std::string_view argument) { return argument == "--help" || argument == "-h"; }
bool IsVersion(std::string_view argument) { return argument == "--version"; }

struct Arguments {
    int depth = 32;
    const char* input = nullptr;
    const char* output = nullptr;
    const char* alpha = nullptr;
};

bool ParseDepth(const char* text, int* depth) {
    for (const char* known : {"8", "15", "16", "24", "32"}) {
        if (std::strcmp(text, known) == 0) {
            *depth = std::stoi(known);
            return true;
        }
    }
    return false;
}

bool ParseArguments(int argc, char** argv, Arguments* args) {
    std::vector<const char*> names;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--depth") == 0) {
            if (i + 1 >= argc || !ParseDepth(argv[++i], &args->depth)) return false;
        } else if (std::strcmp(argv[i], "--alpha") == 0) {
            if (i + 1 >= argc || !*argv[i + 1]) return false;
            args->alpha = argv[++i];
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return false;
        } else {
            names.push_back(argv[i]);
        }
    }
    if (names.size() != 2 || !*names[0] || !*names[1]) return false;
    args->input = names[0];
    args->output = names[1];
    return true;
}

// The surface as P6: every pixel read back as colour (5/6-bit channels widened, 8-bit indexes
// through the fixed palette).
std::vector<unsigned char> ToPpm(const platform::DisplaySurface& surface) {
    const std::string header = "P6\n" + std::to_string(surface.Width()) + " " + std::to_string(surface.Height()) + "\n255\n";
    std::vector<unsigned char> out(header.begin(), header.end());
    out.reserve(out.size() + static_cast<std::size_t>(surface.Width()) * static_cast<std::size_t>(surface.Height()) * 3);
    for (std::int32_t y = 0; y < surface.Height(); ++y) {
        for (std::int32_t x = 0; x < surface.Width(); ++x) {
            const platform::COLORREF c = platform::ColorRefFromRaw(surface.PixelAt(x, y), surface.Format());
            out.push_back(platform::RedOf(c));
            out.push_back(platform::GreenOf(c));
            out.push_back(platform::BlueOf(c));
        }
    }
    return out;
}

// The alpha map (width x height bytes, or none: all opaque) as P5.
std::vector<unsigned char> ToPgm(std::int32_t width, std::int32_t height, const std::uint8_t* alpha) {
    const std::string header = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    std::vector<unsigned char> out(header.begin(), header.end());
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (alpha) {
        out.insert(out.end(), alpha, alpha + count);
    } else {
        out.insert(out.end(), count, 255);
    }
    return out;
}

// Standard input read whole, up to the loader's own limit on a file's size. False (errno set)
// when it cannot be read or holds more than a picture can.
bool ReadStandardInput(std::vector<std::uint8_t>* bytes) {
    std::uint8_t chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (bytes->size() + static_cast<std::size_t>(n) > media::kMaxPictureFileBytes) {
            errno = EFBIG;
            return false;
        }
        bytes->insert(bytes->end(), chunk, chunk + n);
    }
}

// Why a named file gave no picture: the file itself first (missing, not a file, unreadable),
// then what the loader said about its content.
std::string WhyNotLoaded(const char* path) {
    struct stat info {};
    if (::stat(path, &info) != 0) {
        return errno == ENOENT ? "no such file" : std::string("cannot be read: ") + std::strerror(errno);
    }
    if (S_ISDIR(info.st_mode)) return "is a directory, not a file";
    if (!S_ISREG(info.st_mode)) return "is not a regular file";
    if (::access(path, R_OK) != 0) return std::string("cannot be read: ") + std::strerror(errno);
    if (static_cast<std::uint64_t>(info.st_size) > media::kMaxPictureFileBytes) return "is larger than any picture the layer reads";
    return "";
}

// The content was read but gave no picture; the loader's own message, when it left one, says more.
std::string NotAPicture(const platform::headless::HeadlessBackend& host) {
    std::string why = "not a picture the layer reads";
    if (!host.DebugMessages().empty()) why += " (" + host.DebugMessages().back() + ")";
    return why;
}

bool WriteFile(const char* path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return true;
    // A half-written picture is removed; a device such as a full disk's stand-in is left alone.
    struct stat info {};
    if (::stat(path, &info) == 0 && S_ISREG(info.st_mode)) std::remove(path);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::any_of(argv + 1, argv + argc, IsHelp)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (std::any_of(argv + 1, argv + argc, IsVersion)) {
        std::printf("picture-to-ppm %s\n", MEDIA_VERSION);
        return 0;
    }
    Arguments args;
    if (!ParseArguments(argc, argv, &args)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    auto& host = platform::headless::Controls();
    host.SetDebugEcho(false);
    host.SetDesktop(1024, 768, args.depth);
    std::shared_ptr<platform::DisplayDevice> device;
    platform::DirectDrawCreate(nullptr, &device);
    media::Image image;
    const bool fromStandardInput = std::strcmp(args.input, "-") == 0;
    media::SurfacePtr surface;
    std::unique_ptr<std::uint8_t[]> alpha;
    std::string why;
    if (fromStandardInput) {
        std::vector<std::uint8_t> bytes;
        if (!ReadStandardInput(&bytes)) {
            why = std::string("cannot be read: ") + std::strerror(errno);
        } else {
            surface = args.alpha ? image.LoadMemoryWithAlpha(device.get(), bytes.size(), bytes.data(), media::MEMORY_ANY, &alpha)
                                 : image.LoadMemory(device.get(), bytes.size(), bytes.data(), media::MEMORY_ANY, media::IMAGE_NONE);
        }
    } else {
        surface = args.alpha ? image.LoadFileWithAlpha(device.get(), args.input, media::MEMORY_ANY, &alpha)
                             : image.LoadFile(device.get(), args.input, media::MEMORY_ANY, media::IMAGE_NONE);
        if (!surface) why = WhyNotLoaded(args.input);
    }
    if (!surface) {
        if (why.empty()) why = NotAPicture(host);
        std::fprintf(stderr, "picture-to-ppm: %s: %s\n", fromStandardInput ? "standard input" : args.input, why.c_str());
        return 1;
    }
    if (!WriteFile(args.output, ToPpm(*surface))) {
        std::fprintf(stderr, "picture-to-ppm: %s: cannot be written\n", args.output);
        return 2;
    }
    if (args.alpha && !WriteFile(args.alpha, ToPgm(surface->Width(), surface->Height(), alpha.get()))) {
        std::fprintf(stderr, "picture-to-ppm: %s: cannot be written\n", args.alpha);
        return 2;
    }
    return 0;
}
