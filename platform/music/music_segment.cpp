#include "platform/music/music_segment.h"

#include "platform/music/music_performance.h"

namespace platform {

namespace {

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

std::uint16_t BigEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

bool NameIs(const std::uint8_t* p, const char* name) {
    return p[0] == name[0] && p[1] == name[1] && p[2] == name[2] && p[3] == name[3];
}

}  // namespace

bool IsStandardMidiFile(const std::uint8_t* bytes, std::size_t size) {
    if (!bytes || size < 14 || !NameIs(bytes, "MThd")) return false;
    const std::uint32_t headerLength = BigEndian32(bytes + 4);
    if (headerLength < 6 || headerLength > size - 8) return false;
    const std::uint16_t format = BigEndian16(bytes + 8);
    const std::uint16_t tracks = BigEndian16(bytes + 10);
    const std::uint16_t division = BigEndian16(bytes + 12);
    // A division in SMPTE frames (high bit set) is one the synth cannot time: such a file would
    // load and never sound.
    if (format > 2 || tracks == 0 || division == 0 || (division & 0x8000)) return false;
    std::size_t position = 8 + std::size_t{headerLength};
    int trackChunks = 0;
    while (size - position >= 8) {
        const std::uint32_t length = BigEndian32(bytes + position + 4);
        if (length > size - position - 8) return false;
        if (NameIs(bytes + position, "MTrk")) ++trackChunks;
        position += 8 + std::size_t{length};
    }
    return trackChunks > 0;
}

HRESULT MusicSegment::SetParam(SegmentParam param, MusicPerformance* performance) {
    if (!performance) return E_INVALIDARG;
    switch (param) {
    case SegmentParam::StandardMidiFile:
        return S_OK;
    case SegmentParam::Download:
        if (!performance->HasPort()) return DSERR_UNINITIALIZED;
        downloaded_ = true;
        return S_OK;
    case SegmentParam::Unload:
        downloaded_ = false;
        return S_OK;
    }
    return E_INVALIDARG;
}

}  // namespace platform
