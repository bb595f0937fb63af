// The input devices' own rules on the headless backend: data formats, cooperative levels,
// acquisition that follows the window's activation, motion between reads, axis scaling.
#include <memory>

#include "platform/backends/headless/headless_input.h"
#include "platform/input/basic_input_device.h"
#include "tests/headless_test.h"

namespace {

using namespace platform;

class InputDeviceTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        window = MakeWindow(0, 0, 32, 32);
        ShowWindow(window, SW_SHOWNORMAL);
        ASSERT_EQ(controls.DirectInputCreate(nullptr, DIRECTINPUT_VERSION, &system), S_OK);
    }
    std::shared_ptr<InputDevice> Open(const Guid& guid, DataFormat format) {
        std::shared_ptr<InputDevice> device;
        EXPECT_EQ(system->CreateDevice(guid, &device), S_OK);
        if (device) {
            EXPECT_EQ(device->SetDataFormat(format), S_OK);
            EXPECT_EQ(device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), S_OK);
        }
        return device;
    }
    void Deactivate() { SendMessage(window, WM_ACTIVATEAPP, 0, 0); }
    void Activate() { SendMessage(window, WM_ACTIVATEAPP, 1, 0); }

    headless::HeadlessInput& controls = headless::InputControls();
    std::unique_ptr<DirectInput> system;
    HWND window = nullptr;
};

TEST_F(InputDeviceTest, ForegroundDevicesFollowTheWindowsActivation) {
    auto keyboard = Open(GUID_SysKeyboard, DataFormat::Keyboard);
    KeyboardState keys{};
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys.data()), DIERR_NOTACQUIRED);
    ASSERT_EQ(keyboard->Acquire(), S_OK);
    EXPECT_EQ(keyboard->Acquire(), S_FALSE);
    controls.SetKey(57, true);
    ASSERT_EQ(keyboard->GetDeviceState(sizeof keys, keys.data()), S_OK);
    EXPECT_EQ(keys[57], 0x80);
    EXPECT_EQ(keys[56], 0);

    Deactivate();
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys.data()), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys.data()), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->Acquire(), E_ACCESSDENIED);
    Activate();
    ASSERT_EQ(keyboard->Acquire(), S_OK);

    // A deactivation undone before the next read still took the device away.
    Deactivate();
    Activate();
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys.data()), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard->Acquire(), S_OK);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys.data()), S_OK);

    // A destroyed window is never in the foreground.
    DestroyWindow(window);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys.data()), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard->Acquire(), E_ACCESSDENIED);
}

TEST_F(InputDeviceTest, BackgroundDevicesReadWhileTheWindowIsInactive) {
    std::shared_ptr<InputDevice> mouse;
    ASSERT_EQ(system->CreateDevice(GUID_SysMouse, &mouse), S_OK);
    ASSERT_EQ(mouse->SetDataFormat(DataFormat::Mouse), S_OK);
    ASSERT_EQ(mouse->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), S_OK);
    Deactivate();
    ASSERT_EQ(mouse->Acquire(), S_OK);
    MouseState state;
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), S_OK);
}

