// Standard MIDI files (format 1): a tempo track and one track per instrument, events placed at
// absolute ticks and written as delta times.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

class MidiTrack {
 public:
  explicit MidiTrack(std::string name) : name_(std::move(name)) {}

  void Program(uint32_t tick, int channel, int program);
  void Control(uint32_t tick, int channel, int controller, int value);
  // A note from tick to tick + length; its note-off sorts before any note-on at the same tick.
  void Note(uint32_t tick, uint32_t length, int channel, int key, int velocity);
  void Tempo(uint32_t tick, int beatsPerMinute);
  void TimeSignature(uint32_t tick, int numerator, int denominatorPower);

  // The track's chunk body: its name, the events in time order, end of track.
  std::vector<uint8_t> Encode() const;
  uint32_t LastTick() const;

 private:
  struct Event {
    uint32_t tick;
    int order;  // at equal ticks: meta 0, note-off 1, controls 2, note-on 3
    uint32_t sequence;
    std::vector<uint8_t> bytes;
  };
  void Add(uint32_t tick, int order, std::vector<uint8_t> bytes);

  std::string name_;
  std::vector<Event> events_;
};

// Writes a variable-length quantity (7 bits a byte, high bit set on all but the last byte).
void PutVariableLength(std::vector<uint8_t>& out, uint32_t value);

// The whole file: header chunk (format 1, track count, ticks per quarter note), track chunks.
std::vector<uint8_t> WriteMidiFile(const std::vector<MidiTrack>& tracks, int ticksPerQuarter);

}  // namespace assets
