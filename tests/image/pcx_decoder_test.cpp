#include "tests/image/decoder_test.h"

namespace {

using picture_files::Bytes;
using picture_files::Pcx;
using picture_files::PcxFile;

class PcxDecoderTest : public DecoderTest {};

// A 256-colour palette where index i is (i, 255 - i, i / 2), red, green, blue.
Bytes RampPalette() {
    Bytes palette;
    for (int i = 0; i < 256; ++i) {
        palette.push_back(static_cast<std::uint8_t>(i));
        palette.push_back(static_cast<std::uint8_t>(255 - i));
        palette.push_back(static_cast<std::uint8_t>(i / 2));
    }
    return palette;
}
platform::COLORREF RampColor(int i) {
    return Rgb(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i / 2));
}

Pcx Indexed(std::int16_t width, std::int16_t height, std::int16_t bytesPerLine, Bytes scanData) {
    Pcx pcx;
    pcx.xMax = static_cast<std::int16_t>(width - 1);
    pcx.yMax = static_cast<std::int16_t>(height - 1);
    pcx.bytesPerLine = bytesPerLine;
    pcx.scanData = std::move(scanData);
    pcx.palette = RampPalette();
    return pcx;
}

struct PcxCase {
    const char* name;
    Pcx file;
    std::vector<int> indexes;  // expected palette index per pixel, top row first
};

TEST_F(PcxDecoderTest, DecodesRunsAndLiteralsOfIndexedPictures) {
    Pcx offset = Indexed(1, 1, 10, {0xCA, 0x07});
    offset.xMin = 10;
    offset.xMax = 19;  // width 10
    const PcxCase cases[] = {
        {"run of five", Indexed(6, 1, 6, {0xC5, 0x20, 0x21}), {0x20, 0x20, 0x20, 0x20, 0x20, 0x21}},
        {"byte of 0xC0 and above only as a run", Indexed(2, 1, 2, {0xC1, 0xC7, 0xC1, 0xFF}), {0xC7, 0xFF}},
        {"empty run consumes both bytes", Indexed(2, 1, 2, {0xC0, 0x55, 0x01, 0x02}), {0x01, 0x02}},
        {"x minimum 10 to x maximum 19", offset, std::vector<int>(10, 7)},
        // Lines of 12 bytes for a width of 11: the twelfth byte is decoded and dropped.
        {"line longer than the width", Indexed(11, 2, 12, {0xCB, 0x03, 0x99, 0xCB, 0x04, 0x98}), [] {
             std::vector<int> v(11, 3);
             v.insert(v.end(), 11, 4);
             return v;
         }()},
        {"rows top first", Indexed(1, 3, 2, {0x01, 0x00, 0x02, 0x00, 0x03, 0x00}), {1, 2, 3}},
    };
    for (const PcxCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes bytes = PcxFile(c.file);
        EXPECT_EQ(Detect(bytes), media::IMAGE_PCX);
        const auto picture = Load(bytes);
        ASSERT_TRUE(picture.has_value());
        ASSERT_EQ(picture->colors.size(), c.indexes.size());
        EXPECT_EQ(picture->width, c.file.xMax - c.file.xMin + 1);
        for (std::size_t i = 0; i < c.indexes.size(); ++i) EXPECT_EQ(picture->colors[i], RampColor(c.indexes[i])) << "pixel " << i;
    }
}

TEST_F(PcxDecoderTest, TrailingPaletteGivesTheColourEntries) {
    // Index 1 = 0x10, 0x20, 0x30 (red, green, blue).
    Pcx pcx = Indexed(2, 1, 2, {0x01, 0x00});
    pcx.palette.assign(768, 0);
    pcx.palette[3] = 0x10;
    pcx.palette[4] = 0x20;
    pcx.palette[5] = 0x30;
    auto picture = Load(PcxFile(pcx));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->colors, (std::vector<platform::COLORREF>{Rgb(0x10, 0x20, 0x30), Rgb(0, 0, 0)}));

    // Without the marker the colour entries stay zero: the picture is black.
    pcx.paletteMarker = 11;
    picture = Load(PcxFile(pcx));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->colors, (std::vector<platform::COLORREF>{0, 0}));
}

TEST_F(PcxDecoderTest, FileTooShortForHeaderAndPaletteHasNoPalette) {
    // 800 bytes: the byte 769 before the end lies in the header. Make it 12 and give the file
    // what looks like a palette at its end; it must not be taken.
    Pcx pcx = Indexed(2, 1, 2, {0x01, 0x01});
    pcx.palette.clear();
    Bytes bytes = PcxFile(pcx);
    bytes.resize(800, 0x77);
    ASSERT_EQ(bytes.size() - 769, 31u);
    bytes[31] = 12;
    const auto picture = Load(bytes);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->colors, (std::vector<platform::COLORREF>{0, 0}));
}

