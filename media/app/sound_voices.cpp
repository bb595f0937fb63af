// What Sound adds to the WAV sounds of sound.cpp: plays with a volume, pitch and pan, through a
// bank of voices over the sound's samples widened to 16 bits (beside the four buffers that
// Play(Loop) uses), and sounds decoded whole from Ogg Vorbis files.
#include <string>

#include "media/app/sound.h"
#include "media/audio/sound_effect.h"
#include "media/audio/wave_file.h"
#include "platform/audio/sound_buffer.h"
#include "platform/audio/voice_bank.h"
#include "platform/audio/vorbis_decoder.h"

namespace media {

Status Sound::Play(const PlayOptions& options) {
    if (!Loaded() || !voices_) return {ErrorCode::NotOpen, "cannot play a sound that was not loaded"};
    voices_->Start({options.volume, options.pitch, options.pan, options.loop == Loop::Forever});
    return {};
}

Status Sound::SetVoices(std::int32_t voices) {
    if (voices < 1 || voices > kMaxVoices) {
        return {ErrorCode::InvalidArgument, "a sound has 1 to " + std::to_string(kMaxVoices) + " voices, not " + std::to_string(voices)};
    }
    voiceCount_ = voices;
    if (voices_) voices_->SetVoices(voices);
    return {};
}

// The decoded samples are capped as a sound buffer is: a small file that unpacks to more than a
// buffer holds is refused before it takes the memory.
Status Sound::LoadOgg(Audio& audio, const std::uint8_t* bytes, std::size_t size) {
    std::string why;
    const std::shared_ptr<platform::PcmClip> clip = platform::DecodeVorbis(bytes, size, platform::kMaxSoundBufferBytes - 44, &why);
    if (!clip) return {ErrorCode::BadData, "not an Ogg Vorbis file the layer plays: " + why};
    const auto sampleBytes = static_cast<std::uint32_t>(clip->samples.size() * 2);
    const auto blockAlign = static_cast<std::uint16_t>(clip->channels * 2);
    std::vector<std::uint8_t> wave;
    wave.reserve(44 + sampleBytes);
    const auto put = [&wave](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) wave.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    const auto tag = [&wave](const char* name) { wave.insert(wave.end(), name, name + 4); };
    tag("RIFF"), put(36 + sampleBytes, 4), tag("WAVE");
    tag("fmt "), put(16, 4), put(platform::WAVE_FORMAT_PCM, 2), put(clip->channels, 2), put(clip->rate, 4);
    put(clip->rate * blockAlign, 4), put(blockAlign, 2), put(16, 2);
    tag("data"), put(sampleBytes, 4);
    for (const std::int16_t sample : clip->samples) put(static_cast<std::uint16_t>(sample), 2);
    return LoadFromMemory(audio, wave.data(), wave.size());
}

std::unique_ptr<platform::VoiceBank> Sound::MakeVoices(const WaveSound& wave) const {
    auto clip = platform::MakePcmClip(wave.samples, wave.sampleBytes, wave.format.channels, wave.format.bitsPerSample,
                                      wave.format.samplesPerSec);
    if (clip->Frames() == 0) return nullptr;
    auto bank = std::make_unique<platform::VoiceBank>(std::move(clip), voiceCount_);
    bank->SetGain(volume_);
    return bank;
}

}  // namespace media
