#include "tools/make_assets/tunes.h"

#include <cmath>
#include <string_view>

#include "tools/make_assets/midi_writer.h"
#include "tools/make_assets/note_text.h"

namespace assets {

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr uint32_t kBar = 4 * kTicksPerQuarter;  // every tune is in 4/4
constexpr int kDrums = 9;                         // General MIDI percussion channel

// General MIDI programs (0-based) and drum keys used below.
enum Program {
  kAcousticGuitar = 24, kAcousticBass = 32, kSynthBass = 38, kPizzicato = 45, kStrings = 48,
  kTimpani = 47, kTrumpet = 56, kTrombone = 57, kFrenchHorn = 60, kBassoon = 70, kFlute = 73,
  kSquareLead = 80, kVibraphone = 11, kMarimba = 12,
};
enum DrumKey { kKick = 36, kSideStick = 37, kSnare = 38, kClosedHat = 42, kOpenHat = 46, kCrash = 49, kRide = 51 };

uint32_t Ticks(double beats) { return static_cast<uint32_t>(std::lround(beats * kTicksPerQuarter)); }

std::vector<NoteValue> Notes(std::string_view text) { return ParseNotes(text).value(); }

std::vector<Chord> Chords(std::initializer_list<std::string_view> names) {
  std::vector<Chord> chords;
  for (std::string_view name : names) chords.push_back(ParseChord(name).value());
  return chords;
}

// A melody from tick on; notes sound for `legato` of their length. Returns the tick after it.
uint32_t Melody(MidiTrack& track, int channel, uint32_t tick, const std::vector<NoteValue>& notes, int velocity,
                double legato = 0.92, int transpose = 0) {
  for (const NoteValue& n : notes) {
    const uint32_t length = Ticks(n.beats);
    if (n.key >= 0) track.Note(tick, static_cast<uint32_t>(length * legato), channel, n.key + transpose, velocity);
    tick += length;
  }
  return tick;
}

// One chord a bar: root on beat 1, fifth on beat 3, a passing octave on beat 4.
void WalkingBass(MidiTrack& track, int channel, uint32_t tick, const std::vector<Chord>& bars, int octave, int velocity) {
  for (const Chord& c : bars) {
    const int root = KeyOf(c.root, octave);
    track.Note(tick, Ticks(1.8), channel, root, velocity);
    track.Note(tick + Ticks(2), Ticks(0.9), channel, root + 7, velocity - 10);
    track.Note(tick + Ticks(3), Ticks(0.9), channel, root + 12, velocity - 14);
    tick += kBar;
  }
}

// Driving eighth-note bass for the play tune.
void EighthBass(MidiTrack& track, int channel, uint32_t tick, const std::vector<Chord>& bars, int octave, int velocity) {
  for (const Chord& c : bars) {
    const int root = KeyOf(c.root, octave);
    for (int i = 0; i < 8; ++i) {
      const int key = i == 3 || i == 7 ? root + 12 : (i == 6 ? root + 7 : root);
      track.Note(tick + Ticks(0.5 * i), Ticks(0.4), channel, key, velocity - (i % 2 == 1 ? 12 : 0));
    }
    tick += kBar;
  }
}

// Chord tones rising and falling in eighths.
void Arpeggio(MidiTrack& track, int channel, uint32_t tick, const std::vector<Chord>& bars, int octave, int velocity) {
  for (const Chord& c : bars) {
    std::vector<int> tones = c.Tones(octave);
    tones.push_back(tones[0] + 12);
    const int order[] = {0, 1, 2, 3, 2, 1, 2, 1};
    for (int i = 0; i < 8; ++i) track.Note(tick + Ticks(0.5 * i), Ticks(0.45), channel, tones[order[i] % tones.size()], velocity);
    tick += kBar;
  }
}

// The chord held through each bar.
void HeldChords(MidiTrack& track, int channel, uint32_t tick, const std::vector<Chord>& bars, int octave, int velocity) {
  for (const Chord& c : bars) {
    for (int key : c.Tones(octave)) track.Note(tick, kBar - Ticks(0.1), channel, key, velocity);
    tick += kBar;
  }
}

enum class Groove { Soft, Drive };

// Drums for a number of bars; a fill of snares on the last beat when `fill` is set.
void Drums(MidiTrack& track, uint32_t tick, int bars, Groove groove, bool fill) {
  for (int bar = 0; bar < bars; ++bar) {
    const uint32_t start = tick + kBar * bar;
    const bool last = fill && bar == bars - 1;
    for (int eighth = 0; eighth < 8; ++eighth) {
      const uint32_t at = start + Ticks(0.5 * eighth);
      if (last && eighth >= 6) {
        track.Note(at, Ticks(0.2), kDrums, kSnare, 90 + 8 * (eighth - 6));
        track.Note(at + Ticks(0.25), Ticks(0.2), kDrums, kSnare, 84);
        continue;
      }
      if (groove == Groove::Soft) {
        track.Note(at, Ticks(0.2), kDrums, kClosedHat, eighth % 2 == 0 ? 52 : 38);
        if (eighth == 0 || eighth == 4) track.Note(at, Ticks(0.3), kDrums, kKick, 70);
        if (eighth == 2 || eighth == 6) track.Note(at, Ticks(0.2), kDrums, kSideStick, 58);
      } else {
        track.Note(at, Ticks(0.2), kDrums, eighth == 7 ? kOpenHat : kClosedHat, eighth % 2 == 0 ? 72 : 54);
        if (eighth == 0 || eighth == 3 || eighth == 4) track.Note(at, Ticks(0.3), kDrums, kKick, 96);
        if (eighth == 2 || eighth == 6) track.Note(at, Ticks(0.2), kDrums, kSnare, 88);
      }
    }
  }
}

// Track 0 of every file: tempo and metre.
MidiTrack Conductor(const char* title, int beatsPerMinute) {
  MidiTrack track(title);
  track.TimeSignature(0, 4, 2);
  track.Tempo(0, beatsPerMinute);
  return track;
}

MidiTrack Instrument(const char* name, int channel, int program, int volume, int pan) {
  MidiTrack track(name);
  if (channel != kDrums) track.Program(0, channel, program);
  track.Control(0, channel, 7, volume);  // channel volume
  track.Control(0, channel, 10, pan);    // pan, 64 centre
  return track;
}

}  // namespace

