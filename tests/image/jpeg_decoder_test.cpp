#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "tests/image/decoder_test.h"

namespace {

using picture_files::Bytes;
using picture_files::JpegFile;
using picture_files::JpegOptions;

class JpegDecoderTest : public DecoderTest {};

// The library's own decode of a good file with its default settings, as COLORREFs: what the
// loader must put into the surface, pixel for pixel.
std::vector<platform::COLORREF> LibraryDecode(const Bytes& file) {
    const Bytes rgb = picture_files::JpegLibraryRgb(file);
    std::vector<platform::COLORREF> out;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) out.push_back(Rgb(rgb[i], rgb[i + 1], rgb[i + 2]));
    return out;
}

Bytes GreyScene(int width, int height) {
    const Bytes rgb = picture_files::TestScene(width, height, 3);
    Bytes grey;
    for (std::size_t i = 0; i < rgb.size(); i += 3) grey.push_back(rgb[i + 1]);
    return grey;
}

TEST_F(JpegDecoderTest, LoadsUprightAtItsSizeAsTheLibraryDecodesIt) {
    constexpr int kWidth = 37, kHeight = 23;  // not multiples of the 8x8 or 16x16 blocks
    const Bytes scene = picture_files::TestScene(kWidth, kHeight, 1);
    const Bytes grey = GreyScene(kWidth, kHeight);
    struct Case {
        const char* name;
        Bytes file;
    };
    JpegOptions progressive;
    progressive.progressive = true;
    const Case cases[] = {
        {"baseline", JpegFile(scene.data(), kWidth, kHeight, 3, {})},
        {"progressive", JpegFile(scene.data(), kWidth, kHeight, 3, progressive)},
        {"greyscale", JpegFile(grey.data(), kWidth, kHeight, 1, {})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Detect(c.file), media::IMAGE_JPG);
        const auto picture = Load(c.file);
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(picture->width, kWidth);
        EXPECT_EQ(picture->height, kHeight);
        EXPECT_EQ(picture->colors, LibraryDecode(c.file));
    }
}

TEST_F(JpegDecoderTest, ExifFirstIsNotDetectedButLoadsWhenAskedFor) {
    const Bytes scene = picture_files::TestScene(20, 10, 2);
    JpegOptions exif;
    exif.exif = true;
    const Bytes file = JpegFile(scene.data(), 20, 10, 3, exif);
    ASSERT_EQ(file[3], 0xE1);
    EXPECT_EQ(Detect(file), media::IMAGE_NONE);
    EXPECT_FALSE(Load(file).has_value());
    const auto picture = Load(file, media::IMAGE_JPG);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->colors, LibraryDecode(file));
}

TEST_F(JpegDecoderTest, DamagedOrTruncatedFilesGiveNoSurface) {
    const Bytes scene = picture_files::TestScene(48, 32, 4);
    JpegOptions progressive;
    progressive.progressive = true;
    for (const Bytes& file : {JpegFile(scene.data(), 48, 32, 3, {}), JpegFile(scene.data(), 48, 32, 3, progressive)}) {
        // Cut anywhere from inside the header to just before the end-of-image marker.
        for (std::size_t keep : {std::size_t{11}, std::size_t{200}, file.size() / 2, file.size() - 2}) {
            SCOPED_TRACE(testing::Message() << "kept " << keep << " of " << file.size());
            const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(keep));
            EXPECT_FALSE(Load(cut).has_value());
        }
    }
    // Not a JPEG behind a JFIF-looking start.
    Bytes fake = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0, 0x12, 0x34};
    EXPECT_EQ(Detect(fake), media::IMAGE_JPG);
    EXPECT_FALSE(Load(fake).has_value());
    EXPECT_FALSE(Load(Bytes{}, media::IMAGE_JPG).has_value());
}

TEST_F(JpegDecoderTest, CorruptEntropyDataGivesNoSurfaceAndNeverEndsTheProcess) {
    const Bytes scene = picture_files::TestScene(64, 48, 5);
    const Bytes file = JpegFile(scene.data(), 64, 48, 3, {});
    // Markers inside the entropy-coded data are what libjpeg reports as corrupt: a stray RST
    // marker, or a byte run of 0xFF.
    std::size_t scanStart = 0;
    for (std::size_t i = 0; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xDA) scanStart = i + 2 + (file[i + 2] << 8 | file[i + 3]);
    }
    ASSERT_GT(scanStart, 0u);
    Bytes broken = file;
    broken[scanStart + 40] = 0xFF;
    broken[scanStart + 41] = 0xD3;
    EXPECT_FALSE(Load(broken).has_value());

    // Seeded random damage: whatever the library makes of it, the loader returns (a picture or
    // nothing) and the process goes on.
    for (const int iteration : TestIterations(40)) {
        SCOPED_TRACE(testing::Message() << "iteration " << iteration);
        std::mt19937 random(IterationSeed(72, iteration));
        Bytes damaged = file;
        for (int k = 0; k < 4; ++k) damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        const auto picture = Load(damaged, media::IMAGE_JPG);
        if (picture) {
            EXPECT_EQ(picture->colors.size(), static_cast<std::size_t>(picture->width * picture->height));
        }
    }
}

// Bytes that are not a marker between two segments (cameras and editors leave them before the
// end-of-image marker, or between header segments) are skipped with a warning: the picture loads
// as it would without them.
TEST_F(JpegDecoderTest, JunkBytesBeforeAMarkerAreSkipped) {
    const Bytes scene = picture_files::TestScene(40, 24, 7);
    JpegOptions progressive;
    progressive.progressive = true;
    const Bytes junk = {0x00, 0x12, 0x34, 0x56, 0x00, 0x7F};
    const struct {
        const char* name;
        std::uint8_t before;  // the marker the junk goes in front of
        bool progressive;
    } cases[] = {
        {"before the end of the picture", 0xD9, false},
        {"before the frame header", 0xC0, false},
        {"before the first scan", 0xDA, false},
        {"between two progressive scans", 0xC4, true},
        {"before the end of a progressive picture", 0xD9, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = JpegFile(scene.data(), 40, 24, 3, c.progressive ? progressive : JpegOptions{});
        // The last such marker, so that a progressive picture's later scans are reached.
        std::size_t at = 0;
        for (std::size_t i = 2; i + 1 < file.size(); ++i)
            if (file[i] == 0xFF && file[i + 1] == c.before) at = i;
        ASSERT_GT(at, 0u);
        Bytes withJunk(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(at));
        withJunk.insert(withJunk.end(), junk.begin(), junk.end());
        withJunk.insert(withJunk.end(), file.begin() + static_cast<std::ptrdiff_t>(at), file.end());
        const auto picture = Load(withJunk);
        EXPECT_TRUE(picture.has_value());
        if (picture) {
            EXPECT_EQ(picture->colors, LibraryDecode(file));
        }
    }
}

TEST_F(JpegDecoderTest, RefusesPicturesAboveTheSizeLimit) {
    // A header claiming 16385 x 8: refused before anything is decoded.
    const Bytes scene = picture_files::TestScene(8, 8, 6);
    Bytes file = JpegFile(scene.data(), 8, 8, 3, {});
    for (std::size_t i = 0; i + 8 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 7] = 0x40;  // width high byte: 0x4001
            file[i + 8] = 0x01;
            break;
        }
    }
    EXPECT_FALSE(Load(file).has_value());
}

}  // namespace
