// Sprites: creation, drawing through every blit kind, and the pixel-exact overlap test against a
// per-position reference.
#include <filesystem>
#include <functional>
#include <memory>
#include <random>

#include "media/blit/blit_kind.h"
#include "media/sprite/sprite_object.h"
#include "tests/blit/blit_test_support.h"
#include "tests/image/bmp_files.h"

namespace {

using media::FrameSheet;
using media::SpriteObject;
using platform::FaultPoint;
using platform::Rect;

class SpriteTest : public blit_test::BlitTest {
protected:
    // Gives the sprite a blank sheet of its own, cut into frames.
    void GiveSheet(SpriteObject& s, std::int32_t width, std::int32_t height, int depth, std::int32_t frameWidth, std::int32_t frameHeight) {
        s.sheet = new FrameSheet();
        s.ownsSheet = 1;
        ASSERT_EQ(s.sheet->CreateBlank(screen.get(), width, height, depth), 1);
        ASSERT_EQ(s.sheet->CutIntoFrames(frameWidth, frameHeight, 0), 1);
    }
};

TEST_F(SpriteTest, CreateLoadsOneSheetOnly) {
    testing_bmp::BmpLayout layout;
    layout.width = 8;
    layout.height = 4;
    layout.pixels = testing_bmp::PackRows(8, 4, 24, [](std::int32_t x, std::int32_t) { return static_cast<std::uint32_t>(x); });
    const std::string path = (std::filesystem::temp_directory_path() / "sprite_test.bmp").string();
    {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
        const auto bytes = testing_bmp::MakeBmp(layout);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f.get()), bytes.size());
    }
    SpriteObject s;
    EXPECT_EQ(s.Create(screen.get(), nullptr, 4, 4, 0, media::MEMORY_ANY), -1);
    EXPECT_EQ(s.sheet, nullptr);
    ASSERT_EQ(s.Create(screen.get(), path.c_str(), 4, 4, 0, media::MEMORY_ANY), 1);
    EXPECT_EQ(s.sheet->FrameCount(), 2);
    FrameSheet* first = s.sheet;
    EXPECT_EQ(s.Create(screen.get(), path.c_str(), 4, 4, 0, media::MEMORY_ANY), -2);
    EXPECT_EQ(s.sheet, first);
    SpriteObject missing;
    EXPECT_EQ(missing.Create(screen.get(), "no such sprite.bmp", 4, 4, 0, media::MEMORY_ANY), -3);
    ASSERT_NE(missing.sheet, nullptr) << "the sheet stays attached, without a picture";
    auto dst = Blank(8, 8, 32);
    missing.Draw(dst.get(), 0, 0, media::BLIT_OPAQUE);
    EXPECT_EQ(missing.Overlaps(s), 0);
    missing.Release();
    EXPECT_EQ(missing.sheet, nullptr);
    std::filesystem::remove(path);
}

// After Release the sprite owns nothing: a sheet the caller sets afterwards is only borrowed, and
// the sprite's destructor leaves it to the caller (deleting it would free it twice).
TEST_F(SpriteTest, ASheetSetAfterReleaseIsOnlyBorrowed) {
    testing_bmp::BmpLayout layout;
    layout.width = 8;
    layout.height = 4;
    layout.pixels = testing_bmp::PackRows(8, 4, 24, [](std::int32_t x, std::int32_t) { return static_cast<std::uint32_t>(x); });
    const std::string path = (std::filesystem::temp_directory_path() / "sprite_release_test.bmp").string();
    {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
        const auto bytes = testing_bmp::MakeBmp(layout);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f.get()), bytes.size());
    }
    const struct {
        const char* name;
        const char* file;
        std::int32_t created;
    } cases[] = {
        {"after a failed Create", "no such sprite.bmp", -3},
        {"after a good Create", path.c_str(), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto sprite = std::make_unique<SpriteObject>();
        ASSERT_EQ(sprite->Create(screen.get(), c.file, 4, 4, 0, media::MEMORY_ANY), c.created);
        EXPECT_EQ(sprite->ownsSheet, 1);
        sprite->Release();
        EXPECT_EQ(sprite->sheet, nullptr);
        EXPECT_EQ(sprite->ownsSheet, 0);
        auto borrowed = std::make_unique<FrameSheet>();
        ASSERT_EQ(borrowed->CreateBlank(screen.get(), 8, 4, 32), 1);
        sprite->sheet = borrowed.get();
        sprite->Release();
        sprite->sheet = borrowed.get();
        sprite.reset();
        // Still the caller's: usable, then deleted once, by its unique_ptr.
        EXPECT_EQ(borrowed->Width(), 8);
    }
    std::filesystem::remove(path);
}