std::vector<uint8_t> MenuTune() {
  const auto chords = Chords({"C", "Am", "F", "G", "C", "Am", "Dm", "C", "F", "G", "Em", "Am", "Dm", "G", "C", "C"});
  const auto melody = Notes(
      "e5/4 g5/8 e5/8 c5/4 g4/4 | a4/8 c5/8 e5/4 d5/4 c5/4 | f5/4. e5/8 d5/4 c5/4 | d5/2 r/4 g4/4 |"
      "e5/4 g5/8 e5/8 c6/4 b5/8 a5/8 | a5/4 e5/8 c5/8 e5/2 | f5/8 e5/8 d5/8 c5/8 b4/4 d5/4 | c5/2. r/4 |"
      "a5/4 a5/8 g5/8 f5/4 a5/4 | g5/4. f5/8 e5/4 d5/4 | e5/4 g5/8 e5/8 b4/4 e5/4 | c5/4. b4/8 a4/2 |"
      "d5/8 e5/8 f5/8 a5/8 d6/4 c6/4 | b5/4 g5/8 f5/8 d5/4 g5/4 | e5/4 g5/8 e5/8 d5/4 e5/8 d5/8 | c5/2 r/2");
  MidiTrack lead = Instrument("vibraphone", 0, kVibraphone, 104, 64);
  MidiTrack echo = Instrument("flute", 1, kFlute, 78, 84);
  MidiTrack guitar = Instrument("guitar", 2, kAcousticGuitar, 80, 44);
  MidiTrack bass = Instrument("bass", 3, kAcousticBass, 100, 64);
  MidiTrack drums = Instrument("drums", kDrums, 0, 70, 64);
  const uint32_t chorus = 16 * kBar;
  for (int pass = 0; pass < 2; ++pass) {
    const uint32_t at = pass * chorus;
    Melody(lead, 0, at, melody, 96);
    if (pass == 1) Melody(echo, 1, at, melody, 70, 0.85, 12);  // the second time a flute doubles it an octave up
    Arpeggio(guitar, 2, at, chords, 4, 58);
    WalkingBass(bass, 3, at, chords, 2, 86);
    Drums(drums, at, 16, Groove::Soft, pass == 0);
  }
  HeldChords(guitar, 2, 2 * chorus, Chords({"C"}), 4, 64);
  bass.Note(2 * chorus, kBar, 3, KeyOf(0, 2), 90);
  drums.Note(2 * chorus, kBar, kDrums, kCrash, 70);
  return WriteMidiFile({Conductor("bodo & zamel: menu", 108), lead, echo, guitar, bass, drums}, kTicksPerQuarter);
}

