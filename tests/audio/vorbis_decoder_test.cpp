// Ogg Vorbis decoding, on files from libvorbis's encoder: the samples are exactly stb_vorbis's
// own whole-file decode, a seek lands on the very frame asked for, the decoded size is capped, and
// every damaged file is refused with a reason, never played as noise or as a shorter sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/audio/ogg_pages.h"
#include "platform/audio/vorbis_decoder.h"
#include "tests/audio/ogg_encoder.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb/stb_vorbis.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// stb_vorbis's own decode of the whole file in one call: what streaming must reproduce.
std::vector<std::int16_t> ReferenceDecode(const Bytes& file, int* channels, int* rate) {
    short* output = nullptr;
    const int frames = stb_vorbis_decode_memory(file.data(), static_cast<int>(file.size()), channels, rate, &output);
    std::vector<std::int16_t> samples;
    if (frames > 0) samples.assign(output, output + static_cast<std::size_t>(frames) * static_cast<std::size_t>(*channels));
    std::free(output);
    return samples;
}

struct Encoded {
    const char* name;
    int rate, channels;
    double seconds;
};
const Encoded kFiles[] = {{"mono 44.1 kHz", 44100, 1, 1.3}, {"stereo 44.1 kHz", 44100, 2, 0.7},
                          {"mono 22.05 kHz", 22050, 1, 0.45}, {"stereo 48 kHz", 48000, 2, 0.25}};

TEST(VorbisDecoderTest, ReadInPiecesGivesStbVorbisWholeDecode) {
    for (const Encoded& e : kFiles) {
        SCOPED_TRACE(e.name);
        const Bytes file = audio_test::SineOgg(441, e.seconds, e.rate, e.channels);
        int channels = 0, rate = 0;
        const std::vector<std::int16_t> reference = ReferenceDecode(file, &channels, &rate);
        ASSERT_FALSE(reference.empty());
        std::string why;
        auto decoder = platform::VorbisDecoder::OpenMemory(file.data(), file.size(), &why);
        ASSERT_TRUE(decoder) << why;
        EXPECT_EQ(decoder->Rate(), static_cast<std::uint32_t>(rate));
        EXPECT_EQ(decoder->Channels(), channels);
        EXPECT_EQ(decoder->Frames() * static_cast<std::uint64_t>(channels), reference.size());
        // Pieces of odd sizes, as the mixer asks for them.
        std::vector<std::int16_t> streamed;
        std::vector<std::int16_t> piece(1021 * 2);
        for (std::size_t got; (got = decoder->Read(piece.data(), 1021)) > 0;) {
            streamed.insert(streamed.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got * decoder->Channels()));
        }
        EXPECT_TRUE(decoder->Error().empty()) << decoder->Error();
        EXPECT_EQ(streamed, reference);
        // The whole-file decode for sounds gives the same.
        const auto clip = platform::DecodeVorbis(file.data(), file.size(), 1 << 30, &why);
        ASSERT_TRUE(clip) << why;
        EXPECT_EQ(clip->samples, reference);
        EXPECT_EQ(clip->rate, static_cast<std::uint32_t>(e.rate));
    }
}

TEST(VorbisDecoderTest, SeekLandsOnTheFrameAskedFor) {
    const Bytes file = audio_test::SineOgg(441, 2.0, 44100, 2);
    int channels = 0, rate = 0;
    const std::vector<std::int16_t> reference = ReferenceDecode(file, &channels, &rate);
    std::string why;
    auto decoder = platform::VorbisDecoder::OpenMemory(file.data(), file.size(), &why);
    ASSERT_TRUE(decoder) << why;
    const std::uint64_t frames = decoder->Frames();
    std::vector<std::int16_t> piece(2 * 2000);
    // Forward, back, to the start, into the last packet, to the end and past it.
    for (const std::uint64_t to : {std::uint64_t{44100}, std::uint64_t{3}, std::uint64_t{0}, std::uint64_t{70001}, frames - 500,
                                   frames, frames + 10}) {
        SCOPED_TRACE(::testing::Message() << "seek to " << to);
        ASSERT_TRUE(decoder->Seek(to));
        const std::size_t got = decoder->Read(piece.data(), 2000);
        const std::uint64_t from = std::min(to, frames);
        ASSERT_EQ(got, std::min<std::uint64_t>(2000, frames - from));
        for (std::size_t i = 0; i < got * 2; ++i) {
            ASSERT_EQ(piece[i], reference[from * 2 + i]) << "sample " << i;
        }
    }
}

