#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "media/image/bmp_decoder.h"
#include "media/image/image.h"
#include "platform/pixels/color_convert.h"
#include "tests/headless_test.h"
#include "tests/image/bmp_files.h"

namespace {

using testing_bmp::BmpLayout;
using testing_bmp::Bytes;
using testing_bmp::MakeBmp;
using testing_bmp::PackRows;

constexpr std::uint32_t kRgb = 0;

// Colours as 0x00RRGGBB, the way the tests write palettes.
using ColorAt = std::function<std::uint32_t(int x, int y)>;

class BmpDecoderTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        host.SetDebugEcho(false);
        ASSERT_EQ(platform::DirectDrawCreate(nullptr, &device), platform::DD_OK);
    }

    media::SurfacePtr Decode(const Bytes& file) {
        // An exact copy, so any read past the file's end shows under AddressSanitizer.
        std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[file.size()]);
        std::copy(file.begin(), file.end(), exact.get());
        media::BmpDecoder decoder;
        return decoder.Decode(device.get(), file.size(), exact.get(), media::MEMORY_ANY);
    }

    // Every pixel of the surface against the expected colour.
    void ExpectPicture(const media::SurfacePtr& s, int width, int height, const ColorAt& expected, const std::string& what) {
        ASSERT_NE(s, nullptr) << what;
        ASSERT_EQ(s->Width(), width) << what;
        ASSERT_EQ(s->Height(), height) << what;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t c = expected(x, y);
                const std::uint32_t raw = platform::RawFromRgb(static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                                               static_cast<std::uint8_t>(c), s->Format());
                ASSERT_EQ(s->PixelAt(x, y), raw) << what << " at " << x << "," << y;
            }
        }
    }

    std::shared_ptr<platform::DisplayDevice> device;
};

std::vector<std::uint32_t> Palette(std::size_t count, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint32_t> p(count);
    for (auto& c : p) c = rng() & 0xFFFFFF;
    return p;
}

std::uint32_t Widen5(std::uint32_t c) { return (c << 3) | (c >> 2); }

TEST_F(BmpDecoderTest, UncompressedDepthsOnOddWidths) {
    struct Case {
        std::uint16_t bits;
        int width, height;
    };
    const Case cases[] = {{1, 10, 3}, {1, 33, 2}, {4, 5, 4}, {4, 16, 1}, {8, 3, 3}, {8, 7, 2},
                          {16, 3, 2}, {16, 1, 1}, {24, 3, 3}, {24, 5, 2}, {32, 3, 2}};
    for (const Case& c : cases) {
        const std::string what = std::to_string(c.bits) + " bits, " + std::to_string(c.width) + "x" + std::to_string(c.height);
        std::mt19937 rng(c.bits * 100u + static_cast<unsigned>(c.width));
        std::vector<std::uint32_t> stored(static_cast<std::size_t>(c.width * c.height));
        for (auto& v : stored) v = rng() & (c.bits == 32 ? 0xFFFFFFFFu : (1u << c.bits) - 1u);
        BmpLayout s;
        s.width = c.width;
        s.height = c.height;
        s.bitCount = c.bits;
        if (c.bits <= 8) s.palette = Palette(1u << c.bits, c.bits);
        s.pixels = PackRows(c.width, c.height, c.bits, [&](int x, int y) { return stored[static_cast<std::size_t>(y * c.width + x)]; });
        const ColorAt expected = [&](int x, int y) -> std::uint32_t {
            const std::uint32_t v = stored[static_cast<std::size_t>(y * c.width + x)];
            if (c.bits <= 8) return s.palette[v];
            if (c.bits == 16) return Widen5((v >> 10) & 31) << 16 | Widen5((v >> 5) & 31) << 8 | Widen5(v & 31);
            return v & 0xFFFFFF;  // the fourth byte of a 32-bit pixel is not colour
        };
        ExpectPicture(Decode(MakeBmp(s)), c.width, c.height, expected, what);
    }
}

