#pragma once
// Touch notices waiting for their windows, in one list that keeps its capacity: once it has grown
// to a busy frame's size, queuing allocates nothing. The backends with touch keep one each.
#include <vector>

#include "touch_host.h"

namespace platform {

class TouchQueue {
public:
    /// Queues a notice for the window.
    void Add(const Window* window, const TouchNotice& touch) { entries_.push_back({window, touch}); }
    /// Hands the window's notices to sink, oldest first, and forgets them.
    void Take(const Window* window, TouchSink sink, void* context);
    /// Forgets the window's notices (it is going away).
    void Forget(const Window* window);
    /// Forgets everything.
    void Clear() { entries_.clear(); }
    /// Notices waiting, for every window.
    std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        const Window* window;
        TouchNotice touch;
    };
    std::vector<Entry> entries_;
};

}  // namespace platform