std::vector<uint8_t> PlayTune() {
  const auto chordsA = Chords({"Am", "F", "C", "G", "Am", "F", "C", "Am"});
  const auto chordsB = Chords({"F", "G", "Em", "Am", "Dm", "G", "C", "E7"});
  const auto themeA = Notes(
      "a4/8 c5/8 e5/8 a5/8 g5/8 e5/8 c5/8 e5/8 | f5/4 e5/8 d5/8 c5/4 a4/4 |"
      "g4/8 c5/8 e5/8 g5/8 a5/8 g5/8 e5/8 c5/8 | d5/4. b4/8 g4/2 |"
      "a4/8 c5/8 e5/8 a5/8 b5/8 a5/8 g5/8 e5/8 | f5/8 g5/8 a5/8 c6/8 a5/4 f5/4 |"
      "e5/4 g5/4 d5/4 b4/4 | a4/2 e5/8 d5/8 c5/8 b4/8");
  const auto themeB = Notes(
      "c6/4 a5/8 f5/8 c6/4 a5/4 | b5/4 g5/8 d5/8 b5/4 g5/4 |"
      "g5/8 f#5/8 e5/8 b4/8 e5/8 g5/8 b5/4 | a5/4. g5/8 e5/2 |"
      "f5/8 e5/8 d5/8 f5/8 a5/4 d5/4 | g5/8 f5/8 e5/8 d5/8 b4/4 g4/4 |"
      "c5/8 e5/8 g5/8 c6/8 e6/4 c6/4 | b5/4 g#5/4 e5/4 d5/4");
  MidiTrack lead = Instrument("square lead", 0, kSquareLead, 88, 64);
  MidiTrack mallet = Instrument("marimba", 1, kMarimba, 96, 80);
  MidiTrack strings = Instrument("pizzicato", 2, kPizzicato, 84, 40);
  MidiTrack bass = Instrument("synth bass", 3, kSynthBass, 96, 64);
  MidiTrack drums = Instrument("drums", kDrums, 0, 90, 64);
  // A B A B A B A A: the theme keeps turning round to its first bar, so it feels like a loop.
  const bool sectionIsB[] = {false, true, false, true, false, true, false, false};
  uint32_t at = 0;
  for (size_t s = 0; s < std::size(sectionIsB); ++s) {
    const bool b = sectionIsB[s];
    const auto& chords = b ? chordsB : chordsA;
    const auto& theme = b ? themeB : themeA;
    if (s % 4 == 0) drums.Note(at, kBar, kDrums, kCrash, 86);
    if (s == 0) {
      Melody(mallet, 1, at, theme, 92);  // the first round softly on the marimba alone
    } else {
      Melody(lead, 0, at, theme, 90, 0.8);
      if (b) Melody(mallet, 1, at, theme, 70, 0.9, -12);
    }
    Arpeggio(strings, 2, at, chords, 4, 60);
    EighthBass(bass, 3, at, chords, 2, 92);
    Drums(drums, at, 8, s == 0 ? Groove::Soft : Groove::Drive, true);
    at += 8 * kBar;
  }
  HeldChords(strings, 2, at, Chords({"Am"}), 4, 70);
  lead.Note(at, kBar, 0, KeyOf(9, 5), 90);
  bass.Note(at, kBar, 3, KeyOf(9, 2), 96);
  drums.Note(at, kBar, kDrums, kCrash, 96);
  drums.Note(at, Ticks(0.5), kDrums, kKick, 100);
  return WriteMidiFile({Conductor("bodo & zamel: play", 140), lead, mallet, strings, bass, drums}, kTicksPerQuarter);
}

