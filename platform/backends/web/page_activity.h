#pragma once
// Whether the page counts as the active application: it has the focus and its tab shows. The
// page's focus and visibility events change it; it starts from what the page reports when the
// program starts (a page opened in a background tab starts inactive). Going inactive lets go of
// every held key and button, since the browser sends no releases to a page without the focus.
// Nothing here needs a browser.
#include <functional>
#include <utility>

namespace platform::web {

class PageActivity {
public:
    // release: called each time the page stops being active.
    explicit PageActivity(std::function<void()> release) : release_(std::move(release)) {}

    // The page's state as read at start (nothing is held yet, so nothing is let go); true when
    // that changed the active state.
    bool Start(bool focused, bool visible);
    // A focus or visibility change; true when it changed the active state.
    bool SetFocus(bool focused);
    bool SetVisible(bool visible);
    bool Active() const { return active_; }
    // The activation the window has not been told of yet: true and the state to post once after
    // each change, false while the window knows the current state.
    bool TakeUnposted(bool& active);

private:
    bool Update();

    std::function<void()> release_;
    bool focused_ = true, visible_ = true;
    bool active_ = true;
    bool posted_ = true;  // a window is active once it is first shown
};

}  // namespace platform::web
