// Tutorial: a ship steered with a gamepad (or the arrow keys when none is plugged in) that fires
// at the pointer.
//
// 1. Read the first gamepad slot every frame with media::Gamepad: its left stick steers (past
//    its dead zone), A or the right trigger fires, and a pad plugged in or out is an event.
// 2. Without a pad the arrow keys steer and the left mouse button fires.
// 3. The pointer is a crosshair drawn by the program: the system's pointer is hidden over the
//    window, and its position comes in drawing-area pixels whatever the window's size on screen.
// 4. The title names the pad in use; the frame rate is capped at 60 frames a second.
// --fullscreen or --resizable shows the 320 x 240 drawing area scaled to the display or the window.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include <zamelmedia/zamelmedia.h>

#include "example_support.h"

namespace {

constexpr std::int32_t kWidth = 320, kHeight = 240;
constexpr float kSpeed = 120;      // pixels a second at full stick
constexpr float kShotSpeed = 240;  // pixels a second
constexpr float kReload = 0.15f;   // seconds between shots

struct Shot {
    float x = 0, y = 0, dx = 0, dy = 0;
    bool live = false;
};

// The steering of this frame: the pad's left stick, else the arrow keys.
void Steer(const media::Window& window, const media::Gamepad& pad, float& sx, float& sy) {
    if (pad.IsConnected()) {
        sx = pad.Axis(media::GamepadAxis::LeftX), sy = pad.Axis(media::GamepadAxis::LeftY);
        return;
    }
    sx = static_cast<float>(window.IsKeyDown(media::Key::Right) - window.IsKeyDown(media::Key::Left));
    sy = static_cast<float>(window.IsKeyDown(media::Key::Down) - window.IsKeyDown(media::Key::Up));
}

bool Firing(const media::Window& window, const media::Gamepad& pad) {
    if (pad.IsConnected()) return pad.IsButtonDown(media::GamepadButton::A) || pad.Axis(media::GamepadAxis::RightTrigger) > 0.5f;
    return window.IsMouseButtonDown(media::MouseButton::Left);
}

void DrawCrosshair(const media::Canvas& canvas, media::IntPoint at) {
    canvas.DrawLine(at.x - 5, at.y, at.x + 5, at.y, media::kWhite);
    canvas.DrawLine(at.x, at.y - 5, at.x, at.y + 5, media::kWhite);
}

}  // namespace

int main(int argc, char** argv) {
    const example::RunOptions options = example::ParseOptions(argc, argv);
    media::Window window;
    if (!window.Open("pad and pointer: keyboard", kWidth, kHeight, options.mode).Report("pad-and-pointer")) return 1;
    window.SetTargetFps(60);
    window.ShowCursor(false);
    media::Gamepad pad(window, 0);

    float x = kWidth / 2.0f, y = kHeight / 2.0f, reload = 0, dt = 0;
    std::array<Shot, 32> shots{};
    for (long frame = 0; frame != options.frames && window.NextFrame(dt); ++frame) {
        media::Event event;
        while (window.PollEvent(event)) {
            if (event.type == media::EventType::KeyDown && event.key == media::Key::Escape) window.Close();
            if (event.type == media::EventType::GamepadConnected && event.gamepad == 0) {
                window.SetTitle((std::string("pad and pointer: ") + pad.Name()).c_str());
            }
            if (event.type == media::EventType::GamepadDisconnected && event.gamepad == 0) window.SetTitle("pad and pointer: keyboard");
        }
        if (!window.IsOpen()) break;

        float sx = 0, sy = 0;
        Steer(window, pad, sx, sy);
        x = std::clamp(x + sx * kSpeed * dt, 4.0f, kWidth - 5.0f);
        y = std::clamp(y + sy * kSpeed * dt, 4.0f, kHeight - 5.0f);

        // A shot flies from the ship towards the pointer; a short rumble tells the pad it went.
        reload = std::max(0.0f, reload - dt);
        const media::IntPoint aim = window.MousePosition();
        const float ax = static_cast<float>(aim.x) - x, ay = static_cast<float>(aim.y) - y;
        const float length = std::hypot(ax, ay);
        if (Firing(window, pad) && reload == 0 && length > 1) {
            if (auto free = std::find_if(shots.begin(), shots.end(), [](const Shot& s) { return !s.live; }); free != shots.end()) {
                *free = {x, y, ax / length * kShotSpeed, ay / length * kShotSpeed, true};
                reload = kReload;
                if (pad.IsConnected()) static_cast<void>(pad.Rumble(0.3f, 0.6f, 0.05f));  // a pad without motors just does not shake
            }
        }
        for (Shot& shot : shots) {
            if (!shot.live) continue;
            shot.x += shot.dx * dt, shot.y += shot.dy * dt;
            shot.live = shot.x >= 0 && shot.y >= 0 && shot.x < kWidth && shot.y < kHeight;
        }

        const media::Canvas canvas = window.Draw();
        canvas.Clear(media::kDarkBlue);
        for (const Shot& shot : shots) {
            if (shot.live) canvas.DrawRect({static_cast<std::int32_t>(shot.x) - 1, static_cast<std::int32_t>(shot.y) - 1, 3, 3}, media::kYellow);
        }
        canvas.DrawRect({static_cast<std::int32_t>(x) - 4, static_cast<std::int32_t>(y) - 4, 9, 9}, media::kRed);
        DrawCrosshair(canvas, aim);
    }
    if (options.screenshot && !example::SaveScreenshot(window.Draw().Surface(), options.screenshot)) return 1;
    return 0;
}
