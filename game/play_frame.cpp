#include "game/play_frame.h"

#include <cstdio>

#include "game/game_actions.h"
#include "game/game_values.h"
#include "media/blit/blit_kind.h"
#include "media/display/screen.h"

namespace game {

namespace {

constexpr std::int32_t kHeroStep = 7;
constexpr std::int32_t kHeroLeftmost = 0;    // the hero moves left only while right of this
constexpr std::int32_t kHeroRightmost = 410; // and right only while left of this
constexpr std::int32_t kFloor = 300;         // a faller below this starts again at the top
constexpr std::int32_t kPotStep = 5;
constexpr std::int32_t kPotColumns = 400;
constexpr std::int32_t kBeeColumns = 450;
constexpr std::int32_t kPointsPerPot = 2;
constexpr platform::COLORREF kStatusColour = 0xFFFFFF;

void DrawKeyed(GameObject& record) { DrawRecord(record, media::BLIT_KEYED); }

void DrawLevelPots() {
    // Level 0 shows none; level n of 1 to 4 shows the first n.
    const int shown = (level >= 1 && level <= kLevelPotCount) ? level : 0;
    for (int n = 0; n < shown; ++n) DrawKeyed(objects[kFirstLevelPot + n]);
}

void DrawHearts() {
    for (int n = 0; n < kHeartCount; ++n) {
        GameObject& heart = objects[kFirstHeart + n];
        heart.x = kFirstHeartX + kHeartSpacing * n;
        heart.y = kHeartY;
        DrawKeyed(heart);
    }
}

void MoveHero() {
    if (KeyDown(KEY_LEFT_ARROW) && player.x > kHeroLeftmost) player.x -= kHeroStep;
    if (KeyDown(KEY_RIGHT_ARROW) && player.x < kHeroRightmost) player.x += kHeroStep;
}

// The pot's sprite still stands where it was drawn in the previous frame when it is tested.
void FallPot(FallPosition& fall, GameObject& pot) {
    fall.y += kPotStep;
    if (fall.y > kFloor) {
        fall.y = -kPotStep;
        fall.x = gameRandom.Next() % kPotColumns;
    }
    if (SpritesOverlap(player.sprite, pot.sprite)) {
        PlayItemSound();
        score += kPointsPerPot;
        fall.x = gameRandom.Next() % kPotColumns;
        fall.y = 0;
    }
    pot.x = fall.x;
    pot.y = fall.y;
    DrawKeyed(pot);
}

void FallBee() {
    GameObject& bee = objects[kBee];
    beeFall.y += beeSpeed;
    if (beeFall.y > kFloor) {
        beeFall.x = gameRandom.Next() % kBeeColumns;
        beeFall.y = -beeSpeed;
    }
    if (SpritesOverlap(player.sprite, bee.sprite)) {
        PlayItemSound();
        lives -= 1;
        beeFall.x = gameRandom.Next() % kBeeColumns;
        beeFall.y = 0;
    }
    bee.x = beeFall.x;
    bee.y = beeFall.y;
    DrawKeyed(bee);
}

void DrawStatus(std::int32_t x, const char* format, std::int32_t value) {
    std::snprintf(textBuffer.data(), textBuffer.size(), format, value);
    screen->Back()->DrawTextAt(x, kStatusY, kStatusColour, textBuffer.data());
}

void EndLevelAtTarget() {
    // Exactly the target: two catches in one frame can step over it, and the level goes on.
    if (score != levelTarget) return;
    levelTarget += kLevelTargetStep;
    score = 0;
    level += 1;
    beeSpeed += kBeeSpeedStep;
    gameState = STATE_LEVEL_START;
}

void CountLives() {
    if (lives >= 1 && lives <= kHeartCount - 1) {
        objects[kFirstHeart + lives].visible = false;  // lives n hides heart n + 1
    } else if (lives == 0) {
        StopTune(playTune, playTuneIndex);
        StartTune(loseTune, loseTuneIndex);
        gameState = STATE_LOSE;
        objects[kFirstHeart].visible = false;
    }
}

void WinAfterLastLevel() {
    if (level != kLevelCount) return;
    gameState = STATE_WIN;
    StopTune(playTune, playTuneIndex);
    StartTune(winTune, winTuneIndex);
}

}  // namespace

void PlayFrame() {
    DrawKeyed(screens[backgroundIndex]);
    StopTune(menuTune, menuTuneIndex);
    DrawLevelPots();
    DrawHearts();
    MoveHero();
    DrawKeyed(player);
    FallPot(redPotFall, objects[kRedPot]);
    FallPot(bluePotFall, objects[kBluePot]);
    FallBee();
    DrawStatus(kScoreTextX, " %d", score);
    DrawStatus(kLevelTextX, "Level  %d", level);
    DrawStatus(kLivesTextX, "LIFE  %d", lives);
    EndLevelAtTarget();
    CountLives();
    WinAfterLastLevel();
}

}  // namespace game
