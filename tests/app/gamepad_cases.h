#pragma once
// Gamepad cases run on every backend that has pads: each case plugs pads in and out, presses
// buttons and moves axes frame by frame through a driver (scripted pads on the headless backend,
// SDL's virtual joysticks on the real one), and lists the events each frame must give.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "media/app/event.h"
#include "media/app/gamepad.h"

namespace gamepad_cases {

// What a driver does to the pads before a frame.
struct Step {
    enum Kind { Connect, Disconnect, Button, Axis } kind;
    int slot = 0;
    int code = 0;         // a GamepadButton or GamepadAxis value
    std::int16_t value = 0;  // Button: 1 down, 0 up; Axis: the raw value
};

// One event a frame must give, in order.
struct Expected {
    media::EventType type;
    int slot = 0;
    int code = 0;
    float value = 0;  // GamepadAxisMoved
};

struct Frame {
    std::vector<Step> steps;
    std::vector<Expected> events;
};

struct Case {
    const char* name;
    std::vector<Frame> frames;
};

using media::EventType;
using B = media::GamepadButton;
using A = media::GamepadAxis;
inline Step Plug(int slot) { return {Step::Connect, slot}; }
inline Step Unplug(int slot) { return {Step::Disconnect, slot}; }
inline Step Press(int slot, B b, bool down = true) { return {Step::Button, slot, static_cast<int>(b), static_cast<std::int16_t>(down)}; }
inline Step Move(int slot, A a, std::int16_t raw) { return {Step::Axis, slot, static_cast<int>(a), raw}; }
inline Expected Ev(EventType type, int slot, int code = 0, float value = 0) { return {type, slot, code, value}; }
inline Expected Down(int slot, B b) { return Ev(EventType::GamepadButtonDown, slot, static_cast<int>(b)); }
inline Expected Up(int slot, B b) { return Ev(EventType::GamepadButtonUp, slot, static_cast<int>(b)); }
inline Expected Moved(int slot, A a, float value) { return Ev(EventType::GamepadAxisMoved, slot, static_cast<int>(a), value); }

// Raw values: full travel 32767; 10% of it is 3276.7, so 3276 stays inside the default dead zone.
inline const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"PlugPressReleaseUnplug",
         {{{Plug(0)}, {Ev(EventType::GamepadConnected, 0)}},
          {{Press(0, B::A)}, {Down(0, B::A)}},
          {{}, {}},
          {{Press(0, B::A, false), Press(0, B::Start)}, {Up(0, B::A), Down(0, B::Start)}},
          {{Unplug(0)}, {Up(0, B::Start), Ev(EventType::GamepadDisconnected, 0)}}}},
        {"NamedButtonsKeepTheirNames",
         {{{Plug(0)}, {Ev(EventType::GamepadConnected, 0)}},
          {{Press(0, B::Y), Press(0, B::RightShoulder), Press(0, B::DpadLeft)}, {Down(0, B::Y), Down(0, B::RightShoulder), Down(0, B::DpadLeft)}}}},
        {"StickInsideTheDeadZoneIsStill",
         {{{Plug(0)}, {Ev(EventType::GamepadConnected, 0)}},
          {{Move(0, A::LeftX, 3276)}, {}},
          {{Move(0, A::LeftX, 32767)}, {Moved(0, A::LeftX, 1.0f)}},
          {{Move(0, A::LeftX, 0)}, {Moved(0, A::LeftX, 0.0f)}}}},
        {"DeadZoneIsRoundNotSquare",
         // 3000 on both axes: each inside 10%, together 4243 out (12.9%): the stick has left the circle.
         {{{Plug(0)}, {Ev(EventType::GamepadConnected, 0)}},
          {{Move(0, A::RightX, 3000), Move(0, A::RightY, 3000)}, {Moved(0, A::RightX, 0.0226f), Moved(0, A::RightY, 0.0226f)}}}},
        {"TriggersRunFromRest",
         {{{Plug(0)}, {Ev(EventType::GamepadConnected, 0)}},
          {{Move(0, A::RightTrigger, 32767)}, {Moved(0, A::RightTrigger, 1.0f)}},
          {{Move(0, A::RightTrigger, 16384)}, {Moved(0, A::RightTrigger, 0.4445f)}}}},
        {"TwoPadsKeepTheirSlots",
         {{{Plug(0), Plug(1)}, {Ev(EventType::GamepadConnected, 0), Ev(EventType::GamepadConnected, 1)}},
          {{Press(1, B::B)}, {Down(1, B::B)}},
          {{Unplug(0)}, {Ev(EventType::GamepadDisconnected, 0)}},
          {{Press(1, B::B, false)}, {Up(1, B::B)}}}},
    };
    return cases;
}

// Checks one event a frame gave against the one the case lists.
inline void ExpectEvent(const media::Event& e, const Expected& want, int frame, std::size_t i) {
    EXPECT_EQ(e.type, want.type) << "frame " << frame << " event " << i;
    EXPECT_EQ(e.gamepad, want.slot) << "frame " << frame << " event " << i;
    EXPECT_EQ(e.button, want.code) << "frame " << frame << " event " << i;
    EXPECT_NEAR(e.value, want.value, 1e-3) << "frame " << frame << " event " << i;
}

}  // namespace gamepad_cases
