#include "game/game.h"

#include <new>

#include "game/app_shell.h"
#include "game/game_actions.h"
#include "game/pad_keys.h"
#include "game/play_frame.h"
#include "media/audio/music_player.h"
#include "media/audio/sound_device.h"
#include "media/audio/sound_effect.h"
#include "media/blit/blit_kind.h"
#include "media/display/screen.h"
#include "media/input/input.h"
#include "media/sprite/frame_sheet.h"
#include "media/sprite/sprite_object.h"

namespace game {

namespace {

// A sprite holding the picture in the file, cut into frames of the given size. A missing or
// unreadable picture leaves a sprite that draws and touches nothing.
media::SpriteObject* MakeSprite(const char* file, FrameSize frame, std::int32_t frames, bool keyed) {
    auto* sprite = new (std::nothrow) media::SpriteObject();
    if (!sprite) return nullptr;
    sprite->Create(screen, file, frame.width, frame.height, frames, media::MEMORY_ANY);
    if (keyed && sprite->sheet) sprite->sheet->SetColorKeyFromTopLeft();
    return sprite;
}

// A full-window picture of its own, without a colour key; its sheet holds as many frames as fit.
media::SpriteObject* MakePicture(const char* file) { return MakeSprite(file, kPictureFrame, 0, false); }

// A record's picture: two frames, drawn with the colour of its top-left pixel as the key.
media::SpriteObject* MakeRecordSprite(const char* file, FrameSize frame) { return MakeSprite(file, frame, 2, true); }

// Gives the record its sprite, which starts where the record is now.
void AttachSprite(GameObject& record, media::SpriteObject* sprite) {
    record.sprite = sprite;
    if (!sprite) return;
    sprite->x = record.x;
    sprite->y = record.y;
}

// Gives a falling object its sprite (which starts where the record is now), then its start
// height, then a random column: the columns use up the game's random numbers in this order.
void StartFalling(GameObject& object, const char* file, std::int32_t y) {
    AttachSprite(object, MakeRecordSprite(file, kFallerFrame));
    object.y = y;
    object.x = gameRandom.Next() % kStartColumns;
}

media::MusicPlayer* MakeTune(const char* file, std::int32_t* index, bool start) {
    auto* player = new (std::nothrow) media::MusicPlayer();
    if (!player) return nullptr;
    player->Init(mainWindow, nullptr);
    *index = player->Load(file);
    if (start) player->Play(*index);
    return player;
}

void CreateSprites() {
    titleSprite = MakePicture("title.bmp");
    optionSprite = MakePicture("option.bmp");
    AttachSprite(screens[kPlayBackground], MakeRecordSprite("bg1.bmp", kPictureFrame));
    AttachSprite(screens[kWinPicture], MakeRecordSprite("main_win.bmp", kPictureFrame));
    AttachSprite(screens[kLosePicture], MakeRecordSprite("main_lose.bmp", kPictureFrame));

    AttachSprite(player, MakeRecordSprite("bodo.bmp", kHeroFrame));
    player.x = kHeroStartX;
    player.y = kHeroStartY;

    // The pots and the bees draw the game's first four random numbers, in this order.
    StartFalling(objects[kRedPot], "r_zamel.bmp", redPotFall.y);
    StartFalling(objects[kBluePot], "b_zamel.bmp", bluePotFall.y);

    for (int n = 0; n < kHeartCount; ++n) AttachSprite(objects[kFirstHeart + n], MakeRecordSprite("hart.bmp", kHeartFrame));
    for (int n = 0; n < kLevelPotCount; ++n) {
        GameObject& pot = objects[kFirstLevelPot + n];
        AttachSprite(pot, MakeRecordSprite("bb_zamel.bmp", kLevelPotFrame));
        pot.x = kFirstLevelPotX + kLevelPotSpacing * n;
        pot.y = kLevelPotY;
    }

    StartFalling(objects[kBee], "bee.bmp", beeFall.y);
    StartFalling(objects[kSecondBee], "bee.bmp", secondBeeStartY);

    aboutSprite = MakePicture("about.bmp");
}

void CreateSound() {
    winTune = MakeTune("Sound_win.mid", &winTuneIndex, false);
    playTune = MakeTune("xlost.mid", &playTuneIndex, false);
    menuTune = MakeTune("Sound_menu.mid", &menuTuneIndex, true);
    loseTune = MakeTune("xmusic5.mid", &loseTuneIndex, false);

    gameOverSprite = MakePicture("over.bmp");

    soundDevice = new (std::nothrow) media::SoundDevice();
    if (soundDevice) soundDevice->Init(mainWindow, 0);
    itemSound = new (std::nothrow) media::SoundEffect();
    if (itemSound) itemSound->CreateFromWaveFile(soundDevice, "item.wav", 1);
}

// A step of the screens' state machine: in state `from`, the key moves the game to `to` after the
// side effects; `to` 0 closes the program.
struct Transition {
    std::uint16_t key;
    std::int32_t from;
    void (*effects)();
    std::int32_t to;
};

constexpr std::int32_t kCloseProgram = 0;

void StartGame() {
    StartTune(playTune, playTuneIndex);
    score = 0;
    lives = kStartLives;
    beeSpeed = kStartBeeSpeed;
    levelTarget = kFirstLevelTarget;
    level = 0;
}

void LeavePlayByEscape() {
    StopTune(playTune, playTuneIndex);
    StopTune(winTune, winTuneIndex);
    StartTune(loseTune, loseTuneIndex);
}

void LeaveWin() {
    StopTune(winTune, winTuneIndex);
    StartTune(menuTune, menuTuneIndex);
}

void LeaveLose() {
    StopTune(loseTune, loseTuneIndex);
    StartTune(menuTune, menuTuneIndex);
}

// Tested in this order every frame; each test sees the state the ones before it left.
constexpr Transition kTransitions[] = {
    {KEY_O, STATE_TITLE, nullptr, STATE_OPTION},
    {KEY_P, STATE_TITLE, &StartGame, STATE_LEVEL_START},
    {KEY_M, STATE_OPTION, nullptr, STATE_TITLE},
    {KEY_ESC, STATE_PLAY, &LeavePlayByEscape, STATE_LOSE},
    {KEY_X, STATE_OPTION, nullptr, kCloseProgram},
    {KEY_A, STATE_TITLE, nullptr, STATE_ABOUT},
    {KEY_E, STATE_TITLE, nullptr, kCloseProgram},
    {KEY_M, STATE_ABOUT, nullptr, STATE_TITLE},
    {KEY_M, STATE_WIN, &LeaveWin, STATE_TITLE},
    {KEY_E, STATE_WIN, nullptr, kCloseProgram},
    {KEY_E, STATE_LOSE, nullptr, kCloseProgram},
    {KEY_M, STATE_LOSE, &LeaveLose, STATE_TITLE},
};

// False when a transition closed the program: everything has been freed by then.
bool RunTransitions() {
    for (const Transition& t : kTransitions) {
        if (gameState != t.from || !KeyDown(t.key)) continue;
        if (t.effects) t.effects();
        if (t.to == kCloseProgram) {
            platform::SendMessage(mainWindow, platform::WM_CLOSE, 0, 0);
            return false;
        }
        gameState = t.to;
    }
    return true;
}

void ShowAllHearts() {
    for (int n = 0; n < kHeartCount; ++n) objects[kFirstHeart + n].visible = true;
}

// Waits for the vertical blank, stretches the back surface over the client area, no frame counter.
void Present() { screen->Flip(1, 1, 0); }

}  // namespace

std::int32_t GameInit() {
    // After a fatal message the program is on its way out: the start-up stops there, so nothing
    // is made with an object that could not be set up.
    screen = new (std::nothrow) media::Screen();
    if (!screen) {
        FatalError(nullptr, "Could not create Screen object");
        return 1;
    }
    if (screen->SetWindowedMode(mainWindow, kClientWidth, kClientHeight) < 0) {
        FatalError(screen, "Could not set windowed mode 640x480");
        return 1;
    }
    input = new (std::nothrow) media::Input();
    if (!input) {
        FatalError(screen, "Could not create Input object");
        return 1;
    }
    if (input->Create(nullptr, mainWindow) < 0) {
        FatalError(screen, "Could not create direct input object");
        return 1;
    }
    GamePads().Reset();
    CreateSprites();
    CreateSound();
    gameStarted = true;
    return 1;
}

void GameFrame() {
    // Before a complete start-up (a fatal message whose quit request is not seen yet) and after
    // the shutdown there is nothing to draw with.
    if (!gameStarted) return;
    input->Update();
    GamePads().Read();
    if (!RunTransitions()) return;

    screen->Back()->Fill(0);
    if (gameState == STATE_TITLE) DrawSprite(titleSprite, media::BLIT_OPAQUE);
    if (gameState == STATE_PLAY) PlayFrame();
    if (gameState == STATE_ABOUT) DrawSprite(aboutSprite, media::BLIT_OPAQUE);
    if (gameState == STATE_LOSE) {
        DrawRecord(screens[kLosePicture], media::BLIT_KEYED);
        ShowAllHearts();
    }
    if (gameState == STATE_LEVEL_START) {
        backgroundIndex = kPlayBackground;
        gameState = STATE_PLAY;
        Present();
        return;
    }
    if (gameState == STATE_WIN) {
        DrawRecord(screens[kWinPicture], media::BLIT_KEYED);
        ShowAllHearts();
    }
    if (gameState == STATE_OPTION) DrawSprite(optionSprite, media::BLIT_OPAQUE);
    Present();
}

namespace {

template <typename T>
void Free(T*& object) {
    delete object;
    object = nullptr;
}

void FreeRecordSprite(GameObject& record) { Free(record.sprite); }

}  // namespace

void GameShutdown() {
    gameStarted = false;
    Free(input);
    Free(titleSprite);
    Free(aboutSprite);
    Free(optionSprite);
    Free(winTune);
    Free(playTune);
    Free(menuTune);
    Free(loseTune);
    if (itemSound) itemSound->Release();
    Free(itemSound);
    Free(soundDevice);
    Free(gameOverSprite);
    FreeRecordSprite(player);
    FreeRecordSprite(objects[kRedPot]);
    FreeRecordSprite(objects[kBluePot]);
    for (int n = 0; n < kHeartCount; ++n) FreeRecordSprite(objects[kFirstHeart + n]);
    for (int n = 0; n < kLevelPotCount; ++n) FreeRecordSprite(objects[kFirstLevelPot + n]);
    FreeRecordSprite(objects[kBee]);
    FreeRecordSprite(objects[kSecondBee]);
    FreeRecordSprite(screens[kPlayBackground]);
    FreeRecordSprite(screens[kWinPicture]);
    FreeRecordSprite(screens[kLosePicture]);
    // Last: every picture's surface unlinks itself from the screen's list when it goes.
    Free(screen);
}

}  // namespace game
