// What Tune adds to the MIDI tunes of tune.cpp: Ogg Vorbis tunes streamed through the mixer, and
// for every tune pause, resume, seek, position, length and crossfade.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "media/app/audio_state.h"
#include "media/app/tune.h"
#include "media/app/tune_fade.h"
#include "platform/core/system.h"
#include "platform/audio/ogg_pages.h"
#include "platform/audio/vorbis_decoder.h"
#include "platform/audio/vorbis_stream.h"
#include "platform/music/midi_timeline.h"
#include "platform/music/music_performance.h"

namespace media {

namespace {

Status NotOgg(const std::string& why) { return {ErrorCode::BadData, "not an Ogg Vorbis file the layer plays: " + why}; }

}  // namespace

bool Tune::IsOggFile(const char* path) {
    if (!path) return false;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::uint8_t magic[4] = {};
    const bool ogg = std::fread(magic, 1, 4, file) == 4 && platform::LooksLikeOgg(magic, 4);
    std::fclose(file);
    return ogg;
}

// The file stays open and is read a piece at a time while the tune plays.
Status Tune::LoadOggFile(Audio& audio, const char* path) {
    if (!audio.IsOpen()) return {ErrorCode::NotOpen, "cannot load a tune: the audio output is not open"};
    std::string why;
    auto decoder = platform::VorbisDecoder::OpenFile(path, &why);
    if (!decoder) return {ErrorCode::BadData, std::string("tune '") + path + "': " + NotOgg(why).Message()};
    Unload();
    audio_ = audio.Shared();
    stream_ = std::make_unique<platform::VorbisStream>(std::move(decoder));
    stream_->SetGain(volume_);
    return {};
}

// The bytes are copied once and streamed from; nothing is decoded ahead of playing.
Status Tune::LoadOggMemory(Audio& audio, const std::uint8_t* bytes, std::size_t size) {
    std::vector<std::uint8_t> copy(bytes, bytes + size);
    std::string why;
    auto decoder = platform::VorbisDecoder::OpenMemory(copy.data(), copy.size(), &why);
    if (!decoder) return NotOgg(why);
    Unload();
    audio_ = audio.Shared();
    oggBytes_ = std::move(copy);  // the vector's storage moves with it: the decoder's view holds
    stream_ = std::make_unique<platform::VorbisStream>(std::move(decoder));
    stream_->SetGain(volume_);
    return {};
}

// One tune of an Audio sounds at a time: whatever else played is stopped first.
void Tune::StopOthers() {
    audio_->fade.reset();  // a tune started by hand takes over from a crossfade
    if (audio_->streaming && audio_->streaming != stream_.get()) audio_->streaming->Stop();
    audio_->streaming = nullptr;
    if (stream_ && audio_->playing && audio_->music) {
        audio_->music->Stop(audio_->playing, nullptr, 0, 0);
        audio_->playing = audio_->looping = nullptr;
    }
}

Status Tune::PlayStream(Loop loop) {
    StopOthers();
    stream_->Play(loop == Loop::Forever, volume_);
    audio_->streaming = stream_.get();
    return {};
}

void Tune::EndFade() {
    if (audio_ && audio_->fade && (audio_->fade->Involves(segment_.get()) || audio_->fade->Involves(stream_.get()))) audio_->fade.reset();
}

Status Tune::StopStream() {
    stream_->Stop();
    if (audio_->streaming == stream_.get()) audio_->streaming = nullptr;
    return {};
}

void Tune::UnloadStream() {
    StopStream();
    stream_.reset();
    oggBytes_.clear();
    audio_.reset();
}

bool Tune::IsCurrentMidi() const { return segment_ && audio_ && audio_->music && audio_->playing == segment_.get(); }

// A tune that is not the one playing has nothing to pause or resume.
Status Tune::Pause() {
    if (!Loaded()) return {ErrorCode::NotOpen, "cannot pause a tune that was not loaded"};
    if (stream_) {
        stream_->Pause();
    } else if (IsCurrentMidi()) {
        const platform::HRESULT paused = audio_->music->Pause();
        if (platform::Failed(paused)) return Status::FromPlatform("the tune could not be paused", paused);
    }
    return {};
}

Status Tune::Resume() {
    if (!Loaded()) return {ErrorCode::NotOpen, "cannot resume a tune that was not loaded"};
    if (stream_) {
        stream_->Resume();
    } else if (IsCurrentMidi()) {
        const platform::HRESULT resumed = audio_->music->Resume();
        if (platform::Failed(resumed)) return Status::FromPlatform("the tune could not be resumed", resumed);
    }
    return {};
}

bool Tune::IsPaused() const {
    if (stream_) return stream_->IsPaused();
    return IsCurrentMidi() && audio_->music->IsPaused();
}

Status Tune::Seek(double seconds) {
    if (!Loaded()) return {ErrorCode::NotOpen, "cannot seek in a tune that was not loaded"};
    if (!std::isfinite(seconds)) return {ErrorCode::InvalidArgument, "cannot seek to a time that is not a number"};
    seconds = std::clamp(seconds, 0.0, Length());
    if (stream_) {
        if (!stream_->Seek(static_cast<std::uint64_t>(std::llround(seconds * stream_->Rate())))) {
            return {ErrorCode::BadData, "the tune could not be read there: " + stream_->Error()};
        }
    } else if (IsCurrentMidi()) {
        const platform::HRESULT sought = audio_->music->SeekTick(timeline_->TickAt(seconds));
        if (platform::Failed(sought)) return Status::FromPlatform("the tune could not seek", sought);
    }
    return {};
}

double Tune::Position() const {
    if (stream_) return stream_->IsPlaying() || stream_->IsPaused() ? static_cast<double>(stream_->Position()) / stream_->Rate() : 0.0;
    if (!IsCurrentMidi()) return 0.0;
    const std::int64_t tick = audio_->music->CurrentTick();
    return tick < 0 ? 0.0 : std::min(timeline_->SecondsAt(static_cast<std::uint64_t>(tick)), Length());
}

double Tune::Length() const {
    if (stream_) return static_cast<double>(stream_->Frames()) / stream_->Rate();
    return timeline_ ? timeline_->Length() : 0.0;
}

Status Tune::SetLoopPoints(double start, double end) {
    if (!Loaded()) return {ErrorCode::NotOpen, "cannot set the loop of a tune that was not loaded"};
    if (!stream_) return {ErrorCode::Unsupported, "loop points are for Ogg Vorbis tunes; a MIDI tune loops whole"};
    const double length = Length();
    if (end <= 0 || end > length) end = length;
    if (!std::isfinite(start) || !std::isfinite(end) || start < 0 || start >= end) {
        return {ErrorCode::InvalidArgument, "a loop runs from a start to a later end within the tune"};
    }
    const double rate = stream_->Rate();
    stream_->SetLoop(static_cast<std::uint64_t>(std::llround(start * rate)), static_cast<std::uint64_t>(std::llround(end * rate)));
    return {};
}

Status Tune::CrossfadeTo(Tune& next, double seconds, Loop loop) {
    if (!Loaded() || !next.Loaded()) return {ErrorCode::NotOpen, "a crossfade needs two loaded tunes"};
    if (&next == this) return {ErrorCode::InvalidArgument, "a tune cannot crossfade into itself"};
    if (!std::isfinite(seconds) || seconds < 0) return {ErrorCode::InvalidArgument, "a crossfade lasts zero or more seconds"};
    if (next.audio_ != audio_) return {ErrorCode::InvalidArgument, "a crossfade is between two tunes of one Audio"};
    if (!stream_ || !next.stream_) {
        // A MIDI tune on a side: out, then in, stepped by the frame loop.
        const auto half = static_cast<std::uint32_t>(std::llround(seconds * 500));
        audio_->fade.reset();
        if (audio_->streaming && audio_->streaming != stream_.get()) audio_->streaming->Stop();
        audio_->streaming = nullptr;  // an Ogg tune going out fades and stops by itself
        // Only a tune that sounds fades out; the performance's volume is the playing tune's.
        const FadeSide out{IsCurrentMidi() ? segment_.get() : nullptr, stream_ && stream_->IsPlaying() ? stream_.get() : nullptr, volume_};
        audio_->fade = std::make_unique<TuneFade>(out,
                                                  FadeSide{next.segment_.get(), next.stream_.get(), next.volume_},
                                                  loop == Loop::Forever, platform::TimeGetTime(), half);
        return {};
    }
    const auto frames = static_cast<std::uint64_t>(std::llround(seconds * platform::kOutputRate));
    // The outgoing stream keeps sounding, outside the Audio's one-tune rule, until its fade ends.
    if (audio_->streaming == stream_.get()) audio_->streaming = nullptr;
    stream_->FadeTo(0.0f, frames, true);
    next.StopOthers();
    next.stream_->Play(loop == Loop::Forever, frames == 0 ? next.volume_ : 0.0f);
    next.stream_->FadeTo(next.volume_, frames, false);
    next.audio_->streaming = next.stream_.get();
    return {};
}

}  // namespace media
