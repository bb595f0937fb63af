#pragma once
// Game scenarios on the headless backend: the game runs from a folder of assets (the committed
// ones, or none), frame by frame, with the keys of a script, exactly as bodo-zamel-replay runs
// it. Every test starts from the load-time values, so scenarios can share one process.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "game/app_shell.h"
#include "game/game.h"
#include "media/audio/music_player.h"
#include "tests/headless_test.h"
#include "tools/replay/key_script.h"
#include "tools/replay/replay_runner.h"

// The play values after one frame, in the order of the replay's trace.
struct FrameValues {
    std::int64_t frame = 0;
    std::int32_t state = 0, score = 0, level = 0, lives = 0, beeSpeed = 0, levelTarget = 0, heroX = 0;
    game::FallPosition red, blue, bee;
};

class GameTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        game::ResetGameValues();
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(ASSETS_DIR);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        game::GameShutdown();
        game::ResetGameValues();
        HeadlessTest::TearDown();
    }

    // Runs the game with a key script ("<frame> <key> down|up" lines). The observer runs after
    // every frame that ran to its end and may move things for the next frame.
    replay::ReplayResult Play(const std::string& script, std::int64_t frames,
                              const std::function<void(std::int64_t)>& observer = nullptr) {
        std::istringstream in(script);
        const replay::KeyScript keys = replay::ReadKeyScript(in);
        EXPECT_EQ(keys.error, "");
        trace.clear();
        replay::ReplayRunner runner(keys.events);
        return runner.Run(frames, [&](std::int64_t frame) {
            trace.push_back(Values(frame));
            if (observer) observer(frame);
        });
    }

    static FrameValues Values(std::int64_t frame) {
        return {frame,          game::gameState, game::score,   game::level,     game::lives,
                game::beeSpeed, game::levelTarget, game::player.x, game::redPotFall, game::bluePotFall,
                game::beeFall};
    }

    static bool Playing(const media::MusicPlayer* player, std::int32_t index) {
        return player && index >= 0 && player->Slot(index).state == media::TUNE_PLAYING;
    }

    // The presented client area's pixel as 0x00RRGGBB (the desktop is 32-bit).
    std::uint32_t Presented(std::int32_t x, std::int32_t y) {
        const platform::Point origin = host.ClientOrigin(*game::mainWindow);
        return host.DesktopSurface().PixelAt(origin.x + x, origin.y + y) & 0x00FFFFFFu;
    }

    std::vector<FrameValues> trace;

private:
    std::filesystem::path previous_;
};

// A folder of its own as the current directory, empty: the game finds none of its files.
class EmptyFolder {
public:
    EmptyFolder() : path_(std::filesystem::temp_directory_path() / ("game-test-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(path_);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~EmptyFolder() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }

private:
    std::filesystem::path path_, previous_;
};
