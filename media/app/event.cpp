#include "media/app/event.h"

namespace media {

bool EventQueue::Push(const Event& event) {
    if (count_ == kCapacity) {
        ++dropped_;
        return false;
    }
    events_[(head_ + count_) % kCapacity] = event;
    ++count_;
    return true;
}

bool EventQueue::Pop(Event& event) {
    if (count_ == 0) return false;
    event = events_[head_];
    head_ = (head_ + 1) % kCapacity;
    --count_;
    return true;
}

}  // namespace media
