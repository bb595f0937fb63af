#include <csignal>
#include <vector>

#include "platform/core/quit_signals.h"
#include "platform/window/window.h"
#include "tests/headless_test.h"

namespace {

class WindowSystemTest : public HeadlessTest {};

std::vector<std::uint32_t> received;

platform::LRESULT RecordingProc(platform::HWND window, std::uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) {
    received.push_back(message);
    return platform::DefWindowProc(window, message, wParam, lParam);
}

class WindowTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        received.clear();
        platform::WindowClass windowClass;
        windowClass.className = "recording";
        windowClass.proc = &RecordingProc;
        ASSERT_TRUE(platform::RegisterClass(windowClass));
        window = platform::CreateWindowEx(0, "recording", "title", platform::WS_CAPTION, 30, 40, 200, 100);
        ASSERT_NE(window, nullptr);
    }
    platform::HWND window = nullptr;
};

TEST_F(WindowTest, ClientAreaAndOriginFollowTheFrame) {
    host.SetFrameMetrics({4, 25, 0});
    platform::Rect client;
    ASSERT_TRUE(platform::GetClientRect(window, &client));
    EXPECT_EQ(client, (platform::Rect{0, 0, 192, 67}));
    platform::Point origin;
    ASSERT_TRUE(platform::ClientToScreen(window, &origin));
    EXPECT_EQ(origin.x, 34);
    EXPECT_EQ(origin.y, 69);
    EXPECT_EQ(platform::ClientAreaOnDesktop(window), (platform::Rect{34, 69, 226, 136}));
}

TEST_F(WindowTest, PostedMessagesComeInOrderAndQuitComesLast) {
    platform::PostQuitMessage(7);
    platform::PostMessage(window, 0x400, 1, 2);
    platform::PostMessage(window, 0x401, 3, 4);
    platform::Message m;
    ASSERT_TRUE(platform::PeekMessage(&m, nullptr, 0, 0, platform::PM_NOREMOVE));
    EXPECT_EQ(m.message, 0x400u);
    ASSERT_EQ(platform::GetMessage(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.wParam, 1u);
    platform::DispatchMessage(&m);
    ASSERT_EQ(platform::GetMessage(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, 0x401u);
    platform::DispatchMessage(&m);
    EXPECT_EQ(received, (std::vector<std::uint32_t>{0x400, 0x401}));
    ASSERT_EQ(platform::GetMessage(&m, nullptr, 0, 0), 0);
    EXPECT_EQ(m.message, platform::WM_QUIT);
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_FALSE(platform::PeekMessage(&m, nullptr, 0, 0, platform::PM_NOREMOVE));
}

TEST_F(WindowTest, NothingToWaitForGivesAnErrorInsteadOfAHang) {
    int waits = 0;
    host.SetEventHook([&](bool waiting) { waits += waiting; });
    platform::Message m;
    EXPECT_EQ(platform::GetMessage(&m, nullptr, 0, 0), -1);
    EXPECT_TRUE(platform::WaitMessage());
    EXPECT_EQ(waits, 2);
}

TEST_F(WindowTest, FirstShowActivatesOnceAndCloseDestroysByDefault) {
    platform::ShowWindow(window, platform::SW_SHOWNORMAL);
    platform::ShowWindow(window, platform::SW_SHOWNORMAL);
    EXPECT_EQ(received, (std::vector<std::uint32_t>{platform::WM_ACTIVATEAPP}));
    platform::PostMessage(window, 0x400, 0, 0);
    platform::SendMessage(window, platform::WM_CLOSE, 0, 0);
    EXPECT_EQ(received.back(), platform::WM_DESTROY);
    platform::Message m;
    EXPECT_FALSE(platform::PeekMessage(&m, nullptr, 0, 0, platform::PM_NOREMOVE)) << "messages to a destroyed window are dropped";
    EXPECT_FALSE(platform::GetClientRect(window, nullptr));
    EXPECT_EQ(platform::SendMessage(window, platform::WM_CLOSE, 0, 0), 0);
}

// A caught SIGTERM or SIGINT is one close request: the flag is cleared once read, so a second
// look finds none.
TEST(QuitSignalTest, EachSignalIsTakenOnce) {
    platform::CatchQuitSignals();
    ASSERT_TRUE(platform::QuitSignalsCaught());
    platform::TakeQuitSignal();  // whatever arrived before this test
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        EXPECT_FALSE(platform::TakeQuitSignal());
        ASSERT_EQ(std::raise(signal), 0);
        EXPECT_TRUE(platform::TakeQuitSignal());
        EXPECT_FALSE(platform::TakeQuitSignal()) << "one signal, one close request";
    }
}

// Whichever backend runs, the program hears a caught quit signal as a close request to its
// windows when it next looks for messages (the headless backend has no OS events of its own). A
// signal that comes before any window exists waits for one.
TEST_F(WindowSystemTest, QuitSignalIsACloseRequestToEveryWindow) {
    platform::CatchQuitSignals();
    platform::TakeQuitSignal();
    platform::Message m;
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_FALSE(platform::PeekMessage(&m, nullptr, 0, 0, platform::PM_REMOVE)) << "no window to close yet";
    const platform::HWND first = MakeWindow(0, 0, 10, 10), second = MakeWindow(20, 0, 10, 10);
    // Each case: how the program looks for messages.
    const struct {
        const char* name;
        bool (*look)(platform::Message*);
    } cases[] = {
        {"PeekMessage", [](platform::Message* m) { return platform::PeekMessage(m, nullptr, 0, 0, platform::PM_REMOVE); }},
        {"GetMessage", [](platform::Message* m) { return platform::GetMessage(m, nullptr, 0, 0) > 0; }},
        {"WaitMessage", [](platform::Message* m) {
             platform::WaitMessage();
             return platform::PeekMessage(m, nullptr, 0, 0, platform::PM_REMOVE);
         }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        if (k.name != cases[0].name) {
            ASSERT_EQ(std::raise(SIGINT), 0);
        }
        std::vector<platform::HWND> closed;
        for (int looks = 0; looks < 4 && k.look(&m); ++looks) {
            EXPECT_EQ(m.message, platform::WM_CLOSE);
            closed.push_back(m.window);
        }
        EXPECT_EQ(closed, (std::vector<platform::HWND>{first, second}));
        EXPECT_FALSE(platform::PeekMessage(&m, nullptr, 0, 0, platform::PM_REMOVE)) << "one close request per signal";
    }
}

TEST_F(WindowSystemTest, WindowCreationNeedsARegisteredClassAndCanBeRefused) {
    EXPECT_EQ(platform::CreateWindowEx(0, "unknown", "t", 0, 0, 0, 10, 10), nullptr);
    EXPECT_NE(MakeWindow(0, 0, 10, 10), nullptr);
    host.SetFault(platform::FaultPoint::CreateWindow);
    EXPECT_EQ(MakeWindow(0, 0, 10, 10), nullptr);
}

TEST_F(WindowSystemTest, FaultsCanBeNamed) {
    EXPECT_TRUE(host.SetFault("CreateClipper", platform::E_OUTOFMEMORY));
    EXPECT_EQ(host.At(platform::FaultPoint::CreateClipper), platform::E_OUTOFMEMORY);
    EXPECT_FALSE(host.SetFault("NoSuchStep"));
    for (int i = 0; i < static_cast<int>(platform::FaultPoint::Count); ++i) {
        platform::FaultPoint point;
        ASSERT_TRUE(platform::FaultPointFromName(platform::FaultPointName(static_cast<platform::FaultPoint>(i)), &point));
        EXPECT_EQ(static_cast<int>(point), i);
    }
}

}  // namespace
