// The shutdown deletes every object the start-up made exactly once, in its order, the screen
// last. The deletions are seen through this program's own operator delete, which records the
// addresses it frees while a test asks it to.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <vector>

#include "game/app_shell.h"
#include "game/game.h"
#include "tests/game/game_test_support.h"

namespace {

constexpr std::size_t kMaxRecorded = 1 << 16;
std::array<const void*, kMaxRecorded> freed{};
std::size_t freedCount = 0;
bool recording = false;

void Record(void* p) {
    if (recording && p && freedCount < kMaxRecorded) freed[freedCount++] = p;
}

}  // namespace

// Every plain and array form, so no allocation is paired with another allocator's release.
void* operator new(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* p) noexcept {
    Record(p);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { operator delete(p); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { operator delete(p); }

namespace {

class GameShutdownTest : public GameTest {};

TEST_F(GameShutdownTest, FreesEveryObjectOnceInOrderWithTheScreenLast) {
    game::RegisterAppIcon();
    game::CreateMainWindow(platform::SW_SHOWNORMAL);
    game::GameInit();
    ASSERT_TRUE(game::gameStarted);
    // The order of the shutdown.
    std::vector<const void*> expected = {game::input,     game::titleSprite, game::aboutSprite, game::optionSprite,
                                         game::winTune,   game::playTune,    game::menuTune,    game::loseTune,
                                         game::itemSound, game::soundDevice, game::gameOverSprite, game::player.sprite,
                                         game::objects[game::kRedPot].sprite, game::objects[game::kBluePot].sprite};
    for (int n = 0; n < 6; ++n) expected.push_back(game::objects[game::kFirstHeart + n].sprite);
    for (int n = 0; n < 4; ++n) expected.push_back(game::objects[game::kFirstLevelPot + n].sprite);
    expected.push_back(game::objects[game::kBee].sprite);
    expected.push_back(game::objects[game::kSecondBee].sprite);
    for (int i : {game::kPlayBackground, game::kWinPicture, game::kLosePicture}) expected.push_back(game::screens[i].sprite);
    expected.push_back(game::screen);
    ASSERT_EQ(expected.size(), 30u);
    for (const void* p : expected) ASSERT_NE(p, nullptr);

    freedCount = 0;
    recording = true;
    platform::SendMessage(game::mainWindow, platform::WM_CLOSE, 0, 0);
    platform::SendMessage(game::mainWindow, platform::WM_CLOSE, 0, 0);
    recording = false;

    std::vector<const void*> seen;  // the objects among everything freed, in order
    for (std::size_t i = 0; i < freedCount; ++i)
        if (std::find(expected.begin(), expected.end(), freed[i]) != expected.end()) seen.push_back(freed[i]);
    EXPECT_EQ(seen, expected) << "each object once, in the shutdown's order, the screen last";
}

}  // namespace
