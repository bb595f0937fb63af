#include "media/image/image.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>

#include "media/core/file_reader.h"
#include "media/image/bmp_decoder.h"
#include "media/image/pcx_decoder.h"
#ifdef MEDIA_WITHOUT_JPEG_PNG
#include "media/image/stb_image_decoder.h"
#else
#include "media/image/jpeg_decoder.h"
#include "media/image/png_decoder.h"
#endif
#include "media/image/psd_decoder.h"
#include "media/image/tga_decoder.h"
#include "platform/core/system.h"

namespace media {

namespace {

struct DecoderEntry {
    std::uint32_t type;
    std::unique_ptr<ImageDecoder> (*make)();
};

template <class Decoder>
std::unique_ptr<ImageDecoder> Make() {
    return std::unique_ptr<ImageDecoder>(new (std::nothrow) Decoder());
}

// Every decoder, in the fixed detection order TGA, BMP, PSD, PCX, JPEG, PNG. TGA comes first
// because its signature sits at the end of the file: a TGA file that happens to start with "BM"
// is still a TGA file. PNG, the newest, comes last, so no file the first five recognised changes
// decoder. A new decoder is its file pair and one line here, in its place in that order.
constexpr DecoderEntry kDecoders[] = {
    {IMAGE_TGA, &Make<TgaDecoder>},
    {IMAGE_BMP, &Make<BmpDecoder>},
    {IMAGE_PSD, &Make<PsdDecoder>},
    {IMAGE_PCX, &Make<PcxDecoder>},
#ifdef MEDIA_WITHOUT_JPEG_PNG
    // The browser build: stb_image where the system libraries are absent.
    {IMAGE_JPG, &Make<StbImageDecoder<IMAGE_JPG>>},
    {IMAGE_PNG, &Make<StbImageDecoder<IMAGE_PNG>>},
#else
    {IMAGE_JPG, &Make<JpegDecoder>},
    {IMAGE_PNG, &Make<PngDecoder>},
#endif
};

const DecoderEntry* EntryOf(std::uint32_t type) {
    const auto it = std::find_if(std::begin(kDecoders), std::end(kDecoders), [&](const DecoderEntry& e) { return e.type == type; });
    return it == std::end(kDecoders) ? nullptr : &*it;
}

}  // namespace

Image::~Image() = default;

SurfacePtr Image::LoadFile(platform::DisplayDevice* device, const char* name, std::int32_t placement, std::uint32_t type) {
    return Read(device, name, placement, type, nullptr);
}

SurfacePtr Image::LoadFileWithAlpha(platform::DisplayDevice* device, const char* name, std::int32_t placement,
                                    std::unique_ptr<std::uint8_t[]>* alpha) {
    if (alpha) alpha->reset();
    return Read(device, name, placement, IMAGE_NONE, alpha);
}

SurfacePtr Image::Read(platform::DisplayDevice* device, const char* name, std::int32_t placement, std::uint32_t type,
                       std::unique_ptr<std::uint8_t[]>* alpha) {
    FileReader file;
    if (file.OpenRead(name) != 0) return nullptr;
    const std::uint64_t size = file.GetSize();
    if (size > kMaxPictureFileBytes) return nullptr;
    const auto count = static_cast<std::size_t>(size);
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[count ? count : 1]);
    if (!buffer) return nullptr;
    if (file.Read(buffer.get(), size) != size) return nullptr;
    file.Close();
    return Decode(device, count, buffer.get(), placement, type, alpha);
}

SurfacePtr Image::LoadMemory(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement,
                             std::uint32_t type) {
    return Decode(device, size, data, placement, type, nullptr);
}

SurfacePtr Image::LoadMemoryWithAlpha(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data,
                                      std::int32_t placement, std::unique_ptr<std::uint8_t[]>* alpha) {
    if (alpha) alpha->reset();
    return Decode(device, size, data, placement, IMAGE_NONE, alpha);
}

SurfacePtr Image::Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement,
                         std::uint32_t type, std::unique_ptr<std::uint8_t[]>* alpha) {
    if (!data && size) return nullptr;
    if (type == IMAGE_NONE) type = DetectType(size, data);
    if (type == IMAGE_NONE) {
        platform::OutputDebugString(kUnsupportedImageMessage);
        return nullptr;
    }
    const DecoderEntry* entry = EntryOf(type);
    if (!entry) return nullptr;
    const std::unique_ptr<ImageDecoder> decoder = entry->make();
    if (!decoder) return nullptr;
    if (alpha) decoder->KeepAlpha();
    SurfacePtr surface = decoder->Decode(device, size, data, placement);
    if (alpha && surface) *alpha = decoder->TakeAlphaMap();
    return surface;
}

std::uint32_t Image::DetectType(std::size_t size, const std::uint8_t* data) {
    if (!data) return IMAGE_NONE;
    const std::size_t headCount = std::min(size, ImageDecoder::kHeadBytes);
    const std::size_t tailCount = std::min(size, ImageDecoder::kTailBytes);
    for (const DecoderEntry& entry : kDecoders) {
        const std::unique_ptr<ImageDecoder> decoder = entry.make();
        if (decoder && decoder->CanRead(data, headCount, data + size - tailCount, tailCount) == 1) return entry.type;
    }
    return IMAGE_NONE;
}

}  // namespace media
