// Frame sheets: cutting pictures into frames, animations over the clock, editing, drawing, and
// the record stream.
#include <cstdio>
#include <functional>
#include <tuple>
#include <filesystem>
#include <memory>
#include <random>

#include "media/display/screen.h"
#include "media/sprite/frame_sheet.h"
#include "tests/blit/blit_test_support.h"
#include "tests/image/bmp_files.h"

namespace {

using media::FrameSheet;
using platform::Rect;

class FrameSheetTest : public blit_test::BlitTest {
protected:
    std::unique_ptr<FrameSheet> Sheet(std::int32_t width, std::int32_t height, int depth = 32) {
        auto s = std::make_unique<FrameSheet>();
        EXPECT_EQ(s->CreateBlank(screen.get(), width, height, depth), 1);
        return s;
    }
    // A temporary file, removed when the test ends.
    std::FILE* TempFile() {
        std::FILE* f = std::tmpfile();
        EXPECT_NE(f, nullptr);
        files.emplace_back(f, &std::fclose);
        return f;
    }
    std::vector<std::unique_ptr<std::FILE, int (*)(std::FILE*)>> files;
};

TEST_F(FrameSheetTest, PicturesAreCutRowByRow) {
    struct Case {
        const char* what;
        std::int32_t width, height, frameWidth, frameHeight, count;
        std::vector<Rect> rects;
    } cases[] = {
        {"as many as fit", 100, 60, 32, 30, 0,
         {{0, 0, 32, 30}, {32, 0, 64, 30}, {64, 0, 96, 30}, {0, 30, 32, 60}, {32, 30, 64, 60}, {64, 30, 96, 60}}},
        {"a larger count goes below the picture", 32, 30, 32, 30, 2, {{0, 0, 32, 30}, {0, 30, 32, 60}}},
        {"a smaller count", 100, 60, 50, 20, 3, {{0, 0, 50, 20}, {50, 0, 100, 20}, {0, 20, 50, 40}}},
        {"frames wider than the picture stay on one row", 10, 10, 20, 5, 3, {{0, 0, 20, 5}, {20, 0, 40, 5}, {40, 0, 60, 5}}},
    };
    for (const Case& k : cases) {
        auto s = Sheet(k.width, k.height);
        ASSERT_EQ(s->CutIntoFrames(k.frameWidth, k.frameHeight, k.count), 1) << k.what;
        ASSERT_EQ(s->FrameCount(), static_cast<std::int32_t>(k.rects.size())) << k.what;
        for (std::size_t i = 0; i < k.rects.size(); ++i) EXPECT_EQ(s->FrameRect(static_cast<std::int32_t>(i)), k.rects[i]) << k.what << " " << i;
    }
    auto s = Sheet(100, 60);
    EXPECT_EQ(s->FramesPerRow(), 0);
    ASSERT_EQ(s->CutIntoFrames(32, 30, 0), 1);
    EXPECT_EQ(s->FramesPerRow(), 3);
    EXPECT_EQ(s->FramesPerColumn(), 2);
    // Refused: the earlier frames stay.
    const std::int32_t refused[][3] = {{0, 30, 0}, {32, -1, 0}, {32, 30, -1}, {32, 30, 65537}, {100, 1 << 30, 4}};
    for (const auto& r : refused) {
        EXPECT_EQ(s->CutIntoFrames(r[0], r[1], r[2]), 0) << r[0] << "x" << r[1] << " count " << r[2];
        EXPECT_EQ(s->FrameCount(), 6);
    }
}

TEST_F(FrameSheetTest, LoadFramesLoadsThePictureThenCutsIt) {
    testing_bmp::BmpLayout layout;
    layout.width = 100;
    layout.height = 60;
    layout.pixels = testing_bmp::PackRows(100, 60, 24, [](std::int32_t x, std::int32_t y) { return static_cast<std::uint32_t>(x * 7 + y); });
    const std::string path = (std::filesystem::temp_directory_path() / "frame_sheet_test.bmp").string();
    {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
        const auto bytes = testing_bmp::MakeBmp(layout);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f.get()), bytes.size());
    }
    FrameSheet sheet;
    EXPECT_EQ(sheet.LoadFrames(screen.get(), nullptr, 32, 30, 0, media::MEMORY_ANY), 0);
    EXPECT_EQ(sheet.LoadFrames(screen.get(), path.c_str(), 0, 30, 0, media::MEMORY_ANY), 0);
    EXPECT_EQ(sheet.Surface(), nullptr) << "refused sizes load nothing";
    ASSERT_EQ(sheet.LoadFrames(screen.get(), path.c_str(), 32, 30, 0, media::MEMORY_ANY), 1);
    EXPECT_EQ(sheet.FrameCount(), 6);
    FrameSheet missing;
    EXPECT_EQ(missing.LoadFrames(screen.get(), "no such picture.bmp", 32, 30, 0, media::MEMORY_ANY), 0);
    EXPECT_EQ(missing.FrameCount(), 0);
    std::filesystem::remove(path);
}

