// The picture formats after BMP side by side: the same scene in each, loaded
// into every desktop depth, and what happens when the display refuses the surface or its drawing.
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "tests/image/decoder_test.h"

namespace {

using picture_files::Bytes;

constexpr int kWidth = 45, kHeight = 7;  // odd: rows of every format need padding or tails

class PictureFormatsTest : public DecoderTest {};

// The scene as blue, green, red bytes per pixel.
Bytes SceneBgr(const Bytes& rgb) {
    Bytes bgr = rgb;
    for (std::size_t i = 0; i < bgr.size(); i += 3) std::swap(bgr[i], bgr[i + 2]);
    return bgr;
}

struct FormatFile {
    const char* name;
    std::uint32_t type;
    Bytes file;
};

std::vector<FormatFile> LosslessFiles(const Bytes& rgb) {
    const Bytes bgr = SceneBgr(rgb);
    picture_files::Tga tga;
    tga.imageType = 10;
    tga.width = kWidth;
    tga.height = kHeight;
    tga.descriptor = 0x20;
    tga.pixelData = picture_files::TgaRle(bgr.data(), kWidth * kHeight, 3, kWidth);

    std::vector<Bytes> planes(3, Bytes(kWidth * kHeight));
    for (std::size_t i = 0; i < planes[0].size(); ++i) {
        for (std::size_t c = 0; c < 3; ++c) planes[c][i] = rgb[i * 3 + c];
    }
    // With an alpha channel, which plays no part in what the surface shows.
    std::vector<Bytes> withAlpha = planes;
    withAlpha.push_back(Bytes(kWidth * kHeight, 0x80));
    picture_files::Psd psd;
    psd.channels = 4;
    psd.width = kWidth;
    psd.height = kHeight;
    psd.compression = 1;
    psd.imageData = picture_files::PsdPackBitsImage(withAlpha, kWidth, kHeight);

    picture_files::Pcx pcx;
    pcx.planes = 3;
    pcx.xMax = kWidth - 1;
    pcx.yMax = kHeight - 1;
    pcx.bytesPerLine = kWidth + 1;
    for (int y = 0; y < kHeight; ++y) {
        for (const Bytes& plane : planes) {
            Bytes line(plane.begin() + y * kWidth, plane.begin() + (y + 1) * kWidth);
            line.push_back(0);
            picture_files::Append(pcx.scanData, picture_files::PcxEncodeLine(line.data(), line.size()));
        }
    }
    picture_files::Png png;
    png.width = kWidth;
    png.height = kHeight;
    png.samples = rgb;
    // The scene in 16-bit channels, each a little above its 8-bit value times 257: rounded to the
    // nearest 8-bit value it is the scene again (cut to its high byte it would not be).
    picture_files::Png deep = png;
    deep.bitDepth = 16;
    deep.interlaced = true;
    deep.samples.clear();
    for (const std::uint8_t c : rgb) {
        const auto word = static_cast<std::uint16_t>(c * 257 + (c < 255 ? 100 : 0));
        std::uint8_t bytes[2];
        std::memcpy(bytes, &word, 2);
        deep.samples.insert(deep.samples.end(), bytes, bytes + 2);
    }
    return {{"TGA", media::IMAGE_TGA, picture_files::TgaFile(tga)},
            {"PSD", media::IMAGE_PSD, picture_files::PsdFile(psd)},
            {"PCX", media::IMAGE_PCX, picture_files::PcxFile(pcx)},
            {"PNG", media::IMAGE_PNG, picture_files::PngFile(png)},
            {"PNG 16-bit interlaced", media::IMAGE_PNG, picture_files::PngFile(deep)}};
}

// Every pixel of the surface holds the raw value of the expected colour in the surface's format.
void ExpectRawPixels(const platform::DisplaySurface& surface, const Bytes& rgb) {
    ASSERT_EQ(surface.Width(), kWidth);
    ASSERT_EQ(surface.Height(), kHeight);
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < kWidth; ++x) {
            const std::uint8_t* p = &rgb[static_cast<std::size_t>((y * kWidth + x) * 3)];
            ASSERT_EQ(surface.PixelAt(x, y), platform::RawFromRgb(p[0], p[1], p[2], surface.Format())) << "at " << x << ", " << y;
        }
    }
}

TEST_F(PictureFormatsTest, EveryFormatLoadsIntoEveryDesktopDepth) {
    const Bytes rgb = picture_files::TestScene(kWidth, kHeight, 21);
    std::vector<FormatFile> files = LosslessFiles(rgb);
    const Bytes jpeg = picture_files::JpegFile(rgb.data(), kWidth, kHeight, 3, {});
    files.push_back({"JPEG", media::IMAGE_JPG, jpeg});
    const Bytes jpegRgb = picture_files::JpegLibraryRgb(jpeg);
    for (int depth : {8, 15, 16, 24, 32}) {
        host.SetDesktop(1024, 768, depth);
        for (const FormatFile& f : files) {
            SCOPED_TRACE(testing::Message() << f.name << " at depth " << depth);
            media::Image image;
            EXPECT_EQ(image.DetectType(f.file.size(), f.file.data()), f.type);
            const media::SurfacePtr surface = image.LoadMemory(device.get(), f.file.size(), f.file.data(), media::MEMORY_ANY);
            ASSERT_TRUE(surface);
            ExpectRawPixels(*surface, f.type == media::IMAGE_JPG ? jpegRgb : rgb);
            EXPECT_FALSE(surface->IsLocked());
            EXPECT_FALSE(surface->HasDC());
        }
    }
}

TEST_F(PictureFormatsTest, NoSurfaceOrNoDrawingGivesNull) {
    const Bytes rgb = picture_files::TestScene(kWidth, kHeight, 22);
    std::vector<FormatFile> files = LosslessFiles(rgb);
    files.push_back({"JPEG", media::IMAGE_JPG, picture_files::JpegFile(rgb.data(), kWidth, kHeight, 3, {})});
    struct Fault {
        platform::FaultPoint point;
        std::int32_t placement;
        bool directStillLoads;  // PSD, PCX, JPEG and PNG write 32-bit surfaces themselves, without a device context
    };
    const Fault faults[] = {
        {platform::FaultPoint::CreateSystemSurface, media::MEMORY_SYSTEM, false},
        {platform::FaultPoint::CreateVideoSurface, media::MEMORY_VIDEO, false},
        {platform::FaultPoint::SurfaceGetDC, media::MEMORY_SYSTEM, true},
    };
    for (const Fault& fault : faults) {
        host.ClearFaults();
        host.SetFault(fault.point);
        for (const FormatFile& f : files) {
            SCOPED_TRACE(testing::Message() << f.name << " with fault " << platform::FaultPointName(fault.point));
            media::Image image;
            const media::SurfacePtr surface = image.LoadMemory(device.get(), f.file.size(), f.file.data(), fault.placement);
            const bool direct = f.type != media::IMAGE_TGA;
            EXPECT_EQ(surface != nullptr, direct && fault.directStillLoads);
        }
    }
}

}  // namespace
