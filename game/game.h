#pragma once
// The game's start-up, frame and shutdown. The objects it owns and its values are in
// game_values.h.
#include <cstdint>

#include "game/game_values.h"

namespace game {

// Creates the screen, the input, every sprite, the tunes (the menu tune starts) and the catch
// sound, and gives the records their first positions. Returns 1; a failure to set up the screen
// or the input is reported through FatalError, which asks the program to end, and the start-up
// stops there.
std::int32_t GameInit();
// One frame: read the keys, move between the screens, draw the current one and present it.
void GameFrame();
// Frees every object GameInit created, the screen last; safe to call again.
void GameShutdown();

}  // namespace game
