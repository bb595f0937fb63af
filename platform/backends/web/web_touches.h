#pragma once
// Fingers on the page's canvas: the browser's touch events, each changed finger one notice with
// the browser's identifier and its place in the canvas's pixels (the page scales the canvas to
// its window). The page has one window, which takes every notice.
#include <vector>

#include "platform/input/touch_host.h"

namespace platform::web {

class WebTouches final : public TouchHost {
public:
    /// Listens to the canvas's touches from now on.
    WebTouches();
    /// A finger's notice, from the page's event.
    void Add(const TouchNotice& touch) { waiting_.push_back(touch); }

    void TakeTouches(const Window& window, TouchSink sink, void* context) override;

private:
    std::vector<TouchNotice> waiting_;
};

WebTouches& Touches();

}  // namespace platform::web