TEST_F(InputDeviceTest, FormatsAndCooperativeLevelsMustSuitTheDevice) {
    std::shared_ptr<InputDevice> mouse;
    ASSERT_EQ(system->CreateDevice(GUID_SysMouse, &mouse), S_OK);
    EXPECT_EQ(mouse->Acquire(), E_INVALIDARG) << "no data format yet";
    EXPECT_EQ(mouse->SetDataFormat(DataFormat::Keyboard), E_INVALIDARG);
    EXPECT_EQ(mouse->SetDataFormat(DataFormat::Mouse), S_OK);
    const std::uint32_t invalid[] = {0, DISCL_FOREGROUND, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND,
                                     DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND};
    for (const std::uint32_t flags : invalid) EXPECT_EQ(mouse->SetCooperativeLevel(window, flags), E_INVALIDARG) << flags;
    EXPECT_EQ(mouse->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), E_INVALIDARG);
    EXPECT_EQ(mouse->SetAxisRange(DIJOFS_X, -1000, 1000), E_INVALIDARG) << "a mouse has no joystick axes";
    ASSERT_EQ(mouse->Acquire(), S_OK);
    EXPECT_EQ(mouse->SetDataFormat(DataFormat::Mouse), E_ACCESSDENIED);
    MouseState state;
    EXPECT_EQ(mouse->GetDeviceState(sizeof state - 1, &state), E_INVALIDARG);
    EXPECT_EQ(mouse->GetDeviceState(sizeof(JoystickState), &state), E_INVALIDARG);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, nullptr), E_INVALIDARG);
    std::shared_ptr<InputDevice> other;
    EXPECT_EQ(system->CreateDevice(Guid{1, 2, 3, {}}, &other), DIERR_DEVICENOTREG);
    EXPECT_EQ(other, nullptr);
}

TEST_F(InputDeviceTest, MouseMotionIsSummedBetweenReadsOnlyWhileAcquired) {
    auto mouse = Open(GUID_SysMouse, DataFormat::Mouse);
    controls.MoveMouse(50, 50);  // not acquired: not seen
    ASSERT_EQ(mouse->Acquire(), S_OK);
    controls.MoveMouse(3, -4);
    controls.MoveMouse(10, 1);
    controls.TurnWheel(-120);
    controls.SetMouseButton(1, true);
    MouseState state;
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), S_OK);
    EXPECT_EQ(state.x, 13);
    EXPECT_EQ(state.y, -3);
    EXPECT_EQ(state.z, -120);
    EXPECT_EQ(state.buttons[0], 0);
    EXPECT_EQ(state.buttons[1], 0x80);
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), S_OK);
    EXPECT_EQ(state.x, 0);
    EXPECT_EQ(state.z, 0);
    EXPECT_EQ(state.buttons[1], 0x80) << "buttons are a state, not a movement";
    for (int i = 0; i < 3; ++i) controls.MoveMouse(0x7FFFFFFF, -0x7FFFFFFF - 1);
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), S_OK);
    EXPECT_EQ(state.x, 0x7FFFFFFF);
    EXPECT_EQ(state.y, -0x7FFFFFFF - 1);
}

