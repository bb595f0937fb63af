#include "platform/music/midi_timeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/music/midi_bytes.h"

namespace platform {

namespace {

using midi::BigEndian;
using midi::ReadVarLen;

constexpr std::uint32_t kDefaultTempo = 500000;  // 120 beats a minute until the file says otherwise

}  // namespace

MidiTimeline::MidiTimeline(const std::uint8_t* bytes, std::size_t size) {
    std::vector<Tempo> changes;
    if (bytes && size >= 14) {
        const std::uint32_t division = BigEndian(bytes + 12, 2);
        if (division > 0 && division < 0x8000) division_ = division;
        std::size_t at = 8 + std::size_t{BigEndian(bytes + 4, 4)};
        while (at + 8 <= size) {
            const std::size_t length = std::min<std::size_t>(BigEndian(bytes + at + 4, 4), size - at - 8);
            if (std::memcmp(bytes + at, "MTrk", 4) == 0) ReadTrack(bytes + at + 8, length);
            at += 8 + length;
        }
    }
    // Changes from every track in tick order (a later track's change at the same tick wins, as
    // the player meets it last), each with the time it takes over.
    std::stable_sort(tempos_.begin(), tempos_.end(), [](const Tempo& a, const Tempo& b) { return a.tick < b.tick; });
    changes.push_back({0, 0.0, kDefaultTempo});
    for (const Tempo& t : tempos_) {
        Tempo& last = changes.back();
        if (t.tick == last.tick) {
            last.usPerQuarter = t.usPerQuarter;
            continue;
        }
        changes.push_back({t.tick, last.seconds + static_cast<double>(t.tick - last.tick) * SecondsPerTick(last), t.usPerQuarter});
    }
    tempos_ = std::move(changes);
}

void MidiTimeline::ReadTrack(const std::uint8_t* track, std::size_t size) {
    std::size_t at = 0;
    std::uint64_t tick = 0;
    std::uint8_t status = 0;
    while (at < size) {
        std::uint32_t delta = 0;
        if (!ReadVarLen(track, size, at, delta) || at >= size) return;
        tick += delta;
        std::uint8_t first = track[at];
        if (first & 0x80) {
            ++at;
            status = first;
        } else if (status == 0) {
            return;  // data with no status before it
        }
        if (status == 0xFF || status == 0xF0 || status == 0xF7) {
            std::uint8_t type = 0;
            if (status == 0xFF) {
                if (at >= size) return;
                type = track[at++];
            }
            std::uint32_t length = 0;
            if (!ReadVarLen(track, size, at, length) || length > size - at) return;
            if (status == 0xFF && type == 0x51 && length == 3) tempos_.push_back({tick, 0.0, BigEndian(track + at, 3)});
            at += length;
            end_ = std::max(end_, tick);
            if (status == 0xFF && type == 0x2F) return;  // end of track
            status = 0;  // system messages cancel running status
            continue;
        }
        const std::size_t dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        if (dataBytes > size - at) return;
        at += dataBytes;
        end_ = std::max(end_, tick);
    }
}

double MidiTimeline::SecondsAt(std::uint64_t tick) const {
    const auto after = std::upper_bound(tempos_.begin(), tempos_.end(), tick, [](std::uint64_t t, const Tempo& tempo) { return t < tempo.tick; });
    const Tempo& tempo = *(after - 1);
    return tempo.seconds + static_cast<double>(tick - tempo.tick) * SecondsPerTick(tempo);
}

std::uint64_t MidiTimeline::TickAt(double seconds) const {
    if (!(seconds > 0)) return 0;
    const auto after = std::upper_bound(tempos_.begin(), tempos_.end(), seconds, [](double s, const Tempo& tempo) { return s < tempo.seconds; });
    const Tempo& tempo = *(after - 1);
    return tempo.tick + static_cast<std::uint64_t>(std::floor((seconds - tempo.seconds) / SecondsPerTick(tempo) + 1e-9));
}

}  // namespace platform
