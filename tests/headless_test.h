#pragma once
// Test fixture on the headless backend: every test starts from a fresh desktop, clock and
// window system.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/backends/headless/headless_backend.h"
#include "platform/window/window.h"

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

// The iterations of a seeded random test: 0..count-1, or only the one named by
// MEDIA_TEST_ITERATION, so that a failure reported as "iteration n" can be re-run alone.
inline std::vector<int> TestIterations(int count) {
    if (const char* only = std::getenv("MEDIA_TEST_ITERATION")) return {std::atoi(only)};
    std::vector<int> all(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) all[static_cast<std::size_t>(i)] = i;
    return all;
}

// The seed of one iteration of a test: the same on every run and every machine.
inline std::uint32_t IterationSeed(std::uint32_t test, int iteration) {
    return test * 2654435761u + static_cast<std::uint32_t>(iteration);
}

// The stretching rule written out independently of the copy code: destination offset i of a
// dw-wide run reads source offset start + ((2i + 1) * sw) / (2 * dw), reversed when mirrored.
inline std::int32_t ExpectedSample(std::int32_t i, std::int32_t start, std::int32_t sw, std::int32_t dw, bool mirror) {
    const std::int64_t j = mirror ? dw - 1 - i : i;
    return start + static_cast<std::int32_t>((2 * j + 1) * sw / (2 * std::int64_t{dw}));
}
