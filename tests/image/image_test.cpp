#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "media/core/file_reader.h"
#include "media/image/image.h"
#include "tests/headless_test.h"
#include "tests/image/bmp_files.h"

namespace {

using media::Image;
using testing_bmp::Bytes;

// A 3x2 24-bit picture: every pixel a different colour.
Bytes SmallBmp() {
    testing_bmp::BmpLayout s;
    s.width = 3;
    s.height = 2;
    s.pixels = testing_bmp::PackRows(3, 2, 24, [](int x, int y) { return 0x102030u * static_cast<std::uint32_t>(x + 3 * y + 1); });
    return testing_bmp::MakeBmp(s);
}

class ImageTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        host.SetDebugEcho(false);
        ASSERT_EQ(platform::DirectDrawCreate(nullptr, &device), platform::DD_OK);
    }
    std::string WriteFile(const std::string& name, const Bytes& bytes) {
        const std::string path = ::testing::TempDir() + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::shared_ptr<platform::DisplayDevice> device;
};

TEST_F(ImageTest, DetectsByContentInTheFixedOrderAndOnlyInsideTheData) {
    struct Case {
        const char* what;
        Bytes data;
        std::uint32_t type;
    };
    const Case cases[] = {
        {"bitmap signature", {'B', 'M'}, media::IMAGE_BMP},
        {"bitmap signature then anything", {'B', 'M', 0, 1, 2}, media::IMAGE_BMP},
        {"half a signature at the end", {'B'}, media::IMAGE_NONE},
        {"lower case", {'b', 'm', 0, 0}, media::IMAGE_NONE},
        {"empty", {}, media::IMAGE_NONE},
        {"text", {'h', 'e', 'l', 'l', 'o'}, media::IMAGE_NONE},
    };
    Image image;
    for (const Case& c : cases) {
        // Copied into a buffer of exactly its size, so a look past the end shows under ASan.
        std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[c.data.size() + 0]);
        std::copy(c.data.begin(), c.data.end(), exact.get());
        EXPECT_EQ(image.DetectType(c.data.size(), exact.get()), c.type) << c.what;
    }
}

TEST_F(ImageTest, MessageOnlyForUnrecognisedContent) {
    Image image;
    const Bytes bmp = SmallBmp();
    const Bytes junk{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'};
    EXPECT_EQ(image.LoadMemory(device.get(), junk.size(), junk.data(), media::MEMORY_ANY), nullptr);
    ASSERT_EQ(host.DebugMessages().size(), 1u);
    EXPECT_EQ(host.DebugMessages()[0], "Error: Image - Unsupported Image type.");

    EXPECT_EQ(image.LoadMemory(device.get(), bmp.size(), bmp.data(), media::MEMORY_ANY, media::IMAGE_PNG + 1), nullptr);
    EXPECT_EQ(image.LoadMemory(device.get(), bmp.size(), bmp.data(), media::MEMORY_ANY, media::IMAGE_PNG), nullptr);
    EXPECT_EQ(image.LoadFile(device.get(), (::testing::TempDir() + "no such picture.bmp").c_str(), media::MEMORY_ANY), nullptr);
    EXPECT_EQ(image.LoadFile(device.get(), nullptr, media::MEMORY_ANY), nullptr);
    EXPECT_EQ(host.DebugMessages().size(), 1u) << "a missing file, an unknown type code or a decoder refusing its file gave a message";

    EXPECT_EQ(image.LoadFile(device.get(), WriteFile("empty.bmp", {}).c_str(), media::MEMORY_ANY), nullptr);
    EXPECT_EQ(host.DebugMessages().size(), 2u) << "an empty file is unrecognised content";
}

TEST_F(ImageTest, LoadsByContentWhateverTheName) {
    Image image;
    const std::string path = WriteFile("picture.tga", SmallBmp());
    const media::SurfacePtr surface = image.LoadFile(device.get(), path.c_str(), media::MEMORY_ANY);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->Width(), 3);
    EXPECT_EQ(surface->Height(), 2);
    EXPECT_EQ(surface->PixelAt(0, 0), 0x102030u);
    EXPECT_EQ(surface->PixelAt(2, 1), 0x102030u * 6);
    EXPECT_TRUE(host.DebugMessages().empty());
}

TEST_F(ImageTest, TypeCodeSkipsDetection) {
    Image image;
    Bytes bmp = SmallBmp();
    bmp[0] = 'X';  // no signature, but the caller says it is a bitmap
    EXPECT_NE(image.LoadMemory(device.get(), bmp.size(), bmp.data(), media::MEMORY_ANY, media::IMAGE_BMP), nullptr);
    EXPECT_EQ(image.LoadMemory(device.get(), bmp.size(), bmp.data(), media::MEMORY_ANY), nullptr);
}

