// Tutorial: a window with an animated sprite moving over a background.
//
// 1. Open a window: it holds the screen whose back surface every frame is drawn into, and its
//    frame loop (NextFrame) presents that surface at the display's rate.
// 2. Make the background and the sprite sheet once, as blank pictures drawn on their canvases
//    (a game would load them from picture files with Picture::Load).
// 3. Every frame: copy the background, copy the sprite's current animation frame with its colour
//    key (the key colour stays transparent).
// --fullscreen or --resizable shows the 320 x 240 drawing area scaled to the display or the window.
#include <cmath>

#include <zamelmedia/zamelmedia.h>

#include "example_support.h"

namespace {

constexpr std::int32_t kWidth = 320, kHeight = 240;
constexpr std::int32_t kSprite = 32;  // one animation frame is 32 x 32
constexpr std::int32_t kFrames = 4;   // frames side by side in one sprite sheet

// A sky fading to green ground, one horizontal line per row.
void DrawBackground(const media::Canvas& background) {
    for (std::int32_t y = 0; y < kHeight; ++y) {
        const bool sky = y < kHeight * 3 / 4;
        const auto shade = static_cast<std::uint8_t>(sky ? 90 + y * 120 / kHeight : 60 + (y % 8) * 4);
        const media::Color colour = sky ? media::Color{40, shade, 200} : media::Color{30, static_cast<std::uint8_t>(shade + 60), 40};
        background.DrawLine(0, y, kWidth - 1, y, colour);
    }
}

// A sheet of kFrames balls whose band turns a quarter between frames, on magenta (the key).
void DrawSpriteSheet(const media::Canvas& sheet) {
    constexpr media::Color kBody{250, 200, 40}, kBand{200, 40, 30};
    for (std::int32_t frame = 0; frame < kFrames; ++frame) {
        const double turn = frame * 3.14159265 / 2 / kFrames;
        for (std::int32_t y = 0; y < kSprite; ++y) {
            for (std::int32_t x = 0; x < kSprite; ++x) {
                const double dx = x - 15.5, dy = y - 15.5;
                if (dx * dx + dy * dy > 15.0 * 15.0) continue;  // outside the ball: key colour
                const bool onBand = std::abs(dx * std::cos(turn) + dy * std::sin(turn)) < 4;
                sheet.DrawRect({frame * kSprite + x, y, 1, 1}, onBand ? kBand : kBody);
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const example::RunOptions options = example::ParseOptions(argc, argv);
    media::Window window;
    media::Picture background, sheet, icon;
    media::Status status = window.Open("moving sprite", kWidth, kHeight, options.mode);
    if (status) status = background.Create(window, kWidth, kHeight);
    if (status) status = sheet.Create(window, kSprite * kFrames, kSprite, media::kMagenta);
    if (status) status = icon.Create(window, kSprite, kSprite, media::kMagenta);
    if (!status.Report("moving-sprite")) return 1;
    DrawBackground(background.Draw());
    DrawSpriteSheet(sheet.Draw());
    sheet.KeyFromTopLeft();  // magenta, in the top-left pixel, is transparent
    // The ball's first frame as the window's icon, its magenta transparent there too.
    icon.Draw().Draw(sheet, {0, 0, kSprite, kSprite}, 0, 0);
    icon.KeyFromTopLeft();
    window.SetIcon(icon).Report("moving-sprite");

    float dt = 0;
    for (long frame = 0; frame != options.frames && window.NextFrame(dt); ++frame) {
        const media::Canvas canvas = window.Draw();
        canvas.Draw(background, 0, 0, media::BlitMode::Opaque);
        // The ball rolls right and bounces; its sheet frame follows the distance rolled.
        const std::int32_t x = static_cast<std::int32_t>(frame * 2 % (2 * (kWidth - kSprite)));
        const std::int32_t left = x < kWidth - kSprite ? x : 2 * (kWidth - kSprite) - x;
        const std::int32_t top = kHeight * 3 / 4 - kSprite - static_cast<std::int32_t>(std::abs(std::sin(frame * 0.08)) * 60);
        const auto cell = static_cast<std::int32_t>(frame / 4 % kFrames);  // a new frame every 4
        canvas.Draw(sheet, {cell * kSprite, 0, kSprite, kSprite}, left, top, media::BlitMode::Keyed);
    }
    if (options.screenshot && !example::SaveScreenshot(window.Draw().Surface(), options.screenshot)) return 1;
    return 0;
}
