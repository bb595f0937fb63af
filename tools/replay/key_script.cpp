#include "tools/replay/key_script.h"

#include <array>
#include <cctype>
#include <charconv>
#include <ios>
#include <sstream>

namespace replay {

namespace {

struct GameKey {
    const char* name;
    std::uint16_t code;
};

constexpr std::array<GameKey, 9> kGameKeys{{{"ESC", 27},
                                            {"A", 97},
                                            {"E", 101},
                                            {"M", 109},
                                            {"O", 111},
                                            {"P", 112},
                                            {"X", 120},
                                            {"LEFT ARROW", 134},
                                            {"RIGHT ARROW", 135}}};

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string Error(int line, const std::string& what) { return "line " + std::to_string(line) + ": " + what; }

enum class LineRead { Line, End, TooLong, Failed };

// One line without its line end into text, reading no further than one character past the
// longest line allowed.
LineRead ReadLine(std::istream& in, std::string& text) {
    text.clear();
    std::streambuf* buffer = in.rdbuf();
    for (;;) {
        int c = 0;
        try {
            c = buffer->sbumpc();
        } catch (const std::ios_base::failure&) {
            // A file buffer throws when the system refuses to read (a directory, an I/O error).
            in.setstate(std::ios::badbit);
            return LineRead::Failed;
        }
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            return text.empty() ? LineRead::End : LineRead::Line;
        }
        if (c == '\n') return LineRead::Line;
        if (text.size() == kMaxKeyScriptLine) return LineRead::TooLong;
        text.push_back(static_cast<char>(c));
    }
}

}  // namespace

std::optional<std::uint16_t> GameKeyCode(const std::string& name) {
    const std::string wanted = Upper(name);
    for (const GameKey& key : kGameKeys)
        if (wanted == key.name) return key.code;
    return std::nullopt;
}

KeyScript ReadKeyScript(std::istream& in) {
    KeyScript script;
    std::string text;
    for (int line = 1;; ++line) {
        const LineRead read = ReadLine(in, text);
        if (read == LineRead::End) break;
        if (read == LineRead::Failed) {
            script.error = Error(line, "the key script could not be read");
            return script;
        }
        if (read == LineRead::TooLong) {
            script.error = Error(line, "longer than " + std::to_string(kMaxKeyScriptLine) + " characters");
            return script;
        }
        if (const auto hash = text.find('#'); hash != std::string::npos) text.resize(hash);
        std::istringstream words(text);
        std::vector<std::string> tokens;
        for (std::string word; words >> word;) tokens.push_back(word);
        if (tokens.empty()) continue;
        if (tokens.size() < 3) {
            script.error = Error(line, "expected '<frame> <key name> down|up'");
            return script;
        }
        KeyEvent event;
        event.line = line;
        const std::string& frame = tokens.front();
        const auto [end, status] = std::from_chars(frame.data(), frame.data() + frame.size(), event.frame);
        if (status != std::errc() || end != frame.data() + frame.size() || event.frame < 0) {
            script.error = Error(line, "'" + frame + "' is not a frame number");
            return script;
        }
        const std::string direction = Upper(tokens.back());
        if (direction != "DOWN" && direction != "UP") {
            script.error = Error(line, "'" + tokens.back() + "' is neither down nor up");
            return script;
        }
        event.down = direction == "DOWN";
        std::string name = tokens[1];
        for (std::size_t i = 2; i + 1 < tokens.size(); ++i) name += " " + tokens[i];
        const std::optional<std::uint16_t> code = GameKeyCode(name);
        if (!code) {
            script.error = Error(line, "unknown key name '" + name + "'");
            return script;
        }
        event.code = *code;
        script.events.push_back(event);
    }
    return script;
}

}  // namespace replay
