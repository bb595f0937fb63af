#include "media/audio/sound_effect.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "media/audio/wave_file.h"

namespace media {

using namespace platform;

namespace {

// No sound file comes near this (a buffer holds at most 256 MiB of samples); a larger size, or
// the nonsense size a directory's stream reports, is refused before anything is allocated.
constexpr long kMaxWaveFileBytes = 1L << 30;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file in memory; false on any size, seek or read failure or when memory runs out.
bool ReadWholeFile(std::FILE* file, std::vector<std::uint8_t>* bytes) {
    const long start = std::ftell(file);
    if (start < 0 || std::ferror(file) || std::fseek(file, 0, SEEK_END) != 0) return false;
    const long end = std::ftell(file);
    if (end < start || end - start > kMaxWaveFileBytes || std::ferror(file) || std::fseek(file, start, SEEK_SET) != 0) {
        return false;
    }
    try {
        bytes->resize(static_cast<std::size_t>(end - start));
    } catch (const std::bad_alloc&) {
        return false;
    }
    // A short read (the file shrank since its size was taken) counts as a failure too: the
    // rest of the block was never filled.
    return std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size() && !std::ferror(file);
}

}  // namespace

HRESULT SoundEffect::CreateFromWaveFile(SoundDevice* device, const char* fileName, std::int32_t copies) {
    if (!fileName) return E_INVALIDARG;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName, "rb"));
    if (!file) return E_FAIL;
    Release();
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(file.get(), &bytes)) return E_FAIL;
    return CreateFromWaveMemory(device, bytes.data(), bytes.size(), copies);
}

HRESULT SoundEffect::CreateFromWaveMemory(SoundDevice* device, const std::uint8_t* bytes, std::size_t size,
                                          std::int32_t copies) {
    Release();
    if (!bytes || size == 0 || !device) return E_INVALIDARG;
    if (!device->Sound()) return DSERR_UNINITIALIZED;
    if (copies > kMaxCopies) return E_INVALIDARG;
    device_ = device;
    const HRESULT hr = BuildBuffers(*device->Sound(), bytes, size, std::max(copies, 1));
    // Half-built effects never play: every buffer goes on any failure.
    if (hr != S_OK) ReleaseBuffers();
    return hr;
}

HRESULT SoundEffect::BuildBuffers(SoundSystem& sound, const std::uint8_t* bytes, std::size_t size, std::int32_t copies) {
    WaveSound wave;
    if (HRESULT hr = ParseWave(bytes, size, &wave); hr != S_OK) return hr;
    try {
        buffers_.resize(static_cast<std::size_t>(copies));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    SoundBufferDesc desc;
    desc.flags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2;
    desc.bufferBytes = wave.sampleBytes;
    desc.format = &wave.format;
    if (HRESULT hr = sound.CreateSoundBuffer(desc, &buffers_[0]); hr != S_OK) return hr;
    if (HRESULT hr = FillFirstBuffer(wave.samples, wave.sampleBytes); hr != S_OK) return hr;
    for (std::size_t i = 1; i < buffers_.size(); ++i) {
        if (HRESULT hr = sound.DuplicateSoundBuffer(*buffers_[0], &buffers_[i]); hr != S_OK) return hr;
    }
    copies_ = copies;
    current_ = 0;
    return S_OK;
}

HRESULT SoundEffect::FillFirstBuffer(const std::uint8_t* samples, std::uint32_t bytes) {
    void* region1 = nullptr;
    void* region2 = nullptr;
    std::uint32_t bytes1 = 0, bytes2 = 0;
    if (HRESULT hr = buffers_[0]->Lock(0, 0, &region1, &bytes1, &region2, &bytes2, DSBLOCK_ENTIREBUFFER); hr != S_OK) {
        return hr;
    }
    // The regions never take more than the samples have.
    bytes1 = std::min(bytes1, bytes);
    bytes2 = region2 ? std::min(bytes2, bytes - bytes1) : 0;
    std::memcpy(region1, samples, bytes1);
    if (bytes2) std::memcpy(region2, samples + bytes1, bytes2);
    return buffers_[0]->Unlock(region1, bytes1, region2, bytes2);
}

HRESULT SoundEffect::Play(std::uint32_t flags) {
    if (!device_) return DSERR_UNINITIALIZED;
    if (device_->Disabled()) return S_OK;
    SoundBuffer* buffer = PickBuffer();
    if (!buffer) return DSERR_ALLOCATED;
    return buffer->Play(0, 0, flags);
}

// The current buffer unless it is busy. With one copy a busy buffer drops the request; with
// several, the next copy in turn is taken, stopped and rewound if it is still sounding, so a burst
// of plays cuts off the oldest. A lost buffer is restored (its samples stay as they were).
SoundBuffer* SoundEffect::PickBuffer() {
    if (buffers_.empty() || !buffers_[static_cast<std::size_t>(current_)]) return nullptr;
    std::uint32_t status = 0;
    if (buffers_[static_cast<std::size_t>(current_)]->GetStatus(&status) != S_OK) status = 0;
    if (status & DSBSTATUS_PLAYING) {
        if (copies_ <= 1) return nullptr;
        current_ = (current_ + 1) % copies_;
        SoundBuffer& next = *buffers_[static_cast<std::size_t>(current_)];
        if (next.GetStatus(&status) == S_OK && (status & DSBSTATUS_PLAYING)) {
            next.Stop();
            next.SetCurrentPosition(0);
        }
    }
    if (status & DSBSTATUS_BUFFERLOST) {
        if (buffers_[static_cast<std::size_t>(current_)]->Restore() != S_OK) return nullptr;
    }
    return buffers_[static_cast<std::size_t>(current_)].get();
}

void SoundEffect::ReleaseBuffers() {
    buffers_.clear();
    copies_ = 1;
    current_ = 0;
}

void SoundEffect::Release() {
    ReleaseBuffers();
    device_ = nullptr;
}

SoundBuffer* SoundEffect::Buffer(std::int32_t i) const {
    return i >= 0 && static_cast<std::size_t>(i) < buffers_.size() ? buffers_[static_cast<std::size_t>(i)].get() : nullptr;
}

}  // namespace media