TEST_F(BmpDecoderTest, ColoursUsedAndTheTablePlace) {
    struct Case {
        const char* what;
        std::uint16_t bits;
        std::uint32_t colorsUsed;
        std::uint32_t headerSize;
        std::size_t tableEntries;  // written to the file
    };
    const Case cases[] = {
        {"8 bits, 100 colours used", 8, 100, 40, 100},
        {"8 bits, every colour", 8, 0, 40, 256},
        {"4 bits, 3 colours used", 4, 3, 40, 3},
        {"4 bits, colours used above 16 is cut to 16", 4, 300, 40, 16},
        {"1 bit", 1, 0, 40, 2},
        {"8 bits after a 108-byte header", 8, 0, 108, 256},
        {"8 bits after a 124-byte header", 8, 20, 124, 20},
    };
    for (const Case& c : cases) {
        const int width = 9, height = 4;
        const std::uint32_t levels = 1u << c.bits;
        BmpLayout s;
        s.width = width;
        s.height = height;
        s.bitCount = c.bits;
        s.colorsUsed = c.colorsUsed;
        s.headerSize = c.headerSize;
        s.palette = Palette(c.tableEntries, 7);
        s.pixels = PackRows(width, height, c.bits, [&](int x, int y) { return static_cast<std::uint32_t>(x * 31 + y * 7) % levels; });
        // Indexes past the table's entries read the zero entries that pad it to 256.
        const ColorAt expected = [&](int x, int y) -> std::uint32_t {
            const std::size_t index = static_cast<std::size_t>(x * 31 + y * 7) % levels;
            return index < c.tableEntries ? s.palette[index] : 0;
        };
        ExpectPicture(Decode(MakeBmp(s)), width, height, expected, c.what);
    }
}

TEST_F(BmpDecoderTest, BitFieldsWithTheUsualMasksAreDrawn) {
    struct Case {
        const char* what;
        std::uint16_t bits;
        std::uint32_t r, g, b;
        std::uint32_t headerSize;
        std::function<std::uint32_t(std::uint32_t)> colour;  // stored value to 0x00RRGGBB
    };
    const auto c565 = [](std::uint32_t v) {
        const std::uint32_t g6 = (v >> 5) & 63;
        return Widen5(v >> 11) << 16 | ((g6 << 2) | (g6 >> 4)) << 8 | Widen5(v & 31);
    };
    const auto c555 = [](std::uint32_t v) { return Widen5((v >> 10) & 31) << 16 | Widen5((v >> 5) & 31) << 8 | Widen5(v & 31); };
    const auto c888 = [](std::uint32_t v) { return v & 0xFFFFFF; };
    const Case cases[] = {
        {"5-6-5", 16, 0xF800, 0x07E0, 0x001F, 40, c565},
        {"5-6-5 inside a 124-byte header", 16, 0xF800, 0x07E0, 0x001F, 124, c565},
        {"5-5-5", 16, 0x7C00, 0x03E0, 0x001F, 40, c555},
        {"8-8-8 in 32 bits", 32, 0xFF0000, 0x00FF00, 0x0000FF, 108, c888},
    };
    for (const Case& c : cases) {
        const int width = 5, height = 3;
        std::mt19937 rng(c.bits);
        std::vector<std::uint32_t> stored(width * height);
        for (auto& v : stored) v = c.bits == 16 ? rng() & 0xFFFF : rng();
        BmpLayout s;
        s.width = width;
        s.height = height;
        s.bitCount = c.bits;
        s.compression = 3;
        s.headerSize = c.headerSize;
        s.masks = {c.r, c.g, c.b};
        s.pixels = PackRows(width, height, c.bits, [&](int x, int y) { return stored[static_cast<std::size_t>(y * width + x)]; });
        ExpectPicture(Decode(MakeBmp(s)), width, height, [&](int x, int y) { return c.colour(stored[static_cast<std::size_t>(y * width + x)]); },
                      c.what);
    }
}