// The frames an animation code resolves to at clock 0, 1, 2, ...
std::vector<std::int32_t> Sequence(FrameSheet& sheet, std::int32_t code, int ticks) {
    std::vector<std::int32_t> seen;
    for (int i = 0; i < ticks; ++i) {
        seen.push_back(sheet.ResolveFrame(code));
        sheet.AdvanceClock();
    }
    return seen;
}

TEST_F(FrameSheetTest, AnimationsResolveAgainstTheClock) {
    struct Case {
        const char* what;
        std::int32_t delay, pause, pingPong;
        std::vector<std::int32_t> list;
        std::vector<std::int32_t> expected;
    } cases[] = {
        {"looping, delay 2, pause 1", 2, 1, 0, {5, 6, 7}, {5, 5, 6, 6, 7, 7, 5, 5, 5, 5, 6}},
        {"back and forth, delay 1", 1, 0, 1, {5, 6, 7}, {5, 6, 7, 6, 5, 6, 7, 6}},
        {"back and forth with a pause", 1, 2, 1, {5, 6, 7}, {5, 6, 7, 6, 5, 5, 5, 6}},
        {"delay 0 shows the first frame", 0, 0, 0, {5, 6, 7}, {5, 5, 5}},
        {"a looping cycle of no steps", 1, -3, 0, {5, 6, 7}, {5, 5, 5}},
        {"a one-frame back and forth", 1, 0, 1, {9}, {9, 9, 9}},
        {"no frames at all", 1, 0, 0, {}, {0, 0, 0}},
    };
    for (const Case& k : cases) {
        FrameSheet s;
        ASSERT_EQ(s.AddAnimation(k.delay, k.pause, 0, k.pingPong, k.list.data(), static_cast<std::int32_t>(k.list.size())), 1) << k.what;
        EXPECT_EQ(Sequence(s, -1, static_cast<int>(k.expected.size())), k.expected) << k.what;
    }
    FrameSheet s;
    s.AddAnimationRange(1, 0, 0, 0, 10, 2);
    s.AddAnimationRange(1, 0, 0, 0, 20, 2);
    EXPECT_EQ(s.ResolveFrame(-2), 20) << "code -2 names animation 1";
    EXPECT_EQ(s.ResolveFrame(-3), 0) << "no third animation";
    EXPECT_EQ(s.ResolveFrame(INT32_MIN), 0);
    EXPECT_EQ(s.ResolveFrame(4), 4) << "frame indexes resolve to themselves";
    s.AdvanceClock();
    EXPECT_EQ(s.ResolveFrame(-1), 11);
    EXPECT_EQ(s.Clock(), 1);
}

