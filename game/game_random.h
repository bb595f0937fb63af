#pragma once
// The game's random numbers: a linear congruential generator with a fixed start, so every run
// draws the same sequence and a game is reproduced by the same key presses in the same frames.
// The start-up draws the first four numbers, for the first positions of the pots and the bees.
#include <cstdint>

namespace game {

class GameRandom {
public:
    static constexpr std::uint32_t kStartState = 1;

    // The next number, 0..32767.
    std::int32_t Next() {
        state_ = state_ * 214013u + 2531011u;  // modulo 2^32 by unsigned wrap-around
        return static_cast<std::int32_t>((state_ >> 16) & 0x7FFF);
    }
    void Reset() { state_ = kStartState; }
    std::uint32_t State() const { return state_; }

private:
    std::uint32_t state_ = kStartState;
};

}  // namespace game
