// The game's four tunes as standard MIDI files with General MIDI instruments: the menu tune,
// the play tune (a long run of a loop-shaped theme, since a tune plays once), the win fanfare
// and the lose tune.
#pragma once

#include <cstdint>
#include <vector>

namespace assets {

std::vector<uint8_t> MenuTune();
std::vector<uint8_t> PlayTune();
std::vector<uint8_t> WinTune();
std::vector<uint8_t> LoseTune();

}  // namespace assets
