// The play rules, frame by frame: catches, stings, levels, lives, the two endings, the status
// line and the hero's walk. Scenarios steer the pots and the bee between frames by placing their
// sprites, which the next frame tests against the hero before moving them.
#include <gtest/gtest.h>

#include <optional>

#include "game/game.h"
#include "media/sprite/sprite_object.h"
#include "platform/video/font8x16.h"
#include "tests/game/game_test_support.h"

namespace {

using game::objects;

constexpr std::int64_t kFirstPlayFrame = 2;  // P goes down in frame 1
constexpr const char* kStartGame = "1 P down\n2 P up\n";

// Where the next frame's test will find the sprite: on the hero, or far off the field.
void OnHero(game::GameObject& record) {
    record.sprite->x = game::player.x + 25;
    record.sprite->y = game::player.y + 10;
}
void Away(game::GameObject& record) {
    record.sprite->x = -1000;
    record.sprite->y = -1000;
}

class PlayRulesTest : public GameTest {};

TEST_F(PlayRulesTest, AWholeGameWonLevelByLevel) {
    bool winTunes = false;
    Play(kStartGame, 200, [&](std::int64_t frame) {
        if (game::gameState == game::STATE_WIN) {
            if (!winTunes) {
                winTunes = true;
                EXPECT_TRUE(Playing(game::winTune, game::winTuneIndex));
                EXPECT_FALSE(Playing(game::playTune, game::playTuneIndex));
                EXPECT_NE(Presented(20, 460), 0u) << "the play field shows through the win picture in its first frame";
            } else {
                EXPECT_EQ(Presented(20, 460), 0u) << "black under the win picture afterwards, frame " << frame;
            }
            return;
        }
        if (frame < 1) return;
        OnHero(objects[game::kRedPot]);
        Away(objects[game::kBluePot]);
        Away(objects[game::kBee]);
    });
    // One catch a frame: 5, 10, 15, 20 and 25 catches end levels 0 to 4.
    struct LevelRow {
        std::int32_t level, target, beeSpeed;
    };
    const LevelRow table[] = {{0, 10, 2}, {1, 20, 4}, {2, 30, 6}, {3, 40, 8}, {4, 50, 10}};
    std::int64_t frame = kFirstPlayFrame - 1;
    for (const LevelRow& row : table) {
        for (std::int32_t catches = 1; catches <= row.target / 2; ++catches) {
            const FrameValues& v = trace[static_cast<std::size_t>(++frame)];
            ASSERT_EQ(v.level, row.level + (catches == row.target / 2 ? 1 : 0)) << "frame " << frame;
            if (catches < row.target / 2) {
                EXPECT_EQ(v.score, 2 * catches);
                EXPECT_EQ(v.levelTarget, row.target);
                EXPECT_EQ(v.beeSpeed, row.beeSpeed);
                EXPECT_EQ(v.state, game::STATE_PLAY);
            } else {
                EXPECT_EQ(v.score, 0) << "level end, frame " << frame;
                EXPECT_EQ(v.levelTarget, row.target + 10);
                EXPECT_EQ(v.beeSpeed, row.beeSpeed + 2);
            }
            EXPECT_EQ(v.lives, 6);
        }
    }
    EXPECT_EQ(trace[static_cast<std::size_t>(frame)].state, game::STATE_WIN);
    EXPECT_EQ(trace[static_cast<std::size_t>(frame)].level, 5);
    EXPECT_EQ(trace[static_cast<std::size_t>(frame - 1)].state, game::STATE_PLAY);
    EXPECT_TRUE(winTunes);
    for (int n = 0; n < 6; ++n) EXPECT_TRUE(objects[game::kFirstHeart + n].visible);
}

TEST_F(PlayRulesTest, OneGameLostLifeByLife) {
    std::vector<std::vector<bool>> hearts;
    bool loseChecked = false;
    Play(kStartGame, 20, [&](std::int64_t frame) {
        std::vector<bool> visible;
        for (int n = 0; n < 6; ++n) visible.push_back(objects[game::kFirstHeart + n].visible);
        hearts.push_back(visible);
        if (game::gameState == game::STATE_LOSE) {
            if (!loseChecked) {
                loseChecked = true;
                EXPECT_TRUE(Playing(game::loseTune, game::loseTuneIndex));
                EXPECT_FALSE(Playing(game::playTune, game::playTuneIndex));
                EXPECT_NE(Presented(20, 460), 0u) << "the play field shows through the lose picture in its first frame";
            } else {
                EXPECT_EQ(Presented(20, 460), 0u) << "frame " << frame;
            }
            return;
        }
        if (frame < 1) return;
        Away(objects[game::kRedPot]);
        Away(objects[game::kBluePot]);
        OnHero(objects[game::kBee]);
    });
    ASSERT_EQ(trace.size(), 20u);
    for (std::int32_t sting = 1; sting <= 6; ++sting) {
        const std::size_t f = static_cast<std::size_t>(kFirstPlayFrame - 1 + sting);
        EXPECT_EQ(trace[f].lives, 6 - sting) << "frame " << f;
        EXPECT_EQ(trace[f].bee.y, 0) << "a stinging bee starts again at the top";
        if (sting < 6) {
            EXPECT_EQ(trace[f].state, game::STATE_PLAY);
            for (int n = 0; n < 6; ++n) EXPECT_EQ(hearts[f][static_cast<std::size_t>(n)], n < 6 - sting) << "heart " << n + 1 << " frame " << f;
        } else {
            EXPECT_EQ(trace[f].state, game::STATE_LOSE);
            for (int n = 0; n < 6; ++n) EXPECT_TRUE(hearts[f][static_cast<std::size_t>(n)]) << "shown again on the lose screen";
        }
    }
    EXPECT_TRUE(loseChecked);
}

// After a game lost at level 1, P starts the next one from the first level's values.
TEST_F(PlayRulesTest, ANewGameAfterLosingAtLevelOneStartsAtLevelZero) {
    // Catches in frames 2-6 end level 0; stings in frames 7-12 end the game; M at 14 goes to the
    // title and P at 17 starts again, with frame 18 the new game's first play frame.
    Play("1 P down\n2 P up\n14 M down\n15 M up\n17 P down\n18 P up\n", 20, [](std::int64_t frame) {
        Away(objects[game::kRedPot]);
        Away(objects[game::kBluePot]);
        Away(objects[game::kBee]);
        if (frame >= 1 && frame <= 5) OnHero(objects[game::kRedPot]);
        if (frame >= 6 && frame <= 11) OnHero(objects[game::kBee]);
    });
    ASSERT_EQ(trace.size(), 20u);
    ASSERT_EQ(trace[6].level, 1);
    ASSERT_EQ(trace[12].state, game::STATE_LOSE);
    ASSERT_EQ(trace[12].level, 1);
    ASSERT_EQ(trace[15].state, game::STATE_TITLE);
    const FrameValues& next = trace[18];
    EXPECT_EQ(next.state, game::STATE_PLAY);
    EXPECT_EQ(next.level, 0);
    EXPECT_EQ(next.levelTarget, 10);
    EXPECT_EQ(next.score, 0);
    EXPECT_EQ(next.lives, 6);
    EXPECT_EQ(next.beeSpeed, 2);
}

TEST_F(PlayRulesTest, TwoCatchesInOneFrameStepOverTheTarget) {
    Play(kStartGame, 40, [&](std::int64_t frame) {
        Away(objects[game::kBee]);
        if (frame == 5) {
            game::score = 8;
            OnHero(objects[game::kRedPot]);
            OnHero(objects[game::kBluePot]);
        } else if (frame >= 1) {
            Away(objects[game::kRedPot]);
            Away(objects[game::kBluePot]);
        }
    });
    EXPECT_EQ(trace[6].score, 12);
    EXPECT_EQ(trace[6].red.y, 0);
    EXPECT_EQ(trace[6].blue.y, 0);
    EXPECT_EQ(trace.back().level, 0) << "the level never ends";
    EXPECT_EQ(trace.back().score, 12);
    EXPECT_EQ(trace.back().state, game::STATE_PLAY);
}

TEST_F(PlayRulesTest, LastLifeAndLastLevelInOneFrameEndOnTheWinScreen) {
    bool checked = false;
    Play(kStartGame, 12, [&](std::int64_t frame) {
        if (frame == 6) {
            EXPECT_EQ(game::gameState, game::STATE_WIN);
            EXPECT_TRUE(Playing(game::winTune, game::winTuneIndex));
            EXPECT_TRUE(Playing(game::loseTune, game::loseTuneIndex)) << "the lose tune plays on beside the win tune";
            checked = true;
        }
        if (frame != 5) {
            Away(objects[game::kRedPot]);
            Away(objects[game::kBluePot]);
            Away(objects[game::kBee]);
            return;
        }
        game::level = 4;
        game::levelTarget = 50;
        game::score = 48;
        game::beeSpeed = 10;
        game::lives = 1;
        OnHero(objects[game::kRedPot]);
        Away(objects[game::kBluePot]);
        OnHero(objects[game::kBee]);
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(trace[6].lives, 0);
    EXPECT_EQ(trace[6].level, 5);
    EXPECT_EQ(trace.back().state, game::STATE_WIN);
}

TEST_F(PlayRulesTest, EscapeShowsBlackUnderTheLosePicture) {
    Play("1 P down\n2 P up\n6 ESC down\n7 ESC up\n", 8, [&](std::int64_t frame) {
        if (frame == 6) {
            EXPECT_EQ(Presented(20, 460), 0u);
        }
        if (frame == 5) {
            EXPECT_NE(Presented(20, 460), 0u);
        }
    });
    EXPECT_EQ(trace[6].state, game::STATE_LOSE);
}

TEST_F(PlayRulesTest, TheHeroWalksInStepsOfSevenBetweenMinusTwoAndFourHundredEleven) {
    Play("1 P down\n2 P up\n3 LEFT ARROW down\n100 LEFT ARROW up\n101 RIGHT ARROW down\n200 RIGHT ARROW up\n"
         "210 LEFT ARROW down\n210 RIGHT ARROW down\n",
         215, [](std::int64_t) { Away(objects[game::kBee]); });
    EXPECT_EQ(trace[3].heroX, 383);
    EXPECT_EQ(trace[99].heroX, -2);
    EXPECT_EQ(trace[100].heroX, -2) << "the released key still counts, but x is not above 0";
    EXPECT_EQ(trace[102].heroX, 12);
    EXPECT_EQ(trace[199].heroX, 411);
    EXPECT_EQ(trace[212].heroX, 411) << "both keys: left then right";
    for (const FrameValues& v : trace) EXPECT_EQ((v.heroX - 390) % 7, 0);
}

TEST_F(PlayRulesTest, FallersLeavingTheFieldStartAgainAtTheTop) {
    Play(kStartGame, 120, [](std::int64_t frame) {
        if (frame < 1) return;
        Away(objects[game::kRedPot]);
        Away(objects[game::kBluePot]);
        Away(objects[game::kBee]);
    });
    // The red pot starts at 150: 30 frames of 5 bring it to 300, the next one over.
    EXPECT_EQ(trace[31].red.y, 300);
    EXPECT_EQ(trace[32].red.y, -5);
    EXPECT_EQ(trace[33].red.y, 0);
    EXPECT_GE(trace[32].red.x, 0);
    EXPECT_LT(trace[32].red.x, 400);
    for (const FrameValues& v : trace) {
        EXPECT_LE(v.bee.y, 300);
        EXPECT_LT(v.bee.x, 450);
    }
}

// In play the six hearts stand at x = 510 + 20n, y = 400, each over the one before: every pixel
// of the picture where a heart is opaque shows the topmost heart's pixel there.
TEST_F(PlayRulesTest, HeartsAreDrawnAt510PlusTwentyNAt400) {
    bool checked = false;
    Play(kStartGame, 4, [&](std::int64_t frame) {
        if (frame >= 1) Away(objects[game::kBee]);
        if (frame != 3) return;
        media::SpriteObject* heart = objects[game::kFirstHeart].sprite;
        ASSERT_TRUE(heart && heart->sheet);
        media::FrameSheet& sheet = *heart->sheet;
        ASSERT_GE(sheet.LockForReading(), 1);
        const platform::Rect source = sheet.FrameRect(static_cast<std::int32_t>(heart->frame));
        const std::int32_t width = source.right - source.left, height = source.bottom - source.top;
        // The heart's pixel (raw, 32-bit) at (x, y) of the picture, or nothing where it is keyed.
        const auto heartPixel = [&](std::int32_t x, std::int32_t y) -> std::optional<std::uint32_t> {
            for (int n = game::kHeartCount - 1; n >= 0; --n) {
                const std::int32_t dx = x - (510 + 20 * n), dy = y - 400;
                if (dx < 0 || dx >= width || dy < 0 || dy >= height) continue;
                const std::uint32_t pixel = sheet.GetPixel(source.left + dx, source.top + dy);
                if (pixel != sheet.ColorKey()) return pixel & 0x00FFFFFFu;
            }
            return std::nullopt;
        };
        int opaque = 0;
        for (std::int32_t y = 390; y < 435; ++y)
            for (std::int32_t x = 490; x < 640; ++x) {
                const std::optional<std::uint32_t> expected = heartPixel(x, y);
                if (!expected) continue;
                ++opaque;
                ASSERT_EQ(Presented(x, y), *expected) << "at " << x << "," << y;
            }
        sheet.Unlock();
        EXPECT_GT(opaque, 6 * 20) << "the hearts have hardly any pixels";
        checked = true;
    });
    EXPECT_TRUE(checked);
}

// The status line's glyphs are white exactly where the built-in font has ink.
TEST_F(PlayRulesTest, StatusTextsAreDrawnInWhiteAt435) {
    bool checked = false;
    Play(kStartGame, 4, [&](std::int64_t frame) {
        if (frame != 3) return;
        struct Text {
            std::int32_t x;
            const char* text;
        };
        for (const Text& t : {Text{400, " 0"}, Text{460, "Level  0"}, Text{550, "LIFE  6"}}) {
            for (int i = 0; t.text[i]; ++i) {
                const std::uint8_t* rows = platform::GlyphRows(static_cast<unsigned char>(t.text[i]));
                ASSERT_NE(rows, nullptr);
                for (int r = 0; r < platform::kGlyphHeight; ++r)
                    for (int c = 0; c < platform::kGlyphWidth; ++c) {
                        const bool ink = (rows[r] >> (7 - c)) & 1;
                        const std::uint32_t pixel = Presented(t.x + i * platform::kGlyphWidth + c, 435 + r);
                        ASSERT_EQ(pixel == 0xFFFFFFu, ink) << t.text << " char " << i << " at " << c << "," << r;
                    }
            }
        }
        checked = true;
    });
    EXPECT_TRUE(checked);
}

}  // namespace
