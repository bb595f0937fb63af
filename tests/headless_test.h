#pragma once
// Test fixture on the headless backend: every test starts from a fresh desktop, clock and
// window system.
#include <gtest/gtest.h>

#include "platform/headless/headless_backend.h"
#include "platform/window.h"

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override { host.Reset(); }
    void TearDown() override { host.Reset(); }

    // A frameless window whose client area is width x height at (x, y) on the desktop.
    platform::HWND MakeWindow(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
        platform::WindowClass windowClass;
        windowClass.className = "test window";
        windowClass.proc = &platform::DefWindowProc;
        platform::RegisterClass(windowClass);
        return platform::CreateWindowEx(0, "test window", "test", platform::WS_POPUP, x, y, width, height);
    }

    platform::headless::HeadlessBackend& host = platform::headless::Controls();
};
