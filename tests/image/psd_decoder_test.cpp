#include <algorithm>
#include <random>

#include "tests/image/decoder_test.h"

namespace {

using picture_files::Bytes;
using picture_files::Psd;
using picture_files::PsdFile;

class PsdDecoderTest : public DecoderTest {};

// Channel k of a test document holds 0x10 * (k + 1) in every byte; channel 0 varies along the
// row so the order of pixels shows too.
Bytes Plane(int channel, std::uint32_t width, std::uint32_t height) {
    Bytes plane(std::size_t{width} * height, static_cast<std::uint8_t>(0x10 * (channel + 1)));
    if (channel == 0) {
        for (std::size_t i = 0; i < plane.size(); ++i) plane[i] = static_cast<std::uint8_t>(0x10 + i);
    }
    return plane;
}

Psd Document(std::uint16_t channels, std::uint16_t compression, std::uint32_t width = 3, std::uint32_t height = 2) {
    Psd psd;
    psd.channels = channels;
    psd.width = width;
    psd.height = height;
    psd.compression = compression;
    std::vector<Bytes> planes;
    for (int k = 0; k < channels; ++k) planes.push_back(Plane(k, width, height));
    if (compression == 0) {
        for (const Bytes& p : planes) picture_files::Append(psd.imageData, p);
    } else {
        psd.imageData = picture_files::PsdPackBitsImage(planes, width, height);
    }
    return psd;
}

// Which channel each of red, green, blue takes (-1: none, so 0), by channel count.
struct Placement {
    std::uint16_t channels;
    int red, green, blue;
};

TEST_F(PsdDecoderTest, ChannelsFillRedGreenBlueInSlotOrder) {
    const Placement placements[] = {
        {0, -1, -1, -1}, {1, -1, -1, 0}, {2, -1, 0, 1}, {3, 0, 1, 2}, {4, 0, 1, 2}, {5, 0, 1, 2}, {24, 0, 1, 2},
    };
    for (std::uint16_t compression : {0, 1}) {
        for (const Placement& p : placements) {
            SCOPED_TRACE(testing::Message() << p.channels << " channels, compression " << compression);
            const Bytes bytes = PsdFile(Document(p.channels, compression));
            EXPECT_EQ(Detect(bytes), media::IMAGE_PSD);
            const auto picture = Load(bytes);
            ASSERT_TRUE(picture.has_value());
            ASSERT_EQ(picture->width, 3);
            ASSERT_EQ(picture->height, 2);
            for (std::int32_t i = 0; i < 6; ++i) {
                auto value = [&](int channel) {
                    return channel < 0 ? 0 : Plane(channel, 3, 2)[static_cast<std::size_t>(i)];
                };
                EXPECT_EQ(picture->colors[static_cast<std::size_t>(i)], Rgb(value(p.red), value(p.green), value(p.blue))) << "pixel " << i;
            }
            // Asked for, a fourth channel becomes the alpha map; the colours stay.
            const auto withAlpha = LoadWithAlpha(bytes);
            ASSERT_TRUE(withAlpha.has_value());
            EXPECT_EQ(withAlpha->colors, picture->colors);
            EXPECT_EQ(withAlpha->alpha, p.channels >= 4 ? Plane(3, 3, 2) : Bytes{});
        }
    }
}

TEST_F(PsdDecoderTest, PackBitsPacketsAcrossRowsAndChannels) {
    // 2x2, 3 channels. Red: 0xFE 0x40 (three 0x40), then 0x80 (nothing), then 0x00 0x41 (one byte).
    // Green: 0x02 copies three bytes, then a run of 5 (0xFC) cut to the one pixel left.
    // Blue: starts right after that cut packet, one run of four.
    Psd psd;
    psd.channels = 3;
    psd.width = 2;
    psd.height = 2;
    psd.compression = 1;
    psd.imageData.assign(2 * 2 * 3, 0);  // row byte counts, not used
    const Bytes packets = {0xFE, 0x40, 0x80, 0x00, 0x41, 0x02, 0x01, 0x02, 0x03, 0xFC, 0x09, 0xFD, 0x77};
    picture_files::Append(psd.imageData, packets);
    const auto picture = Load(PsdFile(psd));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->colors, (std::vector<platform::COLORREF>{Rgb(0x40, 1, 0x77), Rgb(0x40, 2, 0x77), Rgb(0x40, 3, 0x77),
                                                                Rgb(0x41, 9, 0x77)}));
}