TEST_F(SpriteTest, EveryKindDrawsItsBlitWithTheSpritesParameters) {
    SpriteObject s;
    GiveSheet(s, 12, 8, 16, 6, 4);
    std::mt19937 rng(21);
    blit_test::FillRandom(*s.sheet, rng, 0xF81F, 30);
    blit_test::MakeKey(*s.sheet, 0xF81F);
    ASSERT_TRUE(s.sheet->SetAlphaMap(std::make_unique<std::uint8_t[]>(96), 96));
    s.x = 9;
    s.y = 7;
    s.frame = 3;  // the second frame of the second row: (6, 4) to (12, 8)
    s.angle = 0.3;
    s.scale = 1.5f;
    s.shadowOffsetX = 2;
    s.shadowOffsetY = -1;
    s.shadowFactor = 77;
    s.alpha = 140;
    s.stretchWidth = 9;
    s.stretchHeight = 5;
    const Rect r{6, 4, 12, 8};
    FrameSheet& f = *s.sheet;
    // The view offset (4, 3) puts the frame at (5, 4), its shadow at (3, 5) and its centre at (8, 6).
    using Blit = std::function<void(media::PixelSurface*)>;
    const std::pair<std::int32_t, Blit> kinds[] = {
        {0, [&](auto d) { f.BlitOpaque(d, 5, 4, &r); }},
        {1, [&](auto d) { f.BlitOpaqueBlend(d, 5, 4, &r, 140); }},
        {2, [&](auto d) { f.BlitOpaqueHalfBlend(d, 5, 4, &r); }},
        {3, [&](auto d) { f.BlitOpaqueScaled(d, 5, 4, &r, 1.5f); }},
        {4, [&](auto d) { f.BlitOpaqueShade(d, 3, 5, &r, 77); }},
        {5, [&](auto d) { f.BlitOpaqueHalfShade(d, 3, 5, &r); }},
        {6, nullptr},
        {7, [&](auto d) { Rect c = r; f.BlitOpaqueRotated(d, 8, 6, &c, 0.3, 1.5); }},
        {8, [&](auto d) { f.BlitOpaqueMirrorX(d, 5, 4, &r); }},
        {9, [&](auto d) { f.BlitOpaqueMirrorY(d, 5, 4, &r); }},
        {10, [&](auto d) { f.BlitOpaqueStretched(d, 5, 4, &r, 9, 5); }},
        {11, nullptr},
        {100, [&](auto d) { f.BlitKeyed(d, 5, 4, &r); }},
        {0x7FFF0064, [&](auto d) { f.BlitKeyed(d, 5, 4, &r); }},
        {101, [&](auto d) { f.BlitKeyedBlend(d, 5, 4, &r, 140); }},
        {102, [&](auto d) { f.BlitKeyedHalfBlend(d, 5, 4, &r); }},
        {103, [&](auto d) { f.BlitKeyedScaled(d, 5, 4, &r, 1.5f); }},
        {104, [&](auto d) { f.BlitKeyedShade(d, 3, 5, &r, 77); }},
        {105, [&](auto d) { f.BlitKeyedHalfShade(d, 3, 5, &r); }},
        {106, nullptr},
        {107, [&](auto d) { Rect c = r; f.BlitKeyedRotated(d, 8, 6, &c, 0.3, 1.5); }},
        {108, [&](auto d) { f.BlitKeyedMirrorX(d, 5, 4, &r); }},
        {109, [&](auto d) { f.BlitKeyedMirrorY(d, 5, 4, &r); }},
        {110, [&](auto d) { f.BlitKeyedStretched(d, 5, 4, &r, 9, 5); }},
        {111, nullptr},
        {120, [&](auto d) { f.BlitKeyedAlphaMap(d, 5, 4, &r); }},
        {121, nullptr},
    };
    for (const auto& [kind, direct] : kinds) {
        auto drawn = Blank(20, 16, 16);
        auto expected = Blank(20, 16, 16);
        drawn->Fill(0x4321);
        expected->Fill(0x4321);
        if (direct) direct(expected.get());
        s.Draw(drawn.get(), 4, 3, kind);
        EXPECT_EQ(blit_test::Snapshot(*drawn), blit_test::Snapshot(*expected)) << "kind " << kind;
    }
    // A frame past the last lies below the picture and is clipped away.
    s.frame = 4;
    auto drawn = Blank(20, 16, 16);
    s.Draw(drawn.get(), 0, 0, media::BLIT_OPAQUE);
    EXPECT_EQ(blit_test::Snapshot(*drawn), std::vector<std::uint32_t>(320, 0));
}

