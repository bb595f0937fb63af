#pragma once
// GameObject: the game's record of one thing on the field or one full-window picture. The sprite
// is not owned by the record: GameShutdown frees every sprite.
#include <cstdint>

namespace media {
class SpriteObject;
}

namespace game {

struct GameObject {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t spare = 0;  // not used by the game
    bool visible = true;
    media::SpriteObject* sprite = nullptr;
};

}  // namespace game