TEST_F(PcxDecoderTest, ThreePlanesGiveTrueColour) {
    // 3x2, bytes per line 4: red, green, blue plane lines per row.
    Pcx pcx;
    pcx.planes = 3;
    pcx.xMax = 2;
    pcx.yMax = 1;
    pcx.bytesPerLine = 4;
    pcx.scanData = {
        0x10, 0x11, 0x12, 0x00, 0xC4, 0x20, 0x30, 0x31, 0xC1, 0xF0, 0x00,  // row 0: red, green, blue
        0xC4, 0xFF, 0x00, 0x01, 0x02, 0x03, 0xC4, 0x80,                    // row 1
    };
    const auto picture = Load(PcxFile(pcx));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->colors, (std::vector<platform::COLORREF>{Rgb(0x10, 0x20, 0x30), Rgb(0x11, 0x20, 0x31), Rgb(0x12, 0x20, 0xF0),
                                                                Rgb(0xFF, 0x00, 0x80), Rgb(0xFF, 0x01, 0x80), Rgb(0xFF, 0x02, 0x80)}));
}

// 0xC0 is a run of no bytes: it and the byte after it stand for nothing. Lines near the end of
// the data are decoded a byte at a time, the others eight bytes at a time; a line must come out
// the same either way, so each file is decoded as it is and with eight spare bytes after it.
TEST_F(PcxDecoderTest, AnEmptyRunReadsTheSameWhereverTheDataEnds) {
    constexpr std::int16_t kWidth = 12;
    for (const std::uint8_t after : {std::uint8_t{0x99}, std::uint8_t{0xC0}}) {
        for (std::size_t position = 0; position <= static_cast<std::size_t>(kWidth); ++position) {
            SCOPED_TRACE(testing::Message() << "0xC0 0x" << std::hex << int{after} << std::dec << " before blue byte " << position);
            Pcx pcx;
            pcx.planes = 3;
            pcx.xMax = kWidth - 1;
            pcx.bytesPerLine = kWidth;
            pcx.scanData = {0xC0 | kWidth, 0x40, 0xC0 | kWidth, 0x50};  // red and green: one run each
            for (std::size_t i = 0; i < static_cast<std::size_t>(kWidth); ++i) {
                if (i == position) pcx.scanData.insert(pcx.scanData.end(), {0xC0, after});
                pcx.scanData.push_back(static_cast<std::uint8_t>(i + 1));
            }
            if (position == static_cast<std::size_t>(kWidth)) pcx.scanData.insert(pcx.scanData.end(), {0xC0, after});
            std::vector<platform::COLORREF> expected;
            for (int i = 0; i < kWidth; ++i) expected.push_back(Rgb(0x40, 0x50, static_cast<std::uint8_t>(i + 1)));
            Pcx padded = pcx;
            padded.scanData.insert(padded.scanData.end(), 8, 0x00);
            for (const Pcx* file : {&pcx, &padded}) {
                const auto picture = Load(PcxFile(*file));
                ASSERT_TRUE(picture.has_value()) << (file == &pcx ? "data ends with the line" : "eight bytes follow");
                EXPECT_EQ(picture->colors, expected) << (file == &pcx ? "data ends with the line" : "eight bytes follow");
            }
        }
    }
}

TEST_F(PcxDecoderTest, RefusesWhatItDoesNotDecodeAndLinesThatDoNotAddUp) {
    const Pcx good = Indexed(2, 2, 2, {0xC2, 1, 0xC2, 2});
    ASSERT_TRUE(Load(PcxFile(good)).has_value());
    auto with = [&](auto change) {
        Pcx pcx = good;
        change(pcx);
        return pcx;
    };
    struct Refusal {
        const char* name;
        Pcx file;
    };
    const Refusal refusals[] = {
        {"1 bit per pixel", with([](Pcx& p) { p.bitsPerPixel = 1; })},
        {"4 bits per pixel", with([](Pcx& p) { p.bitsPerPixel = 4; })},
        {"2 planes", with([](Pcx& p) { p.planes = 2; })},
        {"4 planes", with([](Pcx& p) { p.planes = 4; })},
        // Lines of one byte that decode cleanly: the row still needs two.
        {"bytes per line below the width", with([](Pcx& p) {
             p.bytesPerLine = 1;
             p.scanData = {0x05, 0x06};
         })},
        {"bytes per line negative", with([](Pcx& p) { p.bytesPerLine = -2; })},
        {"x maximum below x minimum", with([](Pcx& p) { p.xMin = 5; })},
        {"y maximum below y minimum", with([](Pcx& p) { p.yMax = -1; })},
        {"run crossing into the next line", with([](Pcx& p) { p.scanData = {0xC4, 1}; })},
        {"run crossing from the red plane into green", with([](Pcx& p) {
             p.planes = 3;
             p.scanData = {0xC3, 1, 0xC3, 2, 0xC3, 3};
         })},
        {"scan lines run out", with([](Pcx& p) {
             p.scanData = {0xC2, 1, 0x02};
             p.palette.clear();
         })},
        {"run value missing at the end", with([](Pcx& p) {
             p.scanData = {0xC2, 1, 0xC2};
             p.palette.clear();
         })},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        EXPECT_FALSE(Load(PcxFile(r.file)).has_value());
    }
    Pcx old = good;
    old.version = 3;
    EXPECT_EQ(Detect(PcxFile(old)), media::IMAGE_NONE) << "only version 5 is recognised";
}

}  // namespace