TEST_F(InputDeviceTest, AnUnpluggedJoystickIsNotListedAndOneThatIsOpenIsLost) {
    int found = 0;
    auto count = [](const DeviceInstance&, void* reference) {
        ++*static_cast<int*>(reference);
        return DIENUM_CONTINUE;
    };
    system->EnumDevices(DIDEVTYPE_JOYSTICK, count, &found, DIEDFL_ATTACHEDONLY);
    ASSERT_EQ(found, 1);
    DeviceInstance instance;
    auto take = [](const DeviceInstance& device, void* reference) {
        *static_cast<DeviceInstance*>(reference) = device;
        return DIENUM_STOP;
    };
    system->EnumDevices(DIDEVTYPE_JOYSTICK, take, &instance, DIEDFL_ATTACHEDONLY);
    auto joystick = Open(instance.instance, DataFormat::Joystick);
    ASSERT_EQ(joystick->Acquire(), S_OK);
    controls.AttachJoystick(false);
    JoystickState state;
    EXPECT_EQ(joystick->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
    EXPECT_TRUE(Failed(joystick->Acquire()));
    found = 0;
    system->EnumDevices(DIDEVTYPE_JOYSTICK, count, &found, DIEDFL_ATTACHEDONLY);
    EXPECT_EQ(found, 0);
    std::shared_ptr<InputDevice> again;
    EXPECT_EQ(system->CreateDevice(instance.instance, &again), DIERR_DEVICENOTREG);
}

TEST_F(InputDeviceTest, JoystickAxisPropertiesAreCheckedAndRefusedWhileAcquired) {
    DeviceInstance instance;
    auto take = [](const DeviceInstance& device, void* reference) {
        *static_cast<DeviceInstance*>(reference) = device;
        return DIENUM_STOP;
    };
    system->EnumDevices(DIDEVTYPE_JOYSTICK, take, &instance, DIEDFL_ATTACHEDONLY);
    auto joystick = Open(instance.instance, DataFormat::Joystick);
    EXPECT_EQ(joystick->SetAxisRange(8, -10, 10), E_INVALIDARG) << "only x and y";
    EXPECT_EQ(joystick->SetAxisRange(DIJOFS_X, 10, 10), E_INVALIDARG);
    EXPECT_EQ(joystick->SetAxisDeadZone(DIJOFS_Y, 10001), E_INVALIDARG);
    EXPECT_EQ(joystick->SetAxisRange(DIJOFS_X, 0, 100), S_OK);
    EXPECT_EQ(joystick->SetAxisDeadZone(DIJOFS_Y, 5000), S_OK);
    controls.SetJoystickAxes(32767, 16000);
    ASSERT_EQ(joystick->Acquire(), S_OK);
    EXPECT_EQ(joystick->SetAxisRange(DIJOFS_X, -1, 1), E_ACCESSDENIED);
    JoystickState state;
    ASSERT_EQ(joystick->GetDeviceState(sizeof state, &state), S_OK);
    EXPECT_EQ(state.x, 100);
    EXPECT_EQ(state.y, 32768) << "y keeps the default range; half the travel is its dead zone";
    std::shared_ptr<InputDevice> polled;
    EXPECT_EQ(joystick->QueryInterface(Guid{}, &polled), E_NOINTERFACE);
    EXPECT_EQ(joystick->QueryInterface(IID_IDirectInputDevice2A, &polled), S_OK);
    EXPECT_EQ(polled, joystick);
}

TEST(InputAxis, RawPositionsAreScaledIntoTheRangeBeyondTheDeadZone) {
    const AxisSettings thousand{-1000, 1000, 1000};
    const AxisSettings standard{};  // 0..65535, no dead zone
    const AxisSettings allDead{-1000, 1000, 10000};
    const struct {
        const AxisSettings& axis;
        std::int32_t raw, scaled;
    } cases[] = {
        {thousand, 0, 0},         {thousand, 3276, 0},        {thousand, -3276, 0},     {thousand, 3277, 0},
        {thousand, 3600, 11},     {thousand, 16384, 444},     {thousand, -16384, -444}, {thousand, 32767, 1000},
        {thousand, -32767, -1000}, {thousand, -32768, -1000}, {standard, 0, 32768},     {standard, 32767, 65535},
        {standard, -32768, 0},    {allDead, 32767, 0},        {allDead, -32768, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ScaleAxis(c.raw, c.axis), c.scaled) << c.raw;
}

TEST(InputWindow, ActivationIsRecordedFromTheMessagesTheWindowReceives) {
    headless::Controls().Reset();
    WindowClass windowClass;
    windowClass.className = "activation";
    windowClass.proc = &DefWindowProc;
    RegisterClass(windowClass);
    HWND window = CreateWindowEx(0, "activation", "", WS_POPUP, 0, 0, 8, 8);
    EXPECT_FALSE(IsWindowActive(window)) << "not before it is shown";
    ShowWindow(window, SW_SHOWNORMAL);
    EXPECT_TRUE(IsWindowActive(window));
    PostMessage(window, WM_ACTIVATEAPP, 0, 0);
    EXPECT_TRUE(IsWindowActive(window)) << "a posted message counts once it is delivered";
    Message message;
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
    EXPECT_FALSE(IsWindowActive(window));
    EXPECT_EQ(window->deactivations, 1u);
    EXPECT_FALSE(IsWindowActive(nullptr));
    headless::Controls().Reset();
}

}  // namespace
