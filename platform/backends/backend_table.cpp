// The backends built into this library, the preferred first: the SDL backend where it is built
// (a real window, sound and input), the web backend in a program built for the browser (the
// page's canvas, keys and Web Audio), then the headless one, which runs anywhere.
#include "platform/core/backend.h"

namespace platform {

#if MEDIA_BACKEND_SDL
namespace sdl {
extern const Backend kBackend;
}
#endif
#if MEDIA_BACKEND_WEB
namespace web {
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
#if MEDIA_BACKEND_WEB
        web::kBackend,
#endif
        headless::kBackend,
    };
    return table;
}

}  // namespace platform
