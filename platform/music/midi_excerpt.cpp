#include "platform/music/midi_excerpt.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/music/midi_bytes.h"

namespace platform {

namespace {

using midi::BigEndian;
using midi::ReadVarLen;

void PutVarLen(std::vector<std::uint8_t>& out, std::uint64_t value) {
    value = std::min<std::uint64_t>(value, 0x0FFFFFFF);
    std::uint8_t stack[4];
    int n = 0;
    stack[n++] = value & 0x7F;
    while (value >>= 7) stack[n++] = static_cast<std::uint8_t>(0x80 | (value & 0x7F));
    while (n) out.push_back(stack[--n]);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// One track from tick on, every event with its status written out (no running status).
std::vector<std::uint8_t> TrackFrom(const std::uint8_t* track, std::size_t size, std::uint64_t from) {
    std::vector<std::uint8_t> out;
    std::size_t at = 0;
    std::uint64_t tick = 0, written = 0;
    std::uint8_t status = 0;
    // Notes sounding at the tick: started again at the excerpt's start, so a held chord goes on.
    std::vector<std::array<std::uint8_t, 3>> held;
    bool flushed = from == 0;
    const auto event = [&](std::uint64_t when, const std::uint8_t* data, std::size_t length, std::uint8_t first) {
        const std::uint64_t moved = when < from ? 0 : when - from;
        if (!flushed && when >= from) {
            flushed = true;
            for (const auto& note : held) {
                PutVarLen(out, 0);  // written is still 0: everything before came at the start
                out.insert(out.end(), note.begin(), note.end());
            }
        }
        PutVarLen(out, moved - written);
        written = moved;
        out.push_back(first);
        out.insert(out.end(), data, data + length);
    };
    while (at < size) {
        std::uint32_t delta = 0;
        if (!ReadVarLen(track, size, at, delta) || at >= size) break;
        tick += delta;
        if (track[at] & 0x80) {
            status = track[at++];
        } else if (status == 0) {
            break;
        }
        if (status == 0xFF || status == 0xF0 || status == 0xF7) {
            const std::size_t start = at;
            if (status == 0xFF && at++ >= size) break;
            const bool end = status == 0xFF && track[start] == 0x2F;
            std::uint32_t length = 0;
            if (!ReadVarLen(track, size, at, length) || length > size - at) break;
            at += length;
            if (end) break;
            event(tick, track + start, at - start, status);
            status = 0;
            continue;
        }
        const std::size_t dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        if (dataBytes > size - at) break;
        // Notes before the excerpt are only followed: which of them still sound at its start.
        const bool note = (status & 0xF0) == 0x80 || (status & 0xF0) == 0x90;
        if (note && tick < from) {
            const std::uint8_t key = track[at], velocity = track[at + 1];
            std::erase_if(held, [&](const auto& n) { return (n[0] & 0x0F) == (status & 0x0F) && n[1] == key; });
            if ((status & 0xF0) == 0x90 && velocity > 0) held.push_back({status, key, velocity});
        } else {
            event(tick, track + at, dataBytes, status);
        }
        at += dataBytes;
    }
    if (!flushed) {
        for (const auto& note : held) {
            PutVarLen(out, 0);
            out.insert(out.end(), note.begin(), note.end());
        }
    }
    PutVarLen(out, (tick < from ? 0 : tick - from) - written);
    out.insert(out.end(), {0xFF, 0x2F, 0x00});
    return out;
}

}  // namespace

std::vector<std::uint8_t> MidiExcerpt(const std::uint8_t* bytes, std::size_t size, std::uint64_t tick) {
    std::vector<std::uint8_t> out;
    if (!bytes || size < 14) return out;
    const std::size_t headerEnd = 8 + std::size_t{BigEndian(bytes + 4, 4)};
    if (headerEnd > size) return out;
    out.assign(bytes, bytes + headerEnd);
    std::size_t at = headerEnd;
    while (at + 8 <= size) {
        const std::size_t length = std::min<std::size_t>(BigEndian(bytes + at + 4, 4), size - at - 8);
        if (std::memcmp(bytes + at, "MTrk", 4) == 0) {
            const std::vector<std::uint8_t> track = TrackFrom(bytes + at + 8, length, tick);
            out.insert(out.end(), {'M', 'T', 'r', 'k'});
            Put32(out, static_cast<std::uint32_t>(track.size()));
            out.insert(out.end(), track.begin(), track.end());
        }
        at += 8 + length;
    }
    return out;
}

}  // namespace platform
