// Tutorial: a window with an animated sprite moving over a background.
//
// 1. Open a window and put a Screen in it: the screen owns the back surface every frame is
//    drawn into, and Flip presents it in the window.
// 2. Make the background and the sprite once, as blank surfaces drawn with the pixel routines
//    (a game would load them from picture files with PixelSurface::CreateFromFile).
// 3. Every frame: copy the background, copy the sprite's current animation frame with its colour
//    key (the key colour stays transparent), present, wait for the next frame.
//
// Sprites are drawn here with the display surfaces' colour-keyed copy (BltFast), the copy every
// blit of the layer is built on.
#include <cmath>
#include <cstdio>

#include "example_support.h"
#include "media/display/pixel_surface.h"
#include "media/display/screen.h"
#include "platform/pixels/surface_desc.h"
#include "platform/core/system.h"

namespace {

constexpr std::int32_t kWidth = 320, kHeight = 240;
constexpr std::int32_t kSprite = 32;   // one animation frame is 32 x 32
constexpr std::int32_t kFrames = 4;    // frames side by side in one sprite sheet
constexpr std::uint32_t kFrameMs = 16;  // about 60 frames a second

// A sky fading to green ground, one horizontal line per row.
void DrawBackground(media::PixelSurface& background) {
    background.Lock();
    for (std::int32_t y = 0; y < kHeight; ++y) {
        const bool sky = y < kHeight * 3 / 4;
        const auto shade = static_cast<std::uint8_t>(sky ? 90 + y * 120 / kHeight : 60 + (y % 8) * 4);
        const std::uint32_t colour = sky ? example::Colour(background, 40, shade, 200) : example::Colour(background, 30, shade + 60, 40);
        background.DrawHLine(0, kWidth - 1, y, colour);
    }
    background.Unlock();
}

// A sheet of kFrames balls whose band turns a quarter between frames, on magenta (the key).
void DrawSpriteSheet(media::PixelSurface& sheet) {
    sheet.Fill(example::Colour(sheet, 255, 0, 255));
    sheet.Lock();
    const std::uint32_t body = example::Colour(sheet, 250, 200, 40), band = example::Colour(sheet, 200, 40, 30);
    for (std::int32_t frame = 0; frame < kFrames; ++frame) {
        const double turn = frame * 3.14159265 / 2 / kFrames;
        for (std::int32_t y = 0; y < kSprite; ++y) {
            for (std::int32_t x = 0; x < kSprite; ++x) {
                const double dx = x - 15.5, dy = y - 15.5;
                if (dx * dx + dy * dy > 15.0 * 15.0) continue;  // outside the ball: key colour
                const bool onBand = std::abs(dx * std::cos(turn) + dy * std::sin(turn)) < 4;
                sheet.PutPixel(frame * kSprite + x, y, onBand ? band : body);
            }
        }
    }
    sheet.Unlock();
}

}  // namespace

int main(int argc, char** argv) {
    const example::RunOptions options = example::ParseOptions(argc, argv);
    platform::HWND window = example::OpenWindow("moving sprite", kWidth, kHeight);
    media::Screen screen;
    if (!window || screen.SetWindowedMode(window, kWidth, kHeight) != 0) {
        std::fprintf(stderr, "moving-sprite: no window or display\n");
        return 1;
    }

    media::PixelSurface background, sheet;
    if (background.CreateBlank(&screen, kWidth, kHeight) != 1 || sheet.CreateBlank(&screen, kSprite * kFrames, kSprite) != 1) {
        std::fprintf(stderr, "moving-sprite: no memory for the surfaces\n");
        return 1;
    }
    DrawBackground(background);
    DrawSpriteSheet(sheet);
    sheet.SetColorKeyFromTopLeft();  // magenta, in the top-left pixel, is transparent

    platform::DisplaySurface* back = screen.Back()->Surface();
    for (long frame = 0; example::PumpMessages() && frame != options.frames; ++frame) {
        back->BltFast(0, 0, background.Surface(), nullptr, platform::DDBLTFAST_NOCOLORKEY);
        // The ball rolls right and bounces; its sheet frame follows the distance rolled.
        const std::int32_t x = static_cast<std::int32_t>(frame * 2 % (2 * (kWidth - kSprite)));
        const std::int32_t left = x < kWidth - kSprite ? x : 2 * (kWidth - kSprite) - x;
        const std::int32_t top = kHeight * 3 / 4 - kSprite - static_cast<std::int32_t>(std::abs(std::sin(frame * 0.08)) * 60);
        const auto cell = static_cast<std::int32_t>(frame / 4 % kFrames);  // a new frame every 4
        const platform::Rect cellRect{cell * kSprite, 0, (cell + 1) * kSprite, kSprite};
        back->BltFast(left, top, sheet.Surface(), &cellRect, platform::DDBLTFAST_SRCCOLORKEY);
        screen.Flip(0, 1, 0);
        platform::Sleep(kFrameMs);
    }
    if (options.screenshot && !example::SaveScreenshot(*screen.Back(), options.screenshot)) return 1;
    return 0;
}