// Whether two placed frames share a position where neither pixel is its sheet's key, position by
// position; positions outside a picture are transparent.
bool ReferenceOverlap(const SpriteObject& a, const SpriteObject& b) {
    if (&a == &b || !a.sheet || !b.sheet || !a.sheet->Surface() || !b.sheet->Surface()) return false;
    const auto opaque = [](const SpriteObject& s, std::int64_t X, std::int64_t Y, bool oneSheet) {
        const FrameSheet& f = *s.sheet;
        const std::int64_t perRow = f.Width() / f.FrameWidth();
        if (perRow == 0) return false;
        const std::int64_t px = static_cast<std::int64_t>(s.frame % perRow) * f.FrameWidth() + X - s.x;
        const std::int64_t py = static_cast<std::int64_t>(s.frame / perRow) * f.FrameHeight() + Y - s.y;
        if (px < 0 || py < 0 || px >= f.Width() || py >= f.Height()) return false;
        std::uint32_t v = blit_test::Raw(f, static_cast<std::int32_t>(px), static_cast<std::int32_t>(py));
        if (f.GetPixelFormatInfo().depth == 32 && !oneSheet) v &= 0xFFFFFF;
        return v != f.ColorKey();
    };
    if (a.sheet->GetPixelFormatInfo().depth != b.sheet->GetPixelFormatInfo().depth) return false;
    const bool oneSheet = a.sheet == b.sheet;
    for (std::int64_t Y = std::max(a.y, b.y); Y < std::min<std::int64_t>(a.y + a.sheet->FrameHeight(), b.y + b.sheet->FrameHeight()); ++Y)
        for (std::int64_t X = std::max(a.x, b.x); X < std::min<std::int64_t>(a.x + a.sheet->FrameWidth(), b.x + b.sheet->FrameWidth()); ++X)
            if (opaque(a, X, Y, oneSheet) && opaque(b, X, Y, oneSheet)) return true;
    return false;
}

class OverlapTest : public SpriteTest, public ::testing::WithParamInterface<int> {};

