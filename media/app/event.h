#pragma once
// What happened since the last frame, as typed values in a small fixed-capacity queue: the window
// fills it once per frame and the program drains it with Window::PollEvent. Nothing is allocated
// on the way.
#include <array>
#include <cstddef>
#include <cstdint>

#include "key.h"

namespace media {

/// The kind of an Event; the fields it fills are named with each kind.
enum class EventType : std::uint8_t {
    Closed,              ///< the close box was clicked (no fields)
    FocusGained,         ///< the window became the active one (no fields)
    FocusLost,           ///< another window became active (no fields)
    KeyDown,             ///< key went down
    KeyUp,               ///< key went up
    Text,                ///< text: the character the key typed, with Shift applied (US layout)
    MouseMoved,          ///< x, y: the mouse position; dx, dy: the move
    MouseButtonDown,     ///< button (a MouseButton code), x, y
    MouseButtonUp,       ///< button (a MouseButton code), x, y
    MouseWheel,          ///< wheel: notches, positive away from the user
    JoystickButtonDown,  ///< button: 0..9
    JoystickButtonUp,    ///< button: 0..9
    JoystickMoved,       ///< x, y: the stick's position; dx, dy: the move
    Resized,             ///< x, y: the size the window now has on screen (the drawing area keeps its own)
    TextInput,           ///< utf8: text typed through the system's keyboard layout (Window::SetTextInput)
    FileDropped,         ///< utf8: the path of a file dropped on the window
    GamepadConnected,    ///< gamepad: the slot a pad was plugged into
    GamepadDisconnected, ///< gamepad: the slot whose pad was pulled out
    GamepadButtonDown,   ///< gamepad, button (a GamepadButton value)
    GamepadButtonUp,     ///< gamepad, button (a GamepadButton value)
    GamepadAxisMoved,    ///< gamepad, button (a GamepadAxis value), value: the axis now, past its dead zone
    TouchDown,           ///< touch: the finger; x, y: where it came down on the drawing area
    TouchMove,           ///< touch, x, y: where the finger is now; dx, dy: the move
    TouchUp,             ///< touch, x, y: where the finger was lifted
};

/// One event; which fields hold something depends on its type. Gamepad buttons and axes are
/// numbered as GamepadButton and GamepadAxis (gamepad.h).
struct Event {
    EventType type = EventType::Closed;  ///< what happened
    Key key = Key::Unknown;              ///< KeyDown, KeyUp, Text
    std::uint16_t button = 0;            ///< mouse (a MouseButton value) or joystick (0..9) button
    char text = 0;                       ///< Text: the character typed
    std::int32_t x = 0;                  ///< mouse or stick position
    std::int32_t y = 0;                  ///< mouse or stick position
    std::int32_t dx = 0;                 ///< mouse or stick move
    std::int32_t dy = 0;                 ///< mouse or stick move
    std::int32_t wheel = 0;              ///< MouseWheel: notches
    std::int32_t gamepad = 0;            ///< Gamepad events: the pad's slot
    float value = 0;                     ///< GamepadAxisMoved: -1..1 (sticks), 0..1 (triggers)
    /// Touch events: the finger, the same id from its TouchDown to its TouchUp (another finger
    /// down meanwhile has another).
    std::int64_t touch = 0;
    /// TextInput, FileDropped: NUL-terminated UTF-8 in the window's store of this frame's text,
    /// valid until the next NextFrame.
    const char* utf8 = nullptr;
};

/// A first-in first-out queue of at most kCapacity events; when full, new events are dropped and
/// counted. A move (MouseMoved, JoystickMoved, a finger's TouchMove) right after one of its kind
/// (of the same finger) joins it, so that the moves of one frame take one place.
class EventQueue {
public:
    /// How many events one frame can hold: every key of a keyboard going down at once, with its text.
    static constexpr std::size_t kCapacity = 256;

    /// Appends an event, or joins a move to the newest event when that is a move of the same kind
    /// and finger (the new position, the two moves added); false (and one more Dropped) when the queue is full.
    bool Push(const Event& event);
    /// Appends two events that belong together (a key's KeyDown and its Text): both, or neither
    /// (and two more Dropped) when there is no room for both.
    bool Push(const Event& first, const Event& second);
    /// Takes the oldest event into event; false when there is none.
    bool Pop(Event& event);
    /// Forgets every waiting event.
    void Clear() { head_ = count_ = 0; }
    /// Events waiting.
    std::size_t Size() const { return count_; }
    /// Events dropped because the queue was full, since it was made.
    std::size_t Dropped() const { return dropped_; }

private:
    std::array<Event, kCapacity> events_{};
    std::size_t head_ = 0, count_ = 0, dropped_ = 0;
};

}  // namespace media
