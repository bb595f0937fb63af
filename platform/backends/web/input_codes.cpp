#include "platform/backends/web/input_codes.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace platform::web {

namespace {

struct KeyPair {
    std::string_view code;
    std::uint8_t scanCode;
};

// The same keys as the desktop backend's table, by the names the browser gives them.
constexpr KeyPair kKeys[] = {
    {"Escape", 1},          {"Digit1", 2},         {"Digit2", 3},          {"Digit3", 4},
    {"Digit4", 5},          {"Digit5", 6},         {"Digit6", 7},          {"Digit7", 8},
    {"Digit8", 9},          {"Digit9", 10},        {"Digit0", 11},         {"Minus", 12},
    {"Equal", 13},          {"Backspace", 14},     {"Tab", 15},            {"KeyQ", 16},
    {"KeyW", 17},           {"KeyE", 18},          {"KeyR", 19},           {"KeyT", 20},
    {"KeyY", 21},           {"KeyU", 22},          {"KeyI", 23},           {"KeyO", 24},
    {"KeyP", 25},           {"BracketLeft", 26},   {"BracketRight", 27},   {"Enter", 28},
    {"ControlLeft", 29},    {"KeyA", 30},          {"KeyS", 31},           {"KeyD", 32},
    {"KeyF", 33},           {"KeyG", 34},          {"KeyH", 35},           {"KeyJ", 36},
    {"KeyK", 37},           {"KeyL", 38},          {"Semicolon", 39},      {"Quote", 40},
    {"Backquote", 41},      {"ShiftLeft", 42},     {"Backslash", 43},      {"KeyZ", 44},
    {"KeyX", 45},           {"KeyC", 46},          {"KeyV", 47},           {"KeyB", 48},
    {"KeyN", 49},           {"KeyM", 50},          {"Comma", 51},          {"Period", 52},
    {"Slash", 53},          {"ShiftRight", 54},    {"NumpadMultiply", 55}, {"AltLeft", 56},
    {"Space", 57},          {"CapsLock", 58},      {"F1", 59},             {"F2", 60},
    {"F3", 61},             {"F4", 62},            {"F5", 63},             {"F6", 64},
    {"F7", 65},             {"F8", 66},            {"F9", 67},             {"F10", 68},
    {"NumLock", 69},        {"ScrollLock", 70},    {"Numpad7", 71},        {"Numpad8", 72},
    {"Numpad9", 73},        {"NumpadSubtract", 74}, {"Numpad4", 75},       {"Numpad5", 76},
    {"Numpad6", 77},        {"NumpadAdd", 78},     {"Numpad1", 79},        {"Numpad2", 80},
    {"Numpad3", 81},        {"Numpad0", 82},       {"NumpadDecimal", 83},  {"IntlBackslash", 86},
    {"F11", 87},            {"F12", 88},           {"NumpadEnter", 156},   {"ControlRight", 157},
    {"NumpadDivide", 181},  {"PrintScreen", 183},  {"AltRight", 184},      {"Pause", 197},
    {"Home", 199},          {"ArrowUp", 200},      {"PageUp", 201},        {"ArrowLeft", 203},
    {"ArrowRight", 205},    {"End", 207},          {"ArrowDown", 208},     {"PageDown", 209},
    {"Insert", 210},        {"Delete", 211},       {"MetaLeft", 219},      {"MetaRight", 220},
    {"ContextMenu", 221},
};

}  // namespace

std::uint8_t ScanCodeForKeyName(std::string_view code) {
    const auto* pair = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const KeyPair& p) { return p.code == code; });
    return pair == std::end(kKeys) ? 0 : pair->scanCode;
}

std::string_view KeyNameForScanCode(std::uint8_t scanCode) {
    const auto* pair = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const KeyPair& p) { return p.scanCode == scanCode; });
    return pair == std::end(kKeys) ? std::string_view{} : pair->code;
}

bool KeyTypes(std::string_view key) {
    if (key == "Dead" || key == "Process" || key == "Unidentified") return true;
    // One UTF-8 character: a first byte and only continuation bytes after it. Named keys
    // ("Enter", "ArrowLeft", "F1") are longer; controls below the space type nothing.
    if (key.empty() || static_cast<unsigned char>(key[0]) < 0x20 || key[0] == 0x7F) return false;
    return std::all_of(key.begin() + 1, key.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; });
}

std::int32_t WheelMotion(double deltaY, unsigned long deltaMode) {
    if (!std::isfinite(deltaY)) return 0;
    const double perNotch = deltaMode == kWheelLines ? 3.0 : deltaMode == kWheelPages ? 0.1 : 100.0;
    const double motion = -deltaY / perNotch * 120.0;
    constexpr double kLimit = 5.0e8;
    return static_cast<std::int32_t>(std::lround(std::clamp(motion, -kLimit, kLimit)));
}

std::int32_t RawAxis(double axis) {
    if (!std::isfinite(axis)) return 0;
    const double clamped = std::clamp(axis, -1.0, 1.0);
    return static_cast<std::int32_t>(std::lround(clamped < 0 ? clamped * 32768.0 : clamped * 32767.0));
}

}  // namespace platform::web
