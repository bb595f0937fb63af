#pragma once
// Runs the game on the headless backend frame by frame, from the current directory, with the keys
// of a script: the same start-up, frames and shutdown as the real program, the window active from
// the start. Frames are numbered from 0, the first call of GameFrame.
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/replay/key_script.h"

namespace replay {

struct ReplayResult {
    std::int64_t framesRun = 0;  // frames that ran to their end
    bool closed = false;         // the game closed (a quit key, or a fatal start-up)
};

class ReplayRunner {
public:
    // Called after each frame that ran to its end, with its number.
    using FrameObserver = std::function<void(std::int64_t frame)>;

    explicit ReplayRunner(std::vector<KeyEvent> events);

    // Creates the window and starts the game; then runs up to `frames` frames or until the game
    // closes, and shuts the game down.
    ReplayResult Run(std::int64_t frames, const FrameObserver& afterFrame = nullptr);

private:
    // Handles the waiting window messages as the message loop does; false once the quit request
    // has been seen.
    static bool HandleMessages();
    // Puts the keys of the script into the keyboard for the frame's update.
    void PressKeysFor(std::int64_t frame);

    std::vector<KeyEvent> events_;  // sorted by frame, file order within a frame
    std::size_t next_ = 0;
};

}  // namespace replay