TEST_F(BmpDecoderTest, CompressionsNotDecodedGiveABlankSurfaceOfThePictureSize) {
    struct Case {
        const char* what;
        std::uint16_t bits;
        std::uint32_t compression;
        std::vector<std::uint32_t> masks;
    };
    const Case cases[] = {
        {"run-length 4 bits", 4, 2, {}},
        {"run-length 8 on a 4-bit picture", 4, 1, {}},
        {"bit fields with other masks", 16, 3, {0x000F, 0x00F0, 0x0F00}},
        {"bit fields at 24 bits", 24, 3, {0xFF0000, 0xFF00, 0xFF}},
        {"an unknown compression", 24, 9, {}},
    };
    for (const Case& c : cases) {
        BmpLayout s;
        s.width = 4;
        s.height = 2;
        s.bitCount = c.bits;
        s.compression = c.compression;
        s.masks = c.masks;
        if (c.bits <= 8) s.palette = std::vector<std::uint32_t>(16, 0xFFFFFF);
        s.pixels = Bytes(64, 0xFF);
        ExpectPicture(Decode(MakeBmp(s)), 4, 2, [](int, int) { return 0u; }, c.what);
    }
}

// RLE8 streams against the picture they must give, indexes into a palette where index i is
// colour i * 0x010101 (so 0 is black).
struct RleCase {
    const char* what;
    int width, height;
    Bytes stream;
    std::vector<std::string> rows;  // top row first; one character per pixel, '0'..'9' and 'a'..'f'
};

std::uint32_t Grey(std::uint32_t index) { return index * 0x010101u; }

TEST_F(BmpDecoderTest, RunLengthStreams) {
    const RleCase cases[] = {
        {"runs and end of line on every row", 4, 3, {4, 1, 0, 0, 2, 2, 2, 3, 0, 0, 1, 4, 0, 1}, {"4000", "2233", "1111"}},
        {"end of bitmap in row 2 of 4 leaves the rest at 0", 3, 4, {3, 5, 0, 0, 1, 6, 0, 1, 3, 7}, {"000", "000", "600", "555"}},
        {"odd absolute run skips one padding byte", 4, 1, {0, 3, 1, 2, 3, 0xEE, 1, 4, 0, 1}, {"1234"}},
        {"even absolute run has no padding", 5, 1, {0, 4, 1, 2, 3, 4, 1, 5, 0, 1}, {"12345"}},
        {"delta moves right and up, leaving 0 behind", 5, 2, {1, 9, 0, 2, 3, 1, 1, 8, 0, 1}, {"00008", "90000"}},
        {"a run past the row is cut at its end", 3, 2, {7, 2, 0, 0, 1, 3, 0, 1}, {"300", "222"}},
        {"a run past the row does not spill into the next", 3, 2, {7, 2, 0, 0, 0, 1}, {"000", "222"}},
        {"an absolute run past the row does not spill into the next", 2, 2, {0, 5, 4, 5, 6, 7, 8, 0, 0, 1}, {"00", "45"}},
        {"a run past the last row's end stays in the buffer", 5, 1, {255, 7, 0, 1}, {"77777"}},
        {"an absolute run past the row is cut, the rest of it read", 2, 2, {0, 3, 4, 5, 6, 0, 0, 0, 1, 7, 0, 1}, {"70", "45"}},
        {"a delta past the row end stops at the row end", 3, 2, {1, 1, 0, 2, 200, 0, 2, 2, 0, 0, 1, 3, 0, 1}, {"300", "100"}},
        {"four wide and eight tall: every row", 4, 8,
         {4, 1, 0, 0, 4, 2, 0, 0, 4, 3, 0, 0, 4, 4, 0, 0, 4, 5, 0, 0, 4, 6, 0, 0, 4, 7, 0, 0, 4, 8, 0, 1},
         {"8888", "7777", "6666", "5555", "4444", "3333", "2222", "1111"}},
        {"a stream that just ends", 2, 2, {2, 4}, {"00", "44"}},
        {"end of line after the last row ends the picture", 1, 1, {1, 3, 0, 0, 1, 9, 0, 1}, {"3"}},
        {"a delta past the last row ends the picture", 2, 2, {1, 1, 0, 2, 0, 9, 2, 2}, {"00", "10"}},
        {"a delta onto the last row goes on decoding there", 3, 2, {1, 1, 0, 2, 0, 1, 2, 4, 0, 1}, {"044", "100"}},
    };
    for (const RleCase& c : cases) {
        BmpLayout s;
        s.width = c.width;
        s.height = c.height;
        s.bitCount = 8;
        s.compression = 1;
        for (std::uint32_t i = 0; i < 256; ++i) s.palette.push_back(Grey(i));
        s.pixels = c.stream;
        const ColorAt expected = [&](int x, int y) {
            return Grey(static_cast<std::uint32_t>(std::stoul(std::string(1, c.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]), nullptr, 16)));
        };
        ExpectPicture(Decode(MakeBmp(s)), c.width, c.height, expected, c.what);
    }
}