TEST_F(FrameSheetTest, EditingKeepsEveryAnimationWhole) {
    FrameSheet s;
    const std::int32_t list[] = {1, 2, 3};
    EXPECT_EQ(s.AddAnimation(1, 0, 0, 0, list, 3), 1);
    EXPECT_EQ(s.AddAnimation(1, 0, 0, 0, nullptr, 2), 0) << "a null list with a length";
    EXPECT_EQ(s.AddAnimation(1, 0, 0, 0, list, -1), 0);
    EXPECT_EQ(s.AddAnimationRange(1, 0, 0, 0, INT32_MAX, 2), 0) << "entries past the largest index";
    EXPECT_EQ(s.AddAnimationRange(2, 3, 4, 1, 7, 2), 2);
    EXPECT_EQ(s.AnimationCount(), 2);

    struct Edit {
        const char* what;
        std::int32_t (*apply)(FrameSheet&);
        std::int32_t result;
        std::vector<std::int32_t> frames;  // of animation 0 afterwards
    } edits[] = {
        {"insert first", [](FrameSheet& f) { return f.InsertAnimationFrame(0, 0, 9); }, 1, {9, 1, 2, 3}},
        {"insert at the end appends", [](FrameSheet& f) { return f.InsertAnimationFrame(0, 4, 8); }, 1, {9, 1, 2, 3, 8}},
        {"insert past the end", [](FrameSheet& f) { return f.InsertAnimationFrame(0, 6, 8); }, 0, {9, 1, 2, 3, 8}},
        {"insert before the start", [](FrameSheet& f) { return f.InsertAnimationFrame(0, -1, 8); }, 0, {9, 1, 2, 3, 8}},
        {"insert into no animation", [](FrameSheet& f) { return f.InsertAnimationFrame(2, 0, 8); }, 0, {9, 1, 2, 3, 8}},
        {"remove a middle frame", [](FrameSheet& f) { return f.RemoveAnimationFrame(0, 2); }, 1, {9, 1, 3, 8}},
        {"remove past the end", [](FrameSheet& f) { return f.RemoveAnimationFrame(0, 4); }, 0, {9, 1, 3, 8}},
        {"remove from no animation", [](FrameSheet& f) { return f.RemoveAnimationFrame(-1, 0); }, 0, {9, 1, 3, 8}},
    };
    for (const Edit& e : edits) {
        EXPECT_EQ(e.apply(s), e.result) << e.what;
        EXPECT_EQ(s.GetAnimation(0)->frames, e.frames) << e.what;
    }
    EXPECT_EQ(s.RemoveAnimationFrame(1, 0), 1);
    EXPECT_EQ(s.RemoveAnimationFrame(1, 0), 0) << "an animation keeps its last frame";
    EXPECT_EQ(s.RemoveAnimation(2), 0);
    EXPECT_EQ(s.RemoveAnimation(0), 1);
    ASSERT_EQ(s.AnimationCount(), 1);
    const media::FrameAnimation* left = s.GetAnimation(0);
    EXPECT_EQ(left->delay, 2);
    EXPECT_EQ(left->pause, 3);
    EXPECT_EQ(left->spare, 4);
    EXPECT_EQ(left->pingPong, 1);
    EXPECT_EQ(left->frames, std::vector<std::int32_t>{8});
    EXPECT_EQ(s.GetAnimation(1), nullptr);
    EXPECT_EQ(s.GetAnimation(-1), nullptr);
}

std::vector<std::uint8_t> Contents(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::vector<std::uint8_t> bytes;
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<std::uint8_t>(c));
    return bytes;
}

