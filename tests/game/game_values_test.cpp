#include <gtest/gtest.h>

#include "game/game_values.h"

namespace {

// Each name in namespace game must be its member of the one GameValues, not a copy of it: the
// replay tool, the tests and the game read and write through the names and through the struct.
struct NamedValue {
    const char* name;
    const void* byName;
    const void* member;
};

TEST(GameValues, EveryNameIsItsMemberOfTheOneState) {
    const game::GameValues& v = game::gameValues;
    const NamedValue values[] = {
        {"player", &game::player, &v.player},
        {"screens", &game::screens, &v.screens},
        {"objects", &game::objects, &v.objects},
        {"gameState", &game::gameState, &v.gameState},
        {"redPotFall", &game::redPotFall, &v.redPotFall},
        {"bluePotFall", &game::bluePotFall, &v.bluePotFall},
        {"beeFall", &game::beeFall, &v.beeFall},
        {"secondBeeStartY", &game::secondBeeStartY, &v.secondBeeStartY},
        {"levelTarget", &game::levelTarget, &v.levelTarget},
        {"score", &game::score, &v.score},
        {"level", &game::level, &v.level},
        {"lives", &game::lives, &v.lives},
        {"beeSpeed", &game::beeSpeed, &v.beeSpeed},
        {"backgroundIndex", &game::backgroundIndex, &v.backgroundIndex},
        {"textBuffer", &game::textBuffer, &v.textBuffer},
        {"titleSprite", &game::titleSprite, &v.titleSprite},
        {"optionSprite", &game::optionSprite, &v.optionSprite},
        {"aboutSprite", &game::aboutSprite, &v.aboutSprite},
        {"gameOverSprite", &game::gameOverSprite, &v.gameOverSprite},
        {"screen", &game::screen, &v.screen},
        {"input", &game::input, &v.input},
        {"winTune", &game::winTune, &v.winTune},
        {"winTuneIndex", &game::winTuneIndex, &v.winTuneIndex},
        {"playTune", &game::playTune, &v.playTune},
        {"playTuneIndex", &game::playTuneIndex, &v.playTuneIndex},
        {"menuTune", &game::menuTune, &v.menuTune},
        {"menuTuneIndex", &game::menuTuneIndex, &v.menuTuneIndex},
        {"loseTune", &game::loseTune, &v.loseTune},
        {"loseTuneIndex", &game::loseTuneIndex, &v.loseTuneIndex},
        {"soundDevice", &game::soundDevice, &v.soundDevice},
        {"itemSound", &game::itemSound, &v.itemSound},
        {"gameRandom", &game::gameRandom, &v.gameRandom},
        {"gameStarted", &game::gameStarted, &v.gameStarted},
    };
    for (const NamedValue& value : values) EXPECT_EQ(value.byName, value.member) << value.name;
}

// Everything a run can change, changed through the names; a reset must bring back what a fresh
// process holds, including the records and the owned pointers (which GameShutdown has freed).
TEST(GameValues, ResetBringsBackTheRecordsPointersAndIndices) {
    static int notAnObject;
    auto* const fake = reinterpret_cast<media::SpriteObject*>(&notAnObject);
    game::player = {1, 2, 3, false, fake};
    for (game::GameObject& record : game::screens) record = {4, 5, 6, false, fake};
    for (game::GameObject& record : game::objects) record = {7, 8, 9, false, fake};
    game::titleSprite = game::optionSprite = game::aboutSprite = game::gameOverSprite = fake;
    game::screen = reinterpret_cast<media::Screen*>(&notAnObject);
    game::input = reinterpret_cast<media::Input*>(&notAnObject);
    game::winTune = game::playTune = game::menuTune = game::loseTune = reinterpret_cast<media::MusicPlayer*>(&notAnObject);
    game::winTuneIndex = game::playTuneIndex = game::menuTuneIndex = game::loseTuneIndex = 3;
    game::soundDevice = reinterpret_cast<media::SoundDevice*>(&notAnObject);
    game::itemSound = reinterpret_cast<media::SoundEffect*>(&notAnObject);
    game::gameStarted = true;
    game::gameRandom.Next();

    game::ResetGameValues();

    const auto isEmpty = [](const game::GameObject& record) {
        return record.x == 0 && record.y == 0 && record.spare == 0 && record.visible && record.sprite == nullptr;
    };
    EXPECT_TRUE(isEmpty(game::player));
    for (const game::GameObject& record : game::screens) EXPECT_TRUE(isEmpty(record));
    for (const game::GameObject& record : game::objects) EXPECT_TRUE(isEmpty(record));
    const void* const pointers[] = {game::titleSprite, game::optionSprite, game::aboutSprite, game::gameOverSprite,
                                    game::screen,      game::input,        game::winTune,     game::playTune,
                                    game::menuTune,    game::loseTune,     game::soundDevice, game::itemSound};
    for (const void* pointer : pointers) EXPECT_EQ(pointer, nullptr);
    EXPECT_EQ(game::winTuneIndex + game::playTuneIndex + game::menuTuneIndex + game::loseTuneIndex, 0);
    EXPECT_FALSE(game::gameStarted);
    EXPECT_EQ(game::gameRandom.State(), game::GameRandom::kStartState);
}

}  // namespace
