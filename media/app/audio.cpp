#include "media/app/audio.h"

#include "media/app/window.h"
#include "media/audio/sound_device.h"
#include "platform/music/music_performance.h"

namespace media {

Audio::Audio() = default;
Audio::~Audio() {
    if (music_) music_->CloseDown();
}
Audio::Audio(Audio&&) noexcept = default;
Audio& Audio::operator=(Audio&& other) noexcept {
    if (this != &other) {
        if (music_) music_->CloseDown();
        device_ = std::move(other.device_);
        music_ = std::move(other.music_);
        looping_ = other.looping_, playing_ = other.playing_;
    }
    return *this;
}

Status Audio::Open(const Window& window) {
    if (!window.IsOpen()) return {ErrorCode::NotOpen, "cannot open the audio output: the window is not open"};
    auto device = std::make_unique<SoundDevice>();
    const platform::HRESULT opened = device->Init(static_cast<platform::HWND>(window.NativeHandle()), 0);
    if (platform::Failed(opened) || device->Disabled()) {
        return Status::FromPlatform("cannot open the audio output (no sound device?)", opened);
    }
    device_ = std::move(device);
    // Tunes play on a performance of their own; without a synthesiser it stays null and Tune
    // says so when loading.
    std::unique_ptr<platform::MusicPerformance> music;
    if (platform::Succeeded(platform::CreateMusicPerformance(&music)) && platform::Succeeded(music->Init(device_->Sound())) &&
        platform::Succeeded(music->AddPort(nullptr))) {
        music_ = std::move(music);
    }
    return {};
}

bool Audio::IsOpen() const { return device_ != nullptr; }

void Audio::Update() {
    if (music_ && looping_ && !music_->IsPlaying()) music_->PlaySegment(looping_, 0, 0, nullptr);
}

SoundDevice& Audio::Device() const { return *device_; }
platform::MusicPerformance* Audio::Music() const { return music_.get(); }

}  // namespace media
