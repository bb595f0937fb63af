#pragma once
// The play screen's frame: background, level pots, hearts, the hero moved by the arrow keys, the
// falling pots and bee with their catches and stings, the status line, and the ends of a level
// and of the game.

namespace game {

// Runs while gameState is STATE_PLAY, after the back surface was cleared and before the frame is
// presented; may leave gameState at STATE_LEVEL_START, STATE_LOSE or STATE_WIN.
void PlayFrame();

}  // namespace game
