#include "media/image/stb_image_decoder.h"

#include <cstring>
#include <memory>

// Only what the two formats need, with every function kept inside this file.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace media {

namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

struct StbFree {
    void operator()(void* p) const { stbi_image_free(p); }
};

// A 16-bit channel to the nearest 8-bit value, as the native PNG decoder rounds it.
inline std::uint8_t Narrow16(unsigned v) { return static_cast<std::uint8_t>((v * 255u + 32895u) >> 16); }

// Whether a PNG carries alpha as the native decoder sees it: a colour type with an alpha channel
// (grey + alpha, RGBA), or a tRNS chunk before the pixel data. The chunks are walked by their
// lengths, never past the data.
bool PngHasAlpha(const std::uint8_t* data, std::size_t size) {
    if (size < 33) return false;
    if (data[25] == 4 || data[25] == 6) return true;
    for (std::size_t at = 8; size - at >= 12;) {
        const std::size_t length = (std::size_t{data[at]} << 24) | (std::size_t{data[at + 1]} << 16) | (std::size_t{data[at + 2]} << 8) | data[at + 3];
        const std::uint8_t* type = data + at + 4;
        if (std::memcmp(type, "tRNS", 4) == 0) return true;
        if (std::memcmp(type, "IDAT", 4) == 0 || length > size - at - 12) return false;
        at += 12 + length;
    }
    return false;
}

}  // namespace

template <std::uint32_t Type>
std::int32_t StbImageDecoder<Type>::CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t*, std::size_t) {
    if constexpr (Type == IMAGE_PNG) {
        return headCount >= sizeof kPngSignature && std::memcmp(head, kPngSignature, sizeof kPngSignature) == 0 ? 1 : 0;
    } else {
        // The native decoder's signature: JFIF files.
        return headCount >= 10 && head[0] == 0xFF && head[2] == 0xFF && std::memcmp(head + 6, "JFIF", 4) == 0 ? 1 : 0;
    }
}

template <std::uint32_t Type>
SurfacePtr StbImageDecoder<Type>::Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement) {
    if (!data || size == 0 || size > static_cast<std::size_t>(INT32_MAX)) return nullptr;
    const int length = static_cast<int>(size);
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, length, &width, &height, &channels) || !PictureSizeAllowed(width, height)) return nullptr;
    const bool sixteen = Type == IMAGE_PNG && stbi_is_16_bit_from_memory(data, length);
    const bool alpha = Type == IMAGE_PNG && keepAlpha_ && PngHasAlpha(data, size);
    int w = 0, h = 0, n = 0;
    std::unique_ptr<void, StbFree> decoded(sixteen ? static_cast<void*>(stbi_load_16_from_memory(data, length, &w, &h, &n, 4))
                                                   : static_cast<void*>(stbi_load_from_memory(data, length, &w, &h, &n, 4)));
    if (!decoded || w != width || h != height) return nullptr;
    topDown_ = 1;
    if (!AllocPixels(width, height, 32)) return nullptr;
    if (alpha && !AllocAlphaMap()) return nullptr;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::uint8_t* out = pixels_.get();
    for (std::size_t i = 0; i < count; ++i, out += 4) {
        std::uint8_t rgba[4];
        if (sixteen) {
            const auto* in = static_cast<const std::uint16_t*>(decoded.get()) + 4 * i;
            for (int c = 0; c < 4; ++c) rgba[c] = Narrow16(in[c]);
        } else {
            std::memcpy(rgba, static_cast<const std::uint8_t*>(decoded.get()) + 4 * i, 4);
        }
        out[0] = rgba[2], out[1] = rgba[1], out[2] = rgba[0], out[3] = 0;
        if (alpha) alphaMap_[i] = rgba[3];
    }
    if (!CreateDDSurface(device, placement)) return nullptr;
    BuildBitmapInfo();
    return TransferToSurface();
}

template class StbImageDecoder<IMAGE_PNG>;
template class StbImageDecoder<IMAGE_JPG>;

}  // namespace media
