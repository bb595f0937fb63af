#include "platform/backends/web/page_activity.h"

namespace platform::web {

bool PageActivity::Start(bool focused, bool visible) {
    focused_ = focused;
    visible_ = visible;
    // Nothing is held yet, so nothing is let go.
    const bool active = focused && visible, changed = active != active_;
    active_ = active;
    return changed;
}

bool PageActivity::SetFocus(bool focused) {
    focused_ = focused;
    return Update();
}

bool PageActivity::SetVisible(bool visible) {
    visible_ = visible;
    return Update();
}

bool PageActivity::Update() {
    const bool active = focused_ && visible_;
    if (active == active_) return false;
    active_ = active;
    if (!active && release_) release_();
    return true;
}

bool PageActivity::TakeUnposted(bool& active) {
    if (active_ == posted_) return false;
    posted_ = active = active_;
    return true;
}

}  // namespace platform::web
