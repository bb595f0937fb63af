// Streamed Ogg tunes and pitched, panned voices on the headless output:
// - decoding: a 10-second Ogg tune streamed through the mixer's path (4096 frames decoded at a
//   time, mixed 1024 frames a call) beside stb_vorbis decoding the same file alone; per file.
// - memory: what a 10-minute tune streamed from its file holds while it plays (heap in use and
//   resident memory added), beside the 106 MB its samples would take decoded whole.
// - voices: 32 voices of a looping effect, each with its own pitch and pan, mixed into one second
//   of output per iteration ("real_time_fraction": the share of one core that playing takes);
//   with SDL2_mixer where it is installed, 32 panned channels of the same effect on SDL's disk
//   driver running flat out, its mixing thread's CPU time per second of output.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/resident_memory.h"
#include "platform/audio/audio_mixer.h"
#include "platform/audio/ogg_pages.h"
#include "platform/audio/voice_bank.h"
#include "platform/audio/vorbis_decoder.h"
#include "platform/audio/vorbis_stream.h"
#include "platform/backends/headless/headless_audio.h"
#include "platform/backends/headless/headless_backend.h"
#include "tests/audio/ogg_encoder.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb/stb_vorbis.h>

#ifdef MEDIA_BENCH_WITH_SDL_MIXER
#include <SDL.h>
#include <SDL_mixer.h>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

// A chord that changes every half second, stereo at 44.1 kHz: music-like content for the encoder.
Bytes MusicOgg(double seconds) {
    const auto frames = static_cast<std::size_t>(seconds * 44100);
    std::vector<std::int16_t> samples(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / 44100;
        const double root = 110.0 * std::pow(2.0, static_cast<double>((i / 22050) % 12) / 12.0);
        const double left = std::sin(2 * M_PI * root * t) + 0.5 * std::sin(2 * M_PI * root * 1.5 * t);
        const double right = std::sin(2 * M_PI * root * 1.25 * t) + 0.3 * std::sin(2 * M_PI * root * 4 * t);
        samples[2 * i] = static_cast<std::int16_t>(6000 * left);
        samples[2 * i + 1] = static_cast<std::int16_t>(6000 * right);
    }
    return audio_test::EncodeOgg(samples, 2, 44100, 0.4f);
}

const Bytes& TenSecondTune() {
    static const Bytes tune = MusicOgg(10);
    return tune;
}

void ResetHeadless() {
    platform::headless::Controls().Reset();
    platform::headless::AudioControls().Reset();
}

// stb_vorbis alone: the file decoded into 4096-frame pieces, as an application would stream it.
void BM_OggStbVorbisAlone(benchmark::State& state) {
    const Bytes& file = TenSecondTune();
    std::vector<short> piece(4096 * 2);
    for (auto _ : state) {
        stb_vorbis* vorbis = stb_vorbis_open_memory(file.data(), static_cast<int>(file.size()), nullptr, nullptr);
        while (stb_vorbis_get_samples_short_interleaved(vorbis, 2, piece.data(), static_cast<int>(piece.size())) > 0) {
            benchmark::DoNotOptimize(piece.data());
        }
        stb_vorbis_close(vorbis);
    }
}
BENCHMARK(BM_OggStbVorbisAlone)->Unit(benchmark::kMillisecond);

// The same file as a tune plays it: opened (its pages checked), decoded a piece at a time where
// the mixer runs and added into the output 1024 frames a call.
void BM_OggStreamedTune(benchmark::State& state) {
    ResetHeadless();
    auto& audio = platform::headless::AudioControls();
    audio.Open();
    const Bytes& file = TenSecondTune();
    std::vector<std::int32_t> sum(platform::AudioMixer::kChunkFrames * 2);
    for (auto _ : state) {
        std::string why;
        platform::VorbisStream stream(platform::VorbisDecoder::OpenMemory(file.data(), file.size(), &why));
        stream.Play(false, 1.0f);
        while (stream.MixInto(sum.data(), platform::AudioMixer::kChunkFrames)) benchmark::DoNotOptimize(sum.data());
    }
    audio.Close();
}
BENCHMARK(BM_OggStreamedTune)->Unit(benchmark::kMillisecond);

// The page walk alone (checksums included), which opening a tune adds to stb_vorbis's work.
void BM_OggPageWalk(benchmark::State& state) {
    const Bytes& file = TenSecondTune();
    for (auto _ : state) benchmark::DoNotOptimize(platform::CheckOggPages(file.data(), file.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_OggPageWalk)->Unit(benchmark::kMicrosecond);

using bench::ResidentMiB;

// A 10-minute tune streamed from its file (made once, kept in the temporary folder): the heap it
// holds and the resident memory it adds after a minute of playing, and again at its end.
void BM_OggTenMinuteTuneMemory(benchmark::State& state) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "sound_stream_bench_10min.ogg";
    if (!std::filesystem::exists(path)) {
        const Bytes tune = MusicOgg(600);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(tune.data()), static_cast<std::streamsize>(tune.size()));
    }
    ResetHeadless();
    auto& audio = platform::headless::AudioControls();
    audio.Open();
    std::vector<std::int32_t> sum(platform::AudioMixer::kChunkFrames * 2);
    malloc_trim(0);
    const double residentBefore = ResidentMiB();
    const std::size_t heapBefore = mallinfo2().uordblks;
    double residentPlaying = 0, heapPlaying = 0, residentEnd = 0;
    for (auto _ : state) {
        std::string why;
        auto decoder = platform::VorbisDecoder::OpenFile(path.c_str(), &why);
        if (!decoder) {
            state.SkipWithError(why.c_str());
            break;
        }
        platform::VorbisStream stream(std::move(decoder));
        stream.Play(false, 1.0f);
        for (std::uint64_t mixed = 0; mixed < 60 * 44100; mixed += platform::AudioMixer::kChunkFrames) {
            stream.MixInto(sum.data(), platform::AudioMixer::kChunkFrames);
        }
        heapPlaying = static_cast<double>(mallinfo2().uordblks - heapBefore) / (1024 * 1024);
        residentPlaying = ResidentMiB() - residentBefore;
        while (stream.MixInto(sum.data(), platform::AudioMixer::kChunkFrames)) {
        }
        residentEnd = ResidentMiB() - residentBefore;
        state.counters["length_s"] = static_cast<double>(stream.Frames()) / stream.Rate();
    }
    state.counters["heap_MiB_playing"] = heapPlaying;
    state.counters["rss_added_MiB_playing"] = residentPlaying;
    state.counters["rss_added_MiB_at_end"] = residentEnd;
    state.counters["decoded_whole_MiB"] = 600.0 * 44100 * 4 / (1024 * 1024);
    audio.Close();
}
BENCHMARK(BM_OggTenMinuteTuneMemory)->Iterations(1)->Unit(benchmark::kSecond);

