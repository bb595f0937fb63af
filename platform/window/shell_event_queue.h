#pragma once
// Typed text and dropped paths waiting for their windows, in one byte buffer and one list that
// keep their capacity: once they have grown to a busy frame's size, queuing allocates nothing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell_host.h"

namespace platform {

class ShellEventQueue {
public:
    /// Queues a piece for the window (an empty piece is nothing and is not queued).
    void Add(const Window* window, ShellEventKind kind, std::string_view utf8);
    /// Hands the window's pieces to sink, oldest first, and forgets them.
    void Take(const Window* window, ShellEventSink sink, void* context);
    /// Forgets the window's pieces (it is going away).
    void Forget(const Window* window);
    /// Forgets everything.
    void Clear();
    /// Pieces waiting, for every window.
    std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        const Window* window;
        ShellEventKind kind;
        std::uint32_t offset, length;
    };
    void Compact();

    std::vector<Entry> entries_;
    std::string bytes_;
};

}  // namespace platform
