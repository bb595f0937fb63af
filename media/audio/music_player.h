#pragma once
// MusicPlayer: up to 64 MIDI tunes loaded from the current directory into numbered slots, played
// one at a time on a music performance of its own. Starting a tune stops the one this player is
// playing; other players play on.
#include <array>
#include <cstdint>
#include <memory>

#include "sound_device.h"
#include "../../platform/music/music_loader.h"
#include "../../platform/music/music_performance.h"
#include "../../platform/music/music_segment.h"
#include "../../platform/window/window.h"

namespace media {

/// What a music player's slot holds.
enum TuneState : std::int32_t { TUNE_EMPTY = 0, TUNE_LOADED = 1, TUNE_PLAYING = 2, TUNE_STOPPED = 3 };

/// One of a music player's 64 slots.
struct TuneSlot {
    std::unique_ptr<platform::MusicSegment> segment;        ///< the loaded tune, or null
    std::shared_ptr<platform::SegmentState> segmentState;  ///< of the slot's latest play
    std::int32_t index = 0;                                 ///< the slot's number
    std::int32_t state = TUNE_EMPTY;                        ///< a TuneState
};

/// MIDI music: Init on a sound device, Load standard MIDI files into slots, Play one at a time.
/// The player owns its performance and the loaded tunes; the SoundDevice must outlive it.
class MusicPlayer {
public:
    /// Slots for loaded tunes.
    static constexpr std::int32_t kSlots = 64;
    /// Characters of the current directory and of a file name, with the terminating zero.
    static constexpr std::uint32_t kPathChars = 260;
    /// How long Play waits after starting a tune.
    static constexpr std::uint32_t kStartWaitMs = 100;

    /// A player without a performance; Init sets it up. Not copyable.
    /// @{
    MusicPlayer();
    virtual ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;
    /// @}

    /// 1 on success; -1 device without sound system, -3 no performance, -4 (no device) or -5
    /// (device) when the performance cannot start (no audio output, every channel block taken;
    /// everything released), -6 no default port (no SoundFont; the performance is kept), -7 no
    /// loader. A player set up again first releases what it held.
    std::int32_t Init(platform::HWND window, SoundDevice* device);
    /// The slot (0..63) the tune in fileName, relative to the current directory, was loaded into,
    /// or -1.
    std::int32_t Load(const char* fileName);
    /// The performance's result, or -1 for an empty slot (an index outside 0..63 is one).
    std::int32_t Play(std::int32_t index);
    /// Stops the tune of a slot at once (its notes are silenced): the performance's result, or -1
    /// for an empty slot or a player whose Init failed.
    std::int32_t Stop(std::int32_t index);
    /// 1, or -1 for an empty slot.
    std::int32_t Unload(std::int32_t index);

    /// The slot played last, or -1.
    std::int32_t Current() const { return current_; }
    /// Slot index (0..kSlots-1; other indices must not be passed).
    const TuneSlot& Slot(std::int32_t index) const { return tunes_[static_cast<std::size_t>(index)]; }
    /// The window given to Init, and the performance (owned by the player; null before Init).
    /// @{
    platform::HWND Window() const { return window_; }
    platform::MusicPerformance* Performance() const { return performance_.get(); }
    /// @}

private:
    bool Ready() const { return performance_ && loader_; }
    TuneSlot* LoadedSlot(std::int32_t index);
    void ReleaseEverything();

    std::array<TuneSlot, kSlots> tunes_;
    std::int32_t current_ = -1;
    platform::HWND window_ = nullptr;
    std::unique_ptr<platform::MusicPerformance> performance_;
    std::unique_ptr<platform::MusicLoader> loader_;
};

}  // namespace media
