#include "media/app/event.h"

#include <algorithm>
#include <cstdint>

namespace media {

namespace {

bool IsMove(EventType type) {
    return type == EventType::MouseMoved || type == EventType::JoystickMoved || type == EventType::TouchMove;
}

std::int32_t SaturatingSum(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = std::int64_t{a} + b;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, INT32_MIN, INT32_MAX));
}

}  // namespace

bool EventQueue::Push(const Event& event) {
    if (count_ > 0 && IsMove(event.type)) {
        Event& newest = events_[(head_ + count_ - 1) % kCapacity];
        if (newest.type == event.type && newest.touch == event.touch) {
            newest.x = event.x, newest.y = event.y;
            newest.dx = SaturatingSum(newest.dx, event.dx), newest.dy = SaturatingSum(newest.dy, event.dy);
            return true;
        }
    }
    if (count_ == kCapacity) {
        ++dropped_;
        return false;
    }
    events_[(head_ + count_) % kCapacity] = event;
    ++count_;
    return true;
}

bool EventQueue::Push(const Event& first, const Event& second) {
    if (kCapacity - count_ < 2) {
        dropped_ += 2;
        return false;
    }
    Push(first);
    return Push(second);
}

bool EventQueue::Pop(Event& event) {
    if (count_ == 0) return false;
    event = events_[head_];
    head_ = (head_ + 1) % kCapacity;
    --count_;
    return true;
}

}  // namespace media
