// Fuzz target: a MIDI file's bytes through the loader's check and, when it passes, played for a
// moment by a music performance on the headless output, so that FluidSynth's own reading of the
// tracks only ever sees what the check lets through.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/backends/headless/headless_audio.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/music/music_performance.h"
#include "platform/music/music_segment.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!platform::IsStandardMidiFile(data, size)) return 0;
    // One performance for the whole run: the SoundFont loads once.
    static std::unique_ptr<platform::MusicPerformance> performance = [] {
        std::unique_ptr<platform::MusicPerformance> made;
        platform::CreateMusicPerformance(&made);
        if (made->Init(nullptr) != platform::S_OK || made->AddPort(nullptr) != platform::S_OK) __builtin_trap();
        return made;
    }();
    platform::MusicSegment segment(std::vector<std::uint8_t>(data, data + size));
    std::shared_ptr<platform::SegmentState> state;
    performance->PlaySegment(&segment, 0, 0, &state);
    platform::headless::Controls().Advance(50);
    platform::headless::AudioControls().Output();
    platform::headless::AudioControls().ClearOutput();
    performance->Stop(nullptr, nullptr, 0, 0);
    return 0;
}
