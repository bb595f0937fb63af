#include "tools/replay/key_script.h"

#include <array>
#include <cctype>
#include <charconv>
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
    for (int line = 1; std::getline(in, text); ++line) {
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
