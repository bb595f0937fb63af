// The SDL input devices without a display: every key the key tables produce a code for is read
// from the SDL key that carries the same key (checked against SDL's own name for its scancode),
// a virtual joystick is read through the axis properties, and mouse events are summed per read.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "media/input/key_tables.h"
#include "platform/backends/sdl/sdl_input.h"
#include "platform/input/basic_input_device.h"

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

// Devices cooperating in the background, so that no window is needed.
std::shared_ptr<platform::InputDevice> OpenInBackground(platform::DirectInput& input, const platform::Guid& guid,
                                                        platform::DataFormat format) {
    std::shared_ptr<platform::InputDevice> device;
    if (platform::Failed(input.CreateDevice(guid, &device))) return nullptr;
    device->SetDataFormat(format);
    device->SetCooperativeLevel(nullptr, platform::DISCL_NONEXCLUSIVE | platform::DISCL_BACKGROUND);
    return device;
}

TEST(SdlJoystick, AVirtualStickIsEnumeratedScaledAndItsButtonsRead) {
    std::unique_ptr<platform::DirectInput> input;
    ASSERT_EQ(platform::CurrentInputHost().DirectInputCreate(nullptr, platform::DIRECTINPUT_VERSION, &input), 0);
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 12, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr);

    // The virtual stick was attached last, after any real one.
    platform::DeviceInstance found;
    auto take = [](const platform::DeviceInstance& instance, void* reference) {
        *static_cast<platform::DeviceInstance*>(reference) = instance;
        return platform::DIENUM_CONTINUE;
    };
    input->EnumDevices(platform::DIDEVTYPE_JOYSTICK, take, &found, platform::DIEDFL_ATTACHEDONLY);
    EXPECT_EQ(found.devType, platform::DIDEVTYPE_JOYSTICK | platform::DIDEVTYPEJOYSTICK_GAMEPAD << 8);
    auto joystick = OpenInBackground(*input, found.instance, platform::DataFormat::Joystick);
    ASSERT_NE(joystick, nullptr);
    for (const std::uint32_t axis : {platform::DIJOFS_X, platform::DIJOFS_Y}) {
        ASSERT_EQ(joystick->SetAxisRange(axis, -1000, 1000), 0);
        ASSERT_EQ(joystick->SetAxisDeadZone(axis, 1000), 0);
    }
    ASSERT_EQ(joystick->Acquire(), 0);
    SDL_JoystickSetVirtualAxis(stick, 0, 32767);
    SDL_JoystickSetVirtualAxis(stick, 1, -2000);  // inside the dead zone
    SDL_JoystickSetVirtualButton(stick, 9, 1);
    ASSERT_EQ(joystick->Poll(), 0);
    platform::JoystickState state;
    ASSERT_EQ(joystick->GetDeviceState(sizeof state, &state), 0);
    EXPECT_EQ(state.x, 1000);
    EXPECT_EQ(state.y, 0);
    EXPECT_EQ(state.buttons[9], 0x80);
    EXPECT_EQ(state.buttons[8], 0);

    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(index);
    SDL_JoystickUpdate();
    EXPECT_EQ(joystick->GetDeviceState(sizeof state, &state), platform::DIERR_INPUTLOST) << "unplugged";
}

TEST(SdlMouse, MotionAndWheelEventsAreSummedUntilTheNextRead) {
    std::unique_ptr<platform::DirectInput> input;
    ASSERT_EQ(platform::CurrentInputHost().DirectInputCreate(nullptr, platform::DIRECTINPUT_VERSION, &input), 0);
    auto mouse = OpenInBackground(*input, platform::GUID_SysMouse, platform::DataFormat::Mouse);
    ASSERT_NE(mouse, nullptr);
    auto& host = static_cast<platform::sdl::SdlInput&>(platform::CurrentInputHost());
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = 5;
    event.motion.yrel = -2;
    host.Observe(event);  // not acquired yet: not counted
    ASSERT_EQ(mouse->Acquire(), 0);
    host.Observe(event);
    host.Observe(event);
    event = {};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = 1;
    event.wheel.preciseY = 1.0f;
    host.Observe(event);
    event.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;  // the system reports it reversed
    host.Observe(event);
    host.Observe(event);
    platform::MouseState state;
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), 0);
    EXPECT_EQ(state.x, 10);
    EXPECT_EQ(state.y, -4);
    EXPECT_EQ(state.z, -120);
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), 0);
    EXPECT_EQ(state.x, 0);
    EXPECT_EQ(state.z, 0);
}

// A press that goes down and up between two reads is read as down once, then up: each row, the
// events between the first two reads, the device, and where its state shows the press.
TEST(SdlPresses, APressBetweenTwoReadsIsReadDownThenUp) {
    std::unique_ptr<platform::DirectInput> input;
    ASSERT_EQ(platform::CurrentInputHost().DirectInputCreate(nullptr, platform::DIRECTINPUT_VERSION, &input), 0);
    auto& host = static_cast<platform::sdl::SdlInput&>(platform::CurrentInputHost());
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 12, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr);
    platform::DeviceInstance joystickFound;
    input->EnumDevices(
        platform::DIDEVTYPE_JOYSTICK,
        [](const platform::DeviceInstance& instance, void* reference) {
            *static_cast<platform::DeviceInstance*>(reference) = instance;
            return platform::DIENUM_CONTINUE;
        },
        &joystickFound, platform::DIEDFL_ATTACHEDONLY);

    const auto key = [](Uint32 type) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = SDL_SCANCODE_A;
        return event;
    };
    const auto mouse = [](Uint32 type) {
        SDL_Event event{};
        event.type = type;
        event.button.button = SDL_BUTTON_RIGHT;
        return event;
    };
    const SDL_JoystickID which = SDL_JoystickInstanceID(stick);
    const auto button = [which](Uint32 type) {
        SDL_Event event{};
        event.type = type;
        event.jbutton.which = which;
        event.jbutton.button = 4;
        return event;
    };
    const struct {
        const char* name;
        platform::Guid device;
        platform::DataFormat format;
        SDL_Event down, up;
        std::size_t offset;  // of the press's byte in the state
    } rows[] = {
        {"key A", platform::GUID_SysKeyboard, platform::DataFormat::Keyboard, key(SDL_KEYDOWN), key(SDL_KEYUP), 30},
        {"right button", platform::GUID_SysMouse, platform::DataFormat::Mouse, mouse(SDL_MOUSEBUTTONDOWN), mouse(SDL_MOUSEBUTTONUP),
         offsetof(platform::MouseState, buttons) + 1},
        {"joystick button 4", joystickFound.instance, platform::DataFormat::Joystick, button(SDL_JOYBUTTONDOWN),
         button(SDL_JOYBUTTONUP), offsetof(platform::JoystickState, buttons) + 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto device = OpenInBackground(*input, row.device, row.format);
        ASSERT_NE(device, nullptr);
        ASSERT_EQ(device->Acquire(), 0);
        const std::uint32_t size = platform::StateSize(row.format);
        std::vector<std::uint8_t> state(size);
        ASSERT_EQ(device->GetDeviceState(size, state.data()), 0);
        EXPECT_EQ(state[row.offset], 0);
        host.Observe(row.down);
        host.Observe(row.up);
        ASSERT_EQ(device->GetDeviceState(size, state.data()), 0);
        EXPECT_EQ(state[row.offset], 0x80) << "the press is read";
        ASSERT_EQ(device->GetDeviceState(size, state.data()), 0);
        EXPECT_EQ(state[row.offset], 0) << "and let go in the read after";
    }
    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(index);
}

}  // namespace
