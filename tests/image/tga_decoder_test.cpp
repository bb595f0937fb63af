#include <cstring>

#include "tests/image/decoder_test.h"

namespace {

using picture_files::Bytes;
using picture_files::Tga;
using picture_files::TgaFile;

class TgaDecoderTest : public DecoderTest {};

// 24-bit pixel bytes blue, green, red.
Bytes Bgr(std::initializer_list<platform::COLORREF> colors) {
    Bytes out;
    for (platform::COLORREF c : colors) {
        out.push_back(platform::BlueOf(c));
        out.push_back(platform::GreenOf(c));
        out.push_back(platform::RedOf(c));
    }
    return out;
}

constexpr platform::COLORREF kRed = Rgb(0xF0, 0x10, 0x20), kGreen = Rgb(0x11, 0xE0, 0x22), kBlue = Rgb(0x12, 0x13, 0xD0),
                             kWhite = Rgb(0xFF, 0xFF, 0xFF), kGrey = Rgb(0x80, 0x81, 0x82), kBlack = Rgb(0, 0, 0);

struct TgaCase {
    const char* name;
    Tga file;
    std::vector<platform::COLORREF> expected;  // top row first
};

Tga Make(std::uint8_t type, std::uint8_t depth, std::uint16_t width, std::uint16_t height, Bytes pixels, std::uint8_t descriptor = 0) {
    Tga tga;
    tga.imageType = type;
    tga.depth = depth;
    tga.width = width;
    tga.height = height;
    tga.pixelData = std::move(pixels);
    tga.descriptor = descriptor;
    return tga;
}

Tga ColorMapped(std::uint8_t type, Bytes map, std::uint8_t entrySize, std::uint16_t first, std::uint16_t length, std::uint16_t width,
                Bytes pixels) {
    Tga tga = Make(type, 8, width, 1, std::move(pixels), 0x20);
    tga.colorMapType = 1;
    tga.colorMap = std::move(map);
    tga.mapEntrySize = entrySize;
    tga.mapFirst = first;
    tga.mapLength = length;
    return tga;
}

std::vector<TgaCase> LoadingCases() {
    const Bytes twoRows = Bgr({kRed, kGreen, kBlue, kWhite, kGrey, kBlack});
    return {
        {"map of 24-bit entries, index 0", ColorMapped(1, {0x10, 0x20, 0x30, 1, 2, 3}, 24, 0, 2, 3, {0, 1, 0}),
         {Rgb(0x30, 0x20, 0x10), Rgb(3, 2, 1), Rgb(0x30, 0x20, 0x10)}},
        {"map of 15-bit entries", ColorMapped(1, {0x00, 0x7C, 0xE0, 0x03}, 15, 0, 2, 2, {1, 0}), {Rgb(0, 0xF8, 0), Rgb(0xF8, 0, 0)}},
        {"map of 32-bit entries, alpha dropped", ColorMapped(1, {1, 2, 3, 0x80, 4, 5, 6, 0}, 32, 0, 2, 2, {1, 0}),
         {Rgb(6, 5, 4), Rgb(3, 2, 1)}},
        // First entry index 2: the two stored entries are indexes 2 and 3, the last one included.
        {"map starting at index 2", ColorMapped(1, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60}, 24, 2, 2, 3, {3, 2, 0}),
         {Rgb(0x60, 0x50, 0x40), Rgb(0x30, 0x20, 0x10), kBlack}},
        {"run-length colour map", ColorMapped(9, {0x10, 0x20, 0x30, 1, 2, 3}, 24, 0, 2, 3, {0x82, 1}),
         {Rgb(3, 2, 1), Rgb(3, 2, 1), Rgb(3, 2, 1)}},
        {"16-bit red, blue, green, bit 15 ignored", Make(2, 16, 4, 1, {0x00, 0x7C, 0x1F, 0x00, 0xE0, 0x03, 0x00, 0xFC}, 0x20),
         {Rgb(0xF8, 0, 0), Rgb(0, 0, 0xF8), Rgb(0, 0xF8, 0), Rgb(0xF8, 0, 0)}},
        {"16-bit channels times 8", Make(2, 16, 1, 1, {0x21, 0x04}), {Rgb(8, 8, 8)}},
        // Rows of 3 pixels (9 bytes, 12 in the buffer) follow each other in the file without gaps.
        {"24-bit rows of 3, bottom row first", Make(2, 24, 3, 2, twoRows), {kWhite, kGrey, kBlack, kRed, kGreen, kBlue}},
        {"24-bit rows of 3, top row first", Make(2, 24, 3, 2, twoRows, 0x20), {kRed, kGreen, kBlue, kWhite, kGrey, kBlack}},
        {"32-bit with alpha loads opaque", Make(2, 32, 2, 1, {1, 2, 3, 0x00, 4, 5, 6, 0x7F}, 0x20), {Rgb(3, 2, 1), Rgb(6, 5, 4)}},
        {"greyscale uses the grey ramp", Make(3, 8, 3, 1, {0, 0x80, 0xFF}), {kBlack, Rgb(0x80, 0x80, 0x80), kWhite}},
        {"run-length greyscale", Make(11, 8, 3, 1, {0x81, 0x40, 0x00, 0xC0}), {Rgb(0x40, 0x40, 0x40), Rgb(0x40, 0x40, 0x40), Rgb(0xC0, 0xC0, 0xC0)}},
        // A run packet 0x83 writes 4 pixels, a raw packet 0x03 is followed by 4.
        {"run then raw packet", Make(10, 24, 8, 1, [] {
             Bytes b = {0x83};
             picture_files::Append(b, Bgr({kRed}));
             b.push_back(0x03);
             picture_files::Append(b, Bgr({kGreen, kBlue, kWhite, kGrey}));
             return b;
         }(), 0x20),
         {kRed, kRed, kRed, kRed, kGreen, kBlue, kWhite, kGrey}},
        {"run crossing from one row into the next", Make(10, 24, 3, 2, [] {
             Bytes b = {0x83};
             picture_files::Append(b, Bgr({kRed}));
             b.push_back(0x01);
             picture_files::Append(b, Bgr({kBlue, kGreen}));
             return b;
         }(), 0x20),
         {kRed, kRed, kRed, kRed, kBlue, kGreen}},
        {"raw packet crossing rows, bottom row first", Make(10, 24, 2, 2, [] {
             Bytes b = {0x03};
             picture_files::Append(b, Bgr({kRed, kGreen, kBlue, kWhite}));
             return b;
         }()),
         {kBlue, kWhite, kRed, kGreen}},
        // A run of 128 in a 2x2 picture is cut after the last pixel; nothing more is read.
        {"run cut at the last pixel", Make(10, 24, 2, 2, [] {
             Bytes b = {0x81};
             picture_files::Append(b, Bgr({kGreen}));
             b.push_back(0xFF);
             picture_files::Append(b, Bgr({kRed}));
             return b;
         }(), 0x20),
         {kGreen, kGreen, kRed, kRed}},
        {"raw packet cut at the last pixel", Make(10, 24, 2, 1, [] {
             Bytes b = {0x7F};
             picture_files::Append(b, Bgr({kRed, kBlue}));
             return b;
         }()),
         {kRed, kBlue}},
        {"run-length 16-bit", Make(10, 16, 3, 1, {0x82, 0x00, 0x7C}, 0x20), {Rgb(0xF8, 0, 0), Rgb(0xF8, 0, 0), Rgb(0xF8, 0, 0)}},
        {"run-length 32-bit", Make(10, 32, 3, 1, {0x00, 1, 2, 3, 4, 0x81, 5, 6, 7, 8}, 0x20), {Rgb(3, 2, 1), Rgb(7, 6, 5), Rgb(7, 6, 5)}},
    };
}

