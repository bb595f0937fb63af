#pragma once
// Input tests on the headless backend: a fresh machine and one shown (so active) window.
#include <gtest/gtest.h>

#include "media/input/input.h"
#include "platform/backends/headless/headless_input.h"
#include "tests/headless_test.h"

class InputTest : public HeadlessTest {
protected:
    using Fault = platform::headless::InputFault;

    void SetUp() override {
        HeadlessTest::SetUp();
        window = MakeWindow(0, 0, 64, 48);
        platform::ShowWindow(window, platform::SW_SHOWNORMAL);
    }

    // Tells the window its application was deactivated or activated, as a focus change would.
    void Activate(bool active) { platform::SendMessage(window, platform::WM_ACTIVATEAPP, active ? 1 : 0, 0); }

    platform::headless::HeadlessInput& controls = platform::headless::InputControls();
    platform::HWND window = nullptr;
};
