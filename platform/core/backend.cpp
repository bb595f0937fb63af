#include "platform/core/backend.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {

namespace {

const Backend* requested = nullptr;  // named by UseBackend before first use
const Backend* active = nullptr;     // chosen on first use, then fixed

const Backend* FindBackend(std::string_view name) {
    for (const Backend& backend : BuiltInBackends()) {
        if (name == backend.name) return &backend;
    }
    return nullptr;
}

std::string BackendNames() {
    std::string names;
    for (const Backend& backend : BuiltInBackends()) names += (names.empty() ? "" : ", ") + std::string(backend.name);
    return names;
}

// MEDIA_BACKEND's choice, if it names a backend of this program; a name it does not know is said
// on standard error, and the choice falls to the probes.
const Backend* EnvironmentChoice() {
    const char* name = std::getenv("MEDIA_BACKEND");
    if (!name || !*name) return nullptr;
    if (const Backend* backend = FindBackend(name)) return backend;
    std::fprintf(stderr, "MEDIA_BACKEND=%s is not a backend of this program (it has: %s); choosing one by itself\n", name,
                 BackendNames().c_str());
    return nullptr;
}

const Backend& Choose() {
    if (requested) return *requested;
    if (const Backend* backend = EnvironmentChoice()) return *backend;
    for (const Backend& backend : BuiltInBackends()) {
        if (backend.probe()) return backend;
    }
    // The headless backend's probe always succeeds and it is always built in.
    std::fprintf(stderr, "no backend of this program can run here (it has: %s)\n", BackendNames().c_str());
    std::abort();
}

const Backend& Active() {
    if (!active) active = &Choose();
    return *active;
}

}  // namespace

bool UseBackend(std::string_view name) {
    if (active) return name == active->name;
    const Backend* backend = FindBackend(name);
    if (backend) requested = backend;
    return backend != nullptr;
}

const Backend& CurrentBackend() { return Active(); }

// The accessors each subsystem declares (clock.h, display_host.h, window_host.h, input_host.h,
// audio_host.h), answered by the chosen backend's parts.
Clock& CurrentClock() { return Active().clock(); }
DisplayHost& CurrentDisplayHost() { return Active().display(); }
WindowHost& CurrentWindowHost() { return Active().window(); }
InputHost& CurrentInputHost() { return Active().input(); }
AudioHost& CurrentAudioHost() { return Active().audio(); }

}  // namespace platform
