// Fuzz target: a WAV file's bytes through the whole sound-effect build on the headless backend
// (chunk walk, buffer creation, duplicates), then a few milliseconds of mixing, so that whatever
// format the walk lets through is also stepped through by the mixer.
#include <cstddef>
#include <cstdint>

#include "media/audio/sound_device.h"
#include "media/audio/sound_effect.h"
#include "media/audio/wave_file.h"
#include "platform/backends/headless/headless_audio.h"
#include "platform/backends/headless/headless_backend.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    media::WaveSound sound;
    const platform::HRESULT parsed = media::ParseWave(data, size, &sound);
    if (parsed == platform::S_OK && (sound.samples < data || sound.samples + sound.sampleBytes > data + size)) __builtin_trap();

    auto& host = platform::headless::Controls();
    platform::headless::AudioControls().Reset();
    media::SoundDevice device;
    if (device.Init(nullptr, 0) != platform::S_OK) __builtin_trap();
    media::SoundEffect effect;
    const platform::HRESULT built = effect.CreateFromWaveMemory(&device, data, size, 2);
    // The effect reports what the walk found (no bytes at all are an invalid argument).
    if (built != (size == 0 ? platform::E_INVALIDARG : parsed)) __builtin_trap();
    if (built == platform::S_OK) {
        effect.Play(platform::DSBPLAY_LOOPING);
        effect.Play(0);
        host.Advance(3);
        platform::headless::AudioControls().Output();
    }
    effect.Release();
    return 0;
}
