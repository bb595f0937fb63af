#include "media/app/tune.h"

#include <string>
#include <vector>

#include "media/app/audio.h"
#include "media/core/file_reader.h"
#include "platform/music/music_performance.h"
#include "platform/music/music_segment.h"

namespace media {

Tune::Tune() = default;
Tune::~Tune() { Unload(); }
Tune::Tune(Tune&&) noexcept = default;
Tune& Tune::operator=(Tune&& other) noexcept {
    if (this != &other) {
        Unload();
        audio_ = other.audio_;
        segment_ = std::move(other.segment_);
    }
    return *this;
}

Status Tune::Load(Audio& audio, const char* path) {
    if (!path) return {ErrorCode::InvalidArgument, "cannot load a tune: no file name (null)"};
    std::vector<std::uint8_t> bytes;
    if (!FileReader().ReadWhole(path, bytes)) return {ErrorCode::NotFound, std::string("cannot load tune '") + path + "': no such file"};
    Status status = LoadFromMemory(audio, bytes.data(), bytes.size());
    if (!status) return {status.Code(), std::string("tune '") + path + "': " + status.Message()};
    return status;
}

Status Tune::LoadFromMemory(Audio& audio, const void* bytes, std::size_t size) {
    if (!audio.IsOpen()) return {ErrorCode::NotOpen, "cannot load a tune: the audio output is not open"};
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
    audio_ = &audio;
    segment_ = std::move(segment);
    return {};
}

Status Tune::Play(Loop loop) {
    if (!segment_) return {ErrorCode::NotOpen, "cannot play a tune that was not loaded"};
    const platform::HRESULT played = audio_->Music()->PlaySegment(segment_.get(), 0, 0, nullptr);
    if (platform::Failed(played)) return Status::FromPlatform("the tune could not be played", played);
    audio_->SetPlayingTune(segment_.get());
    audio_->SetLoopingTune(loop == Loop::Forever ? segment_.get() : nullptr);
    return {};
}

Status Tune::Stop() {
    if (!segment_) return {ErrorCode::NotOpen, "cannot stop a tune that was not loaded"};
    if (audio_->PlayingTune() != segment_.get()) return {};
    audio_->SetLoopingTune(nullptr);
    audio_->SetPlayingTune(nullptr);
    const platform::HRESULT stopped = audio_->Music()->Stop(segment_.get(), nullptr, 0, 0);
    return platform::Succeeded(stopped) ? Status{} : Status::FromPlatform("the tune could not be stopped", stopped);
}

bool Tune::IsPlaying() const {
    return segment_ && audio_->PlayingTune() == segment_.get() && audio_->Music()->IsPlaying();
}

void Tune::Unload() {
    if (!segment_) return;
    Stop();
    segment_->SetParam(platform::SegmentParam::Unload, audio_->Music());
    segment_.reset();
}

}  // namespace media
