#include "platform/audio/vorbis_stream.h"

#include <algorithm>

#include "platform/audio/audio_host.h"

namespace platform {

namespace {

constexpr std::uint64_t kOne = std::uint64_t{1} << 32;

}  // namespace

VorbisStream::VorbisStream(std::unique_ptr<VorbisDecoder> decoder)
    : decoder_(std::move(decoder)),
      rate_(decoder_->Rate()),
      channels_(decoder_->Channels()),
      frames_(decoder_->Frames()),
      step_((std::uint64_t{rate_} << 32) / kOutputRate),
      loopEnd_(frames_) {}

VorbisStream::~VorbisStream() {
    AudioLock lock;
    AudioMixer::Shared().Remove(this);
}

void VorbisStream::Play(bool looping, float gain) {
    AudioLock lock;
    looping_ = looping;
    gain_ = fadeTarget_ = std::clamp(gain, 0.0f, 1.0f);
    fadeLeft_ = 0;
    stopAtFadeEnd_ = false;
    paused_ = false;
    playing_ = true;
    Restart(0);
    AudioMixer::Shared().Add(this);
}

void VorbisStream::Stop() {
    AudioLock lock;
    playing_ = paused_ = false;
    AudioMixer::Shared().Remove(this);
}

void VorbisStream::Pause() {
    AudioLock lock;
    if (!playing_) return;
    paused_ = true;
    AudioMixer::Shared().Remove(this);
}

void VorbisStream::Resume() {
    AudioLock lock;
    if (!playing_ || !paused_) return;
    paused_ = false;
    AudioMixer::Shared().Add(this);
}

bool VorbisStream::IsPlaying() const {
    AudioLock lock;
    return playing_ && !paused_ && !ended_;
}

bool VorbisStream::IsPaused() const {
    AudioLock lock;
    return playing_ && paused_;
}

bool VorbisStream::Seek(std::uint64_t frame) {
    AudioLock lock;
    Restart(std::min(frame, frames_));
    return decoder_->Error().empty();
}

std::uint64_t VorbisStream::Position() const {
    AudioLock lock;
    return ended_ ? frames_ : currentFrame_;
}

void VorbisStream::SetLoop(std::uint64_t start, std::uint64_t end) {
    AudioLock lock;
    loopEnd_ = std::clamp<std::uint64_t>(end, 1, frames_);
    loopStart_ = std::min(start, loopEnd_ - 1);
}

void VorbisStream::SetGain(float gain) {
    AudioLock lock;
    gain_ = fadeTarget_ = std::clamp(gain, 0.0f, 1.0f);
    fadeLeft_ = 0;
    stopAtFadeEnd_ = false;
}

void VorbisStream::FadeTo(float target, std::uint64_t frames, bool stopAtEnd) {
    AudioLock lock;
    fadeTarget_ = std::clamp(target, 0.0f, 1.0f);
    stopAtFadeEnd_ = stopAtEnd;
    if (frames == 0) {
        gain_ = fadeTarget_;
        fadeLeft_ = 0;
        if (stopAtEnd) {
            playing_ = false;
            AudioMixer::Shared().Remove(this);
        }
        return;
    }
    fadeLeft_ = frames;
    fadeStep_ = (fadeTarget_ - gain_) / static_cast<float>(frames);
}

float VorbisStream::Gain() const {
    AudioLock lock;
    return gain_;
}

std::string VorbisStream::Error() const {
    AudioLock lock;
    return decoder_->Error();
}

// Starts decoding afresh at a frame: the two frames that the first output frame lies between.
void VorbisStream::Restart(std::uint64_t frame) {
    ended_ = false;
    pieceFrames_ = pieceAt_ = 0;
    phase_ = 0;
    decodedTo_ = frame;
    currentFrame_ = frame;
    if (frame >= frames_ || !decoder_->Seek(frame)) {
        ended_ = true;
        currentFrame_ = frames_;
        return;
    }
    if (step_ == kOne) return;  // MixDirect reads the pieces themselves
    if (!Pull(current_, currentFrame_)) {
        ended_ = true;
        currentFrame_ = frames_;
        return;
    }
    haveNext_ = Pull(next_, nextFrame_);
}

// The next source frame, decoding a piece when the last one is used up.
bool VorbisStream::Pull(std::array<float, 2>& frame, std::uint64_t& index) {
    if (pieceAt_ == pieceFrames_ && !Refill()) return false;
    index = decodedTo_ - pieceFrames_ + pieceAt_;
    const std::int16_t* sample = piece_.data() + pieceAt_ * channels_;
    frame[0] = sample[0];
    frame[1] = channels_ == 2 ? sample[1] : sample[0];
    ++pieceAt_;
    return true;
}

// Decodes the next piece, up to the loop's end when looping (then on from the loop's start).
bool VorbisStream::Refill() {
    const std::uint64_t limit = looping_ ? loopEnd_ : frames_;
    if (decodedTo_ >= limit) {
        if (!looping_ || !decoder_->Seek(loopStart_)) return false;
        decodedTo_ = loopStart_;
    }
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kPieceFrames, limit - decodedTo_));
    const std::size_t got = decoder_->Read(piece_.data(), wanted);
    if (got == 0) return false;
    pieceFrames_ = got;
    pieceAt_ = 0;
    decodedTo_ += got;
    return true;
}

