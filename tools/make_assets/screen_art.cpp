#include "tools/make_assets/screen_art.h"

#include <string_view>

#include "tools/make_assets/scenery.h"
#include "tools/make_assets/sprite_art.h"
#include "tools/make_assets/text_painter.h"

namespace assets {

namespace {

constexpr double kGroundY = 345;  // where the hero's feet meet the grass

// The big honey-gold lettering of titles and headings.
TextStyle Heading(double scale) {
  return {.scale = scale, .top = Hex(0xfff6a0), .bottom = Hex(0xf39a1e), .bold = scale * 0.18, .outline = Hex(0x3b1e08),
          .outlineWidth = scale * 0.45, .shadow = Hex(0x10200c), .shadowOffset = scale * 0.6, .shadowOpacity = 0.45};
}

// Dark lettering on the light panels.
TextStyle PanelText(double scale) {
  return {.scale = scale, .top = Hex(0x7a3d12), .bottom = Hex(0x47200a), .bold = scale * 0.12, .outlineWidth = 0,
          .shadow = Hex(0xc9a56a), .shadowOffset = scale * 0.35, .shadowOpacity = 0.7};
}

// Light lettering on dark wood.
TextStyle BoardText(double scale) {
  return {.scale = scale, .top = Hex(0xfff3c8), .bottom = Hex(0xf0c870), .bold = scale * 0.12, .outline = Hex(0x1c0e04),
          .outlineWidth = scale * 0.3, .shadowOffset = 0};
}

// The meadow by day: sky, sun, clouds, hills and grass.
Canvas DayMeadow(unsigned flowerSeed, Point sun) {
  Canvas canvas(kScreenWidth, kScreenHeight, Hex(0x000000));
  PaintSky(canvas, Hex(0x4aaee8), Hex(0xc4ecff), kGroundY - 20);
  PaintSun(canvas, sun.x, sun.y, 28);
  PaintCloud(canvas, 92, 132, 1.0);
  PaintCloud(canvas, 318, 196, 0.75);
  PaintCloud(canvas, 440, 110, 0.6);
  PaintHills(canvas, kGroundY - 18, false);
  PaintMeadow(canvas, kGroundY - 15, kScreenHeight, flowerSeed, false);
  return canvas;
}

// A key cap followed by what the key does, on one line.
void KeyLine(Canvas& canvas, double x, double y, double size, std::string_view key, std::string_view action, const TextStyle& style) {
  const double width = PaintKeyCap(canvas, x, y, size, key);
  DrawText(canvas, action, x + width + size * 0.45, y + (size - 7 * style.scale) / 2 - 1, style);
}

}  // namespace

Canvas PaintTitleScreen() {
  Canvas canvas = DayMeadow(7, {600, 112});
  DrawTextCentred(canvas, "bodo & zamel", 320, 24, Heading(8));
  TextStyle tagline = BoardText(2.4);
  tagline.outline = Hex(0x1d3d5c);
  DrawTextCentred(canvas, "catch the zamel, dodge the bee!", 320, 104, tagline);

  PaintPot(canvas, 170, 176, 1.3, PotGlaze::Red);
  PaintPot(canvas, 62, 146, 1.15, PotGlaze::Blue);
  PaintBee(canvas, 236, 268, 1.25);
  PaintBodo(canvas, 34, 286, 1.75);

  PaintPanel(canvas, 334, 148, 616, 452);
  const TextStyle label = PanelText(4.4);
  const char* const keys[][2] = {{"P", "play"}, {"O", "options"}, {"A", "about"}, {"E", "exit"}};
  double y = 170;
  for (const auto& [key, action] : keys) {
    KeyLine(canvas, 358, y, 48, key, action, label);
    y += 68;
  }
  return canvas;
}

Canvas PaintOptionScreen() {
  Canvas canvas = DayMeadow(11, {578, 52});
  DrawTextCentred(canvas, "options", 320, 16, Heading(7));
  PaintPanel(canvas, 40, 92, 600, 406);
  const TextStyle heading = PanelText(3.2);
  const TextStyle text = PanelText(2.8);
  DrawText(canvas, "controls", 70, 110, heading);
  const double arrows = PaintKeyCap(canvas, 70, 148, 40, "<");
  PaintKeyCap(canvas, 70 + arrows + 8, 148, 40, ">");
  DrawText(canvas, "move bodo left and right", 180, 158, text);
  PaintKeyCap(canvas, 70, 198, 40, "ESC");
  DrawText(canvas, "give up the game", 180, 208, text);

  DrawText(canvas, "scoring", 70, 256, heading);
  PaintPot(canvas, 66, 288, 0.8, PotGlaze::Red);
  PaintPot(canvas, 104, 288, 0.8, PotGlaze::Blue);
  DrawText(canvas, "catch a pot: 2 points", 180, 300, text);
  PaintBee(canvas, 84, 338, 0.8);
  DrawText(canvas, "a bee sting costs one life", 180, 350, text);

  const TextStyle board = BoardText(3.4);
  KeyLine(canvas, 150, 420, 44, "M", "menu", board);
  KeyLine(canvas, 370, 420, 44, "X", "exit", board);
  return canvas;
}

Canvas PaintAboutScreen() {
  Canvas canvas = DayMeadow(23, {578, 52});
  DrawTextCentred(canvas, "about", 320, 16, Heading(7));
  PaintPanel(canvas, 40, 92, 600, 406);
  const TextStyle text = PanelText(2.6);
  const char* const lines[] = {"bodo the bear loves zamel,",  "the sweet treat in the red",
                               "and blue pots that fall from", "the sky. catch them for",
                               "points, but keep away from",   "the bee: each sting costs",
                               "one of six lives. finish five", "levels to win the game!"};
  double y = 116;
  for (const char* line : lines) {
    DrawText(canvas, line, 66, y, text);
    y += 34;
  }
  PaintBee(canvas, 520, 112, 1.2);
  PaintBodo(canvas, 468, 250, 1.35);

  KeyLine(canvas, 250, 420, 44, "M", "menu", BoardText(3.4));
  return canvas;
}

Canvas PaintPlayField() {
  Canvas canvas = DayMeadow(3, {236, 60});
  PaintBeeTree(canvas, 590, kGroundY + 14);
  PaintBoard(canvas, 0, 372, kScreenWidth, kScreenHeight);
  DrawText(canvas, "bodo & zamel", 22, 412, BoardText(3.1));
  PaintInset(canvas, 262, 412, 340, 462);   // the level pots stand here
  PaintInset(canvas, 392, 394, 636, 462);   // hearts and the score, level and life texts
  TextStyle small = BoardText(1.6);
  small.outlineWidth = 0;
  DrawText(canvas, "score", 401, 404, small);
  return canvas;
}

Canvas PaintWinScreen() {
  Canvas canvas(kScreenWidth, kScreenHeight);
  PaintStar(canvas, 76, 70, 22, Hex(0xffd23c));
  PaintStar(canvas, 566, 96, 26, Hex(0xffd23c));
  PaintStar(canvas, 92, 196, 15, Hex(0xff9ec4));
  PaintStar(canvas, 552, 214, 16, Hex(0x9ee0ff));
  PaintStar(canvas, 320, 22, 13, Hex(0xb9ffa0));
  const Shape banner = RoundRect(118, 44, 522, 196, 24);
  canvas.Fill(Translate(banner, 6, 7), Solid(Hex(0x1b2a1a)));
  canvas.FillOutlined(banner, VerticalGradient(44, Hex(0xfff6d0), 196, Hex(0xffd25a)), Hex(0x5a3414), 5);
  DrawTextCentred(canvas, "you win!", 320, 60, Heading(8));
  DrawTextCentred(canvas, "bodo has all the zamel", 320, 152, PanelText(2.6));
  const Shape plaque = RoundRect(158, 212, 482, 272, 16);
  canvas.FillOutlined(plaque, VerticalGradient(212, Hex(0x6e4526), 272, Hex(0x4a2c16)), Hex(0xf0c870), 3);
  KeyLine(canvas, 180, 220, 42, "M", "menu", BoardText(3.2));
  KeyLine(canvas, 342, 220, 42, "E", "exit", BoardText(3.2));
  return canvas;
}

Canvas PaintLoseScreen() {
  Canvas canvas(kScreenWidth, kScreenHeight);
  const Shape banner = RoundRect(108, 44, 532, 196, 24);
  canvas.Fill(Translate(banner, 6, 7), Solid(Hex(0x101820)));
  canvas.FillOutlined(banner, VerticalGradient(44, Hex(0xe6ecf4), 196, Hex(0x9fb0c8)), Hex(0x1e2a3a), 5);
  TextStyle over = Heading(8);
  over.top = Hex(0xff8a70);
  over.bottom = Hex(0xc0182a);
  over.outline = Hex(0x3a0a10);
  DrawTextCentred(canvas, "game over", 320, 60, over);
  TextStyle sub = PanelText(2.6);
  sub.top = Hex(0x2e3e58);
  sub.bottom = Hex(0x1a2638);
  sub.shadow = Hex(0xf4f8ff);
  DrawTextCentred(canvas, "the bee was faster this time", 320, 152, sub);
  PaintBee(canvas, 486, 8, 1.2);
  const Shape plaque = RoundRect(158, 212, 482, 272, 16);
  canvas.FillOutlined(plaque, VerticalGradient(212, Hex(0x3a4a64), 272, Hex(0x223048)), Hex(0xc8d4e8), 3);
  KeyLine(canvas, 180, 220, 42, "M", "menu", BoardText(3.2));
  KeyLine(canvas, 342, 220, 42, "E", "exit", BoardText(3.2));
  return canvas;
}

Canvas PaintGameOverScreen() {
  Canvas canvas(kScreenWidth, kScreenHeight, Hex(0x000000));
  PaintSky(canvas, Hex(0x081230), Hex(0x2a4478), kGroundY - 20);
  uint32_t state = 99;
  for (int i = 0; i < 70; ++i) {  // stars in fixed places
    state = state * 1664525u + 1013904223u;
    const double x = (state >> 8) % 640;
    state = state * 1664525u + 1013904223u;
    const double y = (state >> 8) % 300;
    canvas.Fill(Circle(x + 0.5, y + 0.5, 1.1 + (i % 3) * 0.4), Solid(Hex(0xfff8e0)), 0.9);
  }
  canvas.Fill(Circle(540, 80, 34), Lit(540, 80, 34, 34, Hex(0xfff4c8), 0.2));
  canvas.Fill(Circle(556, 70, 30), VerticalGradient(40, Hex(0x0c1838), 110, Hex(0x14244a)));
  PaintHills(canvas, kGroundY - 18, true);
  PaintMeadow(canvas, kGroundY - 15, kScreenHeight, 5, true);
  DrawTextCentred(canvas, "game over", 320, 110, Heading(9));
  DrawTextCentred(canvas, "thanks for playing bodo & zamel", 320, 210, BoardText(2.6));
  PaintBodo(canvas, 275, 300, 1.0);
  return canvas;
}

}  // namespace assets