TEST_F(TgaDecoderTest, LoadsEachVariantPixelForPixel) {
    for (const TgaCase& c : LoadingCases()) {
        SCOPED_TRACE(c.name);
        const Bytes bytes = TgaFile(c.file);
        EXPECT_EQ(Detect(bytes), media::IMAGE_TGA);
        const auto picture = Load(bytes);
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(picture->width, c.file.width);
        EXPECT_EQ(picture->height, c.file.height);
        EXPECT_EQ(picture->colors, c.expected);
    }
}

// Asked for, a 32-bit file's alpha (descriptor: 8 attribute bits) becomes the alpha map, top row
// first whichever way the file stores its rows; the colours stay those of a plain load. Files
// without 8 alpha bits give no map.
TEST_F(TgaDecoderTest, AlphaIsKeptAsAMapWhenAsked) {
    struct Case {
        const char* name;
        Tga file;
        std::vector<std::uint8_t> alpha;
    };
    const Bytes twoRows = {1, 2, 3, 0x00, 4, 5, 6, 0x7F, 7, 8, 9, 0xFF, 10, 11, 12, 0x80};
    const Case cases[] = {
        {"top row first", Make(2, 32, 2, 2, twoRows, 0x28), {0x00, 0x7F, 0xFF, 0x80}},
        {"bottom row first", Make(2, 32, 2, 2, twoRows, 0x08), {0xFF, 0x80, 0x00, 0x7F}},
        {"run-length", Make(10, 32, 3, 1, {0x00, 1, 2, 3, 4, 0x81, 5, 6, 7, 200}, 0x28), {4, 200, 200}},
        {"no alpha bits", Make(2, 32, 2, 1, {1, 2, 3, 9, 4, 5, 6, 9}, 0x20), {}},
        {"24-bit", Make(2, 24, 1, 1, {1, 2, 3}, 0x20), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes bytes = TgaFile(c.file);
        const auto plain = Load(bytes);
        const auto picture = LoadWithAlpha(bytes);
        ASSERT_TRUE(plain.has_value());
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(picture->colors, plain->colors);
        EXPECT_EQ(picture->alpha, c.alpha);
    }
}

TEST_F(TgaDecoderTest, RefusesFilesThatEndEarlyOrLie) {
    const Tga good = Make(2, 24, 2, 2, Bgr({kRed, kGreen, kBlue, kWhite}));
    ASSERT_TRUE(Load(TgaFile(good)).has_value());
    struct Refusal {
        const char* name;
        Tga file;
    };
    auto with = [&](auto change) {
        Tga tga = good;
        change(tga);
        return tga;
    };
    const Refusal refusals[] = {
        {"width 0", with([](Tga& t) { t.width = 0; })},
        {"height 0", with([](Tga& t) { t.height = 0; })},
        {"pixel data one byte short", with([](Tga& t) { t.pixelData.pop_back(); })},
        {"run-length data ending inside a raw packet", with([](Tga& t) {
             t.imageType = 10;
             t.pixelData = {0x03, 1, 2, 3, 4, 5, 6};
         })},
        {"run-length data ending after a header byte", with([](Tga& t) {
             t.imageType = 10;
             t.pixelData = {0x81, 1, 2, 3, 0x81};
         })},
        {"run-length data too few packets", with([](Tga& t) {
             t.imageType = 10;
             t.pixelData = {0x82, 1, 2, 3};
         })},
        {"colour map longer than the file", with([](Tga& t) {
             t = ColorMapped(1, {1, 2, 3}, 24, 0, 200, 1, {0});
         })},
        {"an ID and no pixel data", with([](Tga& t) {
             t.id.assign(3, 'x');
             t.pixelData.clear();
         })},
        {"no image data (type 0)", with([](Tga& t) { t.imageType = 0; })},
        {"compressed type 32", with([](Tga& t) { t.imageType = 32; })},
        {"wider than 16384", with([](Tga& t) {
             t.width = 16385;
             t.height = 1;
         })},
        {"more than 2^26 pixels", with([](Tga& t) {
             t.width = 16384;
             t.height = 4097;
         })},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        EXPECT_FALSE(Load(TgaFile(r.file)).has_value());
        EXPECT_FALSE(Load(TgaFile(r.file), media::IMAGE_TGA).has_value());
    }
}

TEST_F(TgaDecoderTest, PixelDataMayNotRunIntoTheFooter) {
    // 2x2 pixels need 12 bytes; 9 are there and the footer follows.
    Tga tga = Make(2, 24, 2, 2, Bgr({kRed, kGreen, kBlue}));
    EXPECT_FALSE(Load(TgaFile(tga)).has_value());
}

TEST_F(TgaDecoderTest, OnlyVersion2FilesAreRecognised) {
    Tga tga = Make(2, 24, 1, 1, Bgr({kRed}), 0x20);
    tga.footer = false;
    const Bytes v1 = TgaFile(tga);
    EXPECT_EQ(Detect(v1), media::IMAGE_NONE);
    // Asked for by type, a version 1 file still decodes.
    const auto picture = Load(v1, media::IMAGE_TGA);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->colors, std::vector<platform::COLORREF>{kRed});

    // Unknown pixel depths are not TGA files either.
    tga = Make(2, 15, 1, 1, {0, 0});
    EXPECT_EQ(Detect(TgaFile(tga)), media::IMAGE_NONE);

    // A file shorter than the footer never matches, even when its last bytes spell the signature.
    const char text[] = "TRUEVISION-XFILE.";
    Bytes shortFile(text, text + sizeof text);
    shortFile.insert(shortFile.begin(), 7, 24);
    ASSERT_LT(shortFile.size(), 26u);
    EXPECT_EQ(Detect(shortFile), media::IMAGE_NONE);
}

TEST_F(TgaDecoderTest, TgaFileStartingWithBmIsStillTga) {
    // An ID of 66 bytes ('B') and a colour map type of 'M' (ignored for 24-bit pixels).
    Tga tga = Make(2, 24, 1, 1, Bgr({kBlue}));
    tga.id.assign('B', 0);
    tga.colorMapType = 'M';
    const Bytes bytes = TgaFile(tga);
    ASSERT_EQ(bytes[0], 'B');
    ASSERT_EQ(bytes[1], 'M');
    EXPECT_EQ(Detect(bytes), media::IMAGE_TGA);
    const auto picture = Load(bytes);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->colors, std::vector<platform::COLORREF>{kBlue});
}

}  // namespace
