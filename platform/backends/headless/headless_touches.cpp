#include "platform/backends/headless/headless_touches.h"

namespace platform::headless {

HeadlessTouches& TouchControls() {
    static HeadlessTouches touches;
    return touches;
}

}  // namespace platform::headless