TEST_F(FrameSheetTest, AnimationsWrittenAreReadBackInsideALargerFile) {
    FrameSheet s;
    const std::int32_t list[] = {3, -1, 0x01020304};
    s.AddAnimation(2, 1, 77, 0, list, 3);
    s.AddAnimation(1, 0, -5, 1, nullptr, 0);
    s.AddAnimationRange(4, 2, 0, 3, 100, 2);
    std::FILE* f = TempFile();
    std::fputs("prefix", f);
    const long offset = std::ftell(f);
    ASSERT_EQ(s.WriteAnimations(f), 1);
    std::fputs("suffix", f);
    const std::vector<std::uint8_t> bytes = Contents(f);
    // The count, then the first record: delay, pause, spare, mode, 0 for the list, length, entries.
    const std::vector<std::uint8_t> head = {3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 77, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                            3, 0, 0, 0, 3, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 4, 3, 2, 1};
    ASSERT_GE(bytes.size(), offset + head.size());
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + offset, bytes.begin() + offset + static_cast<long>(head.size())), head);
    EXPECT_EQ(bytes.size(), 6u + 4u + (24u + 12u) + 24u + (24u + 8u) + 6u);

    std::fseek(f, offset, SEEK_SET);
    FrameSheet other;
    other.AddAnimationRange(1, 0, 0, 0, 0, 1);
    ASSERT_EQ(other.ReadAnimations(f), 1);
    ASSERT_EQ(other.AnimationCount(), 3);
    for (std::int32_t i = 0; i < 3; ++i) {
        const media::FrameAnimation *a = s.GetAnimation(i), *b = other.GetAnimation(i);
        EXPECT_EQ(std::tie(a->delay, a->pause, a->spare, a->pingPong, a->frames), std::tie(b->delay, b->pause, b->spare, b->pingPong, b->frames)) << i;
    }
    char after[7] = {};
    EXPECT_EQ(std::fread(after, 1, 6, f), 6u);
    EXPECT_STREQ(after, "suffix") << "reading stops right after the records";
}

TEST_F(FrameSheetTest, ShortOrImpossibleStreamsKeepOnlyWholeRecords) {
    FrameSheet s;
    s.AddAnimationRange(1, 0, 0, 0, 10, 3);
    s.AddAnimationRange(1, 0, 0, 0, 20, 2);
    std::FILE* whole = TempFile();
    ASSERT_EQ(s.WriteAnimations(whole), 1);
    const std::vector<std::uint8_t> bytes = Contents(whole);  // 4 + 36 + 32 bytes

    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::int32_t result, records;
    } cases[] = {
        {"nothing at all", {}, 1, 0},
        {"two count bytes", {2, 0}, 0, 0},
        {"cut inside the first record", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 20), 0, 0},
        {"cut inside the first record's entries", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 36), 0, 0},
        {"cut inside the second record", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 50), 0, 1},
        {"whole", bytes, 1, 2},
        {"a negative count", {0xFF, 0xFF, 0xFF, 0xFF}, 0, 0},
        {"a count past the largest", {0x01, 0x00, 0x01, 0x00}, 0, 0},
        {"a negative length", {1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, 0, 0},
        {"a length past the largest", {1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0}, 0, 0},
    };
    for (const Case& k : cases) {
        std::FILE* f = TempFile();
        if (!k.bytes.empty()) std::fwrite(k.bytes.data(), 1, k.bytes.size(), f);
        std::rewind(f);
        FrameSheet other;
        other.AddAnimationRange(1, 0, 0, 0, 0, 1);
        EXPECT_EQ(other.ReadAnimations(f), k.result) << k.what;
        EXPECT_EQ(other.AnimationCount(), k.records) << k.what;
    }
    // A stream whose end-of-file indicator is set holds no animations.
    std::FILE* f = TempFile();
    std::fgetc(f);
    FrameSheet other;
    other.AddAnimationRange(1, 0, 0, 0, 0, 1);
    EXPECT_EQ(other.ReadAnimations(f), 1);
    EXPECT_EQ(other.AnimationCount(), 0);
}

TEST_F(FrameSheetTest, AShortWriteIsAFailure) {
    FrameSheet s;
    s.AddAnimationRange(1, 0, 0, 0, 10, 3);
    const std::string path = (std::filesystem::temp_directory_path() / "frame_sheet_readonly.bin").string();
    { std::unique_ptr<std::FILE, int (*)(std::FILE*)> make(std::fopen(path.c_str(), "wb"), &std::fclose); }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> readOnly(std::fopen(path.c_str(), "rb"), &std::fclose);
    ASSERT_NE(readOnly, nullptr);
    EXPECT_EQ(s.WriteAnimations(readOnly.get()), 0);
    EXPECT_EQ(s.WriteAnimations(nullptr), 0);
    readOnly.reset();
    std::filesystem::remove(path);
}

