// Tutorial: the blit families side by side, one cell each, on a plain background.
//
// 1. Open a window and make one sprite picture: an orange disc with a blue bar on its left, on
//    magenta, the colour key (KeyFromTopLeft takes it from the top-left pixel).
// 2. Every frame: clear the window's canvas, then draw the sprite into eight cells with a blit of
//    each family: opaque (the key colour shows), keyed (it does not), half blend and mirror through
//    Canvas::Draw's BlitMode; blend, shade, stretch and rotation, which take a weight, a size or an
//    angle, through the layer's surfaces under the picture and the canvas. Each cell is labelled
//    with its family's name.
//
// x and y give the top-left pixel of the drawn rectangle; the rotation blits take its centre.

#include <zamelmedia/zamelmedia.h>
#include <zamelmedia/media/display/pixel_surface.h>

#include "example_support.h"

namespace {

constexpr std::int32_t kWidth = 480, kHeight = 280;
constexpr std::int32_t kCell = 120, kCellHeight = 140;  // 4 x 2 cells
constexpr std::int32_t kSprite = 48;
constexpr media::Color kBackground{30, 90, 110};

// The orange disc with a blue bar at columns 8..15 (so a mirror shows), on the picture's magenta.
void DrawSprite(const media::Canvas& sprite) {
    constexpr media::Color kBody{250, 200, 40}, kBar{40, 60, 220};
    for (std::int32_t y = 0; y < kSprite; ++y) {
        for (std::int32_t x = 0; x < kSprite; ++x) {
            const double dx = x - 23.5, dy = y - 23.5;
            if (dx * dx + dy * dy > 22.0 * 22.0) continue;  // outside the disc: key colour
            sprite.DrawRect({x, y, 1, 1}, x >= 8 && x < 16 ? kBar : kBody);
        }
    }
}

// Cell n's centre: four cells a row, labels above the drawing.
std::int32_t CentreX(int n) { return (n % 4) * kCell + kCell / 2; }
std::int32_t CentreY(int n) { return (n / 4) * kCellHeight + kCellHeight / 2 + 10; }

void DrawGallery(const media::Picture& sprite, const media::Canvas& canvas) {
    const char* const names[8] = {"opaque", "keyed", "half blend", "blend", "shade", "mirror", "stretch", "rotation"};
    // Each one-to-one blit puts the sprite's top-left at the cell's centre minus half a sprite.
    const auto left = [](int n) { return CentreX(n) - kSprite / 2; };
    const auto top = [](int n) { return CentreY(n) - kSprite / 2; };
    canvas.Draw(sprite, left(0), top(0), media::BlitMode::Opaque);
    canvas.Draw(sprite, left(1), top(1), media::BlitMode::Keyed);
    canvas.Draw(sprite, left(2), top(2), media::BlitMode::HalfBlend);
    canvas.Draw(sprite, left(5), top(5), media::BlitMode::MirrorX);
    // The families with a parameter are the layer's own calls, surface to surface.
    media::PixelSurface& from = sprite.Surface();
    media::PixelSurface* to = &canvas.Surface();
    from.BlitKeyedBlend(to, left(3), top(3), nullptr, 192);  // 192/256 of the background stays
    from.BlitKeyedShade(to, left(4), top(4), nullptr, 96);   // background under the disc at 96/256
    from.BlitKeyedStretched(to, CentreX(6) - kSprite, CentreY(6) - kSprite * 3 / 4, nullptr, 2 * kSprite, kSprite * 3 / 2);
    from.BlitKeyedRotated(to, CentreX(7), CentreY(7), nullptr, 3.14159265358979 / 2, 1.5);  // a quarter turn, half again as big
    for (int n = 0; n < 8; ++n) canvas.DrawText((n % 4) * kCell + 8, (n / 4) * kCellHeight + 6, names[n], media::kWhite);
}

}  // namespace

int main(int argc, char** argv) {
    const example::RunOptions options = example::ParseOptions(argc, argv);
    media::Window window;
    media::Picture sprite;
    media::Status status = window.Open("blit gallery", kWidth, kHeight, options.mode);
    if (status) status = sprite.Create(window, kSprite, kSprite, media::kMagenta);
    if (!status.Report("blit-gallery")) return 1;
    DrawSprite(sprite.Draw());
    sprite.KeyFromTopLeft();  // magenta is transparent in the keyed blits

    float dt = 0;
    for (long frame = 0; frame != options.frames && window.NextFrame(dt); ++frame) {
        const media::Canvas canvas = window.Draw();
        canvas.Clear(kBackground);
        DrawGallery(sprite, canvas);
    }
    if (options.screenshot && !example::SaveScreenshot(window.Draw().Surface(), options.screenshot)) return 1;
    return 0;
}
