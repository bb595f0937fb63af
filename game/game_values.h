#pragma once
// Everything the game holds for the whole run, in one place: the records of the field, the state
// of the screens, the play values and the objects of the multimedia layer it owns. GameValues
// lists them; the one instance, gameValues, is static storage that is constant-initialised, so
// every value has its load-time value before the program's entry point runs. Each value is also
// reachable under its own name in namespace game (game::score, game::objects[kBee], ...), a
// reference bound to its member. ResetGameValues brings a process back to the load-time values
// (after GameShutdown). The shell's window handle and activation flag are in app_shell.h.
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

// The size of one frame of a sprite's sheet, in pixels.
struct FrameSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

inline constexpr FrameSize kPictureFrame{640, 480};  // title, option, about, game over, screens[]
inline constexpr FrameSize kHeroFrame{90, 90};
inline constexpr FrameSize kFallerFrame{40, 51};  // the pots and the bees
inline constexpr FrameSize kHeartFrame{32, 26};
inline constexpr FrameSize kLevelPotFrame{32, 32};

// The play screen, in back-surface pixels. The panel at the bottom right holds the level pots,
// the hearts and the status line.
inline constexpr std::int32_t kHeroStartX = 390;
inline constexpr std::int32_t kHeroStartY = 270;
inline constexpr std::int32_t kStartColumns = 480;  // a faller's first column is 0..479
inline constexpr std::int32_t kFirstLevelPotX = 270;  // level pot n + 1 at 270 + 10 * n
inline constexpr std::int32_t kLevelPotSpacing = 10;
inline constexpr std::int32_t kLevelPotY = 420;
inline constexpr std::int32_t kFirstHeartX = 510;  // heart n + 1 at 510 + 20 * n
inline constexpr std::int32_t kHeartSpacing = 20;
inline constexpr std::int32_t kHeartY = 400;
inline constexpr std::int32_t kStatusY = 435;  // the score, level and lives texts
inline constexpr std::int32_t kScoreTextX = 400;
inline constexpr std::int32_t kLevelTextX = 460;
inline constexpr std::int32_t kLivesTextX = 550;

// The course of a game: a new game starts at level 0 with these values; each level ends when the
// score reaches its target, and the game is won when the level after the last would begin.
inline constexpr std::int32_t kStartLives = 6;
inline constexpr std::int32_t kStartBeeSpeed = 2;
inline constexpr std::int32_t kFirstLevelTarget = 10;
inline constexpr std::int32_t kLevelTargetStep = 10;
inline constexpr std::int32_t kBeeSpeedStep = 2;
inline constexpr std::int32_t kLevelCount = 5;

// Where a falling thing is; the authority for the pots and the bee, copied into their records.
struct FallPosition {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The game's whole state, with the load-time value of each member, in the order the values are
// constructed.
struct GameValues {
    // The records of the field and the full-window pictures.
    GameObject player;                                // the hero
    std::array<GameObject, kScreenCount> screens;     // kPlayBackground, kWinPicture, kLosePicture
    std::array<GameObject, kObjectCount> objects;     // kRedPot .. kSecondBee

    // The play values.
    std::int32_t gameState = STATE_TITLE;
    FallPosition redPotFall{200, 150};
    FallPosition bluePotFall{300, 250};
    FallPosition beeFall{300, 300};
    std::int32_t secondBeeStartY = 350;
    std::int32_t levelTarget = kFirstLevelTarget;
    std::int32_t score = 0;
    std::int32_t level = 0;
    std::int32_t lives = 0;
    std::int32_t beeSpeed = 0;
    std::int32_t backgroundIndex = 0;  // the screens[] record the play screen draws first
    std::array<char, 100> textBuffer{};  // the status texts are formatted here

    // The objects of the multimedia layer, owned by the game: GameInit makes them, GameShutdown
    // frees them.
    media::SpriteObject* titleSprite = nullptr;
    media::SpriteObject* optionSprite = nullptr;
    media::SpriteObject* aboutSprite = nullptr;
    media::SpriteObject* gameOverSprite = nullptr;
    media::Screen* screen = nullptr;
    media::Input* input = nullptr;
    media::MusicPlayer* winTune = nullptr;
    std::int32_t winTuneIndex = 0;
    media::MusicPlayer* playTune = nullptr;
    std::int32_t playTuneIndex = 0;
    media::MusicPlayer* menuTune = nullptr;
    std::int32_t menuTuneIndex = 0;
    media::MusicPlayer* loseTune = nullptr;
    std::int32_t loseTuneIndex = 0;
    media::SoundDevice* soundDevice = nullptr;
    media::SoundEffect* itemSound = nullptr;

    // The game's random numbers, from their fixed start.
    GameRandom gameRandom;
    // Set when the start-up has made everything a frame uses; a frame before that (or after the
    // shutdown) does nothing.
    bool gameStarted = false;
};

extern GameValues gameValues;

// Every value under its own name. Each is a reference to its member, bound at compile time, so
// it reads, assigns, takes addresses and binds to references exactly as the member itself.
inline constexpr auto& player = gameValues.player;
inline constexpr auto& screens = gameValues.screens;
inline constexpr auto& objects = gameValues.objects;

inline constexpr auto& gameState = gameValues.gameState;
inline constexpr auto& redPotFall = gameValues.redPotFall;
inline constexpr auto& bluePotFall = gameValues.bluePotFall;
inline constexpr auto& beeFall = gameValues.beeFall;
inline constexpr auto& secondBeeStartY = gameValues.secondBeeStartY;
inline constexpr auto& levelTarget = gameValues.levelTarget;
inline constexpr auto& score = gameValues.score;
inline constexpr auto& level = gameValues.level;
inline constexpr auto& lives = gameValues.lives;
inline constexpr auto& beeSpeed = gameValues.beeSpeed;
inline constexpr auto& backgroundIndex = gameValues.backgroundIndex;
inline constexpr auto& textBuffer = gameValues.textBuffer;

inline constexpr auto& titleSprite = gameValues.titleSprite;
inline constexpr auto& optionSprite = gameValues.optionSprite;
inline constexpr auto& aboutSprite = gameValues.aboutSprite;
inline constexpr auto& gameOverSprite = gameValues.gameOverSprite;
inline constexpr auto& screen = gameValues.screen;
inline constexpr auto& input = gameValues.input;
inline constexpr auto& winTune = gameValues.winTune;
inline constexpr auto& winTuneIndex = gameValues.winTuneIndex;
inline constexpr auto& playTune = gameValues.playTune;
inline constexpr auto& playTuneIndex = gameValues.playTuneIndex;
inline constexpr auto& menuTune = gameValues.menuTune;
inline constexpr auto& menuTuneIndex = gameValues.menuTuneIndex;
inline constexpr auto& loseTune = gameValues.loseTune;
inline constexpr auto& loseTuneIndex = gameValues.loseTuneIndex;
inline constexpr auto& soundDevice = gameValues.soundDevice;
inline constexpr auto& itemSound = gameValues.itemSound;

inline constexpr auto& gameRandom = gameValues.gameRandom;
inline constexpr auto& gameStarted = gameValues.gameStarted;

// Every value above back to its load-time value: the records emptied, the pointers null (the
// objects must have been freed by GameShutdown), the random numbers from their start.
void ResetGameValues();

}  // namespace game
