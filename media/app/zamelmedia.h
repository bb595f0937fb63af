#pragma once
// The whole front door in one header: a window with its frame loop and events, colours and
// drawing, pictures, sprites and frame sheets, sound effects and tunes.
#include "media/app/audio.h"
#include "media/app/canvas.h"
#include "media/app/color.h"
#include "media/app/event.h"
#include "media/app/key.h"
#include "media/app/picture.h"
#include "media/app/sound.h"
#include "media/app/status.h"
#include "media/app/tune.h"
#include "media/app/window.h"
#include "media/sprite/frame_sheet.h"
#include "media/sprite/sprite_object.h"
