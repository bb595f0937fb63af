#include "platform/backends/sdl/sdl_input.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "platform/backends/sdl/sdl_backend.h"
#include "platform/input/basic_input_device.h"
#include "platform/video/display_host.h"

namespace platform {

namespace sdl {

SdlInput& Input() {
    static SdlInput input;
    return input;
}

namespace {

// SDL scancodes (USB usage numbering) and the keyboard scan codes the key tables use.
struct ScancodePair {
    SDL_Scancode sdl;
    std::uint8_t scanCode;
};

constexpr ScancodePair kScancodes[] = {
    {SDL_SCANCODE_ESCAPE, 1},        {SDL_SCANCODE_1, 2},           {SDL_SCANCODE_2, 3},
    {SDL_SCANCODE_3, 4},             {SDL_SCANCODE_4, 5},           {SDL_SCANCODE_5, 6},
    {SDL_SCANCODE_6, 7},             {SDL_SCANCODE_7, 8},           {SDL_SCANCODE_8, 9},
    {SDL_SCANCODE_9, 10},            {SDL_SCANCODE_0, 11},          {SDL_SCANCODE_MINUS, 12},
    {SDL_SCANCODE_EQUALS, 13},       {SDL_SCANCODE_BACKSPACE, 14},  {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_Q, 16},            {SDL_SCANCODE_W, 17},          {SDL_SCANCODE_E, 18},
    {SDL_SCANCODE_R, 19},            {SDL_SCANCODE_T, 20},          {SDL_SCANCODE_Y, 21},
    {SDL_SCANCODE_U, 22},            {SDL_SCANCODE_I, 23},          {SDL_SCANCODE_O, 24},
    {SDL_SCANCODE_P, 25},            {SDL_SCANCODE_LEFTBRACKET, 26}, {SDL_SCANCODE_RIGHTBRACKET, 27},
    {SDL_SCANCODE_RETURN, 28},       {SDL_SCANCODE_LCTRL, 29},      {SDL_SCANCODE_A, 30},
    {SDL_SCANCODE_S, 31},            {SDL_SCANCODE_D, 32},          {SDL_SCANCODE_F, 33},
    {SDL_SCANCODE_G, 34},            {SDL_SCANCODE_H, 35},          {SDL_SCANCODE_J, 36},
    {SDL_SCANCODE_K, 37},            {SDL_SCANCODE_L, 38},          {SDL_SCANCODE_SEMICOLON, 39},
    {SDL_SCANCODE_APOSTROPHE, 40},   {SDL_SCANCODE_GRAVE, 41},      {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, 43},    {SDL_SCANCODE_Z, 44},          {SDL_SCANCODE_X, 45},
    {SDL_SCANCODE_C, 46},            {SDL_SCANCODE_V, 47},          {SDL_SCANCODE_B, 48},
    {SDL_SCANCODE_N, 49},            {SDL_SCANCODE_M, 50},          {SDL_SCANCODE_COMMA, 51},
    {SDL_SCANCODE_PERIOD, 52},       {SDL_SCANCODE_SLASH, 53},      {SDL_SCANCODE_RSHIFT, 54},
    {SDL_SCANCODE_KP_MULTIPLY, 55},  {SDL_SCANCODE_LALT, 56},       {SDL_SCANCODE_SPACE, 57},
    {SDL_SCANCODE_CAPSLOCK, 58},     {SDL_SCANCODE_F1, 59},         {SDL_SCANCODE_F2, 60},
    {SDL_SCANCODE_F3, 61},           {SDL_SCANCODE_F4, 62},         {SDL_SCANCODE_F5, 63},
    {SDL_SCANCODE_F6, 64},           {SDL_SCANCODE_F7, 65},         {SDL_SCANCODE_F8, 66},
    {SDL_SCANCODE_F9, 67},           {SDL_SCANCODE_F10, 68},        {SDL_SCANCODE_NUMLOCKCLEAR, 69},
    {SDL_SCANCODE_SCROLLLOCK, 70},   {SDL_SCANCODE_KP_7, 71},       {SDL_SCANCODE_KP_8, 72},
    {SDL_SCANCODE_KP_9, 73},         {SDL_SCANCODE_KP_MINUS, 74},   {SDL_SCANCODE_KP_4, 75},
    {SDL_SCANCODE_KP_5, 76},         {SDL_SCANCODE_KP_6, 77},       {SDL_SCANCODE_KP_PLUS, 78},
    {SDL_SCANCODE_KP_1, 79},         {SDL_SCANCODE_KP_2, 80},       {SDL_SCANCODE_KP_3, 81},
    {SDL_SCANCODE_KP_0, 82},         {SDL_SCANCODE_KP_PERIOD, 83},  {SDL_SCANCODE_NONUSBACKSLASH, 86},
    {SDL_SCANCODE_F11, 87},          {SDL_SCANCODE_F12, 88},        {SDL_SCANCODE_KP_ENTER, 156},
    {SDL_SCANCODE_RCTRL, 157},       {SDL_SCANCODE_KP_DIVIDE, 181}, {SDL_SCANCODE_PRINTSCREEN, 183},
    {SDL_SCANCODE_RALT, 184},        {SDL_SCANCODE_PAUSE, 197},     {SDL_SCANCODE_HOME, 199},
    {SDL_SCANCODE_UP, 200},          {SDL_SCANCODE_PAGEUP, 201},    {SDL_SCANCODE_LEFT, 203},
    {SDL_SCANCODE_RIGHT, 205},       {SDL_SCANCODE_END, 207},       {SDL_SCANCODE_DOWN, 208},
    {SDL_SCANCODE_PAGEDOWN, 209},    {SDL_SCANCODE_INSERT, 210},    {SDL_SCANCODE_DELETE, 211},
    {SDL_SCANCODE_LGUI, 219},        {SDL_SCANCODE_RGUI, 220},      {SDL_SCANCODE_APPLICATION, 221},
};

constexpr std::uint8_t kDown = 0x80;
// SDL's mouse buttons in the order of the mouse state's button bytes.
constexpr int kMouseButtons[] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_X1};

// The button byte of an SDL mouse button, -1 for one the state has no byte for.
int MouseButtonIndex(int sdlButton) {
    const auto* found = std::ranges::find(kMouseButtons, sdlButton);
    return found == std::end(kMouseButtons) ? -1 : static_cast<int>(found - std::begin(kMouseButtons));
}
constexpr double kWheelNotch = 120.0;
// Joystick instances are named by this first word and SDL's device index in the last bytes.
constexpr std::uint32_t kJoystickGuidTag = 0x53444C4A;

Guid JoystickGuid(int index) {
    Guid guid{kJoystickGuidTag, 0, 0, {}};
    for (int i = 0; i < 4; ++i) guid.data4[4 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(index) >> (8 * i));
    return guid;
}

// The SDL device index a joystick instance names, or -1.
int JoystickIndex(const Guid& guid) {
    if (guid.data1 != kJoystickGuidTag) return -1;
    std::uint32_t index = 0;
    for (int i = 0; i < 4; ++i) index |= std::uint32_t{guid.data4[4 + i]} << (8 * i);
    return index < static_cast<std::uint32_t>(SDL_NumJoysticks()) ? static_cast<int>(index) : -1;
}

std::uint32_t JoystickSubtype(SDL_JoystickType type) {
    switch (type) {
        case SDL_JOYSTICK_TYPE_GAMECONTROLLER: return DIDEVTYPEJOYSTICK_GAMEPAD;
        case SDL_JOYSTICK_TYPE_WHEEL: return DIDEVTYPEJOYSTICK_WHEEL;
        case SDL_JOYSTICK_TYPE_FLIGHT_STICK: return DIDEVTYPEJOYSTICK_FLIGHTSTICK;
        default: return DIDEVTYPEJOYSTICK_TRADITIONAL;
    }
}

DeviceInstance JoystickInstance(int index) {
    DeviceInstance instance;
    instance.instance = JoystickGuid(index);
    const SDL_JoystickGUID product = SDL_JoystickGetDeviceGUID(index);
    static_assert(sizeof product.data == 16);
    instance.product.data1 = product.data[0] | product.data[1] << 8 | product.data[2] << 16 | std::uint32_t{product.data[3]} << 24;
    instance.product.data2 = static_cast<std::uint16_t>(product.data[4] | product.data[5] << 8);
    instance.product.data3 = static_cast<std::uint16_t>(product.data[6] | product.data[7] << 8);
    std::copy_n(product.data + 8, 8, instance.product.data4.begin());
    instance.devType = DIDEVTYPE_JOYSTICK | JoystickSubtype(SDL_JoystickGetDeviceType(index)) << 8;
    const char* name = SDL_JoystickNameForIndex(index);
    instance.name = name ? name : "Joystick";
    return instance;
}

}  // namespace

// One device: the keyboard and the mouse read SDL's shared state, a joystick its own handle.
class SdlDevice final : public BasicInputDevice {
public:
    SdlDevice(SdlInput& host, DeviceInstance instance, SDL_Joystick* joystick)
        : BasicInputDevice(std::move(instance)), host_(host), joystick_(joystick) {
        host_.Register(this);
    }
    ~SdlDevice() override {
        host_.Unregister(this);
        if (!joystick_) return;
        SDL_JoystickClose(joystick_);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
    SdlDevice(const SdlDevice&) = delete;
    SdlDevice& operator=(const SdlDevice&) = delete;

protected:
    bool Attached() const override { return Kind() != DeviceKind::Joystick || SDL_JoystickGetAttached(joystick_); }
    void PollDevice() override {
        if (joystick_) SDL_JoystickUpdate();
    }
    void ReadKeys(KeyboardState& keys) override {
        int count = 0;
        const Uint8* state = SDL_GetKeyboardState(&count);
        for (const ScancodePair& pair : kScancodes) {
            if (pair.sdl < count && state[pair.sdl]) keys[pair.scanCode] = kDown;
        }
    }
    void ReadMouseButtons(std::array<std::uint8_t, 4>& buttons) override {
        const Uint32 state = SDL_GetMouseState(nullptr, nullptr);
        for (std::size_t i = 0; i < buttons.size(); ++i) buttons[i] = (state & SDL_BUTTON(kMouseButtons[i])) ? kDown : 0;
    }
    void ReadJoystick(std::int32_t& rawX, std::int32_t& rawY, std::array<std::uint8_t, 32>& buttons) override {
        rawX = SDL_JoystickNumAxes(joystick_) > 0 ? SDL_JoystickGetAxis(joystick_, 0) : 0;
        rawY = SDL_JoystickNumAxes(joystick_) > 1 ? SDL_JoystickGetAxis(joystick_, 1) : 0;
        const int count = std::min<int>(SDL_JoystickNumButtons(joystick_), static_cast<int>(buttons.size()));
        for (int i = 0; i < count; ++i) buttons[i] = SDL_JoystickGetButton(joystick_, i) ? kDown : 0;
    }

public:
    // Whether this is the open joystick SDL knows by that instance id.
    bool IsJoystick(SDL_JoystickID which) const { return joystick_ && SDL_JoystickInstanceID(joystick_) == which; }

private:
    SdlInput& host_;
    SDL_Joystick* joystick_;
};

namespace {

// An input system holds SDL's joystick part open for as long as it lives.
class SdlDirectInput final : public DirectInput {
public:
    explicit SdlDirectInput(SdlInput& host) : host_(host) {}
    ~SdlDirectInput() override { SDL_QuitSubSystem(SDL_INIT_JOYSTICK); }
    SdlDirectInput(const SdlDirectInput&) = delete;
    SdlDirectInput& operator=(const SdlDirectInput&) = delete;

