// make-tune-ogg FILE: writes the tune-player page's Ogg Vorbis tune, a 12-second arpeggio of plucked
// notes, with the tests' encoder (libvorbis). Built for the machine that builds the site, not for the
// browser: the site ships the file it writes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

#include "tests/audio/ogg_encoder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-tune-ogg FILE\n");
        return 2;
    }
    constexpr int kRate = 44100;
    constexpr double kNoteSeconds = 0.25;
    // C major, A minor, F major and G major, each chord's four notes climbing; the whole played three times.
    constexpr double kNotes[] = {261.63, 329.63, 392.00, 523.25, 220.00, 261.63, 329.63, 440.00,
                                 174.61, 220.00, 261.63, 349.23, 196.00, 246.94, 293.66, 392.00};
    const int noteFrames = static_cast<int>(kRate * kNoteSeconds);
    std::vector<std::int16_t> samples;
    for (int repeat = 0; repeat < 3; ++repeat) {
        for (const double hz : kNotes) {
            for (int i = 0; i < noteFrames; ++i) {
                const double t = static_cast<double>(i) / kRate;
                const double pluck = std::exp(-6.0 * t) * std::min(1.0, t * 200.0);  // 5 ms attack, then a decay
                samples.push_back(static_cast<std::int16_t>(9000.0 * pluck * std::sin(2 * std::numbers::pi * hz * t)));
            }
        }
    }
    const std::vector<std::uint8_t> file = audio_test::EncodeOgg(samples, 1, kRate, 0.2f);
    std::FILE* out = file.empty() ? nullptr : std::fopen(argv[1], "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "make-tune-ogg: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
