// A compact text notation for the tunes: "e5/8 g5/8 c6/4. r/2" (note, octave, length as a note
// value with an optional dot; r is a rest), and chord names "C", "Am", "G7" for accompaniment.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace assets {

struct NoteValue {
  int key = -1;        // MIDI key, -1 for a rest
  double beats = 0;    // quarter notes
};

struct Chord {
  int root = 0;  // pitch class, C = 0
  bool minor = false;
  bool seventh = false;
  std::vector<int> Tones(int octave) const;  // MIDI keys of the chord from the root in octave
};

// Parses a melody; nothing when a token is malformed.
std::optional<std::vector<NoteValue>> ParseNotes(std::string_view text);
std::optional<Chord> ParseChord(std::string_view name);
// MIDI key of a pitch class in an octave (C4 = 60).
int KeyOf(int pitchClass, int octave);

}  // namespace assets