TEST_F(ImageTest, PlacementChoosesTheMemoryByItsLowByte) {
    Image image;
    const Bytes bmp = SmallBmp();
    struct Case {
        std::int32_t placement;
        bool video;
    };
    for (const Case c : {Case{0, true}, Case{1, false}, Case{2, false}, Case{7, false}, Case{0x100, true}, Case{0x101, false}}) {
        const auto s = image.LoadMemory(device.get(), bmp.size(), bmp.data(), c.placement);
        ASSERT_NE(s, nullptr) << c.placement;
        EXPECT_EQ((s->Caps() & platform::DDSCAPS_VIDEOMEMORY) != 0, c.video) << c.placement;
        EXPECT_NE(s->Caps() & platform::DDSCAPS_OFFSCREENPLAIN, 0u);
    }
}

TEST_F(ImageTest, SurfaceAndDrawingFailuresGiveNull) {
    Image image;
    const Bytes bmp = SmallBmp();
    host.SetFault(platform::FaultPoint::CreateSystemSurface);
    EXPECT_EQ(image.LoadMemory(device.get(), bmp.size(), bmp.data(), media::MEMORY_ANY), nullptr);
    EXPECT_NE(image.LoadMemory(device.get(), bmp.size(), bmp.data(), media::MEMORY_VIDEO), nullptr);
    host.ClearFaults();
    host.SetFault(platform::FaultPoint::SurfaceGetDC);
    EXPECT_EQ(image.LoadMemory(device.get(), bmp.size(), bmp.data(), media::MEMORY_ANY), nullptr);
    EXPECT_EQ(image.LoadMemory(nullptr, bmp.size(), bmp.data(), media::MEMORY_ANY), nullptr);
}

TEST_F(ImageTest, FileReaderReadsRegularFilesOnly) {
    media::FileReader reader;
    EXPECT_EQ(reader.OpenRead(::testing::TempDir().c_str()), -1) << "a directory";
    EXPECT_EQ(reader.GetSize(), 0u);
    const std::string path = WriteFile("reader.bin", {1, 2, 3, 4, 5});
    ASSERT_EQ(reader.OpenRead(path.c_str()), 0);
    EXPECT_EQ(reader.GetSize(), 5u);
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(reader.Read(buffer, 8), 5u);
    EXPECT_EQ(buffer[4], 5);
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.Read(buffer, 1), 0u);
}

}  // namespace

namespace {

// The shared operations on a decoder that decodes nothing itself.
class BareDecoder final : public media::ImageDecoder {
public:
    std::int32_t CanRead(const std::uint8_t*, std::size_t, const std::uint8_t*, std::size_t) override { return 0; }
    media::SurfacePtr Decode(platform::DisplayDevice*, std::size_t, const std::uint8_t*, std::int32_t) override { return nullptr; }
};

TEST(ImageDecoder, AllocatesPaddedRowsWithinTheSizeLimits) {
    struct Case {
        std::int32_t width, height;
        int bits;
        std::size_t bytes;  // 0: refused
    };
    const Case cases[] = {
        {3, 2, 24, 24},  {10, 1, 1, 4},          {1, 1, 8, 4},          {5, 3, 32, 60},
        {0, 5, 8, 0},    {5, 0, 8, 0},           {-1, 5, 8, 0},         {16385, 1, 8, 0},
        {1, 16385, 8, 0}, {16384, 4096, 8, 1u << 26}, {16384, 4097, 8, 0}, {4, 4, 0, 0},
    };
    for (const Case& c : cases) {
        BareDecoder d;
        EXPECT_EQ(d.AllocPixels(c.width, c.height, c.bits), c.bytes ? 1 : 0) << c.width << "x" << c.height << "x" << c.bits;
        EXPECT_EQ(d.PixelBytes(), c.bytes);
        if (c.bytes) {
            EXPECT_EQ(d.Pixels()[c.bytes - 1], 0) << "the buffer starts zeroed";
        }
    }
}

TEST(ImageDecoder, DescriptionFollowsTheFieldsAndFreeingEmptiesBoth) {
    BareDecoder d;
    ASSERT_EQ(d.AllocPixels(7, 3, 8), 1);
    d.BuildBitmapInfo();
    ASSERT_NE(d.BitmapInfo(), nullptr);
    EXPECT_EQ(d.BitmapInfo()->header.size, 40u);
    EXPECT_EQ(d.BitmapInfo()->header.width, 7);
    EXPECT_EQ(d.BitmapInfo()->header.height, 3);
    EXPECT_EQ(d.BitmapInfo()->header.bitCount, 8);
    EXPECT_EQ(d.BitmapInfo()->colors[255].red, 0);
    EXPECT_EQ(d.FreeBuffers(), 1);
    EXPECT_EQ(d.Pixels(), nullptr);
    EXPECT_EQ(d.BitmapInfo(), nullptr);
    EXPECT_EQ(d.TransferToSurface(), nullptr) << "nothing to draw and no surface";
}

}  // namespace
