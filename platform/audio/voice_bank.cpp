#include "platform/audio/voice_bank.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/audio/audio_host.h"

namespace platform {

std::shared_ptr<PcmClip> MakePcmClip(const std::uint8_t* bytes, std::size_t size, std::uint16_t channels,
                                     std::uint16_t bits, std::uint32_t rate) {
    auto clip = std::make_shared<PcmClip>();
    clip->rate = rate;
    clip->channels = channels;
    const std::size_t width = bits == 8 ? 1 : 2;
    const std::size_t frames = channels ? size / (width * channels) : 0;
    clip->samples.resize(frames * channels);
    for (std::size_t i = 0; i < clip->samples.size(); ++i) {
        clip->samples[i] = bits == 8 ? static_cast<std::int16_t>((bytes[i] - 128) * 256)
                                     : static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return clip;
}

VoiceBank::VoiceBank(std::shared_ptr<const PcmClip> clip, std::int32_t voices)
    : clip_(std::move(clip)), voices_(std::clamp(voices, 1, kMaxVoices)) {}

VoiceBank::~VoiceBank() {
    AudioLock lock;
    AudioMixer::Shared().Remove(this);
}

void VoiceBank::SetVoices(std::int32_t voices) {
    AudioLock lock;
    voices_ = std::clamp(voices, 1, kMaxVoices);
    for (std::int32_t i = voices_; i < kMaxVoices; ++i) voice_[static_cast<std::size_t>(i)].sounding = false;
}

void VoiceBank::SetGain(float gain) {
    AudioLock lock;
    gain_ = std::clamp(gain, 0.0f, 1.0f);
}

void VoiceBank::Start(const VoiceStart& start) {
    AudioLock lock;
    Voice* chosen = nullptr;
    for (std::int32_t i = 0; i < voices_; ++i) {
        Voice& voice = voice_[static_cast<std::size_t>(i)];
        if (!voice.sounding) {
            chosen = &voice;
            break;
        }
        if (!chosen || voice.order < chosen->order) chosen = &voice;
    }
    const float pitch = std::clamp(start.pitch, kMinPitch, kMaxPitch);
    // Equal power: the two sides' gains are the cosine and sine of one angle, so their squares
    // add up to the volume's square wherever the sound is placed (-3 dB each in the middle).
    const float angle = (std::clamp(start.pan, -1.0f, 1.0f) + 1.0f) * std::numbers::pi_v<float> / 4.0f;
    const float volume = std::clamp(start.volume, 0.0f, 1.0f);
    Voice& voice = *chosen;
    voice.sounding = true;
    voice.looping = start.looping;
    voice.position = 0;
    voice.step = static_cast<std::uint64_t>(std::llround(static_cast<double>(clip_->rate) / kOutputRate * pitch * 4294967296.0));
    voice.left = volume * std::cos(angle);
    voice.right = volume * std::sin(angle);
    voice.order = ++started_;
    AudioMixer::Shared().Add(this);
}

void VoiceBank::StopAll() {
    AudioLock lock;
    for (Voice& voice : voice_) voice.sounding = false;
    AudioMixer::Shared().Remove(this);
}

std::int32_t VoiceBank::Sounding() const {
    AudioLock lock;
    return static_cast<std::int32_t>(std::count_if(voice_.begin(), voice_.end(), [](const Voice& v) { return v.sounding; }));
}

bool VoiceBank::MixInto(std::int32_t* accumulator, std::size_t frames) {
    bool any = false;
    for (std::int32_t i = 0; i < voices_; ++i) {
        Voice& voice = voice_[static_cast<std::size_t>(i)];
        if (!voice.sounding) continue;
        if (clip_->channels == 2) {
            MixVoice<2>(voice, accumulator, frames);
        } else {
            MixVoice<1>(voice, accumulator, frames);
        }
        any = any || voice.sounding;
    }
    return any;
}

// Steps through the clip at the voice's speed, interpolating linearly between a frame and the
// next (the first again for a looping voice at the clip's end, the last held for one that ends).
template <int Channels>
void VoiceBank::MixVoice(Voice& voice, std::int32_t* out, std::size_t frames) const {
    const std::int16_t* samples = clip_->samples.data();
    const std::uint64_t count = clip_->Frames();
    const std::uint64_t end = count << 32;
    const float left = voice.left * gain_;
    const float right = voice.right * gain_;
    std::uint64_t pos = voice.position;
    for (std::size_t i = 0; i < frames; ++i, out += 2, pos += voice.step) {
        if (pos >= end) {
            if (!voice.looping) {
                voice.sounding = false;
                return;
            }
            pos %= end;
        }
        const std::uint64_t frame = pos >> 32;
        const std::uint64_t next = frame + 1 < count ? frame + 1 : (voice.looping ? 0 : frame);
        const float weight = static_cast<float>(pos & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
        const std::int16_t* a = samples + frame * Channels;
        const std::int16_t* b = samples + next * Channels;
        const float l = a[0] + (b[0] - a[0]) * weight;
        const float r = Channels == 2 ? a[1] + (b[1] - a[1]) * weight : l;
        out[0] += static_cast<std::int32_t>(l * left);
        out[1] += static_cast<std::int32_t>(r * right);
    }
    voice.position = pos;
}

}  // namespace platform