TEST_F(PsdDecoderTest, LiteralCutAtTheChannelEndStillEndsTheChannel) {
    // 1x2, 3 channels. Red: a literal of 4 (0x03) cut after 2 bytes; its other 2 bytes are part
    // of the packet, so green starts after them.
    Psd psd;
    psd.channels = 3;
    psd.width = 1;
    psd.height = 2;
    psd.compression = 1;
    psd.imageData.assign(2 * 3 * 2, 0);
    picture_files::Append(psd.imageData, {0x03, 0x10, 0x11, 0xEE, 0xEE, 0xFF, 0x20, 0x01, 0x30, 0x31});
    const auto picture = Load(PsdFile(psd));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->colors, (std::vector<platform::COLORREF>{Rgb(0x10, 0x20, 0x30), Rgb(0x11, 0x20, 0x31)}));

    // The last channel's cut literal may end with the file: only the bytes it uses must be there.
    psd.imageData.resize(psd.imageData.size() - 3);
    picture_files::Append(psd.imageData, {0x05, 0x30, 0x31});
    const auto cut = Load(PsdFile(psd));
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->colors, picture->colors);
}

// The same PackBits stream with the no-op header 128 before every packet.
Bytes WithNoOps(const Bytes& packed) {
    Bytes out;
    for (std::size_t i = 0; i < packed.size();) {
        const unsigned n = packed[i];
        const std::size_t length = std::min<std::size_t>(n < 128 ? n + 2u : 2u, packed.size() - i);
        out.push_back(0x80);
        out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(i), packed.begin() + static_cast<std::ptrdiff_t>(i + length));
        i += length;
    }
    return out;
}

// Seeded random documents of odd widths, channels packed as one stream each (packets run across
// rows), against the planes they were made from;
// every fourth with a no-op header before each packet.
TEST_F(PsdDecoderTest, WideDocumentsMatchTheirPlanes) {
    for (const int iteration : TestIterations(40)) {
        SCOPED_TRACE(testing::Message() << "iteration " << iteration);
        std::mt19937 random(IterationSeed(71, iteration));
        const std::uint32_t width = 1 + random() % 70, height = 1 + random() % 6;
        const auto channels = static_cast<std::uint16_t>(random() % 6);
        const std::uint16_t compression = iteration % 2;
        std::vector<Bytes> planes(channels, Bytes(std::size_t{width} * height));
        for (Bytes& plane : planes) {
            // Runs and noise, weighted toward 0x00 and 0xFF.
            for (std::size_t i = 0; i < plane.size(); ++i) {
                const std::uint32_t pick = random() % 4;
                plane[i] = pick == 0 ? 0x00 : pick == 1 ? 0xFF : pick == 2 && i > 0 ? plane[i - 1] : static_cast<std::uint8_t>(random());
            }
        }
        Psd psd;
        psd.channels = channels;
        psd.width = width;
        psd.height = height;
        psd.compression = compression;
        if (compression == 1) psd.imageData.assign(std::size_t{height} * channels * 2, 0);
        for (const Bytes& plane : planes) {
            const Bytes packed = compression == 1 ? picture_files::PackBits(plane.data(), plane.size()) : plane;
            picture_files::Append(psd.imageData, iteration % 4 == 3 ? WithNoOps(packed) : packed);
        }
        const auto picture = Load(PsdFile(psd));
        ASSERT_TRUE(picture.has_value());
        // Red, green and blue take the planes in that order, each only when its pixel byte
        // number (2, 1, 0) is below the channel count.
        auto channelFor = [&](int byte) {
            int k = 0;
            for (int b : {2, 1, 0}) {
                if (b >= channels) continue;
                if (b == byte) return k;
                ++k;
            }
            return -1;
        };
        for (std::size_t i = 0; i < picture->colors.size(); ++i) {
            auto value = [&](int byte) {
                const int k = channelFor(byte);
                return k < 0 ? std::uint8_t{0} : planes[static_cast<std::size_t>(k)][i];
            };
            ASSERT_EQ(picture->colors[i], Rgb(value(2), value(1), value(0))) << "pixel " << i;
        }
    }
}

