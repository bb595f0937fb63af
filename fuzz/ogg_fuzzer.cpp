// Fuzz target: an Ogg Vorbis file's bytes through the page walk and stb_vorbis, as a sound
// (decoded whole, capped) and as a streamed tune (played, sought, looped). Most mutations break a
// page's checksum and stop at the walk; so that the decoder behind it is fuzzed too, inputs whose
// first byte is odd have every page's checksum put right before they are read.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/audio_mixer.h"
#include "platform/audio/ogg_pages.h"
#include "platform/audio/vorbis_decoder.h"
#include "platform/audio/vorbis_stream.h"
#include "platform/backends/headless/headless_audio.h"
#include "platform/backends/headless/headless_backend.h"

namespace {

std::uint32_t OggCrc(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= std::uint32_t{bytes[i]} << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// Walks whole pages from the start and writes each one's checksum.
void FixChecksums(std::vector<std::uint8_t>& file) {
    std::size_t at = 0;
    while (file.size() - at >= 27 && std::memcmp(&file[at], "OggS", 4) == 0) {
        const std::size_t segments = file[at + 26];
        if (file.size() - at - 27 < segments) return;
        std::size_t body = 0;
        for (std::size_t i = 0; i < segments; ++i) body += file[at + 27 + i];
        const std::size_t page = 27 + segments + body;
        if (file.size() - at < page) return;
        std::memset(&file[at + 22], 0, 4);
        const std::uint32_t crc = OggCrc(&file[at], page);
        for (int i = 0; i < 4; ++i) file[at + 22 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (8 * i));
        at += page;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<std::uint8_t> file(data + 1, data + size);
    if (data[0] & 1) FixChecksums(file);

    std::string why;
    const auto clip = platform::DecodeVorbis(file.data(), file.size(), 16u << 20, &why);
    if (!clip && why.empty()) __builtin_trap();  // every refusal says why
    if (clip && (clip->channels < 1 || clip->channels > 2 || clip->samples.size() % clip->channels != 0)) __builtin_trap();

    auto decoder = platform::VorbisDecoder::OpenMemory(file.data(), file.size(), &why);
    if (!decoder) return 0;
    auto& host = platform::headless::Controls();
    auto& audio = platform::headless::AudioControls();
    audio.Reset();
    if (!audio.Open()) __builtin_trap();
    {
        platform::VorbisStream stream(std::move(decoder));
        const std::uint64_t frames = stream.Frames();
        stream.SetLoop(frames / 3, frames / 2 + 1);
        stream.Play(true, 1.0f);
        host.Advance(5);
        stream.Seek(frames - 1);
        host.Advance(5);
        stream.Seek(data[0] * frames / 256);
        host.Advance(5);
        audio.Output();
    }
    audio.Close();
    return 0;
}
