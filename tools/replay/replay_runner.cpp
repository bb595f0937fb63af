#include "tools/replay/replay_runner.h"

#include <algorithm>

#include "game/app_shell.h"
#include "game/game.h"
#include "media/input/key_tables.h"
#include "platform/backends/headless/headless_input.h"
#include "platform/window/window.h"

namespace replay {

ReplayRunner::ReplayRunner(std::vector<KeyEvent> events) : events_(std::move(events)) {
    std::stable_sort(events_.begin(), events_.end(), [](const KeyEvent& a, const KeyEvent& b) { return a.frame < b.frame; });
}

bool ReplayRunner::HandleMessages() {
    platform::Message message;
    while (platform::PeekMessage(&message, nullptr, 0, 0, platform::PM_NOREMOVE)) {
        const int got = platform::GetMessage(&message, nullptr, 0, 0);
        if (got == 0) return false;
        if (got > 0) {
            platform::TranslateMessage(&message);
            platform::DispatchMessage(&message);
        }
    }
    return true;
}

void ReplayRunner::PressKeysFor(std::int64_t frame) {
    static const media::KeyToScanTable scanOf = [] {
        media::KeyToScanTable table{};
        media::BuildKeyToScanTable(table);
        return table;
    }();
    for (; next_ < events_.size() && events_[next_].frame <= frame; ++next_) {
        const KeyEvent& event = events_[next_];
        platform::headless::InputControls().SetKey(static_cast<std::uint8_t>(scanOf[event.code]), event.down);
    }
}

ReplayResult ReplayRunner::Run(std::int64_t frames, const FrameObserver& afterFrame) {
    ReplayResult result;
    next_ = 0;
    game::RegisterAppIcon();
    game::CreateMainWindow(platform::SW_SHOWNORMAL);
    if (!game::mainWindow) {
        result.closed = true;
        return result;
    }
    game::appActive = 1;
    game::GameInit();
    for (std::int64_t frame = 0; frame < frames; ++frame) {
        if (!HandleMessages()) {
            result.closed = true;
            break;
        }
        PressKeysFor(frame);
        game::GameFrame();
        // A quit key has run the shutdown inside the frame: nothing was presented.
        if (!game::gameStarted) {
            result.closed = true;
            break;
        }
        ++result.framesRun;
        if (afterFrame) afterFrame(frame);
    }
    game::GameShutdown();
    return result;
}

}  // namespace replay
