#include "tools/replay/trace.h"

#include <cstdio>

#include "game/game.h"

namespace replay {

std::string TraceLine(std::int64_t frame) {
    char line[256];
    const int length = std::snprintf(line, sizeof line, "%lld %d %d %d %d %d %d %d %d %d %d %d %d %d\n",
                                     static_cast<long long>(frame), game::gameState, game::score, game::level, game::lives,
                                     game::beeSpeed, game::levelTarget, game::player.x, game::redPotFall.x, game::redPotFall.y,
                                     game::bluePotFall.x, game::bluePotFall.y, game::beeFall.x, game::beeFall.y);
    return std::string(line, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace replay
