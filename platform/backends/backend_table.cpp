// The backends built into this library, the preferred first: the SDL backend where it is built
// (a real window, sound and input), then the headless one, which runs anywhere.
#include "platform/core/backend.h"

namespace platform {

#if MEDIA_BACKEND_SDL
namespace sdl {
extern const Backend kBackend;
}
#endif
namespace headless {
extern const Backend kBackend;
}

std::span<const Backend> BuiltInBackends() {
    static const Backend table[] = {
#if MEDIA_BACKEND_SDL
        sdl::kBackend,
#endif
        headless::kBackend,
    };
    return table;
}

}  // namespace platform
