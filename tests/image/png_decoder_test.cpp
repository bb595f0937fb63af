#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <random>

#include <libdeflate.h>

#include "platform/core/fault_hook.h"
#include "tests/image/decoder_test.h"

namespace {

using picture_files::Bytes;
using picture_files::Png;
using picture_files::PngFile;

class PngDecoderTest : public DecoderTest {};

enum ColourType : std::uint8_t { kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgba = 6 };

int ChannelsOf(std::uint8_t colorType) {
    switch (colorType) {
        case kGrey: case kPalette: return 1;
        case kGreyAlpha: return 2;
        case kRgb: return 3;
        default: return 4;
    }
}

// Sample values by place: every channel of every pixel different enough that a swapped channel,
// a shifted row or column or a lost pass shows.
unsigned SampleAt(int x, int y, int channel, int bits) {
    const std::uint32_t h = (static_cast<std::uint32_t>(x) * 73856093u) ^ (static_cast<std::uint32_t>(y) * 19349663u) ^
                            (static_cast<std::uint32_t>(channel + 1) * 83492791u);
    return (h ^ (h >> 13)) & ((1u << bits) - 1);
}

// A sample of the given bits as the surface should show it: spread over 0..255 for fewer than 8
// bits, the nearest 8-bit value for 16.
std::uint8_t Shown(unsigned value, int bits) {
    if (bits == 16) return static_cast<std::uint8_t>(std::lround(value * 255.0 / 65535.0));
    return static_cast<std::uint8_t>(value * 255 / ((1u << bits) - 1));
}

// The picture as PNG samples (rows packed as the format packs them) and the colours it shows.
struct Made {
    Png png;
    std::vector<platform::COLORREF> colours;
};

Made MakePicture(std::uint32_t width, std::uint32_t height, std::uint8_t colorType, std::uint8_t bits, bool interlaced) {
    Made made;
    Png& png = made.png;
    png.width = width;
    png.height = height;
    png.colorType = colorType;
    png.bitDepth = bits;
    png.interlaced = interlaced;
    const int channels = ChannelsOf(colorType);
    const int paletteSize = colorType == kPalette ? (1 << bits) : 0;
    for (int i = 0; i < paletteSize; ++i) {
        png.palette.insert(png.palette.end(), {static_cast<std::uint8_t>(i * 37 + 5), static_cast<std::uint8_t>(255 - i * 11),
                                               static_cast<std::uint8_t>(i * 101)});
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        unsigned accumulator = 0, filled = 0;
        for (std::uint32_t x = 0; x < width; ++x) {
            unsigned v[4];
            for (int c = 0; c < channels; ++c) {
                v[c] = SampleAt(static_cast<int>(x), static_cast<int>(y), c, bits);
                if (bits == 16) {
                    std::uint16_t word = static_cast<std::uint16_t>(v[c]);
                    std::uint8_t bytes[2];
                    std::memcpy(bytes, &word, 2);
                    png.samples.insert(png.samples.end(), bytes, bytes + 2);
                } else {
                    accumulator = accumulator << bits | v[c];
                    filled += bits;
                    if (filled == 8) {
                        png.samples.push_back(static_cast<std::uint8_t>(accumulator));
                        accumulator = filled = 0;
                    }
                }
            }
            if (colorType == kPalette) {
                const std::uint8_t* rgb = &png.palette[v[0] * 3];
                made.colours.push_back(Rgb(rgb[0], rgb[1], rgb[2]));
            } else if (channels <= 2) {
                const std::uint8_t g = Shown(v[0], bits);
                made.colours.push_back(Rgb(g, g, g));
            } else {
                made.colours.push_back(Rgb(Shown(v[0], bits), Shown(v[1], bits), Shown(v[2], bits)));
            }
        }
        if (filled) png.samples.push_back(static_cast<std::uint8_t>(accumulator << (8 - filled)));
    }
    return made;
}

struct Variant {
    const char* name;
    std::uint8_t colorType, bits;
};
constexpr Variant kVariants[] = {
    {"grey 1", kGrey, 1},          {"grey 2", kGrey, 2},       {"grey 4", kGrey, 4},          {"grey 8", kGrey, 8},
    {"grey 16", kGrey, 16},        {"palette 1", kPalette, 1}, {"palette 2", kPalette, 2},    {"palette 4", kPalette, 4},
    {"palette 8", kPalette, 8},    {"grey+alpha 8", kGreyAlpha, 8}, {"grey+alpha 16", kGreyAlpha, 16}, {"RGB 8", kRgb, 8},
    {"RGB 16", kRgb, 16},          {"RGBA 8", kRgba, 8},       {"RGBA 16", kRgba, 16},
};

TEST_F(PngDecoderTest, EveryColourTypeBitDepthAndInterlacingShowsItsColours) {
    constexpr std::uint32_t kWidth = 13, kHeight = 11;  // odd: partial bytes and short Adam7 passes
    for (const int depth : {32, 24}) {
        host.SetDesktop(1024, 768, depth);
        for (const Variant& v : kVariants) {
            for (const bool interlaced : {false, true}) {
                SCOPED_TRACE(testing::Message() << v.name << (interlaced ? " interlaced" : "") << " at depth " << depth);
                const Made made = MakePicture(kWidth, kHeight, v.colorType, v.bits, interlaced);
                const Bytes file = PngFile(made.png);
                ASSERT_FALSE(file.empty());
                EXPECT_EQ(Detect(file), media::IMAGE_PNG);
                const auto picture = Load(file);
                ASSERT_TRUE(picture.has_value());
                EXPECT_EQ(picture->width, static_cast<std::int32_t>(kWidth));
                EXPECT_EQ(picture->height, static_cast<std::int32_t>(kHeight));
                EXPECT_EQ(picture->colors, made.colours);
            }
        }
    }
}

// The format's five row filters, applied as an encoder does (for the files below): each byte less
// its prediction from the byte to the left (a pixel back), the byte above and the one above-left.
std::uint8_t Predicted(int filter, int a, int b, int c) {
    switch (filter) {
        case 1: return static_cast<std::uint8_t>(a);
        case 2: return static_cast<std::uint8_t>(b);
        case 3: return static_cast<std::uint8_t>((a + b) / 2);
        case 4: {
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : (pb <= pc ? b : c));
        }
        default: return 0;
    }
}

