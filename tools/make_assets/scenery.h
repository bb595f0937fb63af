// The meadow the game plays in and the furniture of the menu screens: sky, sun, clouds, hills,
// grass with flowers, the bee tree with its hive, wooden boards, panels and key caps.
#pragma once

#include <string_view>

#include "tools/make_assets/canvas.h"

namespace assets {

void PaintSky(Canvas& canvas, Color top, Color horizon, double horizonY);
void PaintSun(Canvas& canvas, double cx, double cy, double r);
void PaintCloud(Canvas& canvas, double cx, double cy, double scale);
void PaintHills(Canvas& canvas, double horizonY, bool night);
// Grass from groundY down to bottomY with flowers; seed picks where the flowers grow.
void PaintMeadow(Canvas& canvas, double groundY, double bottomY, unsigned seed, bool night);
// The tree with the bees' hive; x is the trunk's centre, groundY its foot.
void PaintBeeTree(Canvas& canvas, double x, double groundY);
// A wooden board over x0..x1, y0..y1 (the play field's status board).
void PaintBoard(Canvas& canvas, double x0, double y0, double x1, double y1);
// A light panel for the menu texts.
void PaintPanel(Canvas& canvas, double x0, double y0, double x1, double y1);
// A sunken dark area on the board.
void PaintInset(Canvas& canvas, double x0, double y0, double x1, double y1);
// A keyboard key of height size (width grows with the label) with its label; returns its width.
double PaintKeyCap(Canvas& canvas, double x, double y, double size, std::string_view label);
void PaintStar(Canvas& canvas, double cx, double cy, double r, Color fill);

}  // namespace assets
