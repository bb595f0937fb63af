#include "media/app/tune.h"

#include <algorithm>
#include <string>
#include <vector>

#include "media/app/audio_state.h"
#include "media/app/file_loading.h"
#include "platform/music/music_performance.h"
#include "platform/audio/ogg_pages.h"
#include "platform/audio/vorbis_stream.h"
#include "platform/music/midi_timeline.h"
#include "platform/music/music_segment.h"

namespace media {

Tune::Tune() = default;
Tune::~Tune() { Unload(); }
Tune::Tune(Tune&&) noexcept = default;
Tune& Tune::operator=(Tune&& other) noexcept {
    if (this != &other) {
        Unload();
        audio_ = std::move(other.audio_);
        segment_ = std::move(other.segment_);
        volume_ = other.volume_;
        timeline_ = std::move(other.timeline_);
        oggBytes_ = std::move(other.oggBytes_);
        stream_ = std::move(other.stream_);
    }
    return *this;
}

Status Tune::Load(Audio& audio, const char* path) {
    if (IsOggFile(path)) return LoadOggFile(audio, path);
    return LoadFileThrough(path, "tune", kMaxFileBytes, [&](const std::uint8_t* bytes, std::size_t size) { return LoadFromMemory(audio, bytes, size); });
}

Status Tune::LoadFromMemory(Audio& audio, const void* bytes, std::size_t size) {
    if (!audio.IsOpen()) return {ErrorCode::NotOpen, "cannot load a tune: the audio output is not open"};
    if (platform::LooksLikeOgg(bytes, size)) return LoadOggMemory(audio, static_cast<const std::uint8_t*>(bytes), size);
    platform::MusicPerformance* music = audio.Music();
    if (!music) return {ErrorCode::NoDevice, "cannot load a tune: no MIDI synthesiser (is a SoundFont installed?)"};
    const auto* data = static_cast<const std::uint8_t*>(bytes);
    if (!data || !platform::IsStandardMidiFile(data, size)) return {ErrorCode::BadData, "not a standard MIDI file"};
    auto segment = std::make_unique<platform::MusicSegment>(std::vector<std::uint8_t>(data, data + size));
    if (platform::Failed(segment->SetParam(platform::SegmentParam::StandardMidiFile, music)) ||
        platform::Failed(segment->SetParam(platform::SegmentParam::Download, music))) {
        return {ErrorCode::Failed, "the tune's instruments could not be loaded into the synthesiser"};
    }
    Unload();
    audio_ = audio.Shared();
    segment_ = std::move(segment);
    timeline_ = std::make_shared<platform::MidiTimeline>(data, size);
    return {};
}

Status Tune::Play(Loop loop) {
    if (stream_) return PlayStream(loop);
    if (!segment_) return {ErrorCode::NotOpen, "cannot play a tune that was not loaded"};
    StopOthers();
    audio_->music->SetVolume(volume_);
    const platform::HRESULT played = audio_->music->PlaySegment(segment_.get(), 0, 0, nullptr);
    if (platform::Failed(played)) return Status::FromPlatform("the tune could not be played", played);
    audio_->playing = segment_.get();
    audio_->looping = loop == Loop::Forever ? segment_.get() : nullptr;
    return {};
}

Status Tune::Stop() {
    EndFade();
    if (stream_) return StopStream();
    if (!segment_) return {ErrorCode::NotOpen, "cannot stop a tune that was not loaded"};
    if (audio_->playing != segment_.get()) return {};
    audio_->looping = nullptr;
    audio_->playing = nullptr;
    const platform::HRESULT stopped = audio_->music->Stop(segment_.get(), nullptr, 0, 0);
    return platform::Succeeded(stopped) ? Status{} : Status::FromPlatform("the tune could not be stopped", stopped);
}

// A looping tune counts as playing in the moment between its end and the frame that starts it
// again, as long as the synth can start it again (its SoundFont did not fail to load).
bool Tune::IsPlaying() const {
    if (stream_) return stream_->IsPlaying();
    if (IsPaused()) return false;
    if (!segment_ || audio_->playing != segment_.get()) return false;
    if (audio_->music->IsPlaying()) return true;
    return audio_->looping == segment_.get() && audio_->music->CanPlay();
}

Status Tune::SetVolume(float volume) {
    volume_ = std::clamp(volume, 0.0f, 1.0f);
    if (stream_) stream_->SetGain(volume_);
    if (segment_ && audio_->playing == segment_.get()) audio_->music->SetVolume(volume_);
    return {};
}

void Tune::Unload() {
    EndFade();
    if (stream_) UnloadStream();
    if (!segment_) return;
    Stop();
    segment_->SetParam(platform::SegmentParam::Unload, audio_->music.get());
    segment_.reset();
    audio_.reset();
}

}  // namespace media
