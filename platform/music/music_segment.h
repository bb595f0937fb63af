#pragma once
// A music segment: one standard MIDI file held in memory, ready for a performance to play. The
// loader makes segments; the performance's players read the bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "../core/result_codes.h"

namespace platform {

class MusicPerformance;

/// What a segment can be told about a performance.
enum class SegmentParam {
    StandardMidiFile,  ///< the segment is a standard MIDI file for this performance
    Download,          ///< make its instruments available on the performance's port
    Unload,            ///< give them back
};

/// Whether bytes hold a standard MIDI file: an "MThd" header of at least 6 bytes with a format up
/// to 2, one or more tracks and a time division in ticks per quarter note (not SMPTE frames),
/// followed by chunks that all lie inside the bytes, at least one of them an "MTrk".
bool IsStandardMidiFile(const std::uint8_t* bytes, std::size_t size);

/// A tune: the bytes of a standard MIDI file, played by a performance.
class MusicSegment {
public:
    /// A segment of the file's bytes.
    explicit MusicSegment(std::vector<std::uint8_t> midi)
        : midi_(std::make_shared<const std::vector<std::uint8_t>>(std::move(midi))) {}
    MusicSegment(const MusicSegment&) = delete;
    MusicSegment& operator=(const MusicSegment&) = delete;

    /// S_OK, or E_INVALIDARG without a performance; Download needs a performance with a port
    /// (DSERR_UNINITIALIZED otherwise).
    HRESULT SetParam(SegmentParam param, MusicPerformance* performance);
    /// The file's bytes, and whether its instruments were downloaded into a synth.
    /// @{
    const std::shared_ptr<const std::vector<std::uint8_t>>& Midi() const { return midi_; }
    bool Downloaded() const { return downloaded_; }
    /// @}

private:
    std::shared_ptr<const std::vector<std::uint8_t>> midi_;
    bool downloaded_ = false;
};

/// Segment states record one play of a segment.
struct SegmentState {
    /// The segment played.
    const MusicSegment* segment = nullptr;
};

}  // namespace platform
