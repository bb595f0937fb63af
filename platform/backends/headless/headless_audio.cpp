#include "platform/backends/headless/headless_audio.h"

#include <algorithm>

#include "platform/audio/audio_mixer.h"
#include "platform/backends/headless/fault_switchboard.h"
#include "platform/core/system.h"

namespace platform {

namespace headless {

namespace {

// A jump of the clock beyond this is mixed only up to it: a test that moves the clock by hours
// does not wait for hours of output.
constexpr std::uint64_t kMaxCatchUpMs = 10 * 60 * 1000;

}  // namespace

HeadlessAudio& AudioControls() {
    static HeadlessAudio audio;
    return audio;
}

void HeadlessAudio::Reset() {
    noDevice_ = false;
    realTime_ = false;
    unheard_ = false;
    Faults().Clear(FaultGroup::Audio);
    captured_.clear();
    lastTime_ = TimeGetTime();
}

void HeadlessAudio::SetFault(AudioFault point, HRESULT result) { Faults().Set(point, result); }

HRESULT HeadlessAudio::FaultAt(AudioFault point) { return Faults().Take(point); }

const std::vector<std::int16_t>& HeadlessAudio::Output() {
    if (lockDepth_ == 0) CatchUp();
    return captured_;
}

void HeadlessAudio::LoseSoundBuffers() {
    Lock();
    AudioMixer::Shared().LoseBuffers();
    Unlock();
}

bool HeadlessAudio::Open() {
    if (noDevice_) return false;
    if (users_++ == 0) {
        lastTime_ = TimeGetTime();
        elapsedMs_ = 0;
        framesMixed_ = 0;
        captured_.clear();
    }
    return true;
}

void HeadlessAudio::Close() {
    if (users_ == 0) return;
    if (users_ == 1) CatchUp();  // what played until now was heard
    --users_;
}

void HeadlessAudio::Lock() {
    if (lockDepth_++ == 0) CatchUp();
}

void HeadlessAudio::Unlock() {
    if (lockDepth_ > 0) --lockDepth_;
}

void HeadlessAudio::CatchUp() {
    const std::uint32_t now = TimeGetTime();
    const auto passed = static_cast<std::int32_t>(now - lastTime_);
    lastTime_ = now;
    // Nothing plays without an open output, and a clock set back plays nothing.
    if (users_ == 0 || passed <= 0) return;
    elapsedMs_ += std::min<std::uint64_t>(static_cast<std::uint64_t>(passed), kMaxCatchUpMs);
    const std::uint64_t target = elapsedMs_ * kOutputRate / 1000;
    ++lockDepth_;  // inputs that lock while mixing do not start another catch-up
    while (framesMixed_ < target) {
        const std::size_t frames = static_cast<std::size_t>(std::min<std::uint64_t>(target - framesMixed_, 4096));
        scratch_.resize(frames * kOutputChannels);
        AudioMixer::Shared().Mix(scratch_.data(), frames);
        framesMixed_ += frames;
        if (unheard_) continue;
        const std::size_t room = kCaptureFrames * kOutputChannels - std::min(captured_.size(), kCaptureFrames * kOutputChannels);
        captured_.insert(captured_.end(), scratch_.begin(), scratch_.begin() + static_cast<std::ptrdiff_t>(std::min(room, scratch_.size())));
    }
    --lockDepth_;
}

}  // namespace headless
}  // namespace platform
