#pragma once
// The key script of bodo-zamel-replay: one event a line, "<frame> <key name> down|up", '#'
// starting a comment. Key names are the game's nine, in any case: ESC, A, E, M, O, P, X,
// LEFT ARROW, RIGHT ARROW. A line longer than kMaxKeyScriptLine characters (its line end not
// counted) is malformed: the reader never holds more than that, whatever it is given.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace replay {

inline constexpr std::size_t kMaxKeyScriptLine = 1024;

struct KeyEvent {
    std::int64_t frame = 0;
    std::uint16_t code = 0;  // the game's key code
    bool down = false;
    int line = 0;
};

struct KeyScript {
    std::vector<KeyEvent> events;  // in the order of the file
    std::string error;             // empty when the whole script was read
};

// The key code of one of the game's key names (case-insensitive, one space inside), or nothing.
std::optional<std::uint16_t> GameKeyCode(const std::string& name);
// Reads events until the end of the stream or the first malformed line; a stream that fails to
// read (rather than ending) is an error too.
KeyScript ReadKeyScript(std::istream& in);

}  // namespace replay
