#include "tools/make_assets/midi_writer.h"

#include <algorithm>

#include "tools/make_assets/byte_sink.h"

namespace assets {

namespace {

uint8_t Status(int kind, int channel) { return static_cast<uint8_t>(kind | (channel & 0x0F)); }
uint8_t Data(int value) { return static_cast<uint8_t>(std::clamp(value, 0, 127)); }

}  // namespace

void PutVariableLength(std::vector<uint8_t>& out, uint32_t value) {
  value &= 0x0FFFFFFF;  // four bytes hold 28 bits, the most a file may use
  uint8_t groups[4];
  int count = 0;
  do {
    groups[count++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (count > 1) out.push_back(groups[--count] | 0x80);
  out.push_back(groups[0]);
}

void MidiTrack::Add(uint32_t tick, int order, std::vector<uint8_t> bytes) {
  events_.push_back({tick, order, static_cast<uint32_t>(events_.size()), std::move(bytes)});
}

void MidiTrack::Program(uint32_t tick, int channel, int program) {
  Add(tick, 2, {Status(0xC0, channel), Data(program)});
}

void MidiTrack::Control(uint32_t tick, int channel, int controller, int value) {
  Add(tick, 2, {Status(0xB0, channel), Data(controller), Data(value)});
}

void MidiTrack::Note(uint32_t tick, uint32_t length, int channel, int key, int velocity) {
  Add(tick, 3, {Status(0x90, channel), Data(key), static_cast<uint8_t>(std::clamp(velocity, 1, 127))});
  Add(tick + length, 1, {Status(0x80, channel), Data(key), 64});
}

void MidiTrack::Tempo(uint32_t tick, int beatsPerMinute) {
  const uint32_t microsPerQuarter = 60000000u / static_cast<uint32_t>(beatsPerMinute);
  Add(tick, 0, {0xFF, 0x51, 0x03, static_cast<uint8_t>(microsPerQuarter >> 16),
                static_cast<uint8_t>(microsPerQuarter >> 8), static_cast<uint8_t>(microsPerQuarter)});
}

void MidiTrack::TimeSignature(uint32_t tick, int numerator, int denominatorPower) {
  Add(tick, 0, {0xFF, 0x58, 0x04, static_cast<uint8_t>(numerator), static_cast<uint8_t>(denominatorPower), 24, 8});
}

uint32_t MidiTrack::LastTick() const {
  uint32_t last = 0;
  for (const Event& e : events_) last = std::max(last, e.tick);
  return last;
}

std::vector<uint8_t> MidiTrack::Encode() const {
  std::vector<Event> sorted = events_;
  std::sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
    if (a.tick != b.tick) return a.tick < b.tick;
    if (a.order != b.order) return a.order < b.order;
    return a.sequence < b.sequence;
  });
  std::vector<uint8_t> out;
  out.push_back(0);  // the name at tick 0
  out.push_back(0xFF);
  out.push_back(0x03);
  PutVariableLength(out, static_cast<uint32_t>(name_.size()));
  out.insert(out.end(), name_.begin(), name_.end());
  uint32_t now = 0;
  for (const Event& e : sorted) {
    PutVariableLength(out, e.tick - now);
    now = e.tick;
    out.insert(out.end(), e.bytes.begin(), e.bytes.end());
  }
  out.insert(out.end(), {0x00, 0xFF, 0x2F, 0x00});  // end of track
  return out;
}

std::vector<uint8_t> WriteMidiFile(const std::vector<MidiTrack>& tracks, int ticksPerQuarter) {
  ByteSink out;
  out.Bytes("MThd");
  out.U32Be(6);
  out.U16Be(1);  // format 1: tracks played together
  out.U16Be(static_cast<uint16_t>(tracks.size()));
  out.U16Be(static_cast<uint16_t>(ticksPerQuarter));
  for (const MidiTrack& track : tracks) {
    const std::vector<uint8_t> body = track.Encode();
    out.Bytes("MTrk");
    out.U32Be(static_cast<uint32_t>(body.size()));
    out.Append(body);
  }
  return out.Take();
}

}  // namespace assets
