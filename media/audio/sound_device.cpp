#include "media/audio/sound_device.h"

namespace media {

using namespace platform;

HRESULT SoundDevice::Init(HWND window, std::int32_t primaryFormat) {
    // A device set up again is disabled until this set-up succeeds.
    disabled_ = 1;
    if (HRESULT hr = DirectSoundCreate(nullptr, &sound_); hr != S_OK) return hr;
    if (HRESULT hr = sound_->SetCooperativeLevel(window, primaryFormat ? DSSCL_EXCLUSIVE : DSSCL_NORMAL); hr != S_OK) {
        return hr;
    }
    disabled_ = 0;
    return primaryFormat ? SetPrimaryFormat(22050, true, true) : S_OK;
}

HRESULT SoundDevice::SetPrimaryFormat(std::uint32_t rate, bool sixteenBit, bool stereo) {
    if (!sound_) return DSERR_UNINITIALIZED;
    SoundBufferDesc desc;
    desc.flags = DSBCAPS_PRIMARYBUFFER;
    std::unique_ptr<SoundBuffer> primary;
    if (HRESULT hr = sound_->CreateSoundBuffer(desc, &primary); hr != S_OK) return hr;
    WaveFormatEx format;
    format.formatTag = WAVE_FORMAT_PCM;
    format.channels = stereo ? 2 : 1;
    format.samplesPerSec = rate;
    format.bitsPerSample = sixteenBit ? 16 : 8;
    format.blockAlign = static_cast<std::uint16_t>(format.bitsPerSample / 8 * format.channels);
    format.avgBytesPerSec = format.blockAlign * rate;
    return primary->SetFormat(&format);
}

}  // namespace media