// An 8-bit RGB or RGBA picture of seeded random samples: every sum and tie of the filters' predictions
// comes up.
Made RandomPicture(std::uint32_t width, std::uint32_t height, std::uint8_t colorType, std::uint32_t seed) {
    Made made;
    made.png.width = width;
    made.png.height = height;
    made.png.colorType = colorType;
    std::mt19937 random(seed);
    const int channels = ChannelsOf(colorType);
    for (std::uint32_t i = 0; i < width * height; ++i) {
        std::uint8_t v[4];
        for (int c = 0; c < channels; ++c) v[c] = static_cast<std::uint8_t>(random() >> 7);
        made.png.samples.insert(made.png.samples.end(), v, v + channels);
        made.colours.push_back(Rgb(v[0], v[1], v[2]));
    }
    return made;
}

// An 8-bit RGB or RGBA file of nothing but its header, one data chunk and its end chunk, its rows
// filtered with filterOf(y), compressed by libdeflate at level 6.
Bytes FilteredFile(const Made& made, int channels, int (*filterOf)(std::uint32_t)) {
    const std::size_t rowBytes = made.png.width * static_cast<std::size_t>(channels);
    Bytes raw;
    for (std::uint32_t y = 0; y < made.png.height; ++y) {
        const std::uint8_t* row = &made.png.samples[y * rowBytes];
        const std::uint8_t* above = y > 0 ? row - rowBytes : nullptr;
        const int filter = filterOf(y);
        raw.push_back(static_cast<std::uint8_t>(filter));
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= static_cast<std::size_t>(channels) ? row[i - channels] : 0, b = above ? above[i] : 0,
                      c = above && i >= static_cast<std::size_t>(channels) ? above[i - channels] : 0;
            raw.push_back(static_cast<std::uint8_t>(row[i] - Predicted(filter, a, b, c)));
        }
    }
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(6);
    Bytes packed(libdeflate_zlib_compress_bound(compressor, raw.size()));
    packed.resize(libdeflate_zlib_compress(compressor, raw.data(), raw.size(), packed.data(), packed.size()));
    libdeflate_free_compressor(compressor);
    const auto be32 = [](std::uint32_t v) {
        return Bytes{static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                     static_cast<std::uint8_t>(v)};
    };
    Bytes header = be32(made.png.width);
    const Bytes height = be32(made.png.height);
    header.insert(header.end(), height.begin(), height.end());
    header.insert(header.end(), {8, made.png.colorType, 0, 0, 0});
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Bytes& chunk : {picture_files::PngChunk("IHDR", header), picture_files::PngChunk("IDAT", packed),
                               picture_files::PngChunk("IEND", {})}) {
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

// Plain 8-bit RGB and RGBA files, which take the decoder's own inflate-and-unfilter road: every
// filter, alone and mixed row by row, at widths of one pixel, a few and many, on 24- and 32-bit
// surfaces, shows exactly the samples written.
TEST_F(PngDecoderTest, EveryRowFilterOfPlainPicturesIsUndoneExactly) {
    const struct {
        const char* name;
        int (*filterOf)(std::uint32_t);
    } filters[] = {
        {"none", [](std::uint32_t) { return 0; }},    {"sub", [](std::uint32_t) { return 1; }},
        {"up", [](std::uint32_t) { return 2; }},      {"average", [](std::uint32_t) { return 3; }},
        {"paeth", [](std::uint32_t) { return 4; }},   {"mixed", [](std::uint32_t y) { return static_cast<int>((y * 3 + 1) % 5); }},
    };
    for (const int depth : {32, 24}) {
        host.SetDesktop(1024, 768, depth);
        for (const std::uint8_t colorType : {kRgb, kRgba}) {
            for (const std::uint32_t width : {1u, 5u, 131u}) {
                const Made made = RandomPicture(width, 33, colorType, width * 7 + colorType);
                for (const auto& f : filters) {
                    SCOPED_TRACE(testing::Message() << f.name << (colorType == kRgb ? " RGB" : " RGBA") << " width " << width
                                                    << " at depth " << depth);
                    const auto picture = Load(FilteredFile(made, ChannelsOf(colorType), f.filterOf));
                    ASSERT_TRUE(picture.has_value());
                    EXPECT_EQ(picture->colors, made.colours);
                }
            }
        }
    }
}

// What the decoder's own road gives up on, libspng decides as before: a filter the format does
// not have fails the file; a wrong Adler-32 (which the chunk CRCs already cover) does not.
TEST_F(PngDecoderTest, PlainPicturesTheShortRoadGivesUpOnGetLibspngsVerdict) {
    const Made made = MakePicture(6, 4, kRgb, 8, false);
    const struct {
        const char* name;
        int (*filterOf)(std::uint32_t);
        bool damageAdler;
        bool loads;
    } cases[] = {
        {"filter 5", [](std::uint32_t y) { return y == 2 ? 5 : 0; }, false, false},
        {"Adler-32 wrong", [](std::uint32_t) { return 4; }, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = FilteredFile(made, 3, c.filterOf);
        if (c.damageAdler) {
            const std::size_t iend = picture_files::FindPngChunk(file, "IEND");
            file[iend - 5] ^= 0x01;  // the stream's last byte, just before the data chunk's CRC
            picture_files::FixPngCrcs(file);
        }
        const auto picture = Load(file);
        ASSERT_EQ(picture.has_value(), c.loads);
        if (c.loads) {
            EXPECT_EQ(picture->colors, made.colours);
        }
    }
}

TEST_F(PngDecoderTest, SixteenBitChannelsRoundToTheNearestEightBitValue) {
    struct Case {
        unsigned sample;
        std::uint8_t shown;
    };
    // 129/257 = 0.502 and 448/257 = 1.74: cutting to the high byte would show 0 and 1.
    const Case cases[] = {{0, 0}, {128, 0}, {129, 1}, {448, 2}, {32896, 128}, {33024, 128}, {65407, 255}, {65535, 255}};
    Png png;
    png.width = static_cast<std::uint32_t>(std::size(cases));
    png.colorType = kGrey;
    png.bitDepth = 16;
    for (const Case& c : cases) {
        const auto word = static_cast<std::uint16_t>(c.sample);
        std::uint8_t bytes[2];
        std::memcpy(bytes, &word, 2);
        png.samples.insert(png.samples.end(), bytes, bytes + 2);
    }
    const auto picture = Load(PngFile(png));
    ASSERT_TRUE(picture.has_value());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(picture->colors[i], Rgb(cases[i].shown, cases[i].shown, cases[i].shown)) << "sample " << cases[i].sample;
    }
}

// Surfaces have no alpha: a transparent pixel shows its own colour, whether the transparency
// comes from an alpha channel or from a tRNS chunk. Asked for, the alpha becomes the alpha map
// (16-bit alpha rounded as the colours are) and the colours stay the same; a picture without
// alpha gives no map.
TEST_F(PngDecoderTest, AlphaAndTransparencyAreDroppedOrKeptAsAMap) {
    struct Case {
        const char* name;
        std::uint8_t colorType, bitDepth;
        bool interlaced;
        Bytes samples, palette, trns;
        platform::COLORREF first, second;
        std::vector<std::uint8_t> alpha;  // empty: no map
    };
    // 16-bit samples as host-order words: red 0x1234, green 0xFEDC, blue 0x0080, alpha 0x8080 / 0x007F.
    auto words = [](std::initializer_list<std::uint16_t> values) {
        Bytes out;
        for (std::uint16_t v : values) {
            out.resize(out.size() + 2);
            std::memcpy(out.data() + out.size() - 2, &v, 2);
        }
        return out;
    };
    const Case cases[] = {
        {"RGBA, alpha 0", kRgba, 8, false, {10, 20, 30, 0, 40, 50, 60, 255}, {}, {}, Rgb(10, 20, 30), Rgb(40, 50, 60), {0, 255}},
        {"RGBA interlaced", kRgba, 8, true, {10, 20, 30, 77, 40, 50, 60, 1}, {}, {}, Rgb(10, 20, 30), Rgb(40, 50, 60), {77, 1}},
        {"RGBA 16-bit", kRgba, 16, false, words({0x1234, 0xFEDC, 0x0080, 0x8080, 0, 0, 0, 0x007F}), {}, {}, Rgb(0x12, 0xFE, 0), Rgb(0, 0, 0),
         {0x80, 0}},
        {"grey+alpha, alpha 0", kGreyAlpha, 8, false, {70, 0, 80, 128}, {}, {}, Rgb(70, 70, 70), Rgb(80, 80, 80), {0, 128}},
        {"palette with tRNS", kPalette, 8, false, {1, 0}, {1, 2, 3, 200, 100, 50}, {255, 0}, Rgb(200, 100, 50), Rgb(1, 2, 3), {0, 255}},
        {"RGB with tRNS key", kRgb, 8, false, {9, 8, 7, 6, 5, 4}, {}, {0, 9, 0, 8, 0, 7}, Rgb(9, 8, 7), Rgb(6, 5, 4), {0, 255}},
        {"grey with tRNS key", kGrey, 8, false, {33, 44}, {}, {0, 33}, Rgb(33, 33, 33), Rgb(44, 44, 44), {0, 255}},
        {"RGB without alpha", kRgb, 8, false, {9, 8, 7, 6, 5, 4}, {}, {}, Rgb(9, 8, 7), Rgb(6, 5, 4), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Png png;
        png.width = 2;
        png.colorType = c.colorType;
        png.bitDepth = c.bitDepth;
        png.interlaced = c.interlaced;
        png.samples = c.samples;
        png.palette = c.palette;
        png.trns = c.trns;
        std::vector<platform::COLORREF> colours{c.first, c.second};
        std::vector<std::uint8_t> alpha = c.alpha;
        if (c.interlaced) {
            // Two rows of the same pixels: the passes then reach both rows and both columns.
            png.height = 2;
            png.samples.insert(png.samples.end(), c.samples.begin(), c.samples.end());
            colours.insert(colours.end(), {c.first, c.second});
            alpha.insert(alpha.end(), c.alpha.begin(), c.alpha.end());
        }
        const Bytes file = PngFile(png);
        ASSERT_NE(picture_files::FindPngChunk(file, c.trns.empty() ? "IDAT" : "tRNS"), 0u);
        const auto picture = Load(file);
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(picture->colors, colours);
        const auto withAlpha = LoadWithAlpha(file);
        ASSERT_TRUE(withAlpha.has_value());
        EXPECT_EQ(withAlpha->colors, colours);
        EXPECT_EQ(withAlpha->alpha, alpha);
    }
}

TEST_F(PngDecoderTest, DamagedOrTruncatedFilesGiveNoSurface) {
    const Made made = MakePicture(40, 30, kRgb, 8, false);
    const Bytes file = PngFile(made.png);
    ASSERT_TRUE(Load(file).has_value());
    const std::size_t ihdr = picture_files::FindPngChunk(file, "IHDR");
    const std::size_t idat = picture_files::FindPngChunk(file, "IDAT");
    const std::size_t iend = picture_files::FindPngChunk(file, "IEND");
    ASSERT_TRUE(ihdr && idat && iend);
    struct Case {
        const char* name;
        Bytes (*damage)(Bytes, std::size_t, std::size_t, std::size_t);
    };
    // Each damage gets the file and the IHDR, IDAT and IEND offsets.
    const Case cases[] = {
        {"cut inside the signature", [](Bytes f, std::size_t, std::size_t, std::size_t) { f.resize(8); return f; }},
        {"cut inside the header", [](Bytes f, std::size_t h, std::size_t, std::size_t) { f.resize(h + 12); return f; }},
        {"cut inside the pixel data", [](Bytes f, std::size_t, std::size_t d, std::size_t) { f.resize(d + 30); return f; }},
        {"cut before the end chunk", [](Bytes f, std::size_t, std::size_t, std::size_t e) { f.resize(e); return f; }},
        {"header CRC wrong", [](Bytes f, std::size_t h, std::size_t, std::size_t) { f[h + 8 + 13] ^= 1; return f; }},
        {"pixel data CRC wrong", [](Bytes f, std::size_t, std::size_t d, std::size_t) { f[d + 20] ^= 0x40; return f; }},
        {"compressed data broken, CRC right",
         [](Bytes f, std::size_t, std::size_t d, std::size_t) {
             for (std::size_t i = d + 10; i < d + 18; ++i) f[i] = 0xFF;
             picture_files::FixPngCrcs(f);
             return f;
         }},
        {"pixel data too short for the rows, CRC right",
         [](Bytes f, std::size_t h, std::size_t, std::size_t) {
             f[h + 8 + 7] = 60;  // declared twice as high as the rows there are
             picture_files::FixPngCrcs(f);
             return f;
         }},
        {"bit depth 16 for a palette, CRC right",
         [](Bytes f, std::size_t h, std::size_t, std::size_t) {
             f[h + 8 + 8] = 16;
             f[h + 8 + 9] = kPalette;
             picture_files::FixPngCrcs(f);
             return f;
         }},
        {"palette picture without a palette, CRC right",
         [](Bytes f, std::size_t h, std::size_t, std::size_t) {
             f[h + 8 + 9] = kPalette;
             picture_files::FixPngCrcs(f);
             return f;
         }},
        {"width 0, CRC right",
         [](Bytes f, std::size_t h, std::size_t, std::size_t) {
             std::memset(&f[h + 8], 0, 4);
             picture_files::FixPngCrcs(f);
             return f;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes damaged = c.damage(file, ihdr, idat, iend);
        ASSERT_NE(damaged, file);
        EXPECT_FALSE(Load(damaged).has_value());
    }
    EXPECT_FALSE(Load(Bytes{}, media::IMAGE_PNG).has_value());
}

TEST_F(PngDecoderTest, RefusesPicturesAboveTheSizeLimit) {
    const Made made = MakePicture(4, 4, kGrey, 8, false);
    const Bytes file = PngFile(made.png);
    const std::size_t ihdr = picture_files::FindPngChunk(file, "IHDR") + 8;
    struct Case {
        std::uint32_t width, height;
    };
    // Over 16384 a side, and within the sides but over 2^26 pixels.
    for (const Case c : {Case{16385, 4}, Case{4, 16385}, Case{16384, 4097}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        Bytes big = file;
        for (int i = 0; i < 4; ++i) {
            big[ihdr + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(c.width >> (24 - 8 * i));
            big[ihdr + 4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(c.height >> (24 - 8 * i));
        }
        picture_files::FixPngCrcs(big);
        EXPECT_FALSE(Load(big).has_value());
    }
}

// Interlaced pictures of every size up to 9x9, one row or column high or wide included, where
// some of the seven passes are empty.
TEST_F(PngDecoderTest, InterlacedPicturesOfEverySmallSizeLoad) {
    for (const Variant& v : {Variant{"RGB 8", kRgb, 8}, Variant{"RGBA 16", kRgba, 16}}) {
        for (std::uint32_t height = 1; height <= 9; ++height) {
            for (std::uint32_t width = 1; width <= 9; ++width) {
                SCOPED_TRACE(testing::Message() << v.name << " " << width << "x" << height);
                const Made made = MakePicture(width, height, v.colorType, v.bits, true);
                const auto picture = Load(PngFile(made.png));
                ASSERT_TRUE(picture.has_value());
                EXPECT_EQ(picture->colors, made.colours);
            }
        }
    }
}

// A small file declaring a large picture is refused before its surface or any pixel buffer is
// taken: its data could not inflate to that many rows.
TEST_F(PngDecoderTest, DataTooShortForTheDeclaredSizeIsRefusedBeforeAnythingIsTaken) {
    struct SurfaceCounter : platform::FaultHook {
        platform::HRESULT At(platform::FaultPoint point) override {
            if (point == platform::FaultPoint::CreateSystemSurface || point == platform::FaultPoint::CreateVideoSurface) ++made;
            return platform::S_OK;
        }
        int made = 0;
    };
    struct Restore {
        platform::FaultHook* previous;
        ~Restore() { platform::InstallFaultHook(previous); }
    };
    for (const Variant& v : {Variant{"RGBA 16", kRgba, 16}, Variant{"RGB 8", kRgb, 8}, Variant{"palette 1", kPalette, 1}}) {
        for (const bool interlaced : {true, false}) {
            SCOPED_TRACE(testing::Message() << v.name << (interlaced ? " interlaced" : ""));
            Bytes file = PngFile(MakePicture(4, 4, v.colorType, v.bits, interlaced).png);
            const std::size_t ihdr = picture_files::FindPngChunk(file, "IHDR") + 8;
            for (int i = 0; i < 8; ++i) file[ihdr + static_cast<std::size_t>(i)] = i % 4 == 2 ? 0x20 : 0;  // 8192 x 8192
            picture_files::FixPngCrcs(file);
            SurfaceCounter counter;
            const Restore restore{&host};
            platform::InstallFaultHook(&counter);
            EXPECT_FALSE(Load(file).has_value());
            EXPECT_EQ(counter.made, 0);
        }
    }
}

TEST_F(PngDecoderTest, RandomDamageNeverEndsTheProcess) {
    const Made made = MakePicture(32, 24, kPalette, 4, true);
    const Bytes file = PngFile(made.png);
    for (const int iteration : TestIterations(60)) {
        SCOPED_TRACE(testing::Message() << "iteration " << iteration);
        std::mt19937 random(IterationSeed(93, iteration));
        Bytes damaged = file;
        for (int k = 0; k < 3; ++k) damaged[8 + random() % (damaged.size() - 8)] = static_cast<std::uint8_t>(random());
        if (random() % 2) picture_files::FixPngCrcs(damaged);  // damage the library must find past the CRCs
        damaged.resize(damaged.size() - random() % 16);
        const auto picture = Load(damaged, media::IMAGE_PNG);
        if (picture) {
            EXPECT_EQ(picture->colors.size(), static_cast<std::size_t>(picture->width * picture->height));
        }
    }
}

// PNG is tried after the other five formats: a file that one of them recognises keeps its
// decoder, and a file none recognises is still unrecognised.
TEST_F(PngDecoderTest, DetectedBySignatureAfterTheOtherFormats) {
    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const Bytes png = PngFile(MakePicture(3, 2, kRgb, 8, false).png);
    Bytes pngWithTgaFooter = png;
    pngWithTgaFooter.resize(png.size() + 26);  // a footer after IEND, and byte 16 (a width byte) a TGA depth
    const char footer[] = "TRUEVISION-XFILE.";
    std::memcpy(&pngWithTgaFooter[png.size() + 8], footer, sizeof footer);
    ASSERT_EQ(pngWithTgaFooter[16], 0);
    pngWithTgaFooter[16] = 24;
    Bytes bmpStart = png;
    bmpStart[0] = 'B';
    bmpStart[1] = 'M';
    Bytes lineEndsChanged = signature;
    lineEndsChanged[4] = '\n';  // what a text-mode transfer does to the signature
    struct Case {
        const char* name;
        Bytes data;
        std::uint32_t type;
    };
    const Case cases[] = {
        {"a PNG file", png, media::IMAGE_PNG},
        {"the signature alone", signature, media::IMAGE_PNG},
        {"seven bytes of the signature", Bytes(signature.begin(), signature.end() - 1), media::IMAGE_NONE},
        {"the signature with its line ends changed", lineEndsChanged, media::IMAGE_NONE},
        {"a PNG file with a TGA footer", pngWithTgaFooter, media::IMAGE_TGA},
        {"a PNG file starting with BM", bmpStart, media::IMAGE_BMP},
        {"empty", {}, media::IMAGE_NONE},
    };
    for (const Case& c : cases) {
        // Copied into a buffer of exactly its size, so a look past the end shows under ASan.
        std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[c.data.size()]);
        std::copy(c.data.begin(), c.data.end(), exact.get());
        media::Image image;
        EXPECT_EQ(image.DetectType(c.data.size(), exact.get()), c.type) << c.name;
    }
    // The signature alone is recognised but is no picture: null, and no message.
    host.SetDebugEcho(false);
    EXPECT_FALSE(Load(signature).has_value());
    EXPECT_TRUE(host.DebugMessages().empty());
}

}  // namespace
