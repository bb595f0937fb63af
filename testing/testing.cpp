#include "testing/testing.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "media/app/window.h"
#include "media/input/key_tables.h"
#include "platform/audio/audio_host.h"
#include "platform/backends/headless/headless_audio.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/backends/headless/headless_gamepads.h"
#include "platform/backends/headless/headless_input.h"
#include "platform/backends/headless/headless_shell.h"
#include "platform/backends/headless/headless_touches.h"
#include "platform/core/backend.h"
#include "platform/pixels/color_convert.h"
#include "platform/window/window.h"

namespace media::testing {

static_assert(kSoundRate == static_cast<std::int32_t>(platform::kOutputRate), "the rate tests are told is the output's");

namespace {

// The window's drawing area on the desktop; empty for a closed window.
platform::Rect DrawingArea(const Window& window) {
    const auto handle = static_cast<platform::HWND>(window.NativeHandle());
    return handle ? platform::ClientAreaOnDesktop(handle) : platform::Rect{};
}

}  // namespace

Status UseHeadless() {
    // The controls exist only on the headless backend: ask for it before touching them.
    if (!platform::UseBackend("headless")) {
        return {ErrorCode::Unsupported, std::string("cannot test on the in-memory backend: the ") + platform::CurrentBackend().name +
                                            " backend is in use (call UseHeadless before opening a window)"};
    }
    platform::headless::Controls().Reset();
    return {};
}

std::uint32_t ClockMs() { return platform::headless::Controls().Now(); }

void AdvanceClock(std::uint32_t ms) { platform::headless::Controls().Advance(ms); }

void SetKey(Key key, bool down) {
    // The window reads keys by scan code, as a keyboard delivers them.
    static const KeyToScanTable scanCodes = [] {
        KeyToScanTable table{};
        BuildKeyToScanTable(table);
        return table;
    }();
    const auto code = static_cast<std::size_t>(key);
    if (code == 0 || code >= scanCodes.size() || scanCodes[code] == 0) return;
    platform::headless::InputControls().SetKey(static_cast<std::uint8_t>(scanCodes[code]), down);
}

void SetMouseButton(MouseButton button, bool down) {
    platform::headless::InputControls().SetMouseButton(static_cast<int>(button) - KEY_CODE_MOUSE_FIRST, down);
}

void MovePointer(const Window& window, std::int32_t x, std::int32_t y) {
    // Both ways a program can learn of the pointer see the move: its place on the desktop, and the
    // mouse's relative motion that the input devices report.
    platform::headless::HeadlessInput& input = platform::headless::InputControls();
    const platform::Rect area = DrawingArea(window);
    const platform::Point to{area.left + x, area.top + y};
    const platform::Point from = input.CursorPosition();
    input.MoveMouse(to.x - from.x, to.y - from.y);
    input.SetCursorPosition(to);
}

void TypeText(const Window& window, const char* utf8) {
    platform::headless::ShellControls().TypeText(static_cast<const platform::Window*>(window.NativeHandle()), utf8 ? utf8 : "");
}

void DropFile(const Window& window, const char* path) {
    platform::headless::ShellControls().DropFile(static_cast<const platform::Window*>(window.NativeHandle()), path ? path : "");
}

namespace {

void Touch(const Window& window, platform::TouchPhase phase, std::int64_t finger, std::int32_t x, std::int32_t y) {
    platform::headless::TouchControls().Touch(static_cast<const platform::Window*>(window.NativeHandle()), phase, finger, x, y);
}

}  // namespace

void TouchDown(const Window& window, std::int64_t finger, std::int32_t x, std::int32_t y) { Touch(window, platform::TouchPhase::Down, finger, x, y); }
void TouchMove(const Window& window, std::int64_t finger, std::int32_t x, std::int32_t y) { Touch(window, platform::TouchPhase::Move, finger, x, y); }
void TouchUp(const Window& window, std::int64_t finger, std::int32_t x, std::int32_t y) { Touch(window, platform::TouchPhase::Up, finger, x, y); }

void ConnectGamepad(int slot, bool connected) { platform::headless::GamepadControls().Connect(slot, connected); }

void SetGamepadButton(int slot, GamepadButton button, bool down) {
    platform::headless::GamepadControls().SetButton(slot, static_cast<platform::PadButton>(button), down);
}

void SetGamepadAxis(int slot, GamepadAxis axis, float value) {
    const float raw = std::clamp(value, -1.0f, 1.0f) * 32767.0f;
    platform::headless::GamepadControls().SetAxis(slot, static_cast<platform::PadAxis>(axis), static_cast<std::int16_t>(std::lround(raw)));
}

Rumble LastRumble(int slot) {
    const platform::headless::RumbleRecord& r = platform::headless::GamepadControls().Rumbled(slot);
    return {r.low / 65535.0f, r.high / 65535.0f, static_cast<float>(r.ms) / 1000.0f};
}

Color PixelAt(const Window& window, std::int32_t x, std::int32_t y) {
    if (!window.NativeHandle()) return kBlack;
    const platform::Rect area = DrawingArea(window);
    const platform::DisplaySurface& desktop = platform::headless::Controls().DesktopSurface();
    const std::int32_t dx = area.left + x, dy = area.top + y;
    if (dx < 0 || dy < 0 || dx >= desktop.Width() || dy >= desktop.Height()) return kBlack;
    const platform::COLORREF c = platform::ColorRefFromRaw(desktop.PixelAt(dx, dy), desktop.Format());
    return {platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c)};
}

const std::vector<std::int16_t>& SoundOutput() { return platform::headless::AudioControls().Output(); }

void ClearSoundOutput() { platform::headless::AudioControls().ClearOutput(); }

}  // namespace media::testing
