#pragma once
// Where a standard MIDI file's ticks fall in time: its tempo changes (from every track, in tick
// order) turn a tick into seconds and back, and its last event gives its length. The synth's
// player counts in ticks; tunes are sought, placed and measured in seconds through this.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

/// The tempo map of one MIDI file.
class MidiTimeline {
public:
    /// The map of a file that IsStandardMidiFile accepts; a track that breaks off is read up to
    /// where it breaks.
    MidiTimeline(const std::uint8_t* bytes, std::size_t size);

    /// Seconds from the start at a tick, and the tick at a time (rounded down).
    /// @{
    double SecondsAt(std::uint64_t tick) const;
    std::uint64_t TickAt(double seconds) const;
    /// @}
    /// The tick of the file's last event, and its time.
    /// @{
    std::uint64_t EndTick() const { return end_; }
    double Length() const { return SecondsAt(end_); }
    /// @}

private:
    struct Tempo {
        std::uint64_t tick;
        double seconds;             ///< when it takes over
        std::uint32_t usPerQuarter;
    };
    void ReadTrack(const std::uint8_t* track, std::size_t size);
    double SecondsPerTick(const Tempo& tempo) const { return tempo.usPerQuarter / 1e6 / division_; }

    std::uint32_t division_ = 480;  ///< ticks per quarter note
    std::vector<Tempo> tempos_;     ///< in tick order, the first at tick 0
    std::uint64_t end_ = 0;
};

}  // namespace platform
