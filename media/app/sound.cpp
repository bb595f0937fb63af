#include "media/app/sound.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "media/app/audio.h"
#include "media/app/file_loading.h"
#include "media/audio/sound_effect.h"
#include "media/audio/wave_file.h"
#include "platform/audio/ogg_pages.h"
#include "platform/audio/voice_bank.h"

namespace media {

Sound::Sound() = default;
Sound::~Sound() {
    if (effect_) effect_->Release();
}
Sound::Sound(Sound&&) noexcept = default;
Sound& Sound::operator=(Sound&& other) noexcept {
    if (this != &other) {
        if (effect_) effect_->Release();
        audio_ = std::move(other.audio_);
        effect_ = std::move(other.effect_);
        samples_ = std::move(other.samples_);
        bits_ = other.bits_, volume_ = other.volume_;
        voices_ = std::move(other.voices_);
        voiceCount_ = other.voiceCount_;
    }
    return *this;
}

Status Sound::Load(Audio& audio, const char* path) {
    return LoadFileThrough(path, "sound", kMaxFileBytes, [&](const std::uint8_t* bytes, std::size_t size) { return LoadFromMemory(audio, bytes, size); });
}

Status Sound::LoadFromMemory(Audio& audio, const void* bytes, std::size_t size) {
    if (!audio.IsOpen()) return {ErrorCode::NotOpen, "cannot load a sound: the audio output is not open"};
    if (!bytes || size == 0) return {ErrorCode::InvalidArgument, "cannot load a sound from no bytes"};
    const auto* data = static_cast<const std::uint8_t*>(bytes);
    if (platform::LooksLikeOgg(data, size)) return LoadOgg(audio, data, size);
    WaveSound wave;
    const platform::HRESULT parsed = ParseWave(data, size, &wave);
    if (parsed == platform::E_NOTIMPL) return {ErrorCode::BadData, "not PCM: only PCM WAV sounds are played"};
    if (platform::Failed(parsed)) return {ErrorCode::BadData, "not a WAV file the layer reads (PCM, 8 or 16 bits, mono or stereo)"};
    auto effect = std::make_unique<SoundEffect>();
    const platform::HRESULT made = effect->CreateFromWaveMemory(&audio.Device(), data, size, kCopies);
    if (platform::Failed(made)) return Status::FromPlatform("the sound's buffers could not be made", made);
    if (effect_) effect_->Release();
    effect_ = std::move(effect);
    audio_ = audio.Shared();
    samples_.assign(wave.samples, wave.samples + wave.sampleBytes);
    bits_ = wave.format.bitsPerSample;
    voices_ = MakeVoices(wave);
    return volume_ == 1.0f ? Status{} : Scale();
}

Status Sound::Play(Loop loop) {
    if (!Loaded()) return {ErrorCode::NotOpen, "cannot play a sound that was not loaded"};
    const platform::HRESULT played = effect_->Play(loop == Loop::Forever ? platform::DSBPLAY_LOOPING : 0);
    return platform::Succeeded(played) ? Status{} : Status::FromPlatform("the sound could not be played (every copy busy?)", played);
}

Status Sound::Stop() {
    if (!Loaded()) return {ErrorCode::NotOpen, "cannot stop a sound that was not loaded"};
    if (voices_) voices_->StopAll();
    for (std::int32_t i = 0; i < effect_->Copies(); ++i) {
        if (platform::SoundBuffer* buffer = effect_->Buffer(i)) buffer->Stop();
    }
    return {};
}

bool Sound::IsPlaying() const {
    if (!Loaded()) return false;
    if (voices_ && voices_->Sounding() > 0) return true;
    for (std::int32_t i = 0; i < effect_->Copies(); ++i) {
        std::uint32_t status = 0;
        platform::SoundBuffer* buffer = effect_->Buffer(i);
        if (buffer && platform::Succeeded(buffer->GetStatus(&status)) && (status & platform::DSBSTATUS_PLAYING)) return true;
    }
    return false;
}

Status Sound::SetVolume(float volume) {
    volume_ = std::clamp(volume, 0.0f, 1.0f);
    if (voices_) voices_->SetGain(volume_);
    return Loaded() ? Scale() : Status{};
}

bool Sound::Loaded() const { return effect_ != nullptr; }

// The platform's buffers have no volume control, so the recorded samples are written into every
// copy again, scaled: 16-bit samples are signed, 8-bit ones centred on 128.
Status Sound::Scale() {
    const auto factor = static_cast<std::int32_t>(volume_ * 256.0f + 0.5f);
    for (std::int32_t i = 0; i < effect_->Copies(); ++i) {
        platform::SoundBuffer* buffer = effect_->Buffer(i);
        if (!buffer) continue;
        void* region = nullptr;
        void* wrapped = nullptr;
        std::uint32_t bytes = 0, wrappedBytes = 0;
        const platform::HRESULT locked = buffer->Lock(0, 0, &region, &bytes, &wrapped, &wrappedBytes, platform::DSBLOCK_ENTIREBUFFER);
        if (platform::Failed(locked)) return Status::FromPlatform("the sound's volume could not be set", locked);
        auto* out = static_cast<std::uint8_t*>(region);
        const std::size_t count = std::min<std::size_t>(bytes, samples_.size());
        if (bits_ == 16) {
            for (std::size_t at = 0; at + 1 < count; at += 2) {
                const auto sample = static_cast<std::int16_t>(samples_[at] | (samples_[at + 1] << 8));
                const auto scaled = static_cast<std::uint16_t>(static_cast<std::int16_t>(sample * factor / 256));
                out[at] = static_cast<std::uint8_t>(scaled), out[at + 1] = static_cast<std::uint8_t>(scaled >> 8);
            }
        } else {
            for (std::size_t at = 0; at < count; ++at) out[at] = static_cast<std::uint8_t>(128 + (samples_[at] - 128) * factor / 256);
        }
        buffer->Unlock(region, bytes, wrapped, wrappedBytes);
    }
    return {};
}

}  // namespace media
