#include "tools/make_assets/note_text.h"

#include <cctype>
#include <string>

namespace assets {

namespace {

// Pitch class of a note letter with an optional sharp or flat; the rest of text follows.
std::optional<int> PitchClass(std::string_view& text) {
  static constexpr int kLetters[] = {9, 11, 0, 2, 4, 5, 7};  // a..g
  if (text.empty()) return std::nullopt;
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  if (letter < 'a' || letter > 'g') return std::nullopt;
  int pc = kLetters[letter - 'a'];
  text.remove_prefix(1);
  if (!text.empty() && (text[0] == '#' || text[0] == 'b')) {
    pc += text[0] == '#' ? 1 : -1;
    text.remove_prefix(1);
  }
  return (pc + 12) % 12;
}

std::optional<NoteValue> ParseToken(std::string_view token) {
  const size_t slash = token.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  std::string_view pitch = token.substr(0, slash), length = token.substr(slash + 1);
  NoteValue note;
  if (pitch != "r") {
    const std::optional<int> pc = PitchClass(pitch);
    if (!pc || pitch.size() != 1 || !std::isdigit(static_cast<unsigned char>(pitch[0]))) return std::nullopt;
    note.key = KeyOf(*pc, pitch[0] - '0');
  }
  const bool dotted = !length.empty() && length.back() == '.';
  if (dotted) length.remove_suffix(1);
  if (length != "1" && length != "2" && length != "4" && length != "8" && length != "16") return std::nullopt;
  note.beats = 4.0 / std::stoi(std::string(length)) * (dotted ? 1.5 : 1.0);
  return note;
}

}  // namespace

int KeyOf(int pitchClass, int octave) { return 12 * (octave + 1) + pitchClass; }

std::vector<int> Chord::Tones(int octave) const {
  const int base = KeyOf(root, octave);
  std::vector<int> tones{base, base + (minor ? 3 : 4), base + 7};
  if (seventh) tones.push_back(base + 10);
  return tones;
}

std::optional<std::vector<NoteValue>> ParseNotes(std::string_view text) {
  std::vector<NoteValue> notes;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '|' || text[at] == '\n')) ++at;
    if (at >= text.size()) break;
    size_t end = at;
    while (end < text.size() && text[end] != ' ' && text[end] != '|' && text[end] != '\n') ++end;
    const std::optional<NoteValue> note = ParseToken(text.substr(at, end - at));
    if (!note) return std::nullopt;
    notes.push_back(*note);
    at = end;
  }
  return notes;
}

std::optional<Chord> ParseChord(std::string_view name) {
  Chord chord;
  const std::optional<int> pc = PitchClass(name);
  if (!pc) return std::nullopt;
  chord.root = *pc;
  if (!name.empty() && name[0] == 'm') {
    chord.minor = true;
    name.remove_prefix(1);
  }
  if (!name.empty() && name[0] == '7') {
    chord.seventh = true;
    name.remove_prefix(1);
  }
  if (!name.empty()) return std::nullopt;
  return chord;
}

}  // namespace assets
