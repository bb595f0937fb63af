#pragma once
// The small steps the screens and the play frame are made of: drawing a record or a picture into
// the back surface, asking for a key, starting and stopping tunes, the sprite test and the catch
// sound. Each does nothing for an object that was never made.
#include <cstdint>

#include "game/game_object.h"

namespace media {
class MusicPlayer;
class SpriteObject;
}  // namespace media

namespace game {

// A key counts as down while pressed or held, and in the first update after it went up; or while
// a gamepad holds it (pad_keys.h).
bool KeyDown(std::uint16_t code);
// Draws the sprite at its own position with the blit kind, view offset (0, 0).
void DrawSprite(media::SpriteObject* sprite, std::int32_t kind);
// When the record is visible: its position into its sprite, then the sprite drawn.
void DrawRecord(GameObject& record, std::int32_t kind);
void StartTune(media::MusicPlayer* player, std::int32_t index);
void StopTune(media::MusicPlayer* player, std::int32_t index);
bool SpritesOverlap(media::SpriteObject* a, media::SpriteObject* b);
void PlayItemSound();

}  // namespace game
