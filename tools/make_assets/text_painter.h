// Large lettering for the game's screens: the bitmap font scaled up, its stair steps rounded
// (two passes of the Scale2x rule), thickened, outlined and given a drop shadow, all with smooth
// edges.
#pragma once

#include <string_view>

#include "tools/make_assets/canvas.h"

namespace assets {

struct TextStyle {
  double scale = 4;        // output pixels per font pixel
  Color top{1, 1, 1};      // fill at the top of the capitals
  Color bottom{1, 1, 1};   // fill at the baseline
  double bold = 0.6;       // extra stroke weight, pixels
  Color outline{0, 0, 0};
  double outlineWidth = 2;  // 0: none
  Color shadow{0, 0, 0};
  double shadowOffset = 0;  // down and right, pixels; 0: none
  double shadowOpacity = 0.55;
};

// Width in pixels of the drawn letters (outline and shadow not counted).
double TextWidth(std::string_view text, const TextStyle& style);
// Draws text with the top-left of its cell at (x, y). Every character must have a glyph; the
// generator stops with a message naming the others.
void DrawText(Canvas& canvas, std::string_view text, double x, double y, const TextStyle& style);
// Draws text centred on x.
void DrawTextCentred(Canvas& canvas, std::string_view text, double centreX, double y, const TextStyle& style);

}  // namespace assets
