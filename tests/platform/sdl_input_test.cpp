// The SDL keyboard's scan codes: every key the key tables produce a code for is read from the
// SDL key that carries the same key (checked against SDL's own name for its scancode).
#include <SDL.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "media/input/key_tables.h"
#include "platform/sdl/sdl_input.h"

namespace {

// SDL's name of the key where it differs from ours in more than letter case.
const std::map<std::string, std::string> kSdlNames = {
    {"ESC", "Escape"},           {"ENTER", "Return"},        {"APOSTROPHE", "'"},         {"COMMA", ","},
    {"UNDERSCORE", "-"},         {"PERIOD", "."},            {"SLASH", "/"},              {"SEMICOLON", ";"},
    {"EQUALS", "="},             {"LEFT BRKT", "["},         {"BACKSLASH", "\\"},         {"RIGHT BRKT", "]"},
    {"GRAVE", "`"},              {"LEFT CTRL", "Left Ctrl"}, {"RIGHT CTRL", "Right Ctrl"}, {"LEFT SHIFT", "Left Shift"},
    {"RIGHT SHIFT", "Right Shift"}, {"LEFT ALT", "Left Alt"}, {"RIGHT ALT", "Right Alt"}, {"LEFT ARROW", "Left"},
    {"RIGHT ARROW", "Right"},    {"UP ARROW", "Up"},         {"DOWN ARROW", "Down"},      {"DEL", "Delete"},
    {"PAGE UP", "PageUp"},       {"PAGE DOWN", "PageDown"},  {"NUM SLASH", "Keypad /"},   {"NUM STAR", "Keypad *"},
    {"NUM MINUS", "Keypad -"},   {"NUM PLUS", "Keypad +"},   {"NUM ENTER", "Keypad Enter"}, {"NUM PERIOD", "Keypad ."},
    {"NUM LOCK", "Numlock"},     {"CAPS LOCK", "CapsLock"},  {"SCROLL LOCK", "ScrollLock"}, {"PRINT SCRN", "PrintScreen"},
};

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

TEST(SdlKeyboard, EveryKeyOfTheTablesIsReadFromTheSdlKeyOfTheSameName) {
    media::ScanToKeyTable scanToKey;
    media::KeyNameTable names;
    media::BuildScanToKeyTable(scanToKey);
    media::BuildKeyNames(names);
    std::set<int> used;
    for (std::size_t scan = 0; scan < scanToKey.size(); ++scan) {
        const std::uint32_t code = scanToKey[scan];
        if (code == 0) continue;
        const std::string ours(names[code].data(), strnlen(names[code].data(), names[code].size()));
        std::string expected = ours;
        if (ours.rfind("NUM ", 0) == 0 && ours.size() == 5) expected = "Keypad " + ours.substr(4);
        if (auto it = kSdlNames.find(ours); it != kSdlNames.end()) expected = it->second;
        const int sdl = platform::sdl::ScancodeForScanCode(static_cast<std::uint8_t>(scan));
        ASSERT_NE(sdl, 0) << "scan " << scan << " (" << ours << ") has no SDL key";
        EXPECT_EQ(Upper(SDL_GetScancodeName(static_cast<SDL_Scancode>(sdl))), Upper(expected)) << "scan " << scan;
        EXPECT_TRUE(used.insert(sdl).second) << "SDL key " << sdl << " read for two scan codes";
    }
    EXPECT_EQ(used.size(), 100u);
}

}  // namespace
