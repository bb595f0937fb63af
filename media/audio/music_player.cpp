#include "media/audio/music_player.h"

#include <cstring>

#include "platform/core/system.h"

namespace media {

using namespace platform;

MusicPlayer::MusicPlayer() {
    for (std::int32_t i = 0; i < kSlots; ++i) tunes_[static_cast<std::size_t>(i)].index = i;
}

MusicPlayer::~MusicPlayer() { ReleaseEverything(); }

std::int32_t MusicPlayer::Init(HWND window, SoundDevice* device) {
    ReleaseEverything();
    window_ = window;
    if (device && !device->Sound()) return -1;
    if (Failed(CreateMusicPerformance(&performance_))) return -3;
    if (Failed(performance_->Init(device ? device->Sound() : nullptr))) {
        ReleaseEverything();
        return device ? -5 : -4;
    }
    if (Failed(performance_->AddPort(nullptr))) return -6;
    if (Failed(CreateMusicLoader(&loader_))) return -7;
    return 1;
}

std::int32_t MusicPlayer::Load(const char* fileName) {
    // Without a performance and a loader (Init failed) nothing can be loaded.
    if (!Ready() || !fileName) return -1;
    TuneSlot* slot = nullptr;
    for (TuneSlot& tune : tunes_) {
        if (tune.state == TUNE_EMPTY) {
            slot = &tune;
            break;
        }
    }
    if (!slot) return -1;
    // A directory or a name too long for its buffer is refused, never cut short.
    char directory[kPathChars] = {};
    const std::uint32_t length = GetCurrentDirectoryA(kPathChars, directory);
    if (length == 0 || length >= kPathChars) return -1;
    if (std::strlen(fileName) >= kPathChars) return -1;
    if (Failed(loader_->SetSearchDirectory(directory))) return -1;
    std::unique_ptr<MusicSegment> segment;
    if (Failed(loader_->GetObject(fileName, &segment))) return -1;
    if (Failed(segment->SetParam(SegmentParam::StandardMidiFile, performance_.get()))) return -1;
    if (Failed(segment->SetParam(SegmentParam::Download, performance_.get()))) return -1;
    slot->segment = std::move(segment);
    slot->segmentState.reset();
    slot->state = TUNE_LOADED;
    return slot->index;
}

TuneSlot* MusicPlayer::LoadedSlot(std::int32_t index) {
    if (index < 0 || index >= kSlots) return nullptr;
    TuneSlot& slot = tunes_[static_cast<std::size_t>(index)];
    return slot.segment && slot.state != TUNE_EMPTY ? &slot : nullptr;
}

std::int32_t MusicPlayer::Play(std::int32_t index) {
    if (!Ready()) return -1;
    TuneSlot* slot = LoadedSlot(index);
    if (!slot) return -1;
    if (current_ != -1) Stop(current_);
    const HRESULT hr = performance_->PlaySegment(slot->segment.get(), 0, 0, &slot->segmentState);
    if (Succeeded(hr)) {
        slot->state = TUNE_PLAYING;
        current_ = index;
        Sleep(kStartWaitMs);
    }
    return hr;
}

std::int32_t MusicPlayer::Stop(std::int32_t index) {
    if (!Ready()) return -1;
    TuneSlot* slot = LoadedSlot(index);
    if (!slot) {
        current_ = -1;
        return -1;
    }
    const HRESULT hr = performance_->Stop(slot->segment.get(), nullptr, 0, 0);
    if (Succeeded(hr)) {
        slot->state = TUNE_STOPPED;
        current_ = -1;
    }
    return hr;
}

std::int32_t MusicPlayer::Unload(std::int32_t index) {
    if (!Ready()) return -1;
    if (index < 0 || index >= kSlots) return -1;
    TuneSlot& slot = tunes_[static_cast<std::size_t>(index)];
    if (!slot.segment) return -1;
    slot.segment->SetParam(SegmentParam::Unload, performance_.get());
    slot.segment.reset();
    slot.segmentState.reset();
    slot.state = TUNE_EMPTY;
    return 1;
}

void MusicPlayer::ReleaseEverything() {
    if (performance_) performance_->Stop(nullptr, nullptr, 0, 0);
    // Slots are emptied even without a loader: a performance whose port failed still held none,
    // but a set-up done again must start from empty slots.
    for (TuneSlot& slot : tunes_) {
        if (slot.segment && performance_) slot.segment->SetParam(SegmentParam::Unload, performance_.get());
        slot.segment.reset();
        slot.segmentState.reset();
        slot.state = TUNE_EMPTY;
    }
    current_ = -1;
    if (performance_) {
        performance_->CloseDown();
        performance_.reset();
    }
    loader_.reset();
}

}  // namespace media
