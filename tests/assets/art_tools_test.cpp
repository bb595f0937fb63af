// The painting tools under the art: the tune notation, the bitmap font and the canvas's
// resolution against the colour key.
#include <gtest/gtest.h>

#include "tools/make_assets/bitmap_font.h"
#include "tools/make_assets/canvas.h"
#include "tools/make_assets/note_text.h"
#include "tools/make_assets/text_painter.h"

namespace {

TEST(NoteText, ReadsNotesRestsAndLengths) {
  const auto notes = assets::ParseNotes("c4/4 e4/8. | r/2 f#5/16\nbb3/1 a0/8");
  ASSERT_TRUE(notes.has_value());
  const std::vector<std::pair<int, double>> expected = {{60, 1}, {64, 0.75}, {-1, 2}, {78, 0.25}, {58, 4}, {21, 0.5}};
  ASSERT_EQ(notes->size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ((*notes)[i].key, expected[i].first) << i;
    EXPECT_DOUBLE_EQ((*notes)[i].beats, expected[i].second) << i;
  }
}

TEST(NoteText, RefusesMalformedNotes) {
  for (const char* bad : {"h4/4", "c/4", "c4/3", "c4", "c44/4", "c4/4x", "r/0", "c4/4 q"}) {
    EXPECT_FALSE(assets::ParseNotes(bad).has_value()) << bad;
  }
  EXPECT_TRUE(assets::ParseNotes("").value().empty());
}

TEST(NoteText, BuildsChords) {
  const std::pair<const char*, std::vector<int>> cases[] = {
      {"C", {60, 64, 67}}, {"Am", {69, 72, 76}}, {"G7", {67, 71, 74, 77}}, {"Bb", {70, 74, 77}}, {"E7", {64, 68, 71, 74}}};
  for (const auto& [name, tones] : cases) {
    const auto chord = assets::ParseChord(name);
    ASSERT_TRUE(chord.has_value()) << name;
    EXPECT_EQ(chord->Tones(4), tones) << name;
  }
  for (const char* bad : {"", "X", "Cmaj", "Am7x"}) EXPECT_FALSE(assets::ParseChord(bad).has_value()) << bad;
}

TEST(BitmapFont, LaysGlyphsOutWithOneBlankColumnBetween) {
  EXPECT_EQ(assets::BitmapFont::Width(""), 0);
  EXPECT_EQ(assets::BitmapFont::Width("i"), 1);
  EXPECT_EQ(assets::BitmapFont::Width("ii"), 3);
  EXPECT_EQ(assets::BitmapFont::Width("Ai"), 7);
  const assets::Bitmap line = assets::BitmapFont::Line("Ai");
  ASSERT_EQ(line.width, 7);
  ASSERT_EQ(line.height, assets::BitmapFont::kRows);
  for (int y = 0; y < line.height; ++y) EXPECT_FALSE(line.At(5, y)) << "spacing column, row " << y;
  EXPECT_TRUE(line.At(6, 0));   // the dot of the i
  EXPECT_FALSE(line.At(6, 1));
  EXPECT_TRUE(line.At(0, 6));   // the foot of the A
  const assets::Bitmap g = assets::BitmapFont::Line("g");
  EXPECT_TRUE(g.At(4, 7));  // descender below the baseline row 6
}

TEST(BitmapFont, NamesCharactersWithoutAGlyph) {
  EXPECT_EQ(assets::BitmapFont::Missing("bodo & zamel: P play, O options! 0123456789?"), "");
  EXPECT_EQ(assets::BitmapFont::Missing("a~b`~"), "~`");
  EXPECT_EQ(assets::BitmapFont::Width("a~b"), assets::BitmapFont::Width("ab"));
}

TEST(TextPainterDeathTest, StopsTheGeneratorOnALetterWithoutAGlyph) {
  assets::Canvas canvas(64, 32, assets::Hex(0x000000));
  EXPECT_DEATH(assets::DrawText(canvas, "ok~", 2, 2, assets::TextStyle{}), "no glyph for \"~\"");
}

TEST(TextPainter, DrawsOutlineAroundTheFillAndNothingBeyondItsBox) {
  assets::Canvas canvas(80, 40, assets::Hex(0x000000));
  const assets::TextStyle style{.scale = 3, .top = assets::Hex(0xffffff), .bottom = assets::Hex(0xffffff), .bold = 0,
                                .outline = assets::Hex(0xff0000), .outlineWidth = 2};
  assets::DrawText(canvas, "I", 10, 5, style);  // the I: a bar 3 font pixels wide, 7 high
  const assets::RgbPicture p = canvas.Resolve();
  EXPECT_EQ(p.At(14, 14), (assets::Rgb8{255, 255, 255}));  // the stem
  EXPECT_EQ(p.At(12, 14), (assets::Rgb8{255, 0, 0}));      // the outline beside the stem
  EXPECT_EQ(p.At(9, 7), (assets::Rgb8{255, 0, 0}));        // the outline beside the top bar
  EXPECT_EQ(p.At(9, 14), (assets::Rgb8{0, 0, 0}));         // under the top bar, too far from the stem
  EXPECT_EQ(p.At(6, 14), (assets::Rgb8{0, 0, 0}));         // beyond the outline
  EXPECT_EQ(p.At(40, 14), (assets::Rgb8{0, 0, 0}));
  EXPECT_NEAR(assets::TextWidth("I", style), 9, 1e-9);
}

TEST(Canvas, ResolvesEdgesToTheOutlineColourAndTheRestToTheKey) {
  const assets::Rgb8 key{255, 0, 255};
  const assets::Color outline = assets::Hex(0x202020);
  assets::Canvas canvas(40, 40);
  canvas.FillOutlined(assets::Circle(20.3, 19.7, 12.6), assets::Solid(assets::Hex(0xe0c040)), outline, 1.5);
  const assets::RgbPicture picture = canvas.Resolve(key);
  EXPECT_EQ(picture.At(0, 0), key);
  EXPECT_EQ(picture.At(20, 20), assets::ToRgb8(assets::Hex(0xe0c040)));
  int edges = 0;
  for (int y = 1; y < 39; ++y) {
    for (int x = 1; x < 39; ++x) {
      const assets::Rgb8 c = picture.At(x, y);
      if (c == key) continue;
      const bool touchesKey = picture.At(x - 1, y) == key || picture.At(x + 1, y) == key || picture.At(x, y - 1) == key || picture.At(x, y + 1) == key;
      if (!touchesKey) continue;
      ++edges;
      EXPECT_EQ(c, assets::ToRgb8(outline)) << x << "," << y;  // no blend with the key colour
    }
  }
  EXPECT_GT(edges, 60);
}

TEST(Canvas, BlendsPartialCoverageOnOpaqueGround) {
  assets::Canvas canvas(4, 1, assets::Hex(0x000000));
  canvas.Blend(1, 0, assets::Hex(0xffffff), 0.5);
  canvas.Blend(2, 0, assets::Hex(0xffffff), 1.0);
  canvas.Blend(9, 0, assets::Hex(0xffffff), 1.0);  // outside: ignored
  const assets::RgbPicture p = canvas.Resolve();
  EXPECT_EQ(p.At(0, 0), (assets::Rgb8{0, 0, 0}));
  EXPECT_EQ(p.At(1, 0), (assets::Rgb8{128, 128, 128}));
  EXPECT_EQ(p.At(2, 0), (assets::Rgb8{255, 255, 255}));
}

}  // namespace
