#pragma once
// The replay's trace: after each frame that ran to its end, one line of the game's state, the
// same on every platform the game is built for (the browser's page gives the same lines as the
// native replay program).
#include <cstdint>
#include <string>

namespace replay {

// The header line, starting with '#' so that readers of the numbers can skip it.
inline constexpr const char* kTraceHeader =
    "# frame gameState score level lives beeSpeed levelTarget heroX redPotX redPotY bluePotX bluePotY beeX beeY\n";

// The line of the game's state after `frame`, ending in a newline.
std::string TraceLine(std::int64_t frame);

}  // namespace replay