TEST_P(OverlapTest, OverlapsMatchesThePositionByPositionRule) {
    const int depth = GetParam();
    for (const int iteration : TestIterations(300)) {
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        std::mt19937 rng(IterationSeed(static_cast<std::uint32_t>(depth), iteration));
        // Every other iteration wide frames (rows of 32 pixels and more are walked in blocks) with
        // few opaque pixels, so that wide walks end without a hit too.
        const bool wide = iteration % 2 == 1;
        const std::uint32_t span = wide ? 170 : 20, frameSpan = wide ? 150 : 8;
        SpriteObject a, b, c;
        for (SpriteObject* s : {&a, &b}) {
            const std::int32_t frameWidth = static_cast<std::int32_t>(2 + rng() % frameSpan);
            const std::int32_t frameHeight = static_cast<std::int32_t>(2 + rng() % (wide ? 24 : 6));
            GiveSheet(*s, frameWidth + static_cast<std::int32_t>(rng() % span), frameHeight + static_cast<std::int32_t>(rng() % 12), depth,
                      frameWidth, frameHeight);
            const std::uint32_t key = blit_test::RandomPixel(rng, depth) & 0xFFFFFF;
            blit_test::FillRandom(*s->sheet, rng, key, wide ? 97 + static_cast<int>(rng() % 3) : 60 + static_cast<int>(rng() % 40));
            blit_test::MakeKey(*s->sheet, key);
            s->x = static_cast<std::int32_t>(rng() % span) - static_cast<std::int32_t>(span / 2);
            s->y = static_cast<std::int32_t>(rng() % 14) - 7;
            s->frame = rng() % 8;  // sometimes past the last frame
        }
        // Sometimes a second sprite on the same sheet.
        c.sheet = a.sheet;
        c.x = static_cast<std::int32_t>(rng() % span) - static_cast<std::int32_t>(span / 2);
        c.y = static_cast<std::int32_t>(rng() % 14) - 7;
        c.frame = rng() % 4;
        ASSERT_EQ(a.Overlaps(b), ReferenceOverlap(a, b) ? 1 : 0);
        ASSERT_EQ(b.Overlaps(a), a.Overlaps(b)) << "the roles swap freely";
        ASSERT_EQ(a.Overlaps(c), ReferenceOverlap(a, c) ? 1 : 0);
        // Once more with the opacity kept from the first calls.
        ASSERT_EQ(a.Overlaps(b), ReferenceOverlap(a, b) ? 1 : 0);
        ASSERT_EQ(a.sheet->LockCount(), 0u);
        ASSERT_EQ(b.sheet->LockCount(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, OverlapTest, ::testing::Values(8, 15, 16, 24, 32),
                         [](const auto& info) { return "depth" + std::to_string(info.param); });

// One opaque pixel of b over a wholly opaque a, at the corners and edges of frames of every width
// class (byte by byte, by words, by blocks, with and without a partial last block) and of heights
// around the walk's groups of rows; b is placed so that the pixel sometimes lies outside a.
TEST_F(SpriteTest, OverlapsFindsALoneSharedPixelAnywhere) {
    for (const int depth : {16, 32}) {
        for (const std::int32_t width : {5, 8, 31, 32, 33, 90, 128, 161, 200}) {
            for (const std::int32_t height : {1, 8, 9, 17}) {
                SpriteObject a, b;
                GiveSheet(a, width, height, depth, width, height);
                GiveSheet(b, width, height, depth, width, height);
                a.sheet->Fill(0x1234);
                b.sheet->Fill(0x001F);
                ASSERT_EQ(b.sheet->SetColorKeyFromTopLeft(), 0);
                for (const auto& [px, py] : {std::pair{width - 1, height - 1}, {0, height - 1}, {width - 1, 0}, {width / 2, height / 2}}) {
                    blit_test::SetRaw(*b.sheet, px, py, 0x4321);
                    for (const std::int32_t shift : {0, 1, -1}) {
                        b.x = shift;
                        b.y = -shift;
                        SCOPED_TRACE(::testing::Message() << depth << " bits, " << width << "x" << height << ", pixel (" << px << ", " << py
                                                          << "), b at (" << b.x << ", " << b.y << ")");
                        EXPECT_EQ(a.Overlaps(b), ReferenceOverlap(a, b) ? 1 : 0);
                    }
                    blit_test::SetRaw(*b.sheet, px, py, 0x001F);
                }
            }
        }
    }
}

// What a sprite test keeps of a sheet's pixels must follow every way the sheet can change, and the
// test itself must not count as a change (a keyed copy from the sheet keeps its runs).
TEST_F(SpriteTest, OverlapsFollowsEveryChangeOfTheSheet) {
    const std::function<void(FrameSheet&)> changes[] = {
        [](FrameSheet& f) {
            f.Lock();
            f.PutPixel(40, 2, 0x00123456);
            f.Unlock();
        },
        [this](FrameSheet& f) {
            auto patch = Blank(2, 1, 32);
            blit_test::SetRaw(*patch, 1, 0, 0x00123456);
            ASSERT_EQ(patch->SetColorKeyFromTopLeft(), 0);
            ASSERT_EQ(patch->BlitKeyed(&f, 39, 2, nullptr), 0);
        },
        [this](FrameSheet& f) {
            auto patch = Blank(1, 1, 32);
            patch->Fill(0x00123456);
            ASSERT_EQ(patch->BlitOpaque(&f, 40, 2, nullptr), 0);
        },
        [](FrameSheet& f) { f.Fill(0x00123456); },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        SpriteObject a, b;
        GiveSheet(a, 64, 4, 32, 64, 4);
        GiveSheet(b, 64, 4, 32, 64, 4);
        a.sheet->Fill(0x00ABCDEF);
        for (SpriteObject* s : {&a, &b}) {
            blit_test::SetRaw(*s->sheet, 0, 0, 0x000000FF);
            ASSERT_EQ(s->sheet->SetColorKeyFromTopLeft(), 0);
        }
        b.sheet->Fill(0x000000FF);
        ASSERT_EQ(a.Overlaps(b), 0) << "change " << i;
        const std::uint64_t before = b.sheet->Surface()->ContentVersion();
        ASSERT_EQ(a.Overlaps(b), 0) << "change " << i;
        EXPECT_EQ(b.sheet->Surface()->ContentVersion(), before) << "the test only reads";
        changes[i](*b.sheet);
        EXPECT_EQ(a.Overlaps(b), 1) << "change " << i;
    }
    // Writes under a lock held across the tests are seen too.
    SpriteObject a, b;
    GiveSheet(a, 40, 4, 16, 40, 4);
    GiveSheet(b, 40, 4, 16, 40, 4);
    a.sheet->Fill(0x1234);
    b.sheet->Fill(0x001F);
    ASSERT_EQ(b.sheet->SetColorKeyFromTopLeft(), 0);
    ASSERT_EQ(b.sheet->Lock(), 1);
    EXPECT_EQ(a.Overlaps(b), 0);
    b.sheet->PutPixel(39, 3, 0x4321);
    EXPECT_EQ(a.Overlaps(b), 1);
    b.sheet->PutPixel(39, 3, 0x001F);
    EXPECT_EQ(a.Overlaps(b), 0);
    b.sheet->Unlock();
    EXPECT_EQ(a.Overlaps(b), 0);
}

// A read-only lock keeps what was derived from the pixels (the keyed copy's runs, the sheet's
// opacity); anything that writes while it is held must still make both be found again.
TEST_F(SpriteTest, WritesUnderAHeldReadLockReachKeyedCopiesAndOverlaps) {
    constexpr std::uint32_t kKey = 0x000000BB, kWritten = 0x000000AA;
    constexpr std::int32_t kX = 40, kY = 2;
    const struct {
        const char* name;
        std::function<void(FrameSheet&)> write;
    } ways[] = {
        {"Lock, PutPixel", [](FrameSheet& f) {
             ASSERT_EQ(f.Lock(), 2);
             f.PutPixel(kX, kY, kWritten);
             ASSERT_EQ(f.Unlock(), 1);
         }},
        {"Lock, DrawHLine", [](FrameSheet& f) {
             ASSERT_EQ(f.Lock(), 2);
             f.DrawHLine(kX, kX, kY, kWritten);
             ASSERT_EQ(f.Unlock(), 1);
         }},
        {"a software blend onto it", [this](FrameSheet& f) {
             auto patch = Blank(1, 1, 32);
             patch->Fill(kWritten);
             ASSERT_EQ(patch->BlitOpaqueBlend(&f, kX, kY, nullptr, 0), 0);
         }},
        {"a rotated copy onto it", [this](FrameSheet& f) {
             auto patch = Blank(5, 5, 32);  // around the pixel
             patch->Fill(kWritten);
             ASSERT_EQ(patch->BlitOpaqueRotated(&f, kX, kY, nullptr, 0.0, 1.0), 1);
         }},
        {"a platform copy onto it", [this](FrameSheet& f) {
             auto patch = Blank(1, 1, 32);
             patch->Fill(kWritten);
             ASSERT_EQ(patch->BlitOpaque(&f, kX, kY, nullptr), 0);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        SpriteObject keyed, solid;
        GiveSheet(keyed, 64, 4, 32, 64, 4);
        GiveSheet(solid, 64, 4, 32, 64, 4);
        keyed.sheet->Fill(kKey);
        ASSERT_EQ(keyed.sheet->SetColorKeyFromTopLeft(), 0);
        solid.sheet->Fill(0x00123456);
        blit_test::SetRaw(*solid.sheet, 0, 0, 0x00FFFFFF);
        ASSERT_EQ(solid.sheet->SetColorKeyFromTopLeft(), 0);
        // Both caches made from the all-key sheet.
        auto before = Blank(64, 4, 32);
        ASSERT_EQ(keyed.sheet->BlitKeyed(before.get(), 0, 0, nullptr), 0);
        ASSERT_EQ(keyed.Overlaps(solid), 0);

        ASSERT_EQ(keyed.sheet->LockForReading(), 1);
        way.write(*keyed.sheet);
        ASSERT_EQ(keyed.sheet->Unlock(), 0);

        auto after = Blank(64, 4, 32);
        after->Fill(0x000000CC);
        ASSERT_EQ(keyed.sheet->BlitKeyed(after.get(), 0, 0, nullptr), 0);
        EXPECT_EQ(blit_test::Raw(*after, kX, kY), kWritten);
        EXPECT_EQ(blit_test::Raw(*after, kX - 5, kY), 0x000000CCu);
        EXPECT_EQ(keyed.Overlaps(solid), 1);
    }
}

// In 24 and 32 bits every keyed kind compares the key with the pixel's three colour bytes: a
// 32-bit pixel that differs from the key only in its fourth byte is transparent whichever path
// draws it (the platform's copies by runs or pixel by pixel, the mirror's software fallback, the
// software blends, shadows and rotation). The sheet holds key pixels with both fourth bytes
// and one opaque pixel, which alone may change the destination.
TEST_F(SpriteTest, EveryKeyedKindComparesTheThreeColourBytes) {
    constexpr std::uint32_t kKey = 0x00FF00FF, kKeyOtherFourthByte = 0xFFFF00FF, kOpaque = 0x00102030;
    constexpr std::int32_t kSize = 16;
    const std::int32_t kinds[] = {100, 101, 102, 103, 104, 105, 107, 108, 109, 110, 120};
    // Where the two key values lie: halves give few runs (the copy goes by runs), a
    // checkerboard many (pixel by pixel).
    const struct {
        const char* name;
        bool (*otherByte)(std::int32_t x, std::int32_t y);
    } patterns[] = {
        {"halves", [](std::int32_t x, std::int32_t) { return x >= kSize / 2; }},
        {"checkerboard", [](std::int32_t x, std::int32_t y) { return (x + y) % 2 == 1; }},
    };
    for (const int depth : {24, 32}) {
        for (const auto& pattern : patterns) {
            for (const bool mirrorFallback : {false, true}) {
                for (const std::int32_t kind : kinds) {
                    SCOPED_TRACE(testing::Message() << depth << " bits, " << pattern.name << (mirrorFallback ? ", software mirror" : "")
                                                    << ", kind " << kind);
                    if (mirrorFallback && kind != 108 && kind != 109) continue;
                    SpriteObject s;
                    GiveSheet(s, kSize, kSize, depth, kSize, kSize);
                    FrameSheet& f = *s.sheet;
                    f.Lock();
                    for (std::int32_t y = 0; y < kSize; ++y)
                        for (std::int32_t x = 0; x < kSize; ++x) f.PutPixel(x, y, x > 0 && pattern.otherByte(x, y) ? kKeyOtherFourthByte : kKey);
                    f.PutPixel(kSize / 2, kSize / 2, kOpaque);
                    f.Unlock();
                    ASSERT_EQ(f.SetColorKeyFromTopLeft(), 0);
                    const auto mapSize = static_cast<std::size_t>(kSize * kSize);
                    auto map = std::make_unique<std::uint8_t[]>(mapSize);
                    std::fill_n(map.get(), mapSize, std::uint8_t{200});
                    ASSERT_TRUE(f.SetAlphaMap(std::move(map), mapSize));
                    s.x = s.y = 8;
                    s.alpha = 128;
                    s.shadowFactor = 128;
                    s.scale = kind == 107 ? 1.0f : 2.0f;
                    s.stretchWidth = s.stretchHeight = 2 * kSize;

                    auto dest = Blank(48, 48, depth);
                    dest->Fill(0x77336699);
                    const std::vector<std::uint32_t> before = blit_test::Snapshot(*dest);
                    if (mirrorFallback) host.SetFault(FaultPoint::MirrorBlit, platform::DDERR_NOMIRRORHW);
                    s.Draw(dest.get(), 0, 0, kind);
                    host.ClearFaults();
                    const std::vector<std::uint32_t> after = blit_test::Snapshot(*dest);
                    std::size_t changed = 0;
                    for (std::size_t i = 0; i < after.size(); ++i) changed += after[i] != before[i];
                    // The opaque pixel covers at most 2 x 2 destination pixels at scale 2.
                    EXPECT_GE(changed, 1u);
                    EXPECT_LE(changed, 4u);
                }
            }
        }
    }
}

TEST_F(SpriteTest, OverlapsCases) {
    struct Case {
        const char* what;
        std::int32_t ax, ay, bx, by;
        std::uint32_t aPixel, bPixel;  // every pixel of each 4x4 frame
        bool sameSheet;
        int bDepth;
        std::int32_t expected;
    } cases[] = {
        {"boxes touching along an edge", 0, 0, 4, 0, 0x00112233, 0x00112233, false, 32, 0},
        {"one column shared", 0, 0, 3, 1, 0x00112233, 0x00112233, false, 32, 1},
        {"equal x", 5, 0, 5, 3, 0x00112233, 0x00112233, false, 32, 1},
        {"a key over an opaque pixel", 0, 0, 1, 1, 0x000000FF, 0x00112233, false, 32, 0},
        {"two sheets compare three colour bytes", 0, 0, 1, 1, 0xAA0000FF, 0x00112233, false, 32, 0},
        {"one sheet compares the whole word", 0, 0, 1, 1, 0xAA0000FF, 0xAA0000FF, true, 32, 1},
        {"different depth codes", 0, 0, 1, 1, 0x1234, 0x1234, false, 16, 0},
    };
    for (const Case& k : cases) {
        SpriteObject a, b;
        GiveSheet(a, 8, 4, 32, 4, 4);
        a.sheet->Fill(k.aPixel);
        blit_test::SetRaw(*a.sheet, 0, 0, 0x000000FF);
        ASSERT_EQ(a.sheet->SetColorKeyFromTopLeft(), 0);
        a.sheet->Fill(k.aPixel);
        if (k.sameSheet) {
            b.sheet = a.sheet;
            b.frame = 1;
            a.sheet->Lock();
            for (std::int32_t y = 0; y < 4; ++y)
                for (std::int32_t x = 4; x < 8; ++x) a.sheet->PutPixel(x, y, k.bPixel);
            a.sheet->Unlock();
        } else {
            GiveSheet(b, 4, 4, k.bDepth, 4, 4);
            b.sheet->Fill(0xFF);
            ASSERT_EQ(b.sheet->SetColorKeyFromTopLeft(), 0);
            b.sheet->Fill(k.bPixel);
        }
        a.x = k.ax, a.y = k.ay, b.x = k.bx, b.y = k.by;
        EXPECT_EQ(a.Overlaps(b), k.expected) << k.what;
        EXPECT_EQ(b.Overlaps(a), k.expected) << k.what << ", swapped";
    }
    SpriteObject a, none;
    GiveSheet(a, 4, 4, 32, 4, 4);
    a.sheet->Fill(0x00123456);
    EXPECT_EQ(a.Overlaps(a), 0) << "a sprite against itself";
    EXPECT_EQ(a.Overlaps(none), 0);
    EXPECT_EQ(none.Overlaps(a), 0);
    SpriteObject wide;
    GiveSheet(wide, 4, 4, 32, 4, 4);
    wide.sheet->CutIntoFrames(8, 4, 1);  // a frame wider than the picture: no frames per row
    EXPECT_EQ(a.Overlaps(wide), 0);
    // Positions far apart never overflow the box sums.
    wide.x = INT32_MAX;
    a.x = INT32_MIN;
    EXPECT_EQ(a.Overlaps(wide), 0);
}

}  // namespace
