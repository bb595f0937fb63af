// The characters and items of the play field, each designed in its own frame and paintable at
// any place and size: the hero Bodo (90x90), the red and blue pots of zamel (40x51), the bee
// (40x51), the heart (32x26) and the small pot that counts levels (32x32).
#pragma once

#include "tools/make_assets/canvas.h"

namespace assets {

enum class PotGlaze { Red, Blue };

void PaintBodo(Canvas& canvas, double left, double top, double scale);
void PaintPot(Canvas& canvas, double left, double top, double scale, PotGlaze glaze);
void PaintBee(Canvas& canvas, double left, double top, double scale);
void PaintHeart(Canvas& canvas, double left, double top, double scale);
void PaintLevelPot(Canvas& canvas, double left, double top, double scale);

}  // namespace assets
