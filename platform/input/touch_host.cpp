#include "platform/input/touch_host.h"

#include "platform/core/backend.h"

namespace platform {

namespace {

class NoTouches final : public TouchHost {
public:
    void TakeTouches(const Window&, TouchSink, void*) override {}
};

}  // namespace

TouchHost& CurrentTouchHost() {
    static NoTouches none;
    const Backend& backend = CurrentBackend();
    return backend.touches ? backend.touches() : none;
}

}  // namespace platform
