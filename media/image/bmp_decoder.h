#pragma once
// BmpDecoder: Windows bitmap files. Uncompressed rows (1, 4, 8, 16, 24 and 32 bits) already have
// the device-independent layout and are drawn straight from the file's bytes; 8-bit run-length
// encoded files (RLE8) are expanded first; 16- and 32-bit bit-field files with the usual masks
// are drawn through their masks. Only bottom-up files are read (a negative height gives null).
#include <cstdint>
#include <memory>

#include "media/core/byte_reader.h"
#include "media/image/image_decoder.h"

namespace media {

class BmpDecoder final : public ImageDecoder {
public:
    struct FileHeader {
        std::uint16_t type = 0;
        std::uint32_t fileSize = 0;
        std::uint16_t reserved1 = 0, reserved2 = 0;
        std::uint32_t pixelOffset = 0;
    };

    // 1 when the data starts with "BM".
    std::int32_t CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t* tail,
                         std::size_t tailCount) override;
    SurfacePtr Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data,
                      std::int32_t placement) override;

private:
    // How the pixel data is stored, from compression and bit count: rows drawn as they are,
    // RLE8 to expand, a compression that is not decoded (a blank surface), or a file that ends
    // before its bit-field masks (null).
    enum class Storage { Rows, Rle8, Blank, Truncated };

    bool ReadHeaders(ByteReader& reader);
    Storage ChooseStorage(ByteReader& reader);
    bool ReadColorTable(ByteReader& reader);
    // Expands the RLE8 stream at the pixel offset into the pixel buffer; false for a stream cut
    // off inside a command.
    bool ExpandRle8(ByteReader& reader);

    FileHeader fileHeader_;
    platform::BitmapInfoHeader infoHeader_;
    // The description the pixels are drawn with: the header, the colour entries (padded to 256
    // with zeros) or the bit-field masks.
    std::unique_ptr<platform::BitmapInfo> ownInfo_;
    std::uint32_t colorCount_ = 0;
};

}  // namespace media
