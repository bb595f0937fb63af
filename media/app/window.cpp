#include "media/app/window.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "media/app/frame_task.h"
#include "media/app/gamepad_slots.h"
#include "media/app/string_pool.h"
#include "media/app/picture.h"
#include "media/app/png_writer.h"
#include "media/display/pixel_surface.h"
#include "media/display/screen.h"
#include "media/input/input.h"
#include "platform/core/frame_pacer.h"
#include "platform/core/resources.h"
#include "platform/core/system.h"
#include "platform/input/input_host.h"
#include "platform/input/touch_host.h"
#include "platform/window/shell_host.h"
#include "platform/window/window.h"

namespace media {

struct Window::State {
    platform::HWND hwnd = nullptr;
    std::int32_t width = 0, height = 0;
    std::unique_ptr<Screen> screen;
    std::unique_ptr<Input> input;
    EventQueue events;
    bool open = false;
    bool firstFrame = true;
    std::uint32_t lastTime = 0;
    std::int32_t stickX = 0, stickY = 0;
    IntPoint pointer;                             // on the drawing area, as read this frame
    platform::Point pointerOnScreen;              // the same in the client area on screen
    std::int32_t shownWidth = 0, shownHeight = 0;  // the drawing area's size on screen (WM_SIZE)
    std::vector<std::weak_ptr<FrameTask>> tasks;  // run once a frame while their owners live
    WindowMode mode = WindowMode::Windowed;       // as opened
    std::unique_ptr<platform::Resource> icon;     // the icon shown, kept while the window lives
    std::uint32_t openedAt = 0;                   // the clock at Open, for Time
    bool vsync = true;
    std::optional<platform::FramePacer> limiter;  // the frame cap (SetTargetFps), in ms from Open
    bool textInput = false, relativeMouse = false, confined = false;
    std::int32_t mouseTotalX = 0, mouseTotalY = 0;  // the mouse's own travel as last read
    StringPool strings;                           // the text this frame's events point at
    std::shared_ptr<GamepadSlots> pads;           // the Window's, kept over a Close and Open
    struct Finger {
        bool down = false;
        std::int64_t id = 0;
        IntPoint at;  // on the drawing area, as last reported
    };
    std::array<Finger, 10> fingers{};  // those touching now, for their moves' dx, dy
};

namespace {

constexpr const char* kClassName = "media front-door window";

// The input object's pointer acceleration as it is made (double speed past 6 counts a read, one
// and a half past 2), given back when relative mouse mode ends.
constexpr std::int32_t kAccelerationThreshold1 = 2, kAccelerationThreshold2 = 6;
constexpr double kAccelerationFactor1 = 1.5, kAccelerationFactor2 = 2.0;

// Open windows by handle: the window procedure finds its State here. Windows are few, so a short
// table does, and it needs no allocation on the message path.
std::array<Window::State*, 16> openWindows{};

Window::State* Find(platform::HWND hwnd) {
    for (Window::State* state : openWindows) {
        if (state && state->hwnd == hwnd) return state;
    }
    return nullptr;
}

platform::LRESULT FrontDoorProc(platform::HWND hwnd, std::uint32_t message, platform::WPARAM w, platform::LPARAM l) {
    Window::State* state = Find(hwnd);
    if (state && message == platform::WM_CLOSE) {
        // The close box asks; the program sees Closed and NextFrame's false, the window stays
        // until Close or the destructor.
        state->events.Push(Event{EventType::Closed});
        state->open = false;
        return 0;
    }
    if (state && message == platform::WM_ACTIVATEAPP) {
        state->events.Push(Event{w ? EventType::FocusGained : EventType::FocusLost});
        return 0;
    }
    if (state && message == platform::WM_SIZE) {
        state->shownWidth = static_cast<std::int32_t>(l & 0xFFFF), state->shownHeight = static_cast<std::int32_t>((l >> 16) & 0xFFFF);
        Event resized{EventType::Resized};
        resized.x = static_cast<std::int32_t>(l & 0xFFFF), resized.y = static_cast<std::int32_t>((l >> 16) & 0xFFFF);
        state->events.Push(resized);
        return 0;
    }
    return platform::DefWindowProc(hwnd, message, w, l);
}

// Key codes read every frame: every keyboard key, then the mouse and joystick buttons.
constexpr std::uint16_t kFirstCode = 1;

// The keypad's keys type their digits and signs, as with NumLock on (its Enter types nothing, as
// Enter does not): by key code from KeypadDivide.
constexpr char kKeypadText[] = {'/', '*', '-', '+', 0, '.', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
static_assert(sizeof kKeypadText == static_cast<std::size_t>(Key::Keypad9) - static_cast<std::size_t>(Key::KeypadDivide) + 1);

// The character a key types (0: none): its own code for the character keys, shifted as on a US
// layout, and the keypad's as with NumLock on.
char TextOf(const Input& input, std::uint16_t code, bool shift) {
    if (code >= 32 && code < 127) {
        const std::uint8_t shifted = shift ? input.Shift()[code] : 0;
        return static_cast<char>(shifted ? shifted : code);
    }
    const auto keypad = static_cast<std::uint16_t>(Key::KeypadDivide);
    if (code >= keypad && code <= static_cast<std::uint16_t>(Key::Keypad9)) return kKeypadText[code - keypad];
    return 0;
}

std::int32_t Clamp32(double value) {
    return static_cast<std::int32_t>(std::clamp(value, double{INT32_MIN}, double{INT32_MAX}));
}

// The pointer's place in the window's client area on screen.
platform::Point PointerOnScreen(const Window::State& state) {
    const platform::Point cursor = platform::CurrentInputHost().CursorPosition();
    const platform::Rect client = platform::ClientAreaOnDesktop(state.hwnd);
    return {Clamp32(static_cast<double>(cursor.x) - client.left), Clamp32(static_cast<double>(cursor.y) - client.top)};
}

// Where a place in the client area on screen is on the drawing area: taken back through the
// scaling of a fullscreen or resizable window (the drawing area at the largest size that fits,
// centred between bars), rounded down to the drawing area's pixel.
IntPoint OnDrawingArea(const Window::State& state, platform::Point onScreen) {
    const double x = onScreen.x, y = onScreen.y;
    const platform::WindowPresentation& shown = state.hwnd->presentation;
    if (!(shown.fullscreen || shown.resizable) || state.shownWidth <= 0 || state.shownHeight <= 0) return {Clamp32(x), Clamp32(y)};
    const double scale = std::min(static_cast<double>(state.shownWidth) / state.width, static_cast<double>(state.shownHeight) / state.height);
    const double left = (state.shownWidth - state.width * scale) / 2, top = (state.shownHeight - state.height * scale) / 2;
    return {Clamp32(std::floor((x - left) / scale)), Clamp32(std::floor((y - top) / scale))};
}

// A move of the stick since the last frame: an event with the new position and the change, and
// the new position kept.
void PushMotion(Window::State& state, EventType type, std::int32_t x, std::int32_t y, std::int32_t& lastX, std::int32_t& lastY) {
    if (x == lastX && y == lastY) return;
    Event motion{type};
    motion.x = x, motion.y = y;
    motion.dx = Clamp32(static_cast<double>(x) - lastX), motion.dy = Clamp32(static_cast<double>(y) - lastY);
    lastX = x, lastY = y;
    state.events.Push(motion);
}

// The pointer's move since the last frame, on the drawing area. Only a move on screen is an
// event: a window scaled anew under a still pointer moves nothing.
void QueuePointer(Window::State& state) {
    const Input& input = *state.input;
    const std::int32_t travelX = input.MouseTotalX(), travelY = input.MouseTotalY();
    const std::int32_t moveX = Clamp32(static_cast<double>(travelX) - state.mouseTotalX), moveY = Clamp32(static_cast<double>(travelY) - state.mouseTotalY);
    state.mouseTotalX = travelX, state.mouseTotalY = travelY;
    if (state.relativeMouse) {
        // The system holds the pointer still: the mouse's own moves are the news, the position stays.
        if (moveX == 0 && moveY == 0) return;
        Event motion{EventType::MouseMoved};
        motion.x = state.pointer.x, motion.y = state.pointer.y;
        motion.dx = moveX, motion.dy = moveY;
        state.events.Push(motion);
        return;
    }
    const platform::Point onScreen = PointerOnScreen(state);
    const IntPoint pointer = OnDrawingArea(state, onScreen);
    const bool moved = onScreen.x != state.pointerOnScreen.x || onScreen.y != state.pointerOnScreen.y;
    state.pointerOnScreen = onScreen;
    if (!moved) {
        state.pointer = pointer;
        return;
    }
    PushMotion(state, EventType::MouseMoved, pointer.x, pointer.y, state.pointer.x, state.pointer.y);
}

// The wheel as this frame's read saw it: one event carrying the turn's notches, signed (at least
// one for a turn smaller than a notch); the notch counts alone keep the last turn's values.
void QueueWheel(Window::State& state) {
    const Input& input = *state.input;
    if (!input.WheelUp() && !input.WheelDown()) return;
    Event wheel{EventType::MouseWheel};
    wheel.wheel = input.WheelUp() ? std::max<std::int32_t>(1, input.WheelUpNotches()) : -std::max<std::int32_t>(1, input.WheelDownNotches());
    wheel.x = state.pointer.x, wheel.y = state.pointer.y;
    state.events.Push(wheel);
}

void QueueInput(Window::State& state) {
    const Input& input = *state.input;
    const bool shift = input.GetKeyStatus(static_cast<std::uint16_t>(Key::LeftShift)) >= KEY_PRESSED ||
                       input.GetKeyStatus(static_cast<std::uint16_t>(Key::RightShift)) >= KEY_PRESSED;
    // The pointer first, so that the buttons' events carry where it is now.
    QueuePointer(state);
    for (std::uint16_t code = kFirstCode; code < kKeyCodeCount; ++code) {
        const KeyStatus status = input.GetKeyStatus(code);
        if (status != KEY_PRESSED && status != KEY_RELEASED) continue;
        const bool down = status == KEY_PRESSED;
        Event event;
        if (code >= KEY_CODE_JOYSTICK_FIRST) {
            event.type = down ? EventType::JoystickButtonDown : EventType::JoystickButtonUp;
            event.button = static_cast<std::uint16_t>(code - KEY_CODE_JOYSTICK_FIRST);
        } else if (code >= KEY_CODE_MOUSE_FIRST) {
            event.type = down ? EventType::MouseButtonDown : EventType::MouseButtonUp;
            event.button = code;
            event.x = state.pointer.x, event.y = state.pointer.y;
        } else {
            event.type = down ? EventType::KeyDown : EventType::KeyUp;
            event.key = static_cast<Key>(code);
        }
        // A key that types a character also gives its text, right after its KeyDown: both or
        // neither reach the queue.
        const char text = down && code < KEY_CODE_MOUSE_FIRST ? TextOf(input, code, shift) : 0;
        if (text) {
            Event typed{EventType::Text, static_cast<Key>(code)};
            typed.text = text;
            state.events.Push(event, typed);
        } else {
            state.events.Push(event);
        }
    }
    QueueWheel(state);
    PushMotion(state, EventType::JoystickMoved, input.JoystickX(), input.JoystickY(), state.stickX, state.stickY);
}

// Typed text and dropped paths: their bytes go to the frame's string store, the events point there.
void QueueShellEvent(void* context, platform::ShellEventKind kind, std::string_view utf8) {
    auto& state = *static_cast<Window::State*>(context);
    if (kind == platform::ShellEventKind::Text && !state.textInput) return;  // typed just before the mode went off
    Event event{kind == platform::ShellEventKind::Text ? EventType::TextInput : EventType::FileDropped};
    event.utf8 = state.strings.Add(utf8);
    state.events.Push(event);
}

// A finger's notice as an event on the drawing area (the client area on screen taken back through
// the window's scaling, as the pointer is). A move carries its change since the finger's last
// notice; fingers beyond the ten followed move with no change.
void QueueTouch(void* context, const platform::TouchNotice& touch) {
    auto& state = *static_cast<Window::State*>(context);
    static constexpr EventType kTypes[] = {EventType::TouchDown, EventType::TouchMove, EventType::TouchUp};
    Event event{kTypes[static_cast<std::size_t>(touch.phase)]};
    event.touch = touch.finger;
    const IntPoint at = OnDrawingArea(state, {touch.x, touch.y});
    event.x = at.x, event.y = at.y;
    using Finger = Window::State::Finger;
    auto finger = std::find_if(state.fingers.begin(), state.fingers.end(), [&](const Finger& f) { return f.down && f.id == touch.finger; });
    if (finger == state.fingers.end() && touch.phase == platform::TouchPhase::Down) {
        finger = std::find_if(state.fingers.begin(), state.fingers.end(), [](const Finger& f) { return !f.down; });
    }
    if (finger != state.fingers.end()) {
        if (touch.phase == platform::TouchPhase::Move && finger->down) {
            event.dx = Clamp32(static_cast<double>(at.x) - finger->at.x), event.dy = Clamp32(static_cast<double>(at.y) - finger->at.y);
        }
        *finger = {touch.phase != platform::TouchPhase::Up, touch.finger, at};
    }
    state.events.Push(event);
}

// Waits for the frame's turn under the frame cap; a late frame goes at once.
void WaitForTurn(Window::State& state) {
    if (!state.limiter) return;
    const std::uint32_t now = platform::TimeGetTime() - state.openedAt;
    const std::int64_t at = state.limiter->Present(now);
    if (at > now) platform::Sleep(static_cast<std::uint32_t>(at - now));
}

// The frame's tasks; those whose owner is gone are forgotten.
void RunTasks(Window::State& state) {
    std::erase_if(state.tasks, [](const std::weak_ptr<FrameTask>& task) { return task.expired(); });
    for (const std::weak_ptr<FrameTask>& weak : state.tasks) {
        if (const std::shared_ptr<FrameTask> task = weak.lock()) task->OnFrame();
    }
}

}  // namespace

void AddFrameTask(const Window& window, std::weak_ptr<FrameTask> task) {
    if (window.state_) window.state_->tasks.push_back(std::move(task));
}

Window::Window() : pads_(std::make_shared<GamepadSlots>()) {}
Window::~Window() { Close(); }
Window::Window(Window&&) noexcept = default;

Window& Window::operator=(Window&& other) noexcept {
    if (this != &other) {
        Close();
        state_ = std::move(other.state_);
        pads_ = std::move(other.pads_);
    }
    return *this;
}

Status Window::Open(const char* title, std::int32_t width, std::int32_t height, WindowMode mode) {
    // What ran in the frame loop of the window open until now (the audio output) goes on in
    // the new one.
    std::vector<std::weak_ptr<FrameTask>> tasks;
    if (state_) tasks = std::move(state_->tasks);
    Close();
    if (width <= 0 || height <= 0) return {ErrorCode::InvalidArgument, "cannot open a window of no pixels"};
    auto slot = std::find(openWindows.begin(), openWindows.end(), nullptr);
    if (slot == openWindows.end()) return {ErrorCode::Failed, "cannot open the window: 16 are open already"};

    auto state = std::make_unique<State>();
    if (!pads_) pads_ = std::make_shared<GamepadSlots>();  // a window moved from
    state->pads = pads_;
    platform::WindowClass windowClass;
    windowClass.className = kClassName;
    windowClass.proc = &FrontDoorProc;
    platform::RegisterClass(windowClass);
    const std::uint32_t style = mode == WindowMode::Fullscreen ? platform::WS_POPUP
                                                               : platform::WS_CAPTION | platform::WS_SYSMENU | platform::WS_MINIMIZEBOX;
    platform::Rect outer{0, 0, width, height};
    platform::AdjustWindowRectEx(&outer, style, false, 0);  // the outer size for that drawing area
    state->hwnd = platform::CreateWindowEx(0, kClassName, title ? title : "", style, 0, 0, outer.Width(), outer.Height());
    if (!state->hwnd) return {ErrorCode::NoDevice, "cannot open the window: the desktop refused it (no display?)"};
    *slot = state.get();
    state_ = std::move(state);  // from here Close undoes everything
    State& s = *state_;
    s.width = width, s.height = height;
    s.mode = mode;
    if (mode != WindowMode::Windowed) {
        platform::SetWindowPresentation(s.hwnd, {mode == WindowMode::Fullscreen, mode == WindowMode::Resizable});
    }
    platform::ShowWindow(s.hwnd, platform::SW_SHOWNORMAL);

    s.screen = std::make_unique<Screen>();
    const std::int32_t shown = s.screen->SetWindowedMode(s.hwnd, width, height);
    if (shown != 0) {
        Close();
        return Status::FromPlatform("cannot open the window: no display surface of that size", shown);
    }
    s.input = std::make_unique<Input>();
    const platform::HRESULT read = s.input->Create(nullptr, s.hwnd);
    if (platform::Failed(read)) {
        Close();
        return Status::FromPlatform("cannot open the window: no keyboard or mouse", read);
    }
    s.input->SetMouseLimits(0, 0, width - 1, height - 1);
    s.shownWidth = width, s.shownHeight = height;
    s.pointerOnScreen = PointerOnScreen(s);  // moves are counted from where the pointer is now
    s.pointer = OnDrawingArea(s, s.pointerOnScreen);
    s.mouseTotalX = s.input->MouseTotalX(), s.mouseTotalY = s.input->MouseTotalY();
    s.openedAt = platform::TimeGetTime();
    s.open = true;
    s.tasks = std::move(tasks);
    for (const std::weak_ptr<FrameTask>& weak : s.tasks) {
        if (const std::shared_ptr<FrameTask> task = weak.lock()) task->OnWindowOpened(*this);
    }
    return {};
}

void Window::Close() {
    if (!state_) return;
    for (State*& slot : openWindows) {
        if (slot == state_.get()) slot = nullptr;
    }
    state_->input.reset();
    state_->screen.reset();
    // The slots stay for the next Open; until then they hold no pads, and that Open's first
    // frame tells of the pads it finds as connected.
    state_->pads->Unplug();
    if (state_->hwnd) {
        // What the window asked of the pointer and keyboard ends with it.
        platform::ShellHost& shell = platform::CurrentShellHost();
        if (state_->relativeMouse) shell.SetRelativeMouse(*state_->hwnd, false);
        if (state_->textInput) shell.SetTextInput(*state_->hwnd, false);
        if (state_->confined) shell.ConfineCursor(*state_->hwnd, false);
        shell.TakeShellEvents(*state_->hwnd, [](void*, platform::ShellEventKind, std::string_view) {}, nullptr);
        platform::CurrentTouchHost().TakeTouches(*state_->hwnd, [](void*, const platform::TouchNotice&) {}, nullptr);
        platform::DestroyWindow(state_->hwnd);
    }
    state_.reset();
}

bool Window::IsOpen() const { return state_ && state_->open; }

Status Window::SetFullscreen(bool fullscreen) {
    if (!IsOpen()) return {ErrorCode::NotOpen, "cannot switch to or from fullscreen: the window is not open"};
    platform::SetWindowPresentation(state_->hwnd, {fullscreen, !fullscreen && state_->mode == WindowMode::Resizable});
    return {};
}

bool Window::IsFullscreen() const { return state_ && state_->hwnd->presentation.fullscreen; }

// The icon as the platform takes it: 0xAARRGGBB, top row first, the key colour transparent.
Status Window::SetIcon(const Picture& icon) {
    if (!IsOpen()) return {ErrorCode::NotOpen, "cannot set the icon: the window is not open"};
    if (!icon.Loaded()) return {ErrorCode::NotOpen, "cannot set the icon: the picture has no pixels"};
    PixelSurface& surface = icon.Surface();
    auto resource = std::make_unique<platform::Resource>();
    resource->type = platform::RT_ICON;
    resource->width = surface.Width(), resource->height = surface.Height();
    resource->pixels.reserve(static_cast<std::size_t>(surface.Width()) * static_cast<std::size_t>(surface.Height()));
    // Only a picture given a colour key has transparent pixels; without one, black stays black.
    const bool keyed = surface.Surface()->HasColorKey();
    if (surface.Lock() < 0) return {ErrorCode::Failed, "cannot set the icon: the picture's pixels could not be read"};
    for (std::int32_t y = 0; y < surface.Height(); ++y) {
        for (std::int32_t x = 0; x < surface.Width(); ++x) {
            const std::uint32_t raw = surface.GetPixel(x, y);
            const Color c = Color::FromRaw(raw, surface);
            const std::uint32_t alpha = keyed && raw == surface.ColorKey() ? 0 : 0xFFu;
            resource->pixels.push_back(alpha << 24 | std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b);
        }
    }
    surface.Unlock();
    platform::SetWindowIcon(state_->hwnd, resource.get());
    state_->icon = std::move(resource);  // after the window took the new one: the old one goes now
    return {};
}

Status Window::SetTitle(const char* title) {
    if (!IsOpen()) return {ErrorCode::NotOpen, "cannot set the title: the window is not open"};
    platform::SetWindowText(state_->hwnd, title ? title : "");
    return {};
}

double Window::Time() const { return state_ && state_->open ? (platform::TimeGetTime() - state_->openedAt) / 1000.0 : 0.0; }

void Window::SetVsync(bool on) {
    if (state_) state_->vsync = on;
}

void Window::SetTargetFps(std::int32_t fps) {
    if (!state_) return;
    if (fps <= 0) {
        state_->limiter.reset();
        return;
    }
    state_->limiter.emplace(1000, fps);
    // The grid starts at the frame being drawn: the next frame waits one share from now.
    state_->limiter->Present(platform::TimeGetTime() - state_->openedAt);
}

Status Window::SetClipboardText(const char* utf8) {
    if (!utf8) return {ErrorCode::InvalidArgument, "cannot set the clipboard: no text"};
    if (!platform::CurrentShellHost().SetClipboardText(utf8)) return {ErrorCode::Unsupported, "cannot set the clipboard: this platform has none"};
    return {};
}

std::string Window::ClipboardText() const {
    std::string text;
    platform::CurrentShellHost().ClipboardText(text);
    return text;
}

void Window::SetTextInput(bool on) {
    if (!IsOpen() || state_->textInput == on) return;
    state_->textInput = on;
    platform::CurrentShellHost().SetTextInput(*state_->hwnd, on);
}

bool Window::IsTextInput() const { return state_ && state_->textInput; }

void Window::ShowCursor(bool visible) { platform::CurrentShellHost().SetCursorVisible(visible); }

Status Window::ConfineCursor(bool confine) {
    if (!IsOpen()) return {ErrorCode::NotOpen, "cannot confine the pointer: the window is not open"};
    if (!platform::CurrentShellHost().ConfineCursor(*state_->hwnd, confine)) return {ErrorCode::Unsupported, "cannot confine the pointer on this platform"};
    state_->confined = confine;
    return {};
}

Status Window::SetRelativeMouse(bool relative) {
    if (!IsOpen()) return {ErrorCode::NotOpen, "cannot switch relative mouse mode: the window is not open"};
    if (!platform::CurrentShellHost().SetRelativeMouse(*state_->hwnd, relative)) return {ErrorCode::Unsupported, "relative mouse mode is not available on this platform"};
    state_->relativeMouse = relative;
    // Mouse-look turns by the mouse's own moves: the input object's pointer acceleration is off
    // while the mode lasts, and back to the input object's default after.
    if (relative) {
        state_->input->SetAcceleration(INT32_MAX, 1.0, INT32_MAX, 1.0);
    } else {
        state_->input->SetAcceleration(kAccelerationThreshold1, kAccelerationFactor1, kAccelerationThreshold2, kAccelerationFactor2);
    }
    return {};
}

bool Window::IsRelativeMouse() const { return state_ && state_->relativeMouse; }

std::shared_ptr<GamepadSlots> Window::GamepadSlotsOf() const { return pads_; }

bool Window::NextFrame(float& dt) {
    dt = 0;
    if (!state_) return false;
    State& s = *state_;
    if (!s.firstFrame && s.open) {
        WaitForTurn(s);
        s.screen->Flip(s.vsync ? 1 : 0, 1, 0);
    }
    s.events.Clear();
    s.strings.Clear();
    platform::Message message;
    while (platform::PeekMessage(&message, nullptr, 0, 0, platform::PM_REMOVE)) {
        if (message.message == platform::WM_QUIT && s.open) {
            s.events.Push(Event{EventType::Closed});
            s.open = false;
        }
        platform::DispatchMessage(&message);
    }
    if (!s.open) return false;
    s.input->Update();
    QueueInput(s);
    platform::CurrentShellHost().TakeShellEvents(*s.hwnd, &QueueShellEvent, &s);
    platform::CurrentTouchHost().TakeTouches(*s.hwnd, &QueueTouch, &s);
    s.pads->Read(s.events);
    RunTasks(s);
    const std::uint32_t now = platform::TimeGetTime();
    if (!s.firstFrame) dt = static_cast<float>(now - s.lastTime) / 1000.0f;
    s.lastTime = now;
    s.firstFrame = false;
    return true;
}

bool Window::PollEvent(Event& event) { return state_ && state_->events.Pop(event); }

bool Window::IsKeyDown(Key key) const {
    return state_ && state_->input && state_->input->GetKeyStatus(static_cast<std::uint16_t>(key)) >= KEY_PRESSED;
}

bool Window::IsMouseButtonDown(MouseButton button) const {
    return state_ && state_->input && state_->input->GetKeyStatus(static_cast<std::uint16_t>(button)) >= KEY_PRESSED;
}

IntPoint Window::MousePosition() const { return state_ ? state_->pointer : IntPoint{}; }

std::size_t Window::DroppedEvents() const { return state_ ? state_->events.Dropped() : 0; }

Canvas Window::Draw() const { return Canvas(*state_->screen->Back()); }
Status Window::Screenshot(const char* path) const {
    if (!IsOpen()) return {ErrorCode::NotOpen, "cannot take a screenshot: the window is not open"};
    return WritePng(*state_->screen->Back(), Width(), Height(), nullptr, path);
}

std::int32_t Window::Width() const { return state_ ? state_->width : 0; }
std::int32_t Window::Height() const { return state_ ? state_->height : 0; }
std::int32_t Window::FramesPerSecond() const { return state_ && state_->screen ? state_->screen->FramesPerSecond() : 0; }
Screen& Window::GetScreen() const { return *state_->screen; }
Input& Window::GetInput() const { return *state_->input; }
void* Window::NativeHandle() const { return state_ ? state_->hwnd : nullptr; }

}  // namespace media
