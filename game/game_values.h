#pragma once
// Everything the game holds for the whole run: the state of the screens, the play values, the
// records of the field and the objects of the multimedia layer it owns. All of it starts at its
// load-time value; ResetGameValues brings a process back there (after GameShutdown).
#include <array>
#include <cstdint>

#include "game/game_object.h"
#include "game/game_random.h"

namespace media {
class Input;
class MusicPlayer;
class Screen;
class SoundDevice;
class SoundEffect;
class SpriteObject;
}  // namespace media

namespace game {

enum GameState : std::int32_t {
    STATE_TITLE = 1,
    STATE_PLAY = 2,
    STATE_ABOUT = 3,
    STATE_LOSE = 4,
    STATE_LEVEL_START = 5,
    STATE_WIN = 6,
    STATE_OPTION = 7,
};

// The keys the game reads, by key code.
inline constexpr std::uint16_t KEY_ESC = 27;
inline constexpr std::uint16_t KEY_A = 97;
inline constexpr std::uint16_t KEY_E = 101;
inline constexpr std::uint16_t KEY_M = 109;
inline constexpr std::uint16_t KEY_O = 111;
inline constexpr std::uint16_t KEY_P = 112;
inline constexpr std::uint16_t KEY_X = 120;
inline constexpr std::uint16_t KEY_LEFT_ARROW = 134;
inline constexpr std::uint16_t KEY_RIGHT_ARROW = 135;

// Where the records live in their stores.
inline constexpr int kScreenCount = 20;
inline constexpr int kObjectCount = 50;
inline constexpr int kPlayBackground = 1;  // screens[]
inline constexpr int kWinPicture = 3;
inline constexpr int kLosePicture = 4;
inline constexpr int kRedPot = 2;  // objects[]
inline constexpr int kBluePot = 3;
inline constexpr int kFirstHeart = 4;  // hearts 1 to 6: 4..9
inline constexpr int kHeartCount = 6;
inline constexpr int kFirstLevelPot = 10;  // level pots 1 to 4: 10..13
inline constexpr int kLevelPotCount = 4;
inline constexpr int kBee = 14;
inline constexpr int kSecondBee = 15;

// Where a falling thing is; the authority for the pots and the bee, copied into their records.
struct FallPosition {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

extern std::int32_t gameState;
extern std::int32_t score;
extern std::int32_t level;
extern std::int32_t lives;
extern std::int32_t beeSpeed;
extern std::int32_t levelTarget;
extern std::int32_t backgroundIndex;
extern FallPosition redPotFall;
extern FallPosition bluePotFall;
extern FallPosition beeFall;
extern std::int32_t secondBeeStartY;
extern std::array<char, 100> textBuffer;
extern GameRandom gameRandom;

extern GameObject player;
extern std::array<GameObject, kScreenCount> screens;
extern std::array<GameObject, kObjectCount> objects;

extern media::Screen* screen;
extern media::Input* input;
extern media::SpriteObject* titleSprite;
extern media::SpriteObject* optionSprite;
extern media::SpriteObject* aboutSprite;
extern media::SpriteObject* gameOverSprite;
extern media::MusicPlayer* winTune;
extern media::MusicPlayer* playTune;
extern media::MusicPlayer* menuTune;
extern media::MusicPlayer* loseTune;
extern std::int32_t winTuneIndex;
extern std::int32_t playTuneIndex;
extern std::int32_t menuTuneIndex;
extern std::int32_t loseTuneIndex;
extern media::SoundDevice* soundDevice;
extern media::SoundEffect* itemSound;
// Set when the start-up has made everything a frame uses; a frame before that (or after the
// shutdown) does nothing.
extern bool gameStarted;

// Every value above back to its load-time value: the records emptied, the pointers null (the
// objects must have been freed by GameShutdown), the random numbers from their start.
void ResetGameValues();

}  // namespace game