std::vector<uint8_t> WinTune() {
  const auto fanfare = Notes("g4/8 c5/8 e5/8 g5/8 c6/4 g5/8 c6/8 | e6/2. d6/8 c6/8 | d6/4 b5/8 g5/8 a5/4 b5/4 | c6/1");
  const auto chords = Chords({"C", "C", "G", "C"});
  MidiTrack trumpet = Instrument("trumpet", 0, kTrumpet, 110, 64);
  MidiTrack horns = Instrument("horns", 1, kFrenchHorn, 86, 44);
  MidiTrack strings = Instrument("strings", 2, kStrings, 90, 84);
  MidiTrack timpani = Instrument("timpani", 3, kTimpani, 100, 64);
  MidiTrack drums = Instrument("cymbals", kDrums, 0, 90, 64);
  Melody(trumpet, 0, 0, fanfare, 108, 0.9);
  Melody(horns, 1, 0, fanfare, 76, 0.9, -12);
  HeldChords(strings, 2, 0, chords, 4, 72);
  for (int bar = 0; bar < 4; ++bar) {
    const int root = KeyOf(chords[bar].root, 2);
    timpani.Note(bar * kBar, Ticks(0.9), 3, root, 100);
    timpani.Note(bar * kBar + Ticks(2), Ticks(0.9), 3, root + 7, 84);
  }
  for (int roll = 0; roll < 8; ++roll) timpani.Note(3 * kBar + Ticks(3) + Ticks(0.125 * roll), Ticks(0.1), 3, KeyOf(7, 2), 60 + 5 * roll);
  drums.Note(0, kBar, kDrums, kCrash, 90);
  drums.Note(3 * kBar, kBar, kDrums, kCrash, 110);
  drums.Note(3 * kBar, Ticks(1), kDrums, kKick, 110);
  return WriteMidiFile({Conductor("bodo & zamel: win", 120), trumpet, horns, strings, timpani, drums}, kTicksPerQuarter);
}

std::vector<uint8_t> LoseTune() {
  const auto sigh = Notes("e5/4 d#5/4 d5/4 c#5/4 | c5/2 b4/4 g#4/4 | a4/1");
  const auto chords = Chords({"Am", "E7", "Am"});
  MidiTrack trombone = Instrument("trombone", 0, kTrombone, 110, 64);
  MidiTrack bassoon = Instrument("bassoon", 1, kBassoon, 90, 44);
  MidiTrack strings = Instrument("strings", 2, kStrings, 80, 84);
  MidiTrack drums = Instrument("drums", kDrums, 0, 80, 64);
  Melody(trombone, 0, 0, sigh, 100, 0.95);
  Melody(bassoon, 1, 0, sigh, 80, 0.95, -12);
  HeldChords(strings, 2, 0, chords, 3, 64);
  // A slow wobble on the last long note.
  for (int step = 0; step < 16; ++step) trombone.Control(2 * kBar + Ticks(0.25 * step), 0, 1, step % 2 == 0 ? 70 : 20);
  trombone.Control(3 * kBar, 0, 1, 0);
  drums.Note(0, Ticks(1), kDrums, kKick, 70);
  drums.Note(2 * kBar, Ticks(1), kDrums, kKick, 90);
  drums.Note(2 * kBar, kBar, kDrums, kRide, 60);
  return WriteMidiFile({Conductor("bodo & zamel: lose", 92), trombone, bassoon, strings, drums}, kTicksPerQuarter);
}

}  // namespace assets
