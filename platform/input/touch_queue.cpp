#include "platform/input/touch_queue.h"

#include <algorithm>

namespace platform {

void TouchQueue::Take(const Window* window, TouchSink sink, void* context) {
    for (const Entry& entry : entries_) {
        if (entry.window == window) sink(context, entry.touch);
    }
    Forget(window);
}

void TouchQueue::Forget(const Window* window) {
    std::erase_if(entries_, [window](const Entry& entry) { return entry.window == window; });
}

}  // namespace platform
