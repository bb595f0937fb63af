// picture-to-ppm: loads a picture through the layer's loader exactly as the program does
// (format by content, placement MEMORY_ANY) into a surface of the chosen depth on the headless
// backend, and writes that surface as a binary PPM. Exit 0 on success, 1 when the loader gives
// nothing, 2 for bad arguments or an output that cannot be written.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "media/display/pixel_surface.h"
#include "media/image/image.h"
#include "platform/pixels/color_convert.h"
#include "platform/video/display_device.h"
#include "platform/backends/headless/headless_backend.h"

namespace {

constexpr const char* kUsage = "usage: picture-to-ppm [--depth 8|15|16|24|32] INPUT OUTPUT\n";

struct Arguments {
    int depth = 32;
    const char* input = nullptr;
    const char* output = nullptr;
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
    const media::SurfacePtr surface = image.LoadFile(device.get(), args.input, media::MEMORY_ANY, media::IMAGE_NONE);
    if (!surface) {
        const std::string why = host.DebugMessages().empty() ? "cannot be read or is not a picture the loader decodes"
                                                              : host.DebugMessages().back();
        std::fprintf(stderr, "picture-to-ppm: %s: %s\n", args.input, why.c_str());
        return 1;
    }
    if (!WriteFile(args.output, ToPpm(*surface))) {
        std::fprintf(stderr, "picture-to-ppm: %s: cannot be written\n", args.output);
        return 2;
    }
    return 0;
}
