#pragma once
// What the audio tests share: WAV and MIDI files made in memory, a fixture on the headless
// backend that works in a directory of its own, and readings of the captured output.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/backends/headless/headless_audio.h"
#include "tests/headless_test.h"

namespace audio_test {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
// Appends byte by byte: GCC 12 warns falsely about vector::insert of short ranges at -O2.
inline void Append(Bytes& b, const Bytes& more) {
    for (const std::uint8_t byte : more) b.push_back(byte);
}
inline void PutTag(Bytes& b, const char* tag) { Append(b, Bytes(tag, tag + 4)); }

// One RIFF chunk: name, length (the real one unless told), body and the pad byte after an odd
// length.
inline void PutChunk(Bytes& b, const char* tag, const Bytes& body, std::int64_t lengthField = -1, bool pad = true) {
    PutTag(b, tag);
    Put32(b, lengthField < 0 ? static_cast<std::uint32_t>(body.size()) : static_cast<std::uint32_t>(lengthField));
    Append(b, body);
    if (pad && (body.size() & 1)) b.push_back(0);
}

inline Bytes FormatBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                        std::uint16_t blockAlign = 0) {
    if (blockAlign == 0) blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    Bytes b;
    Put16(b, tag);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * blockAlign);
    Put16(b, blockAlign);
    Put16(b, bits);
    return b;
}

// A WAV file: header, then the chunks as given.
inline Bytes Wave(const Bytes& chunks) {
    Bytes b;
    PutTag(b, "RIFF");
    Put32(b, static_cast<std::uint32_t>(chunks.size() + 4));
    PutTag(b, "WAVE");
    Append(b, chunks);
    return b;
}

// The plainest WAV: a 16-byte format chunk and the data.
inline Bytes PlainWave(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, const Bytes& samples) {
    Bytes chunks;
    PutChunk(chunks, "fmt ", FormatBody(1, channels, rate, bits));
    PutChunk(chunks, "data", samples);
    return Wave(chunks);
}

// 16-bit samples as little-endian bytes.
inline Bytes Samples16(const std::vector<std::int16_t>& values) {
    Bytes b;
    for (const std::int16_t v : values) Put16(b, static_cast<std::uint16_t>(v));
    return b;
}

// frames of a constant 16-bit mono level: loud enough to be told from silence.
inline Bytes ToneWave(std::uint32_t rate, std::uint32_t frames, std::int16_t level = 8000) {
    return PlainWave(1, rate, 16, Samples16(std::vector<std::int16_t>(frames, level)));
}

// --- MIDI files ---------------------------------------------------------------------------------

inline void PutVarLen(Bytes& b, std::uint32_t v) {
    std::uint8_t stack[5];
    int n = 0;
    stack[n++] = v & 0x7F;
    while (v >>= 7) stack[n++] = static_cast<std::uint8_t>(0x80 | (v & 0x7F));
    while (n) b.push_back(stack[--n]);
}

struct MidiNote {
    std::uint8_t channel, key, velocity;
    std::uint32_t startTick, lengthTicks;
};

// A format-0 file at 480 ticks per quarter note and 120 beats per minute (1 ms = ~0.96 ticks),
// with the given bank-0 program per channel and notes.
inline Bytes MidiFile(const std::vector<std::pair<std::uint8_t, std::uint8_t>>& programs, const std::vector<MidiNote>& notes) {
    struct Event {
        std::uint32_t tick;
        int order;
        Bytes data;
    };
    std::vector<Event> events;
    events.push_back({0, 0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}});  // 500,000 us per quarter note
    // Bank 0 then the program, as sequencers write them on every channel (the drum channel too).
    for (const auto& [channel, program] : programs) {
        events.push_back({0, 1, {static_cast<std::uint8_t>(0xB0 | channel), 0, 0}});
        events.push_back({0, 1, {static_cast<std::uint8_t>(0xC0 | channel), program}});
    }
    for (const MidiNote& n : notes) {
        events.push_back({n.startTick, 3, {static_cast<std::uint8_t>(0x90 | n.channel), n.key, n.velocity}});
        events.push_back({n.startTick + n.lengthTicks, 2, {static_cast<std::uint8_t>(0x80 | n.channel), n.key, 0}});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    Bytes track;
    std::uint32_t now = 0;
    for (const Event& e : events) {
        PutVarLen(track, e.tick - now);
        now = e.tick;
        Append(track, e.data);
    }
    PutVarLen(track, 0);
    Append(track, {0xFF, 0x2F, 0x00});
    Bytes file;
    PutTag(file, "MThd");
    Append(file, {0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0});
    PutTag(file, "MTrk");
    const auto length = static_cast<std::uint32_t>(track.size());
    Append(file, {static_cast<std::uint8_t>(length >> 24), static_cast<std::uint8_t>(length >> 16),
                  static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    Append(file, track);
    return file;
}

// A piano chord held for about seconds on channel, with a drum hit on channel 9.
inline Bytes ChordMidi(double seconds, std::uint8_t channel = 0) {
    const auto ticks = static_cast<std::uint32_t>(seconds * 960);
    return MidiFile({{channel, 0}}, {{channel, 60, 110, 0, ticks}, {channel, 64, 110, 0, ticks}, {channel, 67, 110, 0, ticks},
                                     {9, 38, 110, 0, 240}});
}

inline bool WriteFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

// --- reading the output -------------------------------------------------------------------------

// Largest absolute sample over frames [from, to) of interleaved stereo output.
inline int PeakOf(const std::vector<std::int16_t>& output, std::size_t fromFrame, std::size_t toFrame) {
    int peak = 0;
    toFrame = std::min(toFrame, output.size() / 2);
    for (std::size_t i = fromFrame * 2; i < toFrame * 2; ++i) peak = std::max(peak, std::abs(int{output[i]}));
    return peak;
}

inline std::size_t FramesOfMs(std::uint32_t ms) { return std::size_t{ms} * 441 / 10; }

}  // namespace audio_test

// Headless backend, the audio output readable, and a fresh directory as the current one.
class AudioTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        previous_ = std::filesystem::current_path();
        char pattern[] = "/tmp/audio_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
        std::filesystem::current_path(directory_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
        HeadlessTest::TearDown();
    }
    platform::headless::HeadlessAudio& audio = platform::headless::AudioControls();
    std::filesystem::path directory_, previous_;
};
