// The MIDI writer against the format: chunk lengths, variable-length delta times, events at the
// ticks they were placed, note-offs before note-ons at the same tick.
#include "tools/make_assets/midi_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "tests/assets/asset_readers.h"

namespace {

TEST(MidiVariableLength, WritesSevenBitGroupsHighFirst) {
  const std::pair<uint32_t, std::vector<uint8_t>> cases[] = {
      {0, {0x00}},
      {0x40, {0x40}},
      {0x7F, {0x7F}},
      {0x80, {0x81, 0x00}},
      {0x2000, {0xC0, 0x00}},
      {0x3FFF, {0xFF, 0x7F}},
      {0x4000, {0x81, 0x80, 0x00}},
      {0x1FFFFF, {0xFF, 0xFF, 0x7F}},
      {0x200000, {0x81, 0x80, 0x80, 0x00}},
      {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
  };
  for (const auto& [value, bytes] : cases) {
    std::vector<uint8_t> out;
    assets::PutVariableLength(out, value);
    EXPECT_EQ(out, bytes) << value;
    size_t at = 0;
    EXPECT_EQ(asset_test::ReadVariableLength(out, at, out.size()), value);
    EXPECT_EQ(at, out.size());
  }
}

using NoteKey = std::tuple<uint32_t, int, int, bool>;  // tick, channel, key, on

TEST(MidiWriter, PlacesEveryEventAtItsTickThroughTheDeltas) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    assets::MidiTrack conductor("tempo");
    conductor.Tempo(0, 120);
    assets::MidiTrack track("notes");
    track.Program(0, 2, 40);
    std::vector<NoteKey> expected;
    for (int i = 0; i < 60; ++i) {  // added out of time order, with long gaps now and then
      const uint32_t tick = random() % 4 == 0 ? random() % 300000 : random() % 2000;
      const uint32_t length = 1 + random() % 20000;
      const int channel = static_cast<int>(random() % 16), key = static_cast<int>(random() % 128);
      track.Note(tick, length, channel, key, 100);
      expected.push_back({tick, channel, key, true});
      expected.push_back({tick + length, channel, key, false});
    }
    const std::vector<uint8_t> file = assets::WriteMidiFile({conductor, track}, 480);
    const auto read = asset_test::ReadMidi(file);  // refuses chunk lengths that do not add up
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->format, 1);
    EXPECT_EQ(read->division, 480);
    ASSERT_EQ(read->tracks.size(), 2u);
    std::vector<NoteKey> seen;
    for (const asset_test::MidiEvent& e : read->tracks[1]) {
      const int kind = e.bytes[0] & 0xF0;
      if (kind == 0x90 || kind == 0x80) seen.push_back({e.tick, e.bytes[0] & 0x0F, e.bytes[1], kind == 0x90});
    }
    std::sort(expected.begin(), expected.end());
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(read->tracks[1].back().tick, track.LastTick());  // end of track after the last note
  }
}

TEST(MidiWriter, WritesMetaEventsAndEndsRepeatedNotesBeforeRestartingThem) {
  assets::MidiTrack track("lead");
  track.TimeSignature(0, 4, 2);
  track.Tempo(0, 120);
  track.Note(480, 480, 0, 60, 90);
  track.Note(0, 480, 0, 60, 90);  // ends at 480, where the other starts
  const auto read = asset_test::ReadMidi(assets::WriteMidiFile({track}, 480));
  ASSERT_TRUE(read.has_value());
  const auto& events = read->tracks[0];
  ASSERT_EQ(events.size(), 8u);
  EXPECT_EQ(events[0].bytes, (std::vector<uint8_t>{0xFF, 0x03, 4, 'l', 'e', 'a', 'd'}));
  EXPECT_EQ(events[1].bytes, (std::vector<uint8_t>{0xFF, 0x58, 4, 4, 2, 24, 8}));
  EXPECT_EQ(events[2].bytes, (std::vector<uint8_t>{0xFF, 0x51, 3, 0x07, 0xA1, 0x20}));  // 500000 us a beat
  EXPECT_EQ(events[3].bytes[0], 0x90);
  EXPECT_EQ(events[4].tick, 480u);
  EXPECT_EQ(events[4].bytes[0], 0x80);  // the first note ends ...
  EXPECT_EQ(events[5].tick, 480u);
  EXPECT_EQ(events[5].bytes[0], 0x90);  // ... before the second begins
  EXPECT_EQ(events[7].bytes, (std::vector<uint8_t>{0xFF, 0x2F, 0}));
}

TEST(MidiWriter, ClampsDataBytesToSevenBits) {
  assets::MidiTrack track("t");
  track.Note(0, 10, 3, 200, 300);
  track.Control(0, 3, 7, -5);
  const auto read = asset_test::ReadMidi(assets::WriteMidiFile({track}, 96));
  ASSERT_TRUE(read.has_value());
  for (const auto& e : read->tracks[0]) {
    if (e.bytes[0] == 0xFF) continue;
    for (size_t i = 1; i < e.bytes.size(); ++i) EXPECT_LT(e.bytes[i], 0x80);
  }
}

}  // namespace
