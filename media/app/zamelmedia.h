#pragma once
// The whole front door in one header: a window with its frame loop and events, colours and
// drawing, pictures, sprites and frame sheets, sound effects and tunes, and the input object
// that Window::GetInput hands out.
#include "audio.h"
#include "canvas.h"
#include "color.h"
#include "draw_options.h"
#include "event.h"
#include "font.h"
#include "gamepad.h"
#include "key.h"
#include "picture.h"
#include "sound.h"
#include "status.h"
#include "tune.h"
#include "window.h"
#include "../input/input.h"
#include "../sprite/frame_sheet.h"
#include "../sprite/sprite_object.h"
