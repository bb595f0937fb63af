#pragma once
// A music performance: plays segments on a block of 16 channels of the shared synth into the
// shared audio output. Init opens the output and takes a free block (8 exist: a ninth
// performance at once fails); AddPort with no port asks for the default port, the synth with its
// SoundFont. One segment plays at a time: playing another stops the first. Stopping silences the
// performance's own channels at once and leaves every other performance playing. A segment played
// while the synth is still loading (a real-time output) starts when the synth is ready.
#include <array>
#include <cstdint>
#include <memory>

#include "midi_synth.h"
#include "music_segment.h"
#include "../audio/audio_host.h"
#include "../core/result_codes.h"

struct _fluid_player_t;
struct _fluid_midi_event_t;

namespace platform {

class SoundSystem;

/// A music performance: plays one segment at a time on a channel block of the shared synth.
class MusicPerformance final : private MidiSynth::Waiter {
public:
    MusicPerformance() = default;
    virtual ~MusicPerformance();
    MusicPerformance(const MusicPerformance&) = delete;
    MusicPerformance& operator=(const MusicPerformance&) = delete;

    /// The sound system, when given, is the one whose output to share; there is one output
    /// anyway. DSERR_NODRIVER without an audio output, DSERR_ALLOCATED when every channel block
    /// is taken, E_FAIL when already initialised.
    HRESULT Init(SoundSystem* sound);
    /// The default port (port must be null): the synth. E_FAIL when the SoundFont cannot be
    /// loaded, DSERR_UNINITIALIZED before Init, E_INVALIDARG for any other port.
    HRESULT AddPort(const void* port);
    /// Starts the segment now from its beginning, stopping what this performance played.
    /// DSERR_UNINITIALIZED without a port, E_INVALIDARG without a segment, E_FAIL when the synth
    /// refuses the song.
    HRESULT PlaySegment(MusicSegment* segment, std::uint32_t flags, std::int64_t startTime,
                        std::shared_ptr<SegmentState>* state);
    /// Stops the segment if it is the one playing, or whatever plays when segment is null.
    HRESULT Stop(MusicSegment* segment, SegmentState* state, std::int64_t time, std::uint32_t flags);
    /// Stops, gives back the port, the channel block and the output.
    HRESULT CloseDown();

    /// Whether the synth port is added, and the channel block taken (-1: none).
    /// @{
    bool HasPort() const { return synth_ != nullptr; }
    int Block() const { return block_; }
    /// @}
    /// The volume of this performance's songs, 0 (silent) .. 1 (as written; the default), heard at
    /// once. Each channel's own volume (controller 7) is scaled so that the sound's amplitude
    /// follows the volume; the other performances keep theirs.
    void SetVolume(float volume);
    /// The volume last set.
    float Volume() const { return volume_; }
    /// Whether a song of this performance is still running (not stopped, not at its end), or
    /// waits for the synth to start (a synth whose loading failed ends the wait).
    bool IsPlaying() const;
    /// False once the synth's loading has failed: no song of this performance will ever sound.
    bool CanPlay() const { return synth_ && !synth_->Failed(); }

    /// Holds the song where it is, its notes silenced, and goes on from there; a paused song
    /// still counts as playing (it has not ended). S_OK, doing nothing, when no song plays or it
    /// is already paused (Pause) or not paused (Resume).
    /// @{
    HRESULT Pause();
    HRESULT Resume();
    bool IsPaused() const;
    /// @}
    /// Moves the playing or paused song to a tick, its sounding notes silenced (the synth's player
    /// sends the controllers and programs up to there again). S_OK, doing nothing, when no song
    /// plays.
    HRESULT SeekTick(std::uint64_t tick);
    /// The tick the song has reached (a seek not yet carried out by the player counts as done);
    /// -1 when no song plays.
    std::int64_t CurrentTick() const;

private:
    static int OnMidiEvent(void* performance, _fluid_midi_event_t* event);
    /// Called with the audio lock held.
    bool StartPlayer(const std::shared_ptr<const std::vector<std::uint8_t>>& midi);
    void StopPlayer();
    /// After the block's reset: every channel at the reset's volume, scaled by volume_.
    void ResetVolumes();
    /// Controller 7's value as sent to the synth: the song's value scaled by volume_.
    int Scaled(int channelVolume) const;
    void SynthReady() override;
    void SynthFailed() override;
    /// With the audio lock held.
    /// @{
    void EndPlayerKeepingSong();
    bool StartPlayerAt(std::int64_t tick);
    std::int64_t CurrentTickLocked() const;
    /// @}

    std::shared_ptr<AudioOutputUse> output_;
    int block_ = -1;
    std::shared_ptr<MidiSynth> synth_;
    _fluid_player_t* player_ = nullptr;
    /// The playing segment's bytes: they name it (a segment unloaded while it plays cannot be
    /// mistaken for a new one at the same address) and stay while the player reads them.
    std::shared_ptr<const std::vector<std::uint8_t>> playingMidi_;
    /// playingMidi_ waits for the synth to be ready.
    bool waiting_ = false;
    /// Written with the audio lock held: the audio thread scales the song's channel volumes by it.
    float volume_ = 1.0f;
    /// Each channel's volume as the song set it (controller 7), before the performance's volume.
    std::array<std::uint8_t, MidiSynth::kChannelsPerBlock> channelVolume_{};
    /// Pause and seek, under the audio lock: a song resumed or sought plays from an excerpt
    /// that starts at tickOffset_ (midi_excerpt.h says why).
    /// @{
    bool paused_ = false;
    std::int64_t pausedTick_ = 0;  ///< where a paused song goes on
    std::int64_t tickOffset_ = 0;
    std::shared_ptr<const std::vector<std::uint8_t>> excerpt_;
    /// @}
};

/// A new performance, not yet initialised.
HRESULT CreateMusicPerformance(std::unique_ptr<MusicPerformance>* performance);

}  // namespace platform
