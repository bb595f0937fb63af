#include "platform/music/midi_synth.h"

#include <fluidsynth.h>

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/audio/audio_host.h"
#include "platform/core/system.h"

namespace platform {

namespace {

constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
// FluidSynth's default gain (0.2) is quiet next to the sound effects; the mixer clamps the sum.
constexpr double kGain = 0.5;
constexpr int kTotalChannels = MidiSynth::kBlocks * MidiSynth::kChannelsPerBlock;
constexpr int kDrumBank = 128;

// FluidSynth's notes and warnings (about audio drivers we never create, presets it looks for)
// mean nothing to a player of the game; its errors still reach standard error.
void QuietFluidSynthLog() {
    static const bool quiet = [] {
        for (const int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);
        return true;
    }();
    (void)quiet;
}

// A SoundFont that cannot be loaded is reported once per path, in one line that says what to do:
// every music player of a program tries again, and a player needs one line, not one per tune.
void ReportUnloadable(const std::string& path) {
    static std::string reported;
    if (reported == path) return;
    reported = path;
    const std::string line = "Music: the SoundFont " + path +
                             " could not be loaded; set MEDIA_SOUNDFONT to a General MIDI SoundFont (.sf2). Running without music\n";
    OutputDebugString(line.c_str());
}

// Loads the SoundFont without FluidSynth's own error block.
int LoadSoundFont(fluid_synth_t* synth, const std::string& path) {
    fluid_set_log_function(FLUID_ERR, nullptr, nullptr);
    const int id = fluid_synth_sfload(synth, path.c_str(), 1);
    fluid_set_log_function(FLUID_ERR, fluid_default_log_function, nullptr);
    if (id == FLUID_FAILED) ReportUnloadable(path);
    return id;
}

// Whether the file opens and starts as a SoundFont does (a RIFF file of form "sfbk"): what can
// be known at once, before a load that runs in the background.
bool LooksLikeSoundFont(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::array<char, 12> header{};
    const bool read = std::fread(header.data(), 1, header.size(), file) == header.size();
    std::fclose(file);
    return read && std::memcmp(header.data(), "RIFF", 4) == 0 && std::memcmp(header.data() + 8, "sfbk", 4) == 0;
}

// FluidSynth built with OpenMP loads a SoundFont's samples with a team of threads, whose workers
// then spin for a while waiting for more work that never comes. One thread does the loading on
// the calling thread alone; the setting is the calling thread's own. The runtime is found in the
// process, where FluidSynth brought it, so nothing here links against it.
// A program built for the browser has no dynamic symbols to look in, and its FluidSynth no OpenMP.
void LoadOnThisThreadOnly() {
#ifndef __EMSCRIPTEN__
    using SetThreads = void (*)(int);
    if (auto set = reinterpret_cast<SetThreads>(dlsym(RTLD_DEFAULT, "omp_set_num_threads"))) set(1);
#endif
}

std::weak_ptr<MidiSynth>& SharedSynth() {
    static std::weak_ptr<MidiSynth> synth;
    return synth;
}

// A rendered sample on the 16-bit scale, bounded so that any float (even NaN) converts safely;
// the mixer clamps the sum to 16 bits afterwards.
inline std::int32_t ToOutputScale(float sample) {
    float v = sample * 32767.0f;
    if (!(v > -65536.0f)) v = -65536.0f;
    if (v > 65536.0f) v = 65536.0f;
    return static_cast<std::int32_t>(v);
}

}  // namespace

std::string MidiSynth::SoundFontPath() {
    const char* chosen = std::getenv("MEDIA_SOUNDFONT");
    return chosen && *chosen ? chosen : kDefaultSoundFont;
}

bool MidiSynth::Exists() { return !SharedSynth().expired(); }

std::shared_ptr<MidiSynth> MidiSynth::Acquire() {
    if (auto synth = SharedSynth().lock()) return synth;
    const std::string path = SoundFontPath();
    std::shared_ptr<MidiSynth> synth(new MidiSynth);
    if (CurrentAudioHost().RunsInRealTime()) {
        if (!LooksLikeSoundFont(path)) {
            ReportUnloadable(path);
            return nullptr;
        }
        // The destructor waits for the thread, so it may use the synth without holding it.
        MidiSynth* loading = synth.get();
        synth->loader_ = std::thread([loading, path] {
            loading->load_.store(loading->Start(path) ? Load::Loaded : Load::Failed, std::memory_order_release);
        });
    } else {
        if (!synth->Start(path)) return nullptr;
        synth->load_.store(Load::Loaded, std::memory_order_release);
    }
    {
        AudioLock lock;
        AudioMixer::Shared().Add(synth.get());
        synth->Ready();
    }
    SharedSynth() = synth;
    return synth;
}

bool MidiSynth::Ready() {
    if (ready_) return true;
    const Load load = load_.load(std::memory_order_acquire);
    if (load == Load::Loading) return false;
    ready_ = load == Load::Loaded;
    const std::vector<Waiter*> waiting = std::move(waiters_);
    waiters_.clear();
    for (Waiter* waiter : waiting) {
        if (ready_) {
            waiter->SynthReady();
        } else {
            waiter->SynthFailed();
        }
    }
    return ready_;
}

void MidiSynth::AddWaiter(Waiter* waiter) {
    if (std::find(waiters_.begin(), waiters_.end(), waiter) == waiters_.end()) waiters_.push_back(waiter);
}

void MidiSynth::RemoveWaiter(Waiter* waiter) { std::erase(waiters_, waiter); }

bool MidiSynth::Start(const std::string& soundFont) {
    QuietFluidSynthLog();
    LoadOnThisThreadOnly();
    settings_ = new_fluid_settings();
    if (!settings_) return false;
    fluid_settings_setnum(settings_, "synth.sample-rate", kOutputRate);
    fluid_settings_setint(settings_, "synth.midi-channels", kTotalChannels);
    fluid_settings_setnum(settings_, "synth.gain", kGain);
    fluid_settings_setint(settings_, "synth.reverb.active", 0);
    fluid_settings_setint(settings_, "synth.chorus.active", 0);
    // Songs advance with the samples the mixer renders, not with the wall clock.
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    // A song ending must not reset the other performances' channels; each performance resets its
    // own block when it starts a song.
    fluid_settings_setint(settings_, "player.reset-synth", 0);
    // Unheard, one voice at a time is enough: the songs' timing comes from the samples rendered,
    // not from how many notes sound, and rendering voices is most of the synth's work.
    if (!CurrentAudioHost().Heard()) fluid_settings_setint(settings_, "synth.polyphony", 1);
    synth_ = new_fluid_synth(settings_);
    if (!synth_) return false;
    for (int block = 0; block < kBlocks; ++block) {
        fluid_synth_set_channel_type(synth_, block * kChannelsPerBlock + kDrumChannel, CHANNEL_TYPE_DRUM);
    }
    soundFontId_ = LoadSoundFont(synth_, soundFont);
    if (soundFontId_ == FLUID_FAILED) return false;
    for (int block = 0; block < kBlocks; ++block) ResetChannels(block);
    return true;
}

MidiSynth::~MidiSynth() {
    if (loader_.joinable()) loader_.join();
    {
        AudioLock lock;
        AudioMixer::Shared().Remove(this);
    }
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

void MidiSynth::SilenceBlock(int block) {
    if (ready_) SilenceChannels(block);
}

void MidiSynth::ResetBlock(int block) {
    if (ready_) ResetChannels(block);
}

void MidiSynth::SilenceChannels(int block) {
    for (int i = 0; i < kChannelsPerBlock; ++i) fluid_synth_all_sounds_off(synth_, block * kChannelsPerBlock + i);
}

void MidiSynth::ResetChannels(int block) {
    SilenceChannels(block);
    for (int i = 0; i < kChannelsPerBlock; ++i) {
        const int channel = block * kChannelsPerBlock + i;
        fluid_synth_cc(synth_, channel, 121, 0);  // reset all controllers
        fluid_synth_cc(synth_, channel, 7, kResetVolume);  // volume and pan as a song expects at its start
        fluid_synth_cc(synth_, channel, 10, 64);
        fluid_synth_pitch_bend(synth_, channel, 8192);
        fluid_synth_program_select(synth_, channel, soundFontId_, i == kDrumChannel ? kDrumBank : 0, 0);
    }
}

void MidiSynth::AddPlayer(fluid_player_t* player) {
    if (std::find(players_.begin(), players_.end(), player) == players_.end()) players_.push_back(player);
}

void MidiSynth::RemovePlayer(fluid_player_t* player) { std::erase(players_, player); }

bool MidiSynth::Busy() const {
    if (fluid_synth_get_active_voice_count(synth_) > 0) return true;
    return std::any_of(players_.begin(), players_.end(),
                       [](fluid_player_t* player) { return fluid_player_get_status(player) == FLUID_PLAYER_PLAYING; });
}

bool MidiSynth::MixInto(std::int32_t* accumulator, std::size_t frames) {
    // Still loading, or nothing sounding and no song running: nothing to render, and no time to
    // spend on it.
    if (!Ready() || !Busy()) return true;
    fluid_synth_write_float(synth_, static_cast<int>(frames), left_.data(), 0, 1, right_.data(), 0, 1);
    for (std::size_t i = 0; i < frames; ++i) {
        accumulator[2 * i] += ToOutputScale(left_[i]);
        accumulator[2 * i + 1] += ToOutputScale(right_[i]);
    }
    return true;
}

}  // namespace platform
