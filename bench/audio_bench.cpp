// Audio costs on the headless output, each per second of output, so the time of one iteration is
// the fraction of one core that playing takes ("real_time_fraction"): the mixer with 1, 8 and 32
// sound effects, the synth on a dense MIDI file made here (all 16 channels, drums, chords), and
// the game's worst case (two tunes and one effect). With SDL2, SDL's audio stream and mixing do
// the mixer's work on the same samples for the speed-up. Last, the resident memory that one and
// four loaded music players add: the SoundFont is held once.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/resident_memory.h"
#include "media/audio/music_player.h"
#include "media/audio/sound_device.h"
#include "media/audio/sound_effect.h"
#include "platform/audio/audio_mixer.h"
#include "platform/backends/headless/headless_audio.h"
#include "platform/backends/headless/headless_backend.h"

#ifdef MEDIA_BENCH_WITH_SDL
#include <SDL.h>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kEffectRate = 22050;

void Put(Bytes& b, std::uint32_t value, int bytes, bool bigEndian) {
    for (int i = 0; i < bytes; ++i) {
        const int shift = bigEndian ? 8 * (bytes - 1 - i) : 8 * i;
        b.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

// Half a second of 16-bit mono noise-like samples at 22,050 Hz, the seed choosing the pattern.
std::vector<std::int16_t> EffectSamples(unsigned seed) {
    std::vector<std::int16_t> samples(kEffectRate / 2);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& s : samples) {
        state = state * 1664525u + 1013904223u;
        s = static_cast<std::int16_t>(static_cast<std::int32_t>(state >> 16) / 8 - 4096);
    }
    return samples;
}

Bytes EffectWave(unsigned seed) {
    const auto samples = EffectSamples(seed);
    Bytes b;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    Put(b, 36 + dataBytes, 4, false);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put(b, 16, 4, false);
    Put(b, 1, 2, false);
    Put(b, 1, 2, false);
    Put(b, kEffectRate, 4, false);
    Put(b, kEffectRate * 2, 4, false);
    Put(b, 2, 2, false);
    Put(b, 16, 2, false);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    Put(b, dataBytes, 4, false);
    for (const std::int16_t s : samples) Put(b, static_cast<std::uint16_t>(s), 2, false);
    return b;
}

// Events of one track at absolute ticks, written as a format-0 file at 480 ticks per beat and
// 120 beats per minute.
struct MidiEvent {
    std::uint32_t tick;
    Bytes bytes;
};

Bytes MidiFileOf(std::vector<MidiEvent> events) {
    std::stable_sort(events.begin(), events.end(), [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
    Bytes track;
    std::uint32_t now = 0;
    for (const MidiEvent& e : events) {
        std::uint32_t delta = e.tick - now;
        now = e.tick;
        std::uint8_t stack[5];
        int n = 0;
        stack[n++] = delta & 0x7F;
        while (delta >>= 7) stack[n++] = static_cast<std::uint8_t>(0x80 | (delta & 0x7F));
        while (n) track.push_back(stack[--n]);
        track.insert(track.end(), e.bytes.begin(), e.bytes.end());
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes file{'M', 'T', 'h', 'd'};
    Put(file, 6, 4, true);
    Put(file, 0, 2, true);
    Put(file, 1, 2, true);
    Put(file, 480, 2, true);
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    Put(file, static_cast<std::uint32_t>(track.size()), 4, true);
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

void AddNote(std::vector<MidiEvent>& events, int channel, int key, std::uint32_t tick, std::uint32_t length) {
    events.push_back({tick, {static_cast<std::uint8_t>(0x90 | channel), static_cast<std::uint8_t>(key), 96}});
    events.push_back({tick + length, {static_cast<std::uint8_t>(0x80 | channel), static_cast<std::uint8_t>(key), 0}});
}

// A tune the size of the game's: a melody in eighths, a bass in quarters, a three-note pad per
// bar and drums in eighths, for seconds at 120 beats per minute.
Bytes GameTune(int seconds) {
    std::vector<MidiEvent> events;
    events.push_back({0, {0xC0, 73}});   // flute melody
    events.push_back({0, {0xC1, 33}});   // bass
    events.push_back({0, {0xC2, 89}});   // pad
    const std::uint32_t bars = static_cast<std::uint32_t>(seconds) / 2;
    const int scale[] = {0, 2, 4, 7, 9, 12, 9, 7};
    for (std::uint32_t bar = 0; bar < bars; ++bar) {
        const std::uint32_t start = bar * 1920;
        const int root = 48 + static_cast<int>((bar * 5) % 12);
        for (const int interval : {0, 4, 7}) AddNote(events, 2, root + 12 + interval, start, 1900);
        for (std::uint32_t beat = 0; beat < 4; ++beat) AddNote(events, 1, root - 12 + (beat % 2 ? 7 : 0), start + beat * 480, 440);
        for (std::uint32_t eighth = 0; eighth < 8; ++eighth) {
            AddNote(events, 0, root + 24 + scale[(eighth + bar) % 8], start + eighth * 240, 220);
            AddNote(events, 9, eighth % 4 == 0 ? 36 : (eighth % 4 == 2 ? 38 : 42), start + eighth * 240, 100);
        }
    }
    return MidiFileOf(std::move(events));
}

// A format-0 MIDI file of seconds at 120 beats per minute: on each of channels, a three-note
// chord every half beat (a different program per channel), and on channel 9 a drum hit on every
// eighth when drums is set.
Bytes DenseMidi(int channels, bool drums, int seconds) {
    Bytes track;
    auto event = [&](std::uint32_t delta, std::initializer_list<std::uint8_t> bytes) {
        std::uint8_t stack[5];
        int n = 0;
        stack[n++] = delta & 0x7F;
        while (delta >>= 7) stack[n++] = static_cast<std::uint8_t>(0x80 | (delta & 0x7F));
        while (n) track.push_back(stack[--n]);
        track.insert(track.end(), bytes);
    };
    for (int c = 0; c < channels; ++c) {
        if (c == 9) continue;
        event(0, {static_cast<std::uint8_t>(0xC0 | c), static_cast<std::uint8_t>((c * 8) % 128)});
    }
    const int steps = seconds * 4;  // eighth notes at 120 bpm: 4 per second, 240 ticks each
    for (int step = 0; step < steps; ++step) {
        std::uint32_t delta = 0;
        for (int c = 0; c < channels; ++c) {
            if (c == 9) continue;
            const auto root = static_cast<std::uint8_t>(48 + (step * 5 + c * 3) % 24);
            for (const int interval : {0, 4, 7}) {
                event(delta, {static_cast<std::uint8_t>(0x90 | c), static_cast<std::uint8_t>(root + interval), 90});
                delta = 0;
            }
        }
        if (drums) event(0, {0x99, static_cast<std::uint8_t>(step % 2 ? 42 : 36), 110});
        delta = 230;
        for (int c = 0; c < channels; ++c) {
            if (c == 9) continue;
            const auto root = static_cast<std::uint8_t>(48 + (step * 5 + c * 3) % 24);
            for (const int interval : {0, 4, 7}) {
                event(delta, {static_cast<std::uint8_t>(0x80 | c), static_cast<std::uint8_t>(root + interval), 0});
                delta = 0;
            }
        }
        if (drums) event(delta, {0x89, static_cast<std::uint8_t>(step % 2 ? 42 : 36), 0});
        event(10, {0xFF, 0x01, 0x00});  // an empty text event: the rest of the eighth
    }
    event(0, {0xFF, 0x2F, 0x00});
    Bytes file{'M', 'T', 'h', 'd'};
    Put(file, 6, 4, true);
    Put(file, 0, 2, true);
    Put(file, 1, 2, true);
    Put(file, 480, 2, true);
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    Put(file, static_cast<std::uint32_t>(track.size()), 4, true);
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

// A fresh headless machine working in a directory of its own, where the benchmark's tunes are.
struct Studio {
    Studio() {
        platform::headless::Controls().Reset();
        char pattern[] = "/tmp/audio_bench_XXXXXX";
        if (mkdtemp(pattern)) directory = pattern;
        previous = std::filesystem::current_path();
        std::filesystem::current_path(directory);
        Write("dense.mid", DenseMidi(16, true, 600));
        Write("tune.mid", GameTune(600));
        device.Init(nullptr, 0);
    }
    ~Studio() {
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
    static void Write(const char* name, const Bytes& bytes) {
        std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // One second of output through the headless output, as the game's clock would drive it.
    static void RenderOneSecond() {
        auto& audio = platform::headless::AudioControls();
        platform::headless::Controls().Advance(1000);
        benchmark::DoNotOptimize(audio.Output().data());
        audio.ClearOutput();
    }
    void SetRealTimeFraction(benchmark::State& state) {
        state.counters["real_time_fraction"] =
            benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    }

    std::filesystem::path directory, previous;
    media::SoundDevice device;
};

// Voices of looping 22,050 Hz mono effects, mixed into one second of 44,100 Hz stereo output.
void BM_MixerSecond(benchmark::State& state) {
    Studio studio;
    std::vector<std::unique_ptr<media::SoundEffect>> effects;
    for (int i = 0; i < state.range(0); ++i) {
        const Bytes wave = EffectWave(static_cast<unsigned>(i));
        effects.push_back(std::make_unique<media::SoundEffect>());
        effects.back()->CreateFromWaveMemory(&studio.device, wave.data(), wave.size(), 1);
        effects.back()->Play(platform::DSBPLAY_LOOPING);
    }
    std::vector<std::int16_t> out(platform::kOutputRate * 2);
    for (auto _ : state) {
        platform::AudioMixer::Shared().Mix(out.data(), platform::kOutputRate);
        benchmark::DoNotOptimize(out.data());
    }
    studio.SetRealTimeFraction(state);
    for (auto& effect : effects) effect->Release();
}
BENCHMARK(BM_MixerSecond)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);

#ifdef MEDIA_BENCH_WITH_SDL
// The same voices through SDL2: an audio stream per voice converts 22,050 Hz mono to 44,100 Hz
// stereo, and SDL_MixAudioFormat adds it into the output.
void BM_SdlMixerSecond(benchmark::State& state) {
    const int voices = static_cast<int>(state.range(0));
    std::vector<std::vector<std::int16_t>> sources;
    std::vector<SDL_AudioStream*> streams;
    for (int i = 0; i < voices; ++i) {
        sources.push_back(EffectSamples(static_cast<unsigned>(i)));
        streams.push_back(SDL_NewAudioStream(AUDIO_S16SYS, 1, kEffectRate, AUDIO_S16SYS, 2, platform::kOutputRate));
    }
    std::vector<std::int16_t> out(platform::kOutputRate * 2), converted(platform::kOutputRate * 2 + 64);
    const int outBytes = static_cast<int>(out.size() * sizeof(std::int16_t));
    for (auto _ : state) {
        std::fill(out.begin(), out.end(), 0);
        for (int i = 0; i < voices; ++i) {
            // One second of a looping half-second sound: the samples go in twice.
            const auto& source = sources[static_cast<std::size_t>(i)];
            for (int half = 0; half < 2; ++half) {
                SDL_AudioStreamPut(streams[static_cast<std::size_t>(i)], source.data(), static_cast<int>(source.size() * 2));
            }
            const int got = SDL_AudioStreamGet(streams[static_cast<std::size_t>(i)], converted.data(), outBytes);
            SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()), reinterpret_cast<const Uint8*>(converted.data()),
                               AUDIO_S16SYS, static_cast<Uint32>(std::max(got, 0)), SDL_MIX_MAXVOLUME);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["real_time_fraction"] =
        benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    for (SDL_AudioStream* stream : streams) SDL_FreeAudioStream(stream);
}
BENCHMARK(BM_SdlMixerSecond)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);
#endif

// The synth on all 16 channels with drums and chords: one second of output per iteration.
void BM_SynthDenseSecond(benchmark::State& state) {
    Studio studio;
    media::MusicPlayer player;
    player.Init(nullptr, nullptr);
    const std::int32_t tune = player.Load("dense.mid");
    if (player.Play(tune) != platform::S_OK) state.SkipWithError("the dense tune does not play");
    for (auto _ : state) Studio::RenderOneSecond();
    studio.SetRealTimeFraction(state);
}
BENCHMARK(BM_SynthDenseSecond)->Unit(benchmark::kMillisecond);

// The game at its busiest: the lose tune playing on beside the win tune, and a catch sound.
void BM_GameWorstCaseSecond(benchmark::State& state) {
    Studio studio;
    media::MusicPlayer win, lose;
    win.Init(nullptr, nullptr);
    lose.Init(nullptr, nullptr);
    const bool playing = win.Play(win.Load("tune.mid")) == platform::S_OK && lose.Play(lose.Load("tune.mid")) == platform::S_OK;
    if (!playing) state.SkipWithError("the tunes do not play");
    const Bytes wave = EffectWave(7);
    media::SoundEffect effect;
    effect.CreateFromWaveMemory(&studio.device, wave.data(), wave.size(), 1);
    effect.Play(platform::DSBPLAY_LOOPING);
    for (auto _ : state) Studio::RenderOneSecond();
    studio.SetRealTimeFraction(state);
    effect.Release();
}
BENCHMARK(BM_GameWorstCaseSecond)->Unit(benchmark::kMillisecond);

using bench::ResidentMiB;

// Resident memory that players with a loaded tune add, kept until the counters are read.
void BM_ResidentMemory(benchmark::State& state) {
    Studio studio;
    const double before = ResidentMiB();
    std::vector<std::unique_ptr<media::MusicPlayer>> players;
    for (auto _ : state) {
        for (int i = 0; i < state.range(0); ++i) {
            players.push_back(std::make_unique<media::MusicPlayer>());
            players.back()->Init(nullptr, nullptr);
            players.back()->Load("tune.mid");
        }
    }
    state.counters["added_MiB"] = ResidentMiB() - before;
}
BENCHMARK(BM_ResidentMemory)->Arg(1)->Arg(4)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
