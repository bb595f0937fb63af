#pragma once
// The process's one MIDI synthesizer: a FluidSynth synth with the General MIDI SoundFont loaded
// once, rendering into the shared mixer. Music performances share it in blocks of 16 channels
// (8 blocks, 128 channels); channel 9 of every block plays drums. Players started by the
// performances run on its sample clock, so a song advances exactly as its samples are mixed.
// Reverb and chorus are off, so silencing a block is silence at once.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/audio_mixer.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_player_t;

namespace platform {

class MidiSynth final : public MixerInput {
public:
    static constexpr int kBlocks = 8;
    static constexpr int kChannelsPerBlock = 16;
    static constexpr int kDrumChannel = 9;

    // The shared synth, made with its SoundFont by the first caller and kept while anyone holds
    // it; null when the SoundFont cannot be loaded.
    static std::shared_ptr<MidiSynth> Acquire();
    // The SoundFont used: MEDIA_SOUNDFONT, else Debian's TimGM6mb.
    static std::string SoundFontPath();
    // Whether the shared synth exists now (tests: the SoundFont is resident once).
    static bool Exists();

    ~MidiSynth() override;
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // The rest is called with the audio lock held.
    _fluid_synth_t* Synth() const { return synth_; }
    // Every sound of the block off at once.
    void SilenceBlock(int block);
    // The block as a song expects it at its start: sounds off, controllers reset, pitch bend
    // centred, piano on the melodic channels, the standard kit on the drum channel.
    void ResetBlock(int block);
    // Players that keep the synth rendering while they play.
    void AddPlayer(_fluid_player_t* player);
    void RemovePlayer(_fluid_player_t* player);

    bool MixInto(std::int32_t* accumulator, std::size_t frames) override;

private:
    MidiSynth() = default;
    bool Start(const std::string& soundFont);
    bool Busy() const;

    _fluid_hashtable_t* settings_ = nullptr;
    _fluid_synth_t* synth_ = nullptr;
    int soundFontId_ = -1;
    std::vector<_fluid_player_t*> players_;
    std::array<float, AudioMixer::kChunkFrames> left_{}, right_{};
};

}  // namespace platform