// Long literals and long runs (packets of up to 128 bytes, ending anywhere in a row and running
// on into the next), in documents large enough that most packets lie far from the data's end;
// every other one with a no-op header before each packet.
TEST_F(PsdDecoderTest, LongPacketsMatchTheirPlanes) {
    for (const int iteration : TestIterations(30)) {
        SCOPED_TRACE(testing::Message() << "iteration " << iteration);
        std::mt19937 random(IterationSeed(89, iteration));
        const std::uint32_t width = 1 + random() % 300, height = 1 + random() % 8;
        const auto channels = static_cast<std::uint16_t>(3 + random() % 2);
        std::vector<Bytes> planes(channels, Bytes(std::size_t{width} * height));
        for (Bytes& plane : planes) {
            // Stretches of noise with no two neighbours equal (literals) and of one value (runs).
            for (std::size_t i = 0; i < plane.size();) {
                const std::size_t stretch = std::min<std::size_t>(1 + random() % 300, plane.size() - i);
                const bool run = random() % 2;
                const auto value = static_cast<std::uint8_t>(random());
                for (std::size_t k = 0; k < stretch; ++k, ++i) {
                    std::uint8_t v = run ? value : static_cast<std::uint8_t>(random());
                    if (!run && i > 0 && v == plane[i - 1]) v ^= 0x5A;
                    plane[i] = v;
                }
            }
        }
        Psd psd;
        psd.channels = channels;
        psd.width = width;
        psd.height = height;
        psd.compression = 1;
        psd.imageData.assign(std::size_t{height} * channels * 2, 0);
        for (const Bytes& plane : planes) {
            const Bytes packed = picture_files::PackBits(plane.data(), plane.size());
            picture_files::Append(psd.imageData, iteration % 2 ? WithNoOps(packed) : packed);
        }
        const auto picture = Load(PsdFile(psd));
        ASSERT_TRUE(picture.has_value());
        for (std::size_t i = 0; i < picture->colors.size(); ++i) {
            ASSERT_EQ(picture->colors[i], Rgb(planes[0][i], planes[1][i], planes[2][i])) << "pixel " << i;
        }
    }
}

TEST_F(PsdDecoderTest, LayersAndOtherSectionsAreSkipped) {
    Psd psd = Document(3, 1);
    psd.colorModeData.assign(5, 0xAA);
    psd.resources.assign(40, 0xBB);
    psd.layers.assign(123, 0xCC);
    const auto withLayers = Load(PsdFile(psd));
    const auto plain = Load(PsdFile(Document(3, 1)));
    ASSERT_TRUE(withLayers.has_value());
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(withLayers->colors, plain->colors);
}

TEST_F(PsdDecoderTest, RefusesWhatItDoesNotDecodeAndFilesThatEndEarly) {
    struct Refusal {
        const char* name;
        Bytes bytes;
    };
    auto with = [](std::uint16_t compression, auto change) {
        Psd psd = Document(3, compression);
        change(psd);
        return PsdFile(psd);
    };
    auto cut = [](Bytes bytes, std::size_t count) {
        bytes.resize(bytes.size() - count);
        return bytes;
    };
    const Bytes packed = PsdFile(Document(3, 1));
    const Refusal refusals[] = {
        {"version 2", with(0, [](Psd& p) { p.version = 2; })},
        {"25 channels", with(0, [](Psd& p) { p.channels = 25; })},
        {"16 bits per channel", with(0, [](Psd& p) { p.depth = 16; })},
        {"greyscale mode", with(0, [](Psd& p) { p.colorMode = 1; })},
        {"CMYK mode", with(0, [](Psd& p) { p.colorMode = 4; })},
        {"compression 2", with(0, [](Psd& p) { p.compression = 2; })},
        {"compression 3", with(0, [](Psd& p) { p.compression = 3; })},
        {"width 0", with(0, [](Psd& p) { p.width = 0; })},
        {"height 0", with(0, [](Psd& p) { p.height = 0; })},
        {"wider than 16384", with(0, [](Psd& p) { p.width = 16385; })},
        {"more than 2^26 pixels", with(0, [](Psd& p) { p.width = p.height = 8193; })},
        {"raw planes one byte short", cut(PsdFile(Document(3, 0)), 1)},
        {"PackBits stream ending early", cut(packed, 1)},
        {"row byte-count table cut", cut(packed, packed.size() - 26 - 12 - 2 - 4)},
        {"no compression field", cut(PsdFile(Document(3, 0)), 18 + 2)},
        {"section length past the end", [] {
             Bytes b = PsdFile(Document(3, 0));
             b[26 + 4 + 4] = 0x7F;  // layer section length 0x7F000000
             return b;
         }()},
        {"header only", cut(PsdFile(Document(3, 0)), 18 + 2 + 12)},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        EXPECT_FALSE(Load(r.bytes).has_value());
        EXPECT_FALSE(Load(r.bytes, media::IMAGE_PSD).has_value());
    }
    EXPECT_EQ(Detect(with(0, [](Psd& p) { p.version = 2; })), media::IMAGE_PSD) << "the signature alone decides detection";
}

}  // namespace
