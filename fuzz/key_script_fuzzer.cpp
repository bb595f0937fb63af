// Fuzz target: bytes as a key script of bodo-zamel-replay. The reader must end with either a
// list of events or a message naming a line, never hold a line past the cap, and give back the
// same events when what it read is written out in the canonical form and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "tools/replay/key_script.h"

namespace {

const char* NameOf(std::uint16_t code) {
    switch (code) {
        case 27: return "ESC";
        case 97: return "A";
        case 101: return "E";
        case 109: return "M";
        case 111: return "O";
        case 112: return "P";
        case 120: return "X";
        case 134: return "LEFT ARROW";
        case 135: return "RIGHT ARROW";
        default: return nullptr;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    const replay::KeyScript script = replay::ReadKeyScript(in);

    if (!script.error.empty()) {
        // "line N: ...", with N a line the input has.
        if (script.error.rfind("line ", 0) != 0) __builtin_trap();
        const long line = std::strtol(script.error.c_str() + 5, nullptr, 10);
        std::size_t lines = 1;
        for (const char c : text) lines += c == '\n';
        if (line < 1 || static_cast<std::size_t>(line) > lines) __builtin_trap();
        return 0;
    }

    std::ostringstream canonical;
    int lastLine = 0;
    for (const replay::KeyEvent& event : script.events) {
        const char* name = NameOf(event.code);
        if (!name || event.frame < 0 || event.line <= lastLine) __builtin_trap();
        lastLine = event.line;
        canonical << event.frame << ' ' << name << (event.down ? " down\n" : " up\n");
    }
    std::istringstream again(canonical.str());
    const replay::KeyScript reread = replay::ReadKeyScript(again);
    if (!reread.error.empty() || reread.events.size() != script.events.size()) __builtin_trap();
    for (std::size_t i = 0; i < script.events.size(); ++i) {
        const replay::KeyEvent& a = script.events[i];
        const replay::KeyEvent& b = reread.events[i];
        if (a.frame != b.frame || a.code != b.code || a.down != b.down || b.line != static_cast<int>(i) + 1) __builtin_trap();
    }
    return 0;
}
