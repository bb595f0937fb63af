#include "platform/music/music_performance.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

#include "platform/music/midi_excerpt.h"

namespace platform {

namespace {

// Which of the synth's channel blocks are taken, process-wide. Touched from the game's thread only.
std::array<bool, MidiSynth::kBlocks>& TakenBlocks() {
    static std::array<bool, MidiSynth::kBlocks> taken{};
    return taken;
}

int TakeBlock() {
    auto& taken = TakenBlocks();
    for (int block = 0; block < MidiSynth::kBlocks; ++block) {
        if (!taken[static_cast<std::size_t>(block)]) {
            taken[static_cast<std::size_t>(block)] = true;
            return block;
        }
    }
    return -1;
}

void GiveBackBlock(int block) {
    if (block >= 0 && block < MidiSynth::kBlocks) TakenBlocks()[static_cast<std::size_t>(block)] = false;
}

bool IsChannelMessage(int type) { return type >= 0x80 && type < 0xF0; }
constexpr int kControlChange = 0xB0;
constexpr int kChannelVolume = 7;  // the controller of a channel's volume

}  // namespace

HRESULT CreateMusicPerformance(std::unique_ptr<MusicPerformance>* performance) {
    if (!performance) return E_INVALIDARG;
    performance->reset(new (std::nothrow) MusicPerformance);
    return *performance ? S_OK : E_OUTOFMEMORY;
}

MusicPerformance::~MusicPerformance() { CloseDown(); }

HRESULT MusicPerformance::Init(SoundSystem*) {
    if (output_) return E_FAIL;
    auto output = AudioOutputUse::Open();
    if (!output) return DSERR_NODRIVER;
    const int block = TakeBlock();
    if (block < 0) return DSERR_ALLOCATED;
    output_ = std::move(output);
    block_ = block;
    return S_OK;
}

HRESULT MusicPerformance::AddPort(const void* port) {
    if (port) return E_INVALIDARG;
    if (!output_) return DSERR_UNINITIALIZED;
    if (synth_) return S_OK;
    synth_ = MidiSynth::Acquire();
    return synth_ ? S_OK : E_FAIL;
}

HRESULT MusicPerformance::PlaySegment(MusicSegment* segment, std::uint32_t, std::int64_t,
                                      std::shared_ptr<SegmentState>* state) {
    if (!synth_) return DSERR_UNINITIALIZED;
    if (!segment) return E_INVALIDARG;
    auto newState = std::make_shared<SegmentState>();
    newState->segment = segment;
    AudioLock lock;
    const bool ready = synth_->Ready();
    StopPlayer();
    const auto& midi = segment->Midi();
    if (!ready) {
        if (synth_->Failed()) return E_FAIL;
        // The synth is still loading its SoundFont: the song starts when it is ready.
        playingMidi_ = midi;
        waiting_ = true;
        synth_->AddWaiter(this);
    } else {
        // A song starts on channels as it expects them, whatever the last one left behind.
        synth_->ResetBlock(block_);
        ResetVolumes();
        if (!StartPlayer(midi)) return E_FAIL;
    }
    if (state) *state = std::move(newState);
    return S_OK;
}

HRESULT MusicPerformance::Stop(MusicSegment* segment, SegmentState*, std::int64_t, std::uint32_t) {
    if (!synth_) return S_OK;
    AudioLock lock;
    synth_->Ready();
    if (!segment || (playingMidi_ && segment->Midi() == playingMidi_)) {
        StopPlayer();
        synth_->SilenceBlock(block_);
    }
    return S_OK;
}

HRESULT MusicPerformance::CloseDown() {
    if (synth_) {
        AudioLock lock;
        synth_->Ready();
        StopPlayer();
        synth_->SilenceBlock(block_);
    }
    synth_.reset();
    GiveBackBlock(block_);
    block_ = -1;
    output_.reset();
    return S_OK;
}

// The audio thread reads the volume while it renders the song (OnMidiEvent scales each channel
// volume by it), so it is written under the audio lock like every other change to what plays.
void MusicPerformance::SetVolume(float volume) {
    AudioLock lock;
    volume_ = std::clamp(volume, 0.0f, 1.0f);
    if (!synth_ || block_ < 0) return;
    if (!synth_->Ready()) return;  // the reset when the synth is ready applies it
    for (int i = 0; i < MidiSynth::kChannelsPerBlock; ++i) {
        fluid_synth_cc(synth_->Synth(), block_ * MidiSynth::kChannelsPerBlock + i, 7, Scaled(channelVolume_[static_cast<std::size_t>(i)]));
    }
}

// The synth's default mapping of controller 7 makes the amplitude follow the square of the value,
// so the value is scaled by the volume's square root. At volume 1 the song's value passes as it is.
int MusicPerformance::Scaled(int channelVolume) const {
    if (volume_ >= 1.0f) return channelVolume;
    return static_cast<int>(std::lround(channelVolume * std::sqrt(volume_)));
}

// Called with the audio lock held and the synth ready, right after the block's reset.
void MusicPerformance::ResetVolumes() {
    channelVolume_.fill(MidiSynth::kResetVolume);
    if (volume_ >= 1.0f) return;  // the reset's own values stand
    for (int i = 0; i < MidiSynth::kChannelsPerBlock; ++i) {
        fluid_synth_cc(synth_->Synth(), block_ * MidiSynth::kChannelsPerBlock + i, 7, Scaled(MidiSynth::kResetVolume));
    }
}

bool MusicPerformance::IsPlaying() const {
    if (!synth_) return false;
    AudioLock lock;
    // A song that waited for the synth starts here if the synth has become ready.
    synth_->Ready();
    if (waiting_ || paused_) return true;
    // FluidSynth's player on the sample clock keeps saying it plays after a song's last event:
    // the song has ended once the player's tick has passed the song's last one.
    return player_ && fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING &&
           fluid_player_get_current_tick(player_) <= fluid_player_get_total_ticks(player_);
}

// Called with the audio lock held and the synth ready.
bool MusicPerformance::StartPlayer(const std::shared_ptr<const std::vector<std::uint8_t>>& midi) {
    fluid_player_t* player = new_fluid_player(synth_->Synth());
    if (!player) return false;
    fluid_player_set_playback_callback(player, &MusicPerformance::OnMidiEvent, this);
    if (fluid_player_add_mem(player, midi->data(), midi->size()) != FLUID_OK || fluid_player_play(player) != FLUID_OK) {
        delete_fluid_player(player);
        return false;
    }
    player_ = player;
    playingMidi_ = midi;
    synth_->AddPlayer(player_);
    return true;
}

// The synth became ready (audio lock held): the song that waited for it starts.
void MusicPerformance::SynthReady() {
    if (!waiting_) return;
    waiting_ = false;
    synth_->ResetBlock(block_);
    ResetVolumes();
    if (!StartPlayer(playingMidi_)) playingMidi_.reset();
}

// The synth will never be ready (audio lock held): the song that waited for it is over.
void MusicPerformance::SynthFailed() {
    waiting_ = false;
    playingMidi_.reset();
}

// Called with the audio lock held.
void MusicPerformance::StopPlayer() {
    if (waiting_) {
        synth_->RemoveWaiter(this);
        waiting_ = false;
        playingMidi_.reset();
    }
    if (paused_) playingMidi_.reset();
    paused_ = false;
    tickOffset_ = 0;
    excerpt_.reset();
    if (!player_) return;
    synth_->RemovePlayer(player_);
    fluid_player_stop(player_);
    delete_fluid_player(player_);
    player_ = nullptr;
    playingMidi_.reset();
}

// The player's events, moved onto this performance's channel block. Only channel messages pass:
// system exclusive messages (a GM or GS reset in the file) would reach every performance's
// channels.
int MusicPerformance::OnMidiEvent(void* data, fluid_midi_event_t* event) {
    auto* self = static_cast<MusicPerformance*>(data);
    const int type = fluid_midi_event_get_type(event);
    if (!IsChannelMessage(type)) return FLUID_OK;
    const int channel = fluid_midi_event_get_channel(event);
    if (channel < 0 || channel >= MidiSynth::kChannelsPerBlock) return FLUID_OK;
    fluid_midi_event_set_channel(event, self->block_ * MidiSynth::kChannelsPerBlock + channel);
    // A channel volume passes scaled by the performance's volume, and is kept as the song set it.
    const bool volume = type == kControlChange && fluid_midi_event_get_control(event) == kChannelVolume;
    const int songVolume = volume ? fluid_midi_event_get_value(event) : 0;
    if (volume) {
        self->channelVolume_[static_cast<std::size_t>(channel)] = static_cast<std::uint8_t>(songVolume);
        fluid_midi_event_set_value(event, self->Scaled(songVolume));
    }
    const int result = fluid_synth_handle_midi_event(self->synth_->Synth(), event);
    if (volume) fluid_midi_event_set_value(event, songVolume);
    // The player goes on using the event after this callback with the file's channel number (it
    // keeps a record per channel of the file): moved channels would make it write past that.
    fluid_midi_event_set_channel(event, channel);
    return result;
}

// A pause ends the player and keeps its tick; Resume starts a player on the song from there.
HRESULT MusicPerformance::Pause() {
    if (!synth_) return DSERR_UNINITIALIZED;
    AudioLock lock;
    if (!player_ || paused_) return S_OK;
    pausedTick_ = CurrentTickLocked();
    EndPlayerKeepingSong();
    paused_ = true;
    return S_OK;
}

HRESULT MusicPerformance::Resume() {
    if (!synth_) return DSERR_UNINITIALIZED;
    AudioLock lock;
    if (!paused_) return S_OK;
    paused_ = false;
    return StartPlayerAt(pausedTick_) ? S_OK : E_FAIL;
}

bool MusicPerformance::IsPaused() const {
    if (!synth_) return false;
    AudioLock lock;
    return paused_;
}

// A paused song keeps the tick for its Resume; a playing one goes on from it at once.
HRESULT MusicPerformance::SeekTick(std::uint64_t tick) {
    if (!synth_) return DSERR_UNINITIALIZED;
    AudioLock lock;
    if (paused_) {
        pausedTick_ = static_cast<std::int64_t>(tick);
        return S_OK;
    }
    if (!player_) return S_OK;
    EndPlayerKeepingSong();
    return StartPlayerAt(static_cast<std::int64_t>(tick)) ? S_OK : E_FAIL;
}

std::int64_t MusicPerformance::CurrentTick() const {
    if (!synth_) return -1;
    AudioLock lock;
    return CurrentTickLocked();
}

// Called with the audio lock held.
std::int64_t MusicPerformance::CurrentTickLocked() const {
    if (paused_) return pausedTick_;
    if (!player_) return -1;
    return tickOffset_ + fluid_player_get_current_tick(player_);
}

// Called with the audio lock held: the player goes, its notes fall silent, the song stays.
void MusicPerformance::EndPlayerKeepingSong() {
    synth_->RemovePlayer(player_);
    fluid_player_stop(player_);
    delete_fluid_player(player_);
    player_ = nullptr;
    synth_->SilenceBlock(block_);
}

// Called with the audio lock held: the block as the song expects it at its start, then a player
// on the song from tick on (the excerpt sends what the song set up before it).
bool MusicPerformance::StartPlayerAt(std::int64_t tick) {
    const std::shared_ptr<const std::vector<std::uint8_t>> song = playingMidi_;
    if (!song) return false;
    synth_->ResetBlock(block_);
    ResetVolumes();
    auto excerpt = std::make_shared<const std::vector<std::uint8_t>>(MidiExcerpt(song->data(), song->size(), static_cast<std::uint64_t>(tick)));
    if (!StartPlayer(excerpt)) {
        playingMidi_.reset();
        return false;
    }
    playingMidi_ = song;  // the song, not its excerpt, names what plays
    excerpt_ = std::move(excerpt);
    tickOffset_ = tick;
    return true;
}

}  // namespace platform
