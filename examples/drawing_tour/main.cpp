// Tutorial: the canvas's drawing beyond copies: translucent shapes, a picture turned, scaled and
// faded, and text in a TrueType font.
//
// 1. Open a window and load a font (DejaVu Sans from fonts-dejavu-core, or a .ttf file named on
//    the command line); without one the text falls back to the built-in characters, scaled.
// 2. Make a picture once: a propeller drawn with shapes on a magenta key colour. A picture file
//    with alpha (a PNG with transparency) would be loaded with Picture::Load and drawn blended.
// 3. Every frame: a sky of translucent circles, the propeller turned about its centre (its
//    origin), one copy faded and tinted, hills as a polygon, a thick line, and the text.
// 4. S saves the frame as drawn to drawing-tour.png: in the current folder, or in a browser as a
//    download.
#include <cmath>
#include <string>

#include <zamelmedia/zamelmedia.h>

#include "example_support.h"

namespace {

constexpr std::int32_t kWidth = 320, kHeight = 240;
constexpr const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Three blades and a hub around the centre of a 64 x 64 picture.
void DrawPropeller(const media::Canvas& canvas) {
    for (int blade = 0; blade < 3; ++blade) {
        const double a = blade * 2 * 3.14159265 / 3;
        const media::Point tip{static_cast<float>(32 + 30 * std::cos(a)), static_cast<float>(32 + 30 * std::sin(a))};
        const media::Point left{static_cast<float>(32 + 8 * std::cos(a + 1.2)), static_cast<float>(32 + 8 * std::sin(a + 1.2))};
        const media::Point right{static_cast<float>(32 + 8 * std::cos(a - 1.2)), static_cast<float>(32 + 8 * std::sin(a - 1.2))};
        canvas.DrawTriangle(left, tip, right, {230, 120, 30});
    }
    canvas.DrawCircle(32, 32, 7, {250, 230, 120});
    canvas.DrawCircle(32, 32, 7, {90, 40, 20}, media::FillMode::Outline);
}

}  // namespace

int main(int argc, char** argv) {
    const example::RunOptions options = example::ParseOptions(argc, argv);
    media::Window window;
    media::Picture propeller;
    media::Status status = window.Open("drawing tour", kWidth, kHeight, options.mode);
    if (status) status = propeller.Create(window, 64, 64, media::kMagenta);
    if (!status.Report("drawing-tour")) return 1;
    DrawPropeller(propeller.Draw());
    propeller.KeyFromTopLeft();  // magenta is left out
    media::Font font;
    const bool haveFont = font.Load(options.argument ? options.argument : kFont, 22).Report("drawing-tour");

    float dt = 0;
    for (long frame = 0; frame != options.frames && window.NextFrame(dt); ++frame) {
        bool save = false;
        media::Event event;
        while (window.PollEvent(event)) save |= event.type == media::EventType::KeyDown && event.key == media::Key::S;
        const media::Canvas canvas = window.Draw();
        canvas.Clear({40, 90, 170});
        // Translucent circles: each colour's alpha is its opacity, so they mix where they meet.
        canvas.DrawCircle(70, 60, 45, {255, 240, 150, 160});
        canvas.DrawCircle(110, 70, 35, {255, 255, 255, 90});
        canvas.DrawEllipse(250, 50, 50, 18, {255, 255, 255, 120});
        // Hills: one concave polygon.
        const media::Point hills[] = {{0, 180}, {60, 150}, {120, 175}, {190, 135}, {260, 170}, {320, 150}, {320, 240}, {0, 240}};
        canvas.DrawPolygon(hills, 8, {40, 130, 60});
        // The propeller turned about its centre: whole, then smaller, faded and tinted.
        media::DrawOptions spin;
        spin.x = 200, spin.y = 120, spin.originX = 32, spin.originY = 32, spin.rotation = frame * 6.0f;
        canvas.Draw(propeller, {0, 0, 64, 64}, spin);
        spin.x = 270, spin.y = 190, spin.scaleX = spin.scaleY = 0.6f, spin.rotation = -frame * 9.0f;
        spin.opacity = 140, spin.tint = {150, 200, 255};
        canvas.Draw(propeller, {0, 0, 64, 64}, spin);
        canvas.DrawLine({20, 225}, {300, 205}, 5, {250, 250, 250, 200});
        canvas.DrawRoundedRect({12, 12, 150, 34}, 10, {0, 0, 0, 110});
        if (haveFont) {
            canvas.DrawText(22, 17, "Drawing tour", media::kWhite, font);
        } else {
            canvas.DrawText(22, 21, "Drawing tour", media::kWhite, 2);
        }
        // After the drawing, so the file holds this whole frame.
        if (save) window.Screenshot("drawing-tour.png").Report("drawing-tour");
    }
    if (options.screenshot && !example::SaveScreenshot(window.Draw().Surface(), options.screenshot)) return 1;
    return 0;
}
