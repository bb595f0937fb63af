// Every fuzz target runs on the headless backend: no window, no sound card, the same results on
// every machine. Linked into each target, so the choice is made before the first input.
#include "platform/core/backend.h"

namespace {

[[maybe_unused]] const bool headlessChosen = platform::UseBackend("headless");

}  // namespace
