#include "media/app/audio.h"

#include "media/app/audio_state.h"
#include "media/app/tune_fade.h"
#include "media/app/window.h"
#include "media/audio/sound_device.h"
#include "platform/core/system.h"
#include "platform/music/music_performance.h"

namespace media {

Audio::State::~State() {
    if (music) music->CloseDown();
}

void Audio::State::OnFrame() {
    if (fade && !fade->Step(platform::TimeGetTime(), *this)) fade.reset();
    if (music && looping && !music->IsPlaying()) music->PlaySegment(looping, 0, 0, nullptr);
}

void Audio::State::OnWindowOpened(const Window& window) {
    platform::SoundSystem* sound = device ? device->Sound() : nullptr;
    if (sound) sound->SetCooperativeLevel(static_cast<platform::HWND>(window.NativeHandle()), sound->CooperativeLevel());
}

Audio::Audio() = default;
Audio::~Audio() = default;
Audio::Audio(Audio&&) noexcept = default;
Audio& Audio::operator=(Audio&&) noexcept = default;

Status Audio::Open(const Window& window) {
    if (!window.IsOpen()) return {ErrorCode::NotOpen, "cannot open the audio output: the window is not open"};
    auto state = std::make_shared<State>();
    state->device = std::make_unique<SoundDevice>();
    const platform::HRESULT opened = state->device->Init(static_cast<platform::HWND>(window.NativeHandle()), 0);
    if (platform::Failed(opened) || state->device->Disabled()) {
        return Status::FromPlatform("cannot open the audio output (no sound device?)", opened);
    }
    // Tunes play on a performance of their own; without a synthesiser it stays null and Tune
    // says so when loading.
    std::unique_ptr<platform::MusicPerformance> music;
    if (platform::Succeeded(platform::CreateMusicPerformance(&music)) && platform::Succeeded(music->Init(state->device->Sound())) &&
        platform::Succeeded(music->AddPort(nullptr))) {
        state->music = std::move(music);
    }
    state_ = std::move(state);
    AddFrameTask(window, state_);
    return {};
}

bool Audio::IsOpen() const { return state_ != nullptr; }

void Audio::Update() {
    if (state_) state_->OnFrame();
}

SoundDevice& Audio::Device() const { return *state_->device; }
platform::MusicPerformance* Audio::Music() const { return state_ ? state_->music.get() : nullptr; }

}  // namespace media
