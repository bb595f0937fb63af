#pragma once
// The whole layer for a program: `#include <zamelmedia/zamelmedia.h>` with the package's include
// folder (the one holding zamelmedia/) on the path. It brings in the front door (media/app/): the
// window with its frame loop and events, colours and drawing, pictures, sprites and frame sheets,
// sound effects and tunes. The classes under it are reached the same way, e.g.
// <zamelmedia/media/display/pixel_surface.h>.
#include "media/app/zamelmedia.h"
