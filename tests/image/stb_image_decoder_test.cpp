// The browser build's PNG and JPEG decoders (stb_image) against the native ones on the same
// files: PNG pixel for pixel with the same alpha maps, over every colour type, bit depth and
// interlacing, with and without transparency chunks; JPEG within 2 per channel of libjpeg-turbo.
#include <cstdlib>

#include "media/image/stb_image_decoder.h"
#include "tests/image/decoder_test.h"

namespace {

using picture_files::Bytes;

class StbImageDecoderTest : public DecoderTest {
protected:
    // The picture the stb_image decoder makes of the bytes, its alpha kept.
    template <std::uint32_t Type>
    std::optional<Picture> LoadWithStb(const Bytes& bytes) {
        media::StbImageDecoder<Type> decoder;
        decoder.KeepAlpha();
        std::optional<Picture> picture = Read(decoder.Decode(device.get(), bytes.size(), bytes.data(), media::MEMORY_SYSTEM));
        const std::unique_ptr<std::uint8_t[]> map = decoder.TakeAlphaMap();
        if (picture && map) picture->alpha.assign(map.get(), map.get() + picture->width * picture->height);
        return picture;
    }
};

// Samples that differ by place and channel, so a shifted row or swapped channel shows.
unsigned Sample(int x, int y, int c, int bits) {
    const auto h = static_cast<std::uint32_t>(x * 73856093 ^ y * 19349663 ^ (c + 1) * 83492791);
    return (h ^ (h >> 13)) & ((1u << bits) - 1);
}

TEST_F(StbImageDecoderTest, PngMatchesTheNativeDecoderPixelForPixel) {
    struct Kind {
        std::uint8_t colorType;
        int channels;
        std::vector<std::uint8_t> depths;
    };
    const Kind kinds[] = {{0, 1, {1, 2, 4, 8, 16}}, {2, 3, {8, 16}}, {3, 1, {1, 2, 4, 8}}, {4, 2, {8, 16}}, {6, 4, {8, 16}}};
    for (const Kind& kind : kinds) {
        for (const std::uint8_t depth : kind.depths) {
            for (const bool interlaced : {false, true}) {
                for (const bool trns : {false, true}) {
                    if (trns && (kind.colorType == 4 || kind.colorType == 6)) continue;  // they carry alpha already
                    SCOPED_TRACE(testing::Message() << "type " << int{kind.colorType} << ", " << int{depth} << " bits"
                                                    << (interlaced ? ", interlaced" : "") << (trns ? ", tRNS" : ""));
                    picture_files::Png png;
                    png.width = 13, png.height = 7, png.colorType = kind.colorType, png.bitDepth = depth, png.interlaced = interlaced;
                    const int bits = depth;
                    for (std::uint32_t y = 0; y < png.height; ++y) {
                        Bytes row;
                        unsigned acc = 0;
                        int filled = 0;
                        for (std::uint32_t x = 0; x < png.width; ++x) {
                            for (int c = 0; c < kind.channels; ++c) {
                                const unsigned v = Sample(static_cast<int>(x), static_cast<int>(y), c, bits);
                                if (depth == 16) {
                                    const auto word = static_cast<std::uint16_t>(v);
                                    row.resize(row.size() + 2);
                                    std::memcpy(row.data() + row.size() - 2, &word, 2);
                                } else if (depth == 8) {
                                    row.push_back(static_cast<std::uint8_t>(v));
                                } else {
                                    acc = (acc << depth) | v, filled += depth;
                                    if (filled == 8) row.push_back(static_cast<std::uint8_t>(acc)), acc = 0, filled = 0;
                                }
                            }
                        }
                        if (filled) row.push_back(static_cast<std::uint8_t>(acc << (8 - filled)));
                        picture_files::Append(png.samples, row);
                    }
                    if (kind.colorType == 3) {
                        for (int i = 0; i < (1 << depth); ++i) png.palette.insert(png.palette.end(), {static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(200 - i), static_cast<std::uint8_t>(i * 11)});
                    }
                    if (trns) {
                        // The colour of pixel (0, 0) transparent (grey and RGB), or palette entries 0 and 1 at 0 and 100.
                        if (kind.colorType == 3) {
                            png.trns = {0, 100};
                        } else {
                            for (int c = 0; c < kind.channels; ++c) {
                                const unsigned v = Sample(0, 0, c, bits);
                                png.trns.push_back(static_cast<std::uint8_t>(v >> 8));
                                png.trns.push_back(static_cast<std::uint8_t>(v));
                            }
                        }
                    }
                    const Bytes file = picture_files::PngFile(png);
                    ASSERT_FALSE(file.empty());
                    const auto native = LoadWithAlpha(file);
                    const auto stb = LoadWithStb<media::IMAGE_PNG>(file);
                    ASSERT_TRUE(native.has_value());
                    ASSERT_TRUE(stb.has_value());
                    EXPECT_EQ(stb->colors, native->colors);
                    EXPECT_EQ(stb->alpha, native->alpha);
                }
            }
        }
    }
}

TEST_F(StbImageDecoderTest, JpegIsWithinTwoOfLibjpegTurbo) {
    const Bytes scene = picture_files::TestScene(96, 64, 27);
    for (const bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        picture_files::JpegOptions options;
        options.progressive = progressive;
        const Bytes file = picture_files::JpegFile(scene.data(), 96, 64, 3, options);
        const Bytes reference = picture_files::JpegLibraryRgb(file);
        const auto stb = LoadWithStb<media::IMAGE_JPG>(file);
        ASSERT_TRUE(stb.has_value());
        ASSERT_EQ(stb->colors.size(), reference.size() / 3);
        int worst = 0;
        for (std::size_t i = 0; i < stb->colors.size(); ++i) {
            const platform::COLORREF c = stb->colors[i];
            worst = std::max({worst, std::abs(platform::RedOf(c) - reference[3 * i]), std::abs(platform::GreenOf(c) - reference[3 * i + 1]),
                              std::abs(platform::BlueOf(c) - reference[3 * i + 2])});
        }
        EXPECT_LE(worst, 2);
        EXPECT_TRUE(stb->alpha.empty());
    }
}

TEST_F(StbImageDecoderTest, DamagedFilesAndHugeSizesGiveNothing) {
    picture_files::Png png;
    png.width = 4, png.samples.assign(12, 9);
    Bytes file = picture_files::PngFile(png);
    Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(file.size() / 2));
    EXPECT_FALSE(LoadWithStb<media::IMAGE_PNG>(cut).has_value());
    // A header claiming 20000 x 20000 pixels: refused before anything is decoded.
    const std::size_t ihdr = picture_files::FindPngChunk(file, "IHDR") + 8;
    for (int k = 0; k < 2; ++k) {
        file[ihdr + 4 * k] = 0, file[ihdr + 4 * k + 1] = 0, file[ihdr + 4 * k + 2] = 0x4E, file[ihdr + 4 * k + 3] = 0x20;
    }
    picture_files::FixPngCrcs(file);
    EXPECT_FALSE(LoadWithStb<media::IMAGE_PNG>(file).has_value());
}

}  // namespace
