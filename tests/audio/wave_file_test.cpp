// The WAV chunk walk: where the format and the samples are found, and every way a file can lie.
#include "media/audio/wave_file.h"

#include <gtest/gtest.h>

#include "tests/audio/audio_test_support.h"

using namespace audio_test;
using platform::DSERR_BADFORMAT;
using platform::E_NOTIMPL;
using platform::HRESULT;
using platform::S_OK;

namespace {

const Bytes kFourFrames = Samples16({100, -100, 200, -200});  // 16-bit mono: four frames

Bytes FmtData(const Bytes& before, const Bytes& between, const Bytes& samples = kFourFrames) {
    Bytes chunks = before;
    PutChunk(chunks, "fmt ", FormatBody(1, 1, 22050, 16));
    Append(chunks, between);
    PutChunk(chunks, "data", samples);
    return Wave(chunks);
}

Bytes Chunk(const char* tag, const Bytes& body) {
    Bytes b;
    PutChunk(b, tag, body);
    return b;
}

struct FoundCase {
    const char* name;
    Bytes file;
    std::size_t samplesAt;  // offset of the samples in the file
};

}  // namespace

TEST(WaveFileChunkWalk, FindsFormatAndSamplesByName) {
    const Bytes odd(7, 0xAB);  // an odd-length chunk: a pad byte follows
    const FoundCase cases[] = {
        {"plain", FmtData({}, {}), 44},
        {"fact between", FmtData({}, Chunk("fact", {1, 0, 0, 0})), 56},
        {"LIST between", FmtData({}, Chunk("LIST", Bytes(26, 'i'))), 78},
        {"JUNK before fmt", FmtData(Chunk("JUNK", Bytes(28, 0)), {}), 80},
        {"odd chunk padded", FmtData({}, Chunk("bext", odd)), 44 + 8 + 8},
        {"a second format chunk is passed over", FmtData({}, Chunk("fmt ", FormatBody(1, 2, 8000, 8))), 44 + 24},
        {"fact, LIST, odd", FmtData({}, [&] {
             Bytes b = Chunk("fact", {1, 0, 0, 0});
             const Bytes list = Chunk("LIST", Bytes(4, 'x')), bext = Chunk("bext", odd);
             Append(b, list);
             Append(b, bext);
             return b;
         }()), 44 + 12 + 12 + 16},
    };
    for (const FoundCase& c : cases) {
        SCOPED_TRACE(c.name);
        media::WaveSound sound;
        ASSERT_EQ(media::ParseWave(c.file.data(), c.file.size(), &sound), S_OK);
        EXPECT_EQ(sound.samples - c.file.data(), static_cast<std::ptrdiff_t>(c.samplesAt));
        EXPECT_EQ(sound.sampleBytes, kFourFrames.size());
        EXPECT_EQ(0, std::memcmp(sound.samples, kFourFrames.data(), kFourFrames.size()));
        EXPECT_EQ(sound.format.samplesPerSec, 22050u);
        EXPECT_EQ(sound.format.channels, 1);
        EXPECT_EQ(sound.format.bitsPerSample, 16);
    }
}

TEST(WaveFileChunkWalk, ExtensibleFormatHoldingPcmReadsAsPcm) {
    Bytes fmt = FormatBody(0xFFFE, 2, 44100, 16);
    Put16(fmt, 22);      // extra bytes
    Put16(fmt, 16);      // valid bits
    Put32(fmt, 3);       // front left and right
    Put16(fmt, 1);       // PCM subtype
    Append(fmt, {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71});
    Bytes chunks;
    PutChunk(chunks, "fmt ", fmt);
    PutChunk(chunks, "data", kFourFrames);
    const Bytes file = Wave(chunks);
    media::WaveSound sound;
    ASSERT_EQ(media::ParseWave(file.data(), file.size(), &sound), S_OK);
    EXPECT_EQ(sound.format.formatTag, 1);
    EXPECT_EQ(sound.format.channels, 2);

    // The same with a float subtype is not PCM, nor are samples whose valid bits do not fill
    // their containers (12 of 16).
    Bytes floatFile = file;
    floatFile[12 + 8 + 24] = 3;
    EXPECT_EQ(media::ParseWave(floatFile.data(), floatFile.size(), &sound), E_NOTIMPL);
    Bytes twelveBits = file;
    twelveBits[12 + 8 + 18] = 12;
    EXPECT_EQ(media::ParseWave(twelveBits.data(), twelveBits.size(), &sound), E_NOTIMPL);
}

