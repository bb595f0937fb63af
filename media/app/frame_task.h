#pragma once
// Work the window's frame loop does for another front-door object once a frame, so that a program
// never has to call it: the audio output starts its looping tune again there. The window holds
// its tasks weakly, so a task's owner may go away before the window, or the window before it.
#include <memory>

namespace media {

class Window;

/// Something the window's NextFrame runs once a frame.
class FrameTask {
public:
    virtual ~FrameTask() = default;
    /// Runs once a frame, after the window's events are read.
    virtual void OnFrame() = 0;
    /// The window was opened again (Open on an open window): the task goes on in the new
    /// window's frame loop, and anything it holds of the old window follows the new one.
    virtual void OnWindowOpened(const Window& window) = 0;
};

/// Makes the window's frame loop run the task while both live.
void AddFrameTask(const Window& window, std::weak_ptr<FrameTask> task);

}  // namespace media