TEST(VorbisDecoderTest, DecodedSizeIsCapped) {
    const Bytes file = audio_test::SineOgg(441, 0.5, 44100, 1);
    std::string why;
    auto decoder = platform::VorbisDecoder::OpenMemory(file.data(), file.size(), &why);
    ASSERT_TRUE(decoder);
    const std::uint64_t bytes = decoder->Frames() * 2;
    EXPECT_TRUE(platform::DecodeVorbis(file.data(), file.size(), bytes, &why)) << "exactly at the cap: " << why;
    EXPECT_FALSE(platform::DecodeVorbis(file.data(), file.size(), bytes - 1, &why));
    EXPECT_EQ(why.rfind("too large", 0), 0u) << why;
}

// Puts right the checksum of the page at offset, computed as the container defines it.
void FixChecksum(Bytes& file, std::size_t at) {
    std::size_t size = 27 + file[at + 26];
    for (std::size_t i = 0; i < file[at + 26]; ++i) size += file[at + 27 + i];
    std::memset(&file[at + 22], 0, 4);
    std::uint32_t crc = 0;
    for (std::size_t i = at; i < at + size; ++i) {
        crc ^= std::uint32_t{file[i]} << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    for (int i = 0; i < 4; ++i) file[at + 22 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (8 * i));
}

// A page of Ogg data with a right checksum but something else inside (as another codec's stream).
Bytes ForeignOgg() {
    Bytes page = {'O', 'g', 'g', 'S', 0, 0x02 | 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 8};
    for (const char c : std::string("OpusHead")) page.push_back(static_cast<std::uint8_t>(c));
    FixChecksum(page, 0);
    return page;
}

// The file with its comment header's vendor length made to run past the packet, checksums right:
// stb_vorbis would free pointers it never set (heap corruption) on such a file.
Bytes LyingCommentHeader(Bytes file) {
    const std::uint8_t tag[] = {3, 'v', 'o', 'r', 'b', 'i', 's'};
    const auto found = std::search(file.begin(), file.end(), std::begin(tag), std::end(tag));
    const auto at = static_cast<std::size_t>(found - file.begin());
    for (int i = 0; i < 4; ++i) file[at + 7 + static_cast<std::size_t>(i)] = 0xF0;
    std::size_t page = 0;
    for (std::size_t p = 0; p < at; ++p) {
        if (std::memcmp(&file[p], "OggS", 4) == 0) page = p;
    }
    FixChecksum(file, page);
    return file;
}

TEST(VorbisDecoderTest, DamagedFilesAreRefusedWithAReason) {
    const Bytes good = audio_test::SineOgg(441, 1.0, 44100, 1);
    ASSERT_GT(good.size(), 4000u);
    const auto cut = [&](std::size_t size) { return Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)); };
    const auto flipped = [&](std::size_t at) {
        Bytes b = good;
        b[at] ^= 0x10;
        return b;
    };
    // The file up to its last page: whole pages, but no page that ends the stream.
    std::size_t lastPage = 0;
    for (std::size_t at = 0; at + 4 <= good.size(); ++at) {
        if (std::memcmp(&good[at], "OggS", 4) == 0) lastPage = at;
    }
    Bytes trailing = good;
    trailing.insert(trailing.end(), {'j', 'u', 'n', 'k'});
    struct Case {
        const char* name;
        Bytes file;
        const char* reason;  // how the message starts
    };
    const Case cases[] = {
        {"empty", {}, "not an Ogg file"},
        {"a WAV file", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}, "not an Ogg file"},
        {"the first header cut", cut(20), "truncated"},
        {"cut inside the set-up pages", cut(200), "truncated"},
        {"cut inside the audio", cut(good.size() / 2), "truncated"},
        {"the last page cut short", cut(good.size() - 1), "truncated"},
        {"the last page missing", cut(lastPage), "truncated"},
        {"a bit flipped in the identification page", flipped(40), "corrupt"},
        {"a bit flipped in the audio", flipped(good.size() - 300), "corrupt"},
        {"bytes after the last page", trailing, "corrupt"},
        {"another codec's stream", ForeignOgg(), "not Vorbis"},
        {"comment lengths past the packet", LyingCommentHeader(good), "corrupt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string why;
        EXPECT_FALSE(platform::VorbisDecoder::OpenMemory(c.file.data(), c.file.size(), &why));
        EXPECT_EQ(why.rfind(c.reason, 0), 0u) << why;
        why.clear();
        EXPECT_FALSE(platform::DecodeVorbis(c.file.data(), c.file.size(), 1 << 30, &why));
        EXPECT_EQ(why.rfind(c.reason, 0), 0u) << why;
    }
}

}  // namespace