TEST(WaveFileChunkWalk, RefusesFilesThatDoNotHoldTogether) {
    const Bytes good = FmtData({}, {});
    struct Case {
        const char* name;
        Bytes file;
        HRESULT expected;
    };
    auto with = [&](std::size_t offset, std::uint32_t value) {
        Bytes b = good;
        b[offset] = static_cast<std::uint8_t>(value);
        b[offset + 1] = static_cast<std::uint8_t>(value >> 8);
        b[offset + 2] = static_cast<std::uint8_t>(value >> 16);
        b[offset + 3] = static_cast<std::uint8_t>(value >> 24);
        return b;
    };
    auto format = [&](std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, std::uint16_t align,
                      const Bytes& samples = kFourFrames) {
        Bytes chunks;
        PutChunk(chunks, "fmt ", FormatBody(tag, channels, rate, bits, align));
        PutChunk(chunks, "data", samples);
        return Wave(chunks);
    };
    Bytes shortFormat;
    const Bytes fullFormat = FormatBody(1, 1, 22050, 16);
    PutChunk(shortFormat, "fmt ", Bytes(fullFormat.begin(), fullFormat.begin() + 14));
    PutChunk(shortFormat, "data", kFourFrames);
    Bytes dataFirst;
    PutChunk(dataFirst, "data", kFourFrames);
    PutChunk(dataFirst, "fmt ", FormatBody(1, 1, 22050, 16));
    Bytes noData;
    PutChunk(noData, "fmt ", FormatBody(1, 1, 22050, 16));
    PutChunk(noData, "LIST", Bytes(8, 0));

    const Case cases[] = {
        {"no RIFF", [&] { Bytes b = good; b[0] = 'X'; return b; }(), DSERR_BADFORMAT},
        {"no WAVE", [&] { Bytes b = good; b[11] = 'X'; return b; }(), DSERR_BADFORMAT},
        {"header only", Bytes(good.begin(), good.begin() + 12), DSERR_BADFORMAT},
        {"format length past the end", with(16, 0x7FFFFFF0), DSERR_BADFORMAT},
        {"format length 0xFFFFFFFF", with(16, 0xFFFFFFFF), DSERR_BADFORMAT},
        {"data length past the end", with(40, 9), DSERR_BADFORMAT},
        {"data cut short", Bytes(good.begin(), good.end() - 1), DSERR_BADFORMAT},
        {"format chunk of 14 bytes", Wave(shortFormat), DSERR_BADFORMAT},
        {"data before format", Wave(dataFirst), DSERR_BADFORMAT},
        {"no data chunk", Wave(noData), DSERR_BADFORMAT},
        {"not PCM (ADPCM)", format(2, 1, 22050, 4, 256, Bytes(256, 0)), E_NOTIMPL},
        {"not PCM (float)", format(3, 1, 22050, 32, 4), E_NOTIMPL},
        {"0 channels", format(1, 0, 22050, 16, 2), DSERR_BADFORMAT},
        {"3 channels", format(1, 3, 22050, 16, 6, Bytes(12, 0)), DSERR_BADFORMAT},
        {"rate 0", format(1, 1, 0, 16, 2), DSERR_BADFORMAT},
        {"24 bits", format(1, 1, 22050, 24, 3, Bytes(6, 0)), DSERR_BADFORMAT},
        {"block align wrong", format(1, 1, 22050, 16, 4), DSERR_BADFORMAT},
        {"half a frame", format(1, 2, 22050, 16, 4, Bytes(6, 0)), DSERR_BADFORMAT},
        {"empty data", format(1, 1, 22050, 16, 2, Bytes{}), DSERR_BADFORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        media::WaveSound sound;
        EXPECT_EQ(media::ParseWave(c.file.data(), c.file.size(), &sound), c.expected);
    }
}