Bytes ValidPicture(std::uint16_t bits, std::uint32_t compression = 0) {
    BmpLayout s;
    s.width = 6;
    s.height = 4;
    s.bitCount = bits;
    s.compression = compression;
    if (bits <= 8) s.palette = Palette(1u << bits, 3);
    if (compression == 3) s.masks = {0xF800, 0x07E0, 0x001F};
    s.pixels = compression == 1 ? Bytes{6, 1, 0, 0, 0, 6, 1, 2, 3, 4, 5, 6, 0, 0, 0, 2, 1, 1, 2, 9, 0, 1}
                                : PackRows(6, 4, bits, [](int x, int y) { return static_cast<std::uint32_t>(x + y); });
    return MakeBmp(s);
}

void Set32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

TEST_F(BmpDecoderTest, TruncatedAndLyingFilesGiveNull) {
    struct Case {
        const char* what;
        Bytes file;
    };
    std::vector<Case> cases;
    auto edited = [](Bytes b, const std::function<void(Bytes&)>& edit) {
        edit(b);
        return b;
    };
    const Bytes b24 = ValidPicture(24), b8 = ValidPicture(8), rle = ValidPicture(8, 1);
    for (const std::uint16_t bits : {1, 4, 8, 16, 24, 32}) {
        const Bytes full = ValidPicture(bits);
        cases.push_back({"pixel data one byte short", Bytes(full.begin(), full.end() - 1)});
    }
    cases.push_back({"headers only", Bytes(b24.begin(), b24.begin() + 54)});
    cases.push_back({"half an info header", Bytes(b24.begin(), b24.begin() + 30)});
    cases.push_back({"colour table cut", Bytes(b8.begin(), b8.begin() + 54 + 100)});
    cases.push_back({"pixel offset past the end", edited(b24, [](Bytes& b) { Set32(b, 10, 0xFFFFFFF0); })});
    cases.push_back({"pixel offset near the end", edited(b24, [](Bytes& b) { Set32(b, 10, static_cast<std::uint32_t>(b.size() - 8)); })});
    cases.push_back({"width 0", edited(b24, [](Bytes& b) { Set32(b, 18, 0); })});
    cases.push_back({"height 0", edited(b24, [](Bytes& b) { Set32(b, 22, 0); })});
    cases.push_back({"negative width", edited(b24, [](Bytes& b) { Set32(b, 18, 0xFFFFFFFA); })});
    cases.push_back({"top-down (negative height)", edited(b24, [](Bytes& b) { Set32(b, 22, 0xFFFFFFFC); })});
    cases.push_back({"width past 16384", edited(b24, [](Bytes& b) { Set32(b, 18, 16385); })});
    cases.push_back({"more than 2^26 pixels", edited(b24, [](Bytes& b) { Set32(b, 18, 16384), Set32(b, 22, 4097); })});
    cases.push_back({"width that overflows 32-bit row arithmetic", edited(b24, [](Bytes& b) { Set32(b, 18, 0x7FFFFFFF); })});
    cases.push_back({"bit count 2", edited(b8, [](Bytes& b) { b[28] = 2; })});
    cases.push_back({"bit count 0", edited(b24, [](Bytes& b) { b[28] = 0; })});
    cases.push_back({"core header (12 bytes)", edited(b24, [](Bytes& b) { Set32(b, 14, 12); })});
    cases.push_back({"info header size past the end (colour table outside)", edited(b8, [](Bytes& b) { Set32(b, 14, 0x7FFFFFF0); })});
    {
        const Bytes bitFields = ValidPicture(16, 3);
        cases.push_back({"bit fields: the file ends inside the masks", Bytes(bitFields.begin(), bitFields.begin() + 60)});
        EXPECT_NE(Decode(bitFields), nullptr);
    }
    cases.push_back({"run-length: pair cut in half", edited(rle, [](Bytes& b) { b.resize(b.size() - 3); })});
    cases.push_back({"run-length: absolute run cut", Bytes(rle.begin(), rle.end() - 12)});
    cases.push_back({"run-length: delta without its bytes", edited(rle, [](Bytes& b) { b.resize(b.size() - 6); })});
    cases.push_back({"run-length: pixel offset past the end", edited(rle, [](Bytes& b) { Set32(b, 10, 0x10000000); })});
    for (const Case& c : cases) EXPECT_EQ(Decode(c.file), nullptr) << c.what;
    EXPECT_NE(Decode(b24), nullptr);
    EXPECT_NE(Decode(b8), nullptr);
    EXPECT_NE(Decode(rle), nullptr);
}

