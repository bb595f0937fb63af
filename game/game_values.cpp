#include "game/game_values.h"

namespace game {

// Constant initialisation: every value is in place before any code of the program runs, and no
// start-up code of another file can see it unset.
constinit GameValues gameValues;

void ResetGameValues() {
    // The load-time values are the member initialisers of GameValues; a fresh one repeats them.
    gameValues = GameValues{};
}

}  // namespace game
