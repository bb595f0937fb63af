#pragma once
// The game's start-up, frame and shutdown, and the objects it owns for the whole run.
#include <cstdint>

namespace media {
class Screen;
}

namespace game {

extern media::Screen* screen;

// Creates everything the game draws with; non-zero on success (failures are reported through
// FatalError and end the program).
std::int32_t GameInit();
// One frame: draw into the back surface and present it.
void GameFrame();
// Frees every object GameInit created; safe to call again.
void GameShutdown();

}  // namespace game
