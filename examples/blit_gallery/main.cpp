// Tutorial: the blit families side by side, one cell each, on a plain background.
//
// 1. Make one sprite picture: an orange disc with a blue bar on its left, on magenta, the colour
//    key (SetColorKeyFromTopLeft takes it from the top-left pixel).
// 2. Every frame: fill the back surface, then draw the sprite into eight cells with a blit of
//    each family, the sprite surface being the source and the back surface the destination:
//    opaque (the key colour shows), keyed (it does not), half blend, blend, shade, mirror,
//    stretch and rotation. Each cell is labelled with its family's name.
//
// x and y give the top-left pixel of the drawn rectangle; the rotation blits take its centre.
#include <cstdio>

#include "example_support.h"
#include "media/display/pixel_surface.h"
#include "media/display/screen.h"
#include "platform/core/system.h"

namespace {

constexpr std::int32_t kWidth = 480, kHeight = 280;
constexpr std::int32_t kCell = 120, kCellHeight = 140;  // 4 x 2 cells
constexpr std::int32_t kSprite = 48;
constexpr std::uint32_t kFrameMs = 16;

// The orange disc with a blue bar at columns 8..15 (so a mirror shows), on magenta.
void DrawSprite(media::PixelSurface& sprite) {
    sprite.Fill(example::Colour(sprite, 255, 0, 255));
    sprite.Lock();
    const std::uint32_t body = example::Colour(sprite, 250, 200, 40), bar = example::Colour(sprite, 40, 60, 220);
    for (std::int32_t y = 0; y < kSprite; ++y) {
        for (std::int32_t x = 0; x < kSprite; ++x) {
            const double dx = x - 23.5, dy = y - 23.5;
            if (dx * dx + dy * dy > 22.0 * 22.0) continue;  // outside the disc: key colour
            sprite.PutPixel(x, y, x >= 8 && x < 16 ? bar : body);
        }
    }
    sprite.Unlock();
}

// Cell n's centre: four cells a row, labels above the drawing.
std::int32_t CentreX(int n) { return (n % 4) * kCell + kCell / 2; }
std::int32_t CentreY(int n) { return (n / 4) * kCellHeight + kCellHeight / 2 + 10; }

void DrawGallery(media::PixelSurface& sprite, media::PixelSurface& back) {
    const char* const names[8] = {"opaque", "keyed", "half blend", "blend", "shade", "mirror", "stretch", "rotation"};
    // Each one-to-one blit puts the sprite's top-left at the cell's centre minus half a sprite.
    const auto left = [](int n) { return CentreX(n) - kSprite / 2; };
    const auto top = [](int n) { return CentreY(n) - kSprite / 2; };
    sprite.BlitOpaque(&back, left(0), top(0), nullptr);
    sprite.BlitKeyed(&back, left(1), top(1), nullptr);
    sprite.BlitKeyedHalfBlend(&back, left(2), top(2), nullptr);
    sprite.BlitKeyedBlend(&back, left(3), top(3), nullptr, 192);  // 192/256 of the background stays
    sprite.BlitKeyedShade(&back, left(4), top(4), nullptr, 96);   // background under the disc at 96/256
    sprite.BlitKeyedMirrorX(&back, left(5), top(5), nullptr);
    sprite.BlitKeyedStretched(&back, CentreX(6) - kSprite, CentreY(6) - kSprite * 3 / 4, nullptr, 2 * kSprite, kSprite * 3 / 2);
    sprite.BlitKeyedRotated(&back, CentreX(7), CentreY(7), nullptr, 3.14159265358979 / 2, 1.5);  // a quarter turn, half again as big
    for (int n = 0; n < 8; ++n) back.DrawTextAt((n % 4) * kCell + 8, (n / 4) * kCellHeight + 6, 0x00FFFFFF, names[n]);
}

}  // namespace

int main(int argc, char** argv) {
    const example::RunOptions options = example::ParseOptions(argc, argv);
    platform::HWND window = example::OpenWindow("blit gallery", kWidth, kHeight);
    media::Screen screen;
    if (!window || screen.SetWindowedMode(window, kWidth, kHeight) != 0) {
        std::fprintf(stderr, "blit-gallery: no window or display\n");
        return 1;
    }
    media::PixelSurface sprite;
    if (sprite.CreateBlank(&screen, kSprite, kSprite) != 1) {
        std::fprintf(stderr, "blit-gallery: no memory for the sprite\n");
        return 1;
    }
    DrawSprite(sprite);
    sprite.SetColorKeyFromTopLeft();  // magenta is transparent in the keyed blits

    media::PixelSurface& back = *screen.Back();
    const std::uint32_t background = example::Colour(back, 30, 90, 110);
    for (long frame = 0; example::PumpMessages() && frame != options.frames; ++frame) {
        back.Fill(background);
        DrawGallery(sprite, back);
        screen.Flip(0, 1, 0);
        platform::Sleep(kFrameMs);
    }
    if (options.screenshot && !example::SaveScreenshot(back, options.screenshot)) return 1;
    return 0;
}