    HRESULT CreateDevice(const Guid& guid, std::shared_ptr<InputDevice>* device) override {
        if (!device) return E_INVALIDARG;
        device->reset();
        if (guid == GUID_SysKeyboard) {
            *device = std::make_shared<SdlDevice>(host_, DeviceInstance{guid, guid, DIDEVTYPE_KEYBOARD, "Keyboard"}, nullptr);
            return S_OK;
        }
        if (guid == GUID_SysMouse) {
            *device = std::make_shared<SdlDevice>(host_, DeviceInstance{guid, guid, DIDEVTYPE_MOUSE, "Mouse"}, nullptr);
            return S_OK;
        }
        const int index = JoystickIndex(guid);
        if (index < 0) return DIERR_DEVICENOTREG;
        // An open joystick keeps SDL's joystick part running, so it may outlive this object.
        LeaveQuitSignalsToTheProgram();
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return E_FAIL;
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        if (!joystick) {
            SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
            return E_FAIL;
        }
        *device = std::make_shared<SdlDevice>(host_, JoystickInstance(index), joystick);
        return S_OK;
    }

    HRESULT EnumDevices(std::uint32_t devType, EnumDevicesCallback callback, void* reference, std::uint32_t) override {
        if (!callback) return E_INVALIDARG;
        if (devType == 0 || devType == DIDEVTYPE_MOUSE) {
            if (callback({GUID_SysMouse, GUID_SysMouse, DIDEVTYPE_MOUSE, "Mouse"}, reference) == DIENUM_STOP) return S_OK;
        }
        if (devType == 0 || devType == DIDEVTYPE_KEYBOARD) {
            if (callback({GUID_SysKeyboard, GUID_SysKeyboard, DIDEVTYPE_KEYBOARD, "Keyboard"}, reference) == DIENUM_STOP)
                return S_OK;
        }
        if (devType != 0 && devType != DIDEVTYPE_JOYSTICK) return S_OK;
        // SDL lists only the joysticks that are plugged in.
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (callback(JoystickInstance(index), reference) == DIENUM_STOP) break;
        }
        return S_OK;
    }

private:
    SdlInput& host_;
};

void ObserveEvent(const SDL_Event& event) { static_cast<SdlInput&>(CurrentInputHost()).Observe(event); }

}  // namespace

int ScancodeForScanCode(std::uint8_t scanCode) {
    const auto* pair = std::ranges::find(kScancodes, scanCode, &ScancodePair::scanCode);
    return pair == std::end(kScancodes) ? 0 : pair->sdl;
}

SdlInput::SdlInput() {
    // The backend is made first so that it outlives the devices, which SDL's shutdown ends.
    CurrentDisplayHost();
    SetInputEventObserver(&ObserveEvent);
}

SdlInput::~SdlInput() { SetInputEventObserver(nullptr); }

HRESULT SdlInput::DirectInputCreate(HINSTANCE, std::uint32_t version, std::unique_ptr<DirectInput>* input) {
    if (!input) return E_INVALIDARG;
    input->reset();
    if (version == 0 || version > DIRECTINPUT_VERSION) return E_INVALIDARG;
    // The display goes first: when it cannot start, it shuts SDL down as a whole.
    CurrentDisplayHost().Open();
    LeaveQuitSignalsToTheProgram();
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
        std::fprintf(stderr, "SDL joystick: %s\n", SDL_GetError());
        return E_FAIL;
    }
    *input = std::make_unique<SdlDirectInput>(*this);
    return S_OK;
}

