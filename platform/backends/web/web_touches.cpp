#include "platform/backends/web/web_touches.h"

#include <emscripten/html5.h>

namespace platform::web {

namespace {

constexpr const char* kCanvas = "#canvas";

// The changed fingers of one touch event as notices, in the canvas's pixels. The canvas keeps
// the event: a finger on the program's picture neither scrolls nor zooms the page.
EM_BOOL OnTouch(int eventType, const EmscriptenTouchEvent* event, void*) {
    const TouchPhase phase = eventType == EMSCRIPTEN_EVENT_TOUCHSTART  ? TouchPhase::Down
                             : eventType == EMSCRIPTEN_EVENT_TOUCHMOVE ? TouchPhase::Move
                                                                        : TouchPhase::Up;
    double cssWidth = 0, cssHeight = 0;
    int width = 0, height = 0;
    const bool scaled = emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight) == EMSCRIPTEN_RESULT_SUCCESS &&
                        emscripten_get_canvas_element_size(kCanvas, &width, &height) == EMSCRIPTEN_RESULT_SUCCESS && cssWidth > 0 &&
                        cssHeight > 0;
    const double sx = scaled ? width / cssWidth : 1.0, sy = scaled ? height / cssHeight : 1.0;
    for (int i = 0; i < event->numTouches; ++i) {
        const EmscriptenTouchPoint& point = event->touches[i];
        if (!point.isChanged) continue;
        Touches().Add({phase, point.identifier, static_cast<std::int32_t>(static_cast<double>(point.targetX) * sx),
                       static_cast<std::int32_t>(static_cast<double>(point.targetY) * sy)});
    }
    return true;
}

}  // namespace

WebTouches::WebTouches() {
    emscripten_set_touchstart_callback(kCanvas, nullptr, false, &OnTouch);
    emscripten_set_touchmove_callback(kCanvas, nullptr, false, &OnTouch);
    emscripten_set_touchend_callback(kCanvas, nullptr, false, &OnTouch);
    emscripten_set_touchcancel_callback(kCanvas, nullptr, false, &OnTouch);
}

void WebTouches::TakeTouches(const Window&, TouchSink sink, void* context) {
    for (const TouchNotice& touch : waiting_) sink(context, touch);
    waiting_.clear();
}

WebTouches& Touches() {
    static WebTouches touches;
    return touches;
}

}  // namespace platform::web
