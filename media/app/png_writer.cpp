#include "media/app/png_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#ifdef MEDIA_WITHOUT_JPEG_PNG
// The browser build has no libspng: stb_image_write (libstb-dev, header only) encodes there.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#else
#include <spng.h>
#endif

#include "media/display/pixel_surface.h"
#include "platform/core/system.h"
#include "platform/pixels/color_convert.h"

namespace media {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Writes the bytes whole and closes the file before success is reported: a full disk shows at the
// close too.
Status WriteFile(const std::string& name, const char* path, const void* bytes, std::size_t size) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "wb"));
    if (!file) return {ErrorCode::NotFound, name + "the file could not be created"};
    const bool written = std::fwrite(bytes, 1, size, file.get()) == size;
    if (std::fclose(file.release()) != 0 || !written) return {ErrorCode::Failed, name + "the file could not be written in full"};
    return {};
}

#ifdef MEDIA_WITHOUT_JPEG_PNG

// Collects the encoder's output in memory.
void Collect(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

Status Encode(const std::string& name, const char* path, const std::vector<std::uint8_t>& samples, std::int32_t width, std::int32_t height,
              int channels) {
    std::vector<std::uint8_t> png;
    if (!stbi_write_png_to_func(Collect, &png, width, height, channels, samples.data(), width * channels)) {
        return {ErrorCode::Failed, name + "the PNG encoder failed"};
    }
    return WriteFile(name, path, png.data(), png.size());
}

#else

struct EncoderDeleter {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};

Status Encode(const std::string& name, const char* path, const std::vector<std::uint8_t>& samples, std::int32_t width, std::int32_t height,
              int channels) {
    const std::unique_ptr<spng_ctx, EncoderDeleter> ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx) return {ErrorCode::Failed, name + "out of memory"};
    spng_ihdr header{};
    header.width = static_cast<std::uint32_t>(width);
    header.height = static_cast<std::uint32_t>(height);
    header.bit_depth = 8;
    header.color_type = channels == 4 ? SPNG_COLOR_TYPE_TRUECOLOR_ALPHA : SPNG_COLOR_TYPE_TRUECOLOR;
    std::size_t size = 0;
    int error = spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);
    if (!error) error = spng_set_ihdr(ctx.get(), &header);
    if (!error) error = spng_encode_image(ctx.get(), samples.data(), samples.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    const std::unique_ptr<void, decltype(&std::free)> png(error ? nullptr : spng_get_png_buffer(ctx.get(), &size, &error), &std::free);
    if (!png || error) return {ErrorCode::Failed, name + "the PNG encoder failed (" + spng_strerror(error) + ")"};
    return WriteFile(name, path, png.get(), size);
}

#endif

}  // namespace

Status WritePng(PixelSurface& surface, std::int32_t width, std::int32_t height, const std::uint8_t* alpha, const char* path) {
    if (!path) return {ErrorCode::InvalidArgument, "cannot write a picture: no file name (null)"};
    const std::string name = std::string("cannot write '") + path + "': ";
    if (!surface.Surface()) return {ErrorCode::NotOpen, name + "there are no pixels to write"};
    width = std::min(width, surface.Width());
    height = std::min(height, surface.Height());
    if (width <= 0 || height <= 0) return {ErrorCode::InvalidArgument, name + "there are no pixels to write"};

    // The samples, row by row: red, green, blue and, with a map, alpha.
    const int channels = alpha ? 4 : 3;
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * channels);
    if (surface.LockForReading() < 0) return {ErrorCode::Failed, name + "the pixels could not be locked (display lost?)"};
    const platform::PixelFormatDesc& format = surface.Surface()->Format();
    std::uint8_t* out = samples.data();
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x, out += channels) {
            const platform::COLORREF c = platform::ColorRefFromRaw(surface.GetPixel(x, y), format);
            out[0] = platform::RedOf(c);
            out[1] = platform::GreenOf(c);
            out[2] = platform::BlueOf(c);
            if (alpha) out[3] = alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(surface.Width()) + static_cast<std::size_t>(x)];
        }
    }
    surface.Unlock();

    const Status written = Encode(name, path, samples, width, height, channels);
    if (written) platform::FileWritten(path);
    return written;
}

}  // namespace media
