#include "game/game_values.h"

namespace game {

// Load-time values. ResetGameValues below repeats every one of them.
std::int32_t gameState = STATE_TITLE;
std::int32_t score = 0;
std::int32_t level = 0;
std::int32_t lives = 0;
std::int32_t beeSpeed = 0;
std::int32_t levelTarget = 10;
std::int32_t backgroundIndex = 0;
FallPosition redPotFall{200, 150};
FallPosition bluePotFall{300, 250};
FallPosition beeFall{300, 300};
std::int32_t secondBeeStartY = 350;
std::array<char, 100> textBuffer{};
GameRandom gameRandom;

GameObject player;
std::array<GameObject, kScreenCount> screens;
std::array<GameObject, kObjectCount> objects;

media::Screen* screen = nullptr;
media::Input* input = nullptr;
media::SpriteObject* titleSprite = nullptr;
media::SpriteObject* optionSprite = nullptr;
media::SpriteObject* aboutSprite = nullptr;
media::SpriteObject* gameOverSprite = nullptr;
media::MusicPlayer* winTune = nullptr;
media::MusicPlayer* playTune = nullptr;
media::MusicPlayer* menuTune = nullptr;
media::MusicPlayer* loseTune = nullptr;
std::int32_t winTuneIndex = 0;
std::int32_t playTuneIndex = 0;
std::int32_t menuTuneIndex = 0;
std::int32_t loseTuneIndex = 0;
media::SoundDevice* soundDevice = nullptr;
media::SoundEffect* itemSound = nullptr;
bool gameStarted = false;

void ResetGameValues() {
    gameState = STATE_TITLE;
    score = level = lives = beeSpeed = backgroundIndex = 0;
    levelTarget = 10;
    redPotFall = {200, 150};
    bluePotFall = {300, 250};
    beeFall = {300, 300};
    secondBeeStartY = 350;
    textBuffer.fill(0);
    gameRandom.Reset();
    player = GameObject{};
    screens.fill(GameObject{});
    objects.fill(GameObject{});
    screen = nullptr;
    input = nullptr;
    titleSprite = optionSprite = aboutSprite = gameOverSprite = nullptr;
    winTune = playTune = menuTune = loseTune = nullptr;
    winTuneIndex = playTuneIndex = menuTuneIndex = loseTuneIndex = 0;
    soundDevice = nullptr;
    itemSound = nullptr;
    gameStarted = false;
}

}  // namespace game