TEST_F(FrameSheetTest, FramesDrawThroughTheirKinds) {
    auto sheet = Sheet(8, 4, 16);
    std::mt19937 rng(9);
    blit_test::FillRandom(*sheet, rng, 0xF81F, 30);
    blit_test::MakeKey(*sheet, 0xF81F);
    ASSERT_EQ(sheet->CutIntoFrames(4, 4, 0), 1);
    sheet->AddAnimationRange(1, 0, 0, 0, 1, 1);  // animation 0: frame 1
    const std::int32_t zero = 0;
    sheet->AddAnimation(1, 0, 0, 0, &zero, 1);     // animation 1: frame 0
    sheet->AddAnimation(1, 0, 0, 0, nullptr, 0);   // animation 2: no frames
    const Rect frame1{4, 0, 8, 4};
    using Blit = std::function<void(FrameSheet&, media::PixelSurface*)>;
    struct Case {
        std::int32_t kind;
        Blit direct;  // the blit the kind stands for, on frame 1 at (3, 2); null: nothing drawn
    } cases[] = {
        {0, [&](FrameSheet& s, media::PixelSurface* d) { s.BlitOpaque(d, 3, 2, &frame1); }},
        {2, [&](FrameSheet& s, media::PixelSurface* d) { s.BlitOpaqueHalfBlend(d, 3, 2, &frame1); }},
        {11, [&](FrameSheet& s, media::PixelSurface* d) { s.BlitOpaqueBlend(d, 3, 2, &frame1, 25); }},
        {100, [&](FrameSheet& s, media::PixelSurface* d) { s.BlitKeyed(d, 3, 2, &frame1); }},
        {102, [&](FrameSheet& s, media::PixelSurface* d) { s.BlitKeyedHalfBlend(d, 3, 2, &frame1); }},
        {111, [&](FrameSheet& s, media::PixelSurface* d) { s.BlitKeyedBlend(d, 3, 2, &frame1, 25); }},
        {1, nullptr},
        {4, nullptr},
        {101, nullptr},
    };
    for (const Case& k : cases) {
        for (const std::int32_t code : {1, -1}) {
            auto drawn = Sheet(12, 8, 16);
            auto expected = Sheet(12, 8, 16);
            drawn->Fill(0x1234);
            expected->Fill(0x1234);
            if (k.direct) k.direct(*sheet, expected.get());
            sheet->DrawFrame(3, 2, drawn.get(), k.kind, code);
            EXPECT_EQ(blit_test::Snapshot(*drawn), blit_test::Snapshot(*expected)) << "kind " << k.kind << " code " << code;
            auto first = Sheet(12, 8, 16);
            first->Fill(0x1234);
            sheet->DrawFirstFrame(3, 2, first.get(), k.kind, code);
            EXPECT_EQ(blit_test::Snapshot(*first), blit_test::Snapshot(*expected)) << "first frame, kind " << k.kind << " code " << code;
        }
    }
    // Nothing for frame 0 (directly or as an animation's first entry), frames past the last,
    // missing animations and animations without frames.
    for (const std::int32_t code : {0, 2, 99, -2, -3, -4}) {
        auto drawn = Sheet(12, 8, 16);
        if (code != -2) sheet->DrawFrame(0, 0, drawn.get(), 0, code);
        sheet->DrawFirstFrame(0, 0, drawn.get(), 0, code);
        EXPECT_EQ(blit_test::Snapshot(*drawn), std::vector<std::uint32_t>(96, 0)) << "code " << code;
    }
    // An animation resolving to frame 0 draws it: only the code 0 itself is refused.
    auto drawn = Sheet(12, 8, 16);
    auto expected = Sheet(12, 8, 16);
    const Rect frame0{0, 0, 4, 4};
    sheet->BlitOpaque(expected.get(), 0, 0, &frame0);
    sheet->DrawFrame(0, 0, drawn.get(), 0, -2);
    EXPECT_EQ(blit_test::Snapshot(*drawn), blit_test::Snapshot(*expected));
}

}  // namespace
