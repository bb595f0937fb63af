#include "platform/music/midi_synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstdlib>
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

// Loads the SoundFont without FluidSynth's own error block. A SoundFont that cannot be loaded is
// reported once per path, in one line that says what to do: every music player of a program tries
// again, and a player needs one line, not one per tune.
int LoadSoundFont(fluid_synth_t* synth, const std::string& path) {
    fluid_set_log_function(FLUID_ERR, nullptr, nullptr);
    const int id = fluid_synth_sfload(synth, path.c_str(), 1);
    fluid_set_log_function(FLUID_ERR, fluid_default_log_function, nullptr);
    static std::string reported;
    if (id == FLUID_FAILED && reported != path) {
        reported = path;
        const std::string line = "Music: the SoundFont " + path +
                                 " could not be loaded; set MEDIA_SOUNDFONT to a General MIDI SoundFont (.sf2). Running without music\n";
        OutputDebugString(line.c_str());
    }
    return id;
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
    std::shared_ptr<MidiSynth> synth(new MidiSynth);
    if (!synth->Start(SoundFontPath())) return nullptr;
    {
        AudioLock lock;
        AudioMixer::Shared().Add(synth.get());
    }
    SharedSynth() = synth;
    return synth;
}

bool MidiSynth::Start(const std::string& soundFont) {
    QuietFluidSynthLog();
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
    synth_ = new_fluid_synth(settings_);
    if (!synth_) return false;
    for (int block = 0; block < kBlocks; ++block) {
        fluid_synth_set_channel_type(synth_, block * kChannelsPerBlock + kDrumChannel, CHANNEL_TYPE_DRUM);
    }
    soundFontId_ = LoadSoundFont(synth_, soundFont);
    if (soundFontId_ == FLUID_FAILED) return false;
    for (int block = 0; block < kBlocks; ++block) ResetBlock(block);
    return true;
}

MidiSynth::~MidiSynth() {
    {
        AudioLock lock;
        AudioMixer::Shared().Remove(this);
    }
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

void MidiSynth::SilenceBlock(int block) {
    for (int i = 0; i < kChannelsPerBlock; ++i) fluid_synth_all_sounds_off(synth_, block * kChannelsPerBlock + i);
}

void MidiSynth::ResetBlock(int block) {
    SilenceBlock(block);
    for (int i = 0; i < kChannelsPerBlock; ++i) {
        const int channel = block * kChannelsPerBlock + i;
        fluid_synth_cc(synth_, channel, 121, 0);  // reset all controllers
        fluid_synth_cc(synth_, channel, 7, 100);  // volume and pan as a song expects at its start
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
    // Nothing sounding and no song running: nothing to render, and no time to spend on it.
    if (!Busy()) return true;
    fluid_synth_write_float(synth_, static_cast<int>(frames), left_.data(), 0, 1, right_.data(), 0, 1);
    for (std::size_t i = 0; i < frames; ++i) {
        accumulator[2 * i] += ToOutputScale(left_[i]);
        accumulator[2 * i + 1] += ToOutputScale(right_[i]);
    }
    return true;
}

}  // namespace platform