Point SdlInput::CursorPosition() {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
}

void SdlInput::Unregister(SdlDevice* device) { std::erase(devices_, device); }

void SdlInput::LatchPress(const SDL_Event& event) {
    for (SdlDevice* device : devices_) {
        if (event.type == SDL_KEYDOWN && device->Kind() == DeviceKind::Keyboard) {
            const auto* pair = std::ranges::find(kScancodes, event.key.keysym.scancode, &ScancodePair::sdl);
            if (pair != std::end(kScancodes)) device->LatchPress(pair->scanCode);
        } else if (event.type == SDL_MOUSEBUTTONDOWN && device->Kind() == DeviceKind::Mouse) {
            if (const int button = MouseButtonIndex(event.button.button); button >= 0) device->LatchPress(static_cast<std::size_t>(button));
        } else if (event.type == SDL_JOYBUTTONDOWN && device->IsJoystick(event.jbutton.which)) {
            device->LatchPress(event.jbutton.button);
        }
    }
}

void SdlInput::Observe(const SDL_Event& event) {
    // A press is latched for the next read: a key let go again before it is read is not lost.
    if (event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_JOYBUTTONDOWN) {
        LatchPress(event);
        return;
    }
    std::int32_t dx = 0, dy = 0, dz = 0;
    if (event.type == SDL_MOUSEMOTION) {
        dx = event.motion.xrel;
        dy = event.motion.yrel;
    } else if (event.type == SDL_MOUSEWHEEL) {
        // Positive away from the user, 120 per notch; some systems report the wheel reversed.
        const double notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.preciseY : event.wheel.preciseY;
        dz = static_cast<std::int32_t>(std::lround(std::clamp(notches * kWheelNotch, -2.0e9, 2.0e9)));
    } else {
        return;
    }
    for (SdlDevice* device : devices_) {
        if (device->Kind() == DeviceKind::Mouse) device->AddMotion(dx, dy, dz);
    }
}

}  // namespace sdl
}  // namespace platform
