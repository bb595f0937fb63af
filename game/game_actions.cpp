#include "game/game_actions.h"

#include "game/game_values.h"
#include "game/pad_keys.h"
#include "media/audio/music_player.h"
#include "media/audio/sound_effect.h"
#include "media/display/screen.h"
#include "media/input/input.h"
#include "media/sprite/sprite_object.h"

namespace game {

namespace {

// A key is down when the low 16 bits of its status are not zero.
constexpr std::uint32_t kKeyStatusBits = 0xFFFFu;

}  // namespace

bool KeyDown(std::uint16_t code) {
    if (!input) return false;
    return (static_cast<std::uint32_t>(input->GetKeyStatus(code)) & kKeyStatusBits) != 0 || GamePads().Down(code);
}

void DrawSprite(media::SpriteObject* sprite, std::int32_t kind) {
    if (sprite && screen && screen->Back()) sprite->Draw(screen->Back(), 0, 0, kind);
}

void DrawRecord(GameObject& record, std::int32_t kind) {
    if (!record.visible || !record.sprite) return;
    record.sprite->x = record.x;
    record.sprite->y = record.y;
    DrawSprite(record.sprite, kind);
}

void StartTune(media::MusicPlayer* player, std::int32_t index) {
    if (player) player->Play(index);
}

void StopTune(media::MusicPlayer* player, std::int32_t index) {
    if (player) player->Stop(index);
}

bool SpritesOverlap(media::SpriteObject* a, media::SpriteObject* b) {
    return a && b && a->Overlaps(*b) != 0;
}

void PlayItemSound() {
    if (itemSound) itemSound->Play(0);
}

}  // namespace game