// Seeded random damage to valid files of every kind: whatever comes back, nothing is read or
// written outside the buffers (run under the sanitizers), and a result has the header's size.
TEST_F(BmpDecoderTest, RandomDamageNeverLeavesTheBuffers) {
    const Bytes originals[] = {ValidPicture(1), ValidPicture(4), ValidPicture(8), ValidPicture(16), ValidPicture(24),
                               ValidPicture(32), ValidPicture(8, 1), ValidPicture(16, 3)};
    for (const int iteration : TestIterations(3000)) {
        std::mt19937 rng(IterationSeed(51, iteration));
        Bytes file = originals[static_cast<std::size_t>(iteration) % std::size(originals)];
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = rng() % file.size();
            if (rng() % 5 == 0) file.resize(at + 1);
            else file[at] = static_cast<std::uint8_t>(rng());
        }
        const media::SurfacePtr s = Decode(file);
        if (s) {
            ASSERT_GE(file.size(), 26u) << "iteration " << iteration;
            EXPECT_EQ(s->Width(), static_cast<std::int32_t>(file[18] | file[19] << 8 | file[20] << 16 | file[21] << 24))
                << "iteration " << iteration;
        }
    }
}

TEST_F(BmpDecoderTest, PicturesIntoEightBitSurfacesGoByColourThroughTheFixedPalette) {
    host.SetDesktop(1024, 768, 8);
    BmpLayout s;
    s.width = 3;
    s.height = 1;
    s.pixels = PackRows(3, 1, 24, [](int x, int) { return std::uint32_t{0xFF0000} >> (8 * x); });
    const media::SurfacePtr surface = Decode(MakeBmp(s));
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->PixelAt(0, 0), 0xE0u);
    EXPECT_EQ(surface->PixelAt(1, 0), 0x1Cu);
    EXPECT_EQ(surface->PixelAt(2, 0), 0x03u);
}

}  // namespace
