#include "platform/window/shell_event_queue.h"

#include <algorithm>

namespace platform {

void ShellEventQueue::Add(const Window* window, ShellEventKind kind, std::string_view utf8) {
    if (utf8.empty()) return;
    entries_.push_back({window, kind, static_cast<std::uint32_t>(bytes_.size()), static_cast<std::uint32_t>(utf8.size())});
    bytes_.append(utf8);
}

void ShellEventQueue::Take(const Window* window, ShellEventSink sink, void* context) {
    for (const Entry& entry : entries_) {
        if (entry.window == window) sink(context, entry.kind, std::string_view(bytes_).substr(entry.offset, entry.length));
    }
    Forget(window);
}

void ShellEventQueue::Forget(const Window* window) {
    std::erase_if(entries_, [window](const Entry& entry) { return entry.window == window; });
    Compact();
}

void ShellEventQueue::Clear() {
    entries_.clear();
    bytes_.clear();
}

// The bytes of taken pieces are dropped once no piece waits, which is every frame of a program
// with one window; with several, the buffer is cut down to the oldest piece still waiting.
void ShellEventQueue::Compact() {
    if (entries_.empty()) {
        bytes_.clear();
        return;
    }
    std::uint32_t first = entries_.front().offset;
    for (const Entry& entry : entries_) first = std::min(first, entry.offset);
    if (first == 0) return;
    bytes_.erase(0, first);
    for (Entry& entry : entries_) entry.offset -= first;
}

}  // namespace platform
