#pragma once
// Named keys and buttons. Each value is the layer's key code (media/input/key_tables.h): a key that
// types a character has the unshifted character as its code, the others 128..176, mouse buttons
// 256..259 and joystick buttons 260..269.
#include <cstdint>

namespace media {

/// A keyboard key, by the layer's key code.
enum class Key : std::uint16_t {
    Unknown = 0,  ///< no key
    Backspace = 8, Tab = 9, Enter = 13, Escape = 27, Space = 32,  ///< control keys that type a character
    Apostrophe = 39, Comma = 44, Minus = 45, Period = 46, Slash = 47,  ///< punctuation
    Num0 = 48, Num1, Num2, Num3, Num4, Num5, Num6, Num7, Num8, Num9,  ///< the digit row
    Semicolon = 59, Equals = 61, LeftBracket = 91, Backslash = 92, RightBracket = 93, Grave = 96,  ///< punctuation
    A = 97, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,  ///< letters
    LeftShift = 128, RightShift, LeftControl, RightControl, LeftAlt, RightAlt,  ///< modifiers
    Left = 134, Right, Up, Down,  ///< arrows
    F1 = 138, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,  ///< function keys
    Insert = 150, Delete, Home, End, PageUp, PageDown,  ///< the editing block
    KeypadDivide = 156, KeypadMultiply, KeypadMinus, KeypadPlus, KeypadEnter, KeypadPeriod,  ///< the keypad's signs
    Keypad0 = 162, Keypad1, Keypad2, Keypad3, Keypad4, Keypad5, Keypad6, Keypad7, Keypad8, Keypad9,  ///< the keypad's digits
    NumLock = 172, CapsLock, ScrollLock, PrintScreen,  ///< the lock keys and Print Screen
};

/// A mouse button, by the layer's key code.
enum class MouseButton : std::uint16_t {
    Left = 256,    ///< the primary button
    Right = 257,   ///< the secondary button
    Middle = 258,  ///< the wheel button
};

}  // namespace media
