#include "platform/audio/sound_system.h"

#include <new>

namespace platform {

HRESULT DirectSoundCreate(const void* guid, std::unique_ptr<SoundSystem>* system) {
    if (!system) return E_INVALIDARG;
    system->reset();
    if (guid) return E_INVALIDARG;
    auto output = AudioOutputUse::Open();
    if (!output) return DSERR_NODRIVER;
    *system = std::make_unique<SoundSystem>(std::move(output));
    return S_OK;
}

HRESULT SoundSystem::SetCooperativeLevel(Window* window, std::uint32_t level) {
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return E_INVALIDARG;
    if (HRESULT fault = CurrentAudioHost().FaultAt(AudioFault::SetCooperativeLevel); fault != S_OK) return fault;
    level_ = level;
    window_ = window;
    return S_OK;
}

HRESULT SoundSystem::CreateSoundBuffer(const SoundBufferDesc& desc, std::unique_ptr<SoundBuffer>* buffer) {
    if (!buffer) return E_INVALIDARG;
    buffer->reset();
    if (desc.size != kSoundBufferDescSize) return E_INVALIDARG;
    if (HRESULT fault = CurrentAudioHost().FaultAt(AudioFault::CreateSoundBuffer); fault != S_OK) return fault;
    if (desc.flags & DSBCAPS_PRIMARYBUFFER) {
        if (desc.bufferBytes != 0 || desc.format) return E_INVALIDARG;
        buffer->reset(new (std::nothrow) SoundBuffer(output_, nullptr));
        return *buffer ? S_OK : E_OUTOFMEMORY;
    }
    if (!desc.format) return E_INVALIDARG;
    const WaveFormatEx& format = *desc.format;
    if (!IsPlayableFormat(format)) return DSERR_BADFORMAT;
    if (desc.bufferBytes == 0 || desc.bufferBytes > kMaxSoundBufferBytes || desc.bufferBytes % format.blockAlign != 0) {
        return E_INVALIDARG;
    }
    std::shared_ptr<SoundBuffer::Samples> samples;
    try {
        samples = std::make_shared<SoundBuffer::Samples>();
        samples->bytes.assign(desc.bufferBytes, 0);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    samples->format = format;
    samples->format.avgBytesPerSec = format.samplesPerSec * format.blockAlign;
    samples->format.extraSize = 0;
    samples->frames = desc.bufferBytes / format.blockAlign;
    buffer->reset(new (std::nothrow) SoundBuffer(output_, std::move(samples)));
    return *buffer ? S_OK : E_OUTOFMEMORY;
}

HRESULT SoundSystem::DuplicateSoundBuffer(const SoundBuffer& original, std::unique_ptr<SoundBuffer>* duplicate) {
    if (!duplicate) return E_INVALIDARG;
    duplicate->reset();
    if (original.IsPrimary()) return E_INVALIDARG;
    if (HRESULT fault = CurrentAudioHost().FaultAt(AudioFault::DuplicateSoundBuffer); fault != S_OK) return fault;
    duplicate->reset(new (std::nothrow) SoundBuffer(output_, original.samples_));
    return *duplicate ? S_OK : E_OUTOFMEMORY;
}

}  // namespace platform
