#pragma once
// Image: reads a picture file whole, recognises its format by content (never by name), hands the
// bytes to that format's decoder and returns the new surface the decoder filled. Unrecognised
// content is the one failure that leaves a message, on the debugger output.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "image_decoder.h"
#include "../core/surface_placement.h"

namespace media {

/// The debugger-output message for content no decoder recognises.
inline constexpr const char* kUnsupportedImageMessage = "Error: Image - Unsupported Image type.";

/// Files larger than this are refused before anything is read: no picture the decoders accept
/// needs more (2^26 pixels of 32 bits are 256 MiB), and the buffer is allocated whole.
inline constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{1} << 30;

/// The picture loader: finds a file's format by its content and decodes it into a new surface
/// (LoadFile, LoadMemory). Holds no state; the surfaces it returns belong to the caller.
class Image {
public:
    Image() = default;
    virtual ~Image();

    /// A new surface holding the picture in the named file, or null (missing, unreadable or too
    /// large file, unrecognised content, a decoder that refuses the file). type IMAGE_NONE detects
    /// the format.
    SurfacePtr LoadFile(platform::DisplayDevice* device, const char* name, std::int32_t placement,
                        std::uint32_t type = IMAGE_NONE);
    /// The same for size bytes in memory. A known type code skips detection and its signature
    /// check; a code above IMAGE_PNG gives null without a message.
    SurfacePtr LoadMemory(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data,
                          std::int32_t placement, std::uint32_t type = IMAGE_NONE);
    /// As LoadFile with type IMAGE_NONE, also keeping the picture's alpha (ImageDecoder::KeepAlpha):
    /// *alpha gets its alpha map, or null when the picture has none or no surface is returned.
    SurfacePtr LoadFileWithAlpha(platform::DisplayDevice* device, const char* name, std::int32_t placement,
                                 std::unique_ptr<std::uint8_t[]>* alpha);
    /// The same for size bytes in memory.
    SurfacePtr LoadMemoryWithAlpha(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement,
                                   std::unique_ptr<std::uint8_t[]>* alpha);
    /// The type code of the first decoder, in the fixed detection order, whose signature the data
    /// carries; IMAGE_NONE when none does.
    std::uint32_t DetectType(std::size_t size, const std::uint8_t* data);

private:
    SurfacePtr Read(platform::DisplayDevice* device, const char* name, std::int32_t placement, std::uint32_t type,
                    std::unique_ptr<std::uint8_t[]>* alpha);
    SurfacePtr Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement,
                      std::uint32_t type, std::unique_ptr<std::uint8_t[]>* alpha);
};

}  // namespace media
