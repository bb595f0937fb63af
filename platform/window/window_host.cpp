#include "platform/window/window_host.h"

#include "platform/window/window.h"

namespace platform {

Point WindowHost::ClientOrigin(const Window& window) {
    if ((window.style & WS_CAPTION) != WS_CAPTION) return {window.outer.left, window.outer.top};
    const FrameMetrics frame = Frame();
    return {window.outer.left + frame.border, window.outer.top + frame.border + frame.caption};
}

}  // namespace platform
