#pragma once
// The process's one MIDI synthesizer: a FluidSynth synth with the General MIDI SoundFont loaded
// once, rendering into the shared mixer. Music performances share it in blocks of 16 channels
// (8 blocks, 128 channels); channel 9 of every block plays drums. Players started by the
// performances run on its sample clock, so a song advances exactly as its samples are mixed.
// Reverb and chorus are off, so silencing a block is silence at once.
// On an output that runs in real time (a sound card) the synth and its SoundFont are made on a
// thread of their own: the program goes on at once, the synth renders nothing until it is ready,
// and songs asked for meanwhile start then. The headless output gets a synth that is ready when
// Acquire returns.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../audio/audio_mixer.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_player_t;

namespace platform {

/// The one FluidSynth synthesiser of the process, with its SoundFont, shared by every music performance; each performance plays on a block of its channels.
class MidiSynth final : public MixerInput {
public:
    /// Channel blocks, and channels in a block.
    /// @{
    static constexpr int kBlocks = 8;
    static constexpr int kChannelsPerBlock = 16;
    /// @}
    /// Each channel's volume (controller 7) after a block's reset, as a song expects at its start.
    /// @{
    static constexpr int kResetVolume = 100;
    static constexpr int kDrumChannel = 9;
    /// @}

    /// Told, with the audio lock held, when the synth has become ready, or when its loading
    /// failed (it will never be ready: what waited for it is over).
    class Waiter {
    public:
        /// The synth has become ready.
        virtual void SynthReady() = 0;
        /// Loading the synth failed.
        virtual void SynthFailed() = 0;

    protected:
        ~Waiter() = default;
    };

    /// The shared synth, made with its SoundFont by the first caller and kept while anyone holds
    /// it; null when the SoundFont cannot be loaded (on a real-time output: cannot be opened or
    /// is not a SoundFont file; one that fails later, while loading, leaves a synth that never
    /// becomes ready and plays nothing).
    static std::shared_ptr<MidiSynth> Acquire();
    /// The SoundFont used: MEDIA_SOUNDFONT, else Debian's TimGM6mb.
    static std::string SoundFontPath();
    /// Whether the shared synth exists now (tests: the SoundFont is resident once).
    static bool Exists();

    ~MidiSynth() override;
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // The rest is called with the audio lock held.
    /// Whether the synth and its SoundFont are loaded; the first call that finds them loaded, or
    /// finds that loading failed, tells the waiters. Before that the operations below do nothing.
    bool Ready();
    /// Whether loading failed: the synth will never be ready.
    bool Failed() const { return load_.load(std::memory_order_acquire) == Load::Failed; }
    /// A performance that waits for the synth to become ready, and its leaving.
    /// @{
    void AddWaiter(Waiter* waiter);
    void RemoveWaiter(Waiter* waiter);
    /// @}
    /// FluidSynth's synth (null until loaded).
    _fluid_synth_t* Synth() const { return synth_; }
    /// Every sound of the block off at once.
    void SilenceBlock(int block);
    /// The block as a song expects it at its start: sounds off, controllers reset, pitch bend
    /// centred, piano on the melodic channels, the standard kit on the drum channel.
    void ResetBlock(int block);
    /// Players that keep the synth rendering while they play.
    void AddPlayer(_fluid_player_t* player);
    /// A player that stopped.
    void RemovePlayer(_fluid_player_t* player);

    bool MixInto(std::int32_t* accumulator, std::size_t frames) override;

private:
    enum class Load { Loading, Loaded, Failed };

    MidiSynth() = default;
    bool Start(const std::string& soundFont);
    bool Busy() const;
    void SilenceChannels(int block);
    void ResetChannels(int block);

    /// Set by whoever made the synth (the loading thread, or Acquire itself); read with the audio
    /// lock held by Ready, which alone moves ready_ on.
    std::atomic<Load> load_{Load::Loading};
    bool ready_ = false;
    std::vector<Waiter*> waiters_;
    std::thread loader_;

    _fluid_hashtable_t* settings_ = nullptr;
    _fluid_synth_t* synth_ = nullptr;
    int soundFontId_ = -1;
    std::vector<_fluid_player_t*> players_;
    std::array<float, AudioMixer::kChunkFrames> left_{}, right_{};
};

}  // namespace platform