// Each output frame lies between two source frames (always on the first at 44.1 kHz, so such a
// tune passes sample for sample); the gain moves one step a frame while fading.
bool VorbisStream::MixInto(std::int32_t* out, std::size_t frames) {
    if (!playing_ || paused_ || ended_) return false;
    if (step_ == kOne) return MixDirect(out, frames);
    for (std::size_t i = 0; i < frames; ++i, out += 2) {
        if (fadeLeft_ > 0) {
            gain_ = --fadeLeft_ == 0 ? fadeTarget_ : gain_ + fadeStep_;
            if (fadeLeft_ == 0 && stopAtFadeEnd_) {
                playing_ = false;
                return false;
            }
        }
        const float weight = static_cast<float>(phase_) * (1.0f / 4294967296.0f);
        out[0] += static_cast<std::int32_t>((current_[0] + (next_[0] - current_[0]) * weight) * gain_);
        out[1] += static_cast<std::int32_t>((current_[1] + (next_[1] - current_[1]) * weight) * gain_);
        for (phase_ += step_; phase_ >= kOne; phase_ -= kOne) {
            if (!haveNext_) {
                ended_ = true;
                playing_ = false;
                return false;
            }
            current_ = next_;
            currentFrame_ = nextFrame_;
            haveNext_ = Pull(next_, nextFrame_);
            if (!haveNext_) next_ = current_;
        }
    }
    return true;
}

// A tune at the output's rate: each piece's frames are added as they are, a run at a time (the
// loop vectorises), the gain stepping per frame only while fading.
bool VorbisStream::MixDirect(std::int32_t* out, std::size_t frames) {
    while (frames > 0) {
        if (pieceAt_ == pieceFrames_ && !Refill()) {
            ended_ = true;
            playing_ = false;
            currentFrame_ = frames_;
            return false;
        }
        // A fade ends on a run's last frame: the frames after it run at the fade's target.
        std::size_t run = std::min(frames, pieceFrames_ - pieceAt_);
        if (fadeLeft_ > 0) run = static_cast<std::size_t>(std::min<std::uint64_t>(run, fadeLeft_));
        const std::int16_t* in = piece_.data() + pieceAt_ * channels_;
        if (fadeLeft_ > 0) {
            for (std::size_t i = 0; i < run; ++i, out += 2, in += channels_) {
                gain_ = --fadeLeft_ == 0 ? fadeTarget_ : gain_ + fadeStep_;
                if (fadeLeft_ == 0 && stopAtFadeEnd_) {
                    playing_ = false;
                    return false;
                }
                out[0] += static_cast<std::int32_t>(in[0] * gain_);
                out[1] += static_cast<std::int32_t>(in[channels_ - 1] * gain_);
            }
        } else if (channels_ == 2) {
            AddRun<2>(in, out, run, gain_);
            out += run * 2;
        } else {
            AddRun<1>(in, out, run, gain_);
            out += run * 2;
        }
        pieceAt_ += run;
        frames -= run;
        currentFrame_ = decodedTo_ - pieceFrames_ + pieceAt_;
    }
    return true;
}

template <int Channels>
void VorbisStream::AddRun(const std::int16_t* in, std::int32_t* out, std::size_t frames, float gain) {
    if (gain == 1.0f) {
        for (std::size_t i = 0; i < frames; ++i) {
            out[2 * i] += in[i * Channels];
            out[2 * i + 1] += in[i * Channels + Channels - 1];
        }
        return;
    }
    for (std::size_t i = 0; i < frames; ++i) {
        out[2 * i] += static_cast<std::int32_t>(in[i * Channels] * gain);
        out[2 * i + 1] += static_cast<std::int32_t>(in[i * Channels + Channels - 1] * gain);
    }
}

}  // namespace platform