// Half a second of a 22,050 Hz mono effect (a decaying chirp), as WAV samples.
std::vector<std::int16_t> EffectSamples() {
    std::vector<std::int16_t> samples(22050 / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / 22050;
        samples[i] = static_cast<std::int16_t>(9000 * std::exp(-4 * t) * std::sin(2 * M_PI * (300 + 600 * t) * t));
    }
    return samples;
}

// 32 looping voices of one sound; Arg(1): each with its own pitch 0.5 .. 2 and pan, Arg(0): pitch
// 1 and a pan each (SDL2_mixer's case: it has no pitch).
void BM_Voices32Second(benchmark::State& state) {
    ResetHeadless();
    auto& audio = platform::headless::AudioControls();
    audio.Open();
    auto clip = std::make_shared<platform::PcmClip>();
    clip->samples = EffectSamples();
    clip->rate = 22050;
    clip->channels = 1;
    platform::VoiceBank bank(clip, 32);
    for (int i = 0; i < 32; ++i) {
        const float pitch = state.range(0) ? 0.5f + 1.5f * static_cast<float>(i) / 31 : 1.0f;
        bank.Start({0.5f, pitch, -1.0f + 2.0f * static_cast<float>(i) / 31, true});
    }
    std::vector<std::int16_t> out(platform::kOutputRate * 2);
    for (auto _ : state) {
        platform::AudioMixer::Shared().Mix(out.data(), platform::kOutputRate);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["real_time_fraction"] =
        benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    bank.StopAll();
    audio.Close();
}
BENCHMARK(BM_Voices32Second)->ArgName("pitched")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

#ifdef MEDIA_BENCH_WITH_SDL_MIXER
std::atomic<std::uint64_t> sdlFramesMixed{0};

void CountMixed(void*, Uint8*, int bytes) { sdlFramesMixed += static_cast<std::uint64_t>(bytes) / 4; }

double ProcessCpuSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// SDL2_mixer with 32 channels of the same effect, each panned (Mix_SetPanning), looping: its
// mixing thread runs flat out on the disk driver into /dev/null. Each iteration waits for one
// second of output and counts the CPU time of every thread but this one (the mixing thread).
void BM_SdlMixer32ChannelsSecond(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    const std::vector<std::int16_t> samples = EffectSamples();
    Bytes wave;
    const auto put = [&wave](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) wave.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    wave.insert(wave.end(), {'R', 'I', 'F', 'F'});
    put(static_cast<std::uint32_t>(36 + samples.size() * 2), 4);
    wave.insert(wave.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4), put(1, 2), put(1, 2), put(22050, 4), put(44100, 4), put(2, 2), put(16, 2);
    wave.insert(wave.end(), {'d', 'a', 't', 'a'});
    put(static_cast<std::uint32_t>(samples.size() * 2), 4);
    for (const std::int16_t s : samples) put(static_cast<std::uint16_t>(s), 2);
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(wave.data(), static_cast<int>(wave.size())), 1);
    Mix_AllocateChannels(32);
    Mix_SetPostMix(&CountMixed, nullptr);
    for (int channel = 0; channel < 32; ++channel) {
        const auto right = static_cast<Uint8>(255 * channel / 31);
        Mix_SetPanning(channel, static_cast<Uint8>(255 - right), right);
        Mix_Volume(channel, MIX_MAX_VOLUME / 2);
        Mix_PlayChannel(channel, chunk, -1);
    }
    for (auto _ : state) {
        const std::uint64_t target = sdlFramesMixed + 44100;
        const double process = ProcessCpuSeconds(CLOCK_PROCESS_CPUTIME_ID), self = ProcessCpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        while (sdlFramesMixed < target) std::this_thread::sleep_for(std::chrono::microseconds(200));
        const double mixing = (ProcessCpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process) - (ProcessCpuSeconds(CLOCK_THREAD_CPUTIME_ID) - self);
        state.SetIterationTime(mixing);
    }
    state.counters["real_time_fraction"] =
        benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    Mix_HaltChannel(-1);
    Mix_SetPostMix(nullptr, nullptr);
    Mix_FreeChunk(chunk);
    Mix_CloseAudio();
    SDL_Quit();
}
BENCHMARK(BM_SdlMixer32ChannelsSecond)->UseManualTime()->Iterations(5)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

BENCHMARK_MAIN();
