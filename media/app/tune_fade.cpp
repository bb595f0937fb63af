#include "media/app/tune_fade.h"

#include <algorithm>

#include "media/app/audio_state.h"
#include "platform/audio/audio_host.h"
#include "platform/audio/vorbis_stream.h"
#include "platform/music/music_performance.h"

namespace media {

TuneFade::TuneFade(FadeSide out, FadeSide in, bool loopIn, std::uint32_t now, std::uint32_t halfMs)
    : out_(out), in_(in), loopIn_(loopIn), start_(now), halfMs_(std::max<std::uint32_t>(halfMs, 1)) {
    // An Ogg tune fades out in the mixer, frame by frame, and stops at the end of it.
    if (out_.stream) out_.stream->FadeTo(0.0f, std::uint64_t{halfMs_} * platform::kOutputRate / 1000, true);
}

bool TuneFade::Step(std::uint32_t now, Audio::State& state) {
    const std::uint32_t elapsed = now - start_;
    platform::MusicPerformance* music = state.music.get();
    if (!inStarted_) {
        if (elapsed < halfMs_) {
            if (out_.midi && music) music->SetVolume(out_.volume * (1.0f - static_cast<float>(elapsed) / static_cast<float>(halfMs_)));
            return true;
        }
        // The outgoing tune is silent: stopped, and the incoming one starts silent.
        if (out_.midi && music) {
            music->Stop(out_.midi, nullptr, 0, 0);
            if (state.playing == out_.midi) state.playing = state.looping = nullptr;
        }
        if (out_.stream) out_.stream->Stop();
        inStarted_ = true;
        if (in_.midi && music) {
            music->SetVolume(0.0f);
            if (platform::Failed(music->PlaySegment(in_.midi, 0, 0, nullptr))) return false;
            state.playing = in_.midi;
            state.looping = loopIn_ ? in_.midi : nullptr;
        } else if (in_.stream) {
            in_.stream->Play(loopIn_, 0.0f);
            in_.stream->FadeTo(in_.volume, std::uint64_t{halfMs_} * platform::kOutputRate / 1000, false);
            state.streaming = in_.stream;
        }
    }
    const float share = std::min(1.0f, static_cast<float>(elapsed - halfMs_) / static_cast<float>(halfMs_));
    if (in_.midi && music) music->SetVolume(in_.volume * share);
    return share < 1.0f;
}

}  // namespace media
