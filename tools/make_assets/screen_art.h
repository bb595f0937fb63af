// The full-window pictures: title, option and about screens (drawn opaque), the play field's
// background, the win and lose pictures (colour-keyed: the play field shows through their open
// parts) and the game-over picture.
#pragma once

#include "tools/make_assets/canvas.h"

namespace assets {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

Canvas PaintTitleScreen();
Canvas PaintOptionScreen();
Canvas PaintAboutScreen();
Canvas PaintPlayField();
Canvas PaintWinScreen();   // transparent outside the banner and its stars
Canvas PaintLoseScreen();  // transparent outside the banner
Canvas PaintGameOverScreen();

}  // namespace assets
