#include "platform/audio/audio_mixer.h"

#include <algorithm>

namespace platform {

AudioMixer& AudioMixer::Shared() {
    static AudioMixer mixer;
    return mixer;
}

void AudioMixer::Add(MixerInput* input) {
    if (input && !Contains(input)) inputs_.push_back(input);
}

void AudioMixer::Remove(MixerInput* input) { std::erase(inputs_, input); }

bool AudioMixer::Contains(const MixerInput* input) const {
    return std::find(inputs_.begin(), inputs_.end(), input) != inputs_.end();
}

void AudioMixer::Mix(std::int16_t* out, std::size_t frames) {
    while (frames > 0) {
        const std::size_t chunk = std::min(frames, kChunkFrames);
        MixChunk(out, chunk);
        out += chunk * 2;
        frames -= chunk;
    }
}

void AudioMixer::MixChunk(std::int16_t* out, std::size_t frames) {
    std::int32_t* sum = accumulator_.data();
    std::fill_n(sum, frames * 2, 0);
    // An input that has finished leaves in the same pass; the order of the others may change,
    // which a sum does not notice.
    for (std::size_t i = 0; i < inputs_.size();) {
        if (inputs_[i]->MixInto(sum, frames)) {
            ++i;
        } else {
            inputs_[i] = inputs_.back();
            inputs_.pop_back();
        }
    }
    for (std::size_t i = 0; i < frames * 2; ++i) {
        out[i] = static_cast<std::int16_t>(std::clamp(sum[i], -32768, 32767));
    }
}

}  // namespace platform
