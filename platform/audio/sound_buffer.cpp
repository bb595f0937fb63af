#include "platform/audio/sound_buffer.h"

#include <algorithm>

namespace platform {

namespace {

// One source frame as left and right on the 16-bit scale; mono feeds both sides. 8-bit samples
// are unsigned around 128, 16-bit ones signed little-endian.
template <int Bits, int Channels>
inline void ReadFrame(const std::uint8_t* data, std::uint64_t frame, std::int32_t& left, std::int32_t& right) {
    if constexpr (Bits == 8) {
        const std::uint8_t* p = data + frame * Channels;
        left = (std::int32_t{p[0]} - 128) * 256;
        right = Channels == 2 ? (std::int32_t{p[1]} - 128) * 256 : left;
    } else {
        const std::uint8_t* p = data + frame * 2 * Channels;
        left = static_cast<std::int16_t>(p[0] | (p[1] << 8));
        right = Channels == 2 ? static_cast<std::int16_t>(p[2] | (p[3] << 8)) : left;
    }
}

}  // namespace

bool IsPlayableFormat(const WaveFormatEx& format) {
    return format.formatTag == WAVE_FORMAT_PCM && (format.channels == 1 || format.channels == 2) &&
           (format.bitsPerSample == 8 || format.bitsPerSample == 16) && format.samplesPerSec >= kMinSampleRate &&
           format.samplesPerSec <= kMaxSampleRate && format.blockAlign == format.channels * format.bitsPerSample / 8;
}

SoundBuffer::SoundBuffer(std::shared_ptr<AudioOutputUse> output, std::shared_ptr<Samples> samples)
    : output_(std::move(output)),
      samples_(std::move(samples)),
      primary_(!samples_),
      generation_(AudioMixer::Shared().LossGeneration()) {
    if (primary_) return;
    const WaveFormatEx& format = samples_->format;
    step_ = (std::uint64_t{format.samplesPerSec} << 32) / kOutputRate;
    const bool stereo = format.channels == 2;
    if (format.bitsPerSample == 8) {
        mix_ = stereo ? &MixFrames<8, 2> : &MixFrames<8, 1>;
    } else {
        mix_ = stereo ? &MixFrames<16, 2> : &MixFrames<16, 1>;
    }
}

SoundBuffer::~SoundBuffer() {
    {
        AudioLock lock;
        AudioMixer::Shared().Remove(this);
    }
    if (locked_) CurrentAudioHost().Unlock();
}

std::uint32_t SoundBuffer::Bytes() const { return samples_ ? static_cast<std::uint32_t>(samples_->bytes.size()) : 0; }

bool SoundBuffer::IsLost() const { return generation_ != AudioMixer::Shared().LossGeneration(); }

HRESULT SoundBuffer::GetStatus(std::uint32_t* status) {
    if (!status) return E_INVALIDARG;
    AudioLock lock;
    if (IsLost()) {
        *status = DSBSTATUS_BUFFERLOST;
        return S_OK;
    }
    *status = 0;
    if (playing_) *status |= DSBSTATUS_PLAYING | (looping_ ? DSBSTATUS_LOOPING : 0);
    return S_OK;
}

HRESULT SoundBuffer::Play(std::uint32_t, std::uint32_t, std::uint32_t flags) {
    AudioLock lock;
    if (IsLost()) return DSERR_BUFFERLOST;
    if (primary_) return S_OK;  // the output always runs
    looping_ = (flags & DSBPLAY_LOOPING) != 0;
    playing_ = true;
    AudioMixer::Shared().Add(this);
    return S_OK;
}

HRESULT SoundBuffer::Stop() {
    AudioLock lock;
    playing_ = false;
    AudioMixer::Shared().Remove(this);
    return S_OK;
}

HRESULT SoundBuffer::GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) {
    AudioLock lock;
    if (primary_) return E_NOTIMPL;
    const auto bytes = static_cast<std::uint32_t>((position_ >> 32) * samples_->format.blockAlign);
    if (play) *play = bytes;
    if (write) *write = bytes;
    return S_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(std::uint32_t position) {
    AudioLock lock;
    if (primary_) return E_NOTIMPL;
    if (position >= samples_->bytes.size()) return E_INVALIDARG;
    position_ = std::uint64_t{position / samples_->format.blockAlign} << 32;
    return S_OK;
}

HRESULT SoundBuffer::Lock(std::uint32_t offset, std::uint32_t bytes, void** region1, std::uint32_t* bytes1,
                          void** region2, std::uint32_t* bytes2, std::uint32_t flags) {
    if (!region1 || !bytes1) return E_INVALIDARG;
    if (primary_ || locked_) return E_INVALIDARG;
    if (HRESULT fault = CurrentAudioHost().FaultAt(AudioFault::LockSoundBuffer); fault != S_OK) return fault;
    AudioLock lock;
    if (IsLost()) return DSERR_BUFFERLOST;
    const auto size = static_cast<std::uint32_t>(samples_->bytes.size());
    if (flags & DSBLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = size;
    } else {
        if (flags & DSBLOCK_FROMWRITECURSOR) offset = static_cast<std::uint32_t>((position_ >> 32) * samples_->format.blockAlign);
        if (offset >= size || bytes == 0 || bytes > size) return E_INVALIDARG;
    }
    // A range running past the end wraps to the start as the second region.
    const std::uint32_t first = std::min(bytes, size - offset);
    if (first < bytes && !region2) return E_INVALIDARG;
    *region1 = samples_->bytes.data() + offset;
    *bytes1 = first;
    if (region2) *region2 = first < bytes ? samples_->bytes.data() : nullptr;
    if (bytes2) *bytes2 = bytes - first;
    // The mixer reads these samples on the output's thread: hold it still until Unlock.
    CurrentAudioHost().Lock();
    locked_ = true;
    return S_OK;
}

HRESULT SoundBuffer::Unlock(void*, std::uint32_t, void*, std::uint32_t) {
    if (!locked_) return E_INVALIDARG;
    locked_ = false;
    CurrentAudioHost().Unlock();
    return S_OK;
}

HRESULT SoundBuffer::Restore() {
    if (HRESULT fault = CurrentAudioHost().FaultAt(AudioFault::RestoreSoundBuffer); fault != S_OK) return fault;
    AudioLock lock;
    generation_ = AudioMixer::Shared().LossGeneration();
    return S_OK;
}

HRESULT SoundBuffer::SetFormat(const WaveFormatEx* format) {
    if (!primary_) return E_NOTIMPL;
    if (!format || !IsPlayableFormat(*format)) return DSERR_BADFORMAT;
    primaryFormat_ = *format;
    return S_OK;
}

HRESULT SoundBuffer::GetFormat(WaveFormatEx* format) const {
    if (!format) return E_INVALIDARG;
    *format = primary_ ? primaryFormat_ : samples_->format;
    return S_OK;
}

bool SoundBuffer::MixInto(std::int32_t* accumulator, std::size_t frames) {
    if (!playing_) return false;
    if (IsLost()) {
        playing_ = false;
        return false;
    }
    return mix_(*this, accumulator, frames);
}

// Steps through the source at its rate relative to the output's, interpolating linearly between
// neighbouring frames. The run before the last frame needs no end check per frame; the last frame
// has no neighbour and is held.
template <int Bits, int Channels>
bool SoundBuffer::MixFrames(SoundBuffer& buffer, std::int32_t* out, std::size_t frames) {
    const std::uint8_t* data = buffer.samples_->bytes.data();
    const std::uint64_t count = buffer.samples_->frames;
    const std::uint64_t end = count << 32;
    const std::uint64_t last = (count - 1) << 32;
    const std::uint64_t step = buffer.step_;
    std::uint64_t pos = buffer.position_;
    std::size_t done = 0;
    while (done < frames) {
        if (pos >= end) {
            if (!buffer.looping_) break;
            pos %= end;
            continue;
        }
        if (pos < last) {
            const std::uint64_t run = std::min<std::uint64_t>(frames - done, (last - pos + step - 1) / step);
            for (std::uint64_t k = 0; k < run; ++k) {
                std::int32_t l0, r0, l1, r1;
                const std::uint64_t frame = pos >> 32;
                ReadFrame<Bits, Channels>(data, frame, l0, r0);
                ReadFrame<Bits, Channels>(data, frame + 1, l1, r1);
                const auto weight = static_cast<std::int32_t>((pos >> 17) & 0x7FFF);
                out[0] += l0 + (((l1 - l0) * weight) >> 15);
                out[1] += r0 + (((r1 - r0) * weight) >> 15);
                out += 2;
                pos += step;
            }
            done += static_cast<std::size_t>(run);
        } else {
            std::int32_t l, r;
            ReadFrame<Bits, Channels>(data, count - 1, l, r);
            out[0] += l;
            out[1] += r;
            out += 2;
            pos += step;
            ++done;
        }
    }
    if (pos >= end && !buffer.looping_) {
        // Played to the end: stopped, and the next Play starts from the beginning.
        buffer.playing_ = false;
        buffer.position_ = 0;
        return false;
    }
    buffer.position_ = pos;
    return true;
}

}  // namespace platform
