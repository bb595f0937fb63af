// The front door's window calls on the SDL backend under a virtual X display: the shared gamepad
// cases on SDL's virtual joysticks (through its game controller layer and mapping), the shared
// touch cases on SDL's finger events, rumble, typed
// text and dropped files as SDL delivers them, the clipboard against another X client (xclip),
// the caption, and the pointer's grab and relative mode.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "media/app/zamelmedia.h"
#include "platform/core/backend.h"
#include "platform/window/window.h"
#include "tests/app/gamepad_cases.h"
#include "tests/app/touch_cases.h"

namespace {

constexpr auto kDeadline = std::chrono::seconds(10);

class SdlFrontDoorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("MEDIA_NO_MESSAGE_BOX", "1", 1);
        ASSERT_TRUE(platform::UseBackend("sdl"));
    }
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        ASSERT_TRUE(window.Open("sdl front door", 64, 48));
        Frame();
    }

    SDL_Window* Native() const { return static_cast<SDL_Window*>(static_cast<platform::HWND>(window.NativeHandle())->native); }

    struct Seen {
        media::Event event;
        std::string utf8;
    };
    std::vector<Seen> Frame() {
        float dt = 0;
        EXPECT_TRUE(window.NextFrame(dt));
        std::vector<Seen> seen;
        for (media::Event event; window.PollEvent(event);) seen.push_back({event, event.utf8 ? event.utf8 : ""});
        return seen;
    }
    // Frames until one gives an event of the type; its events (empty at the deadline).
    std::vector<Seen> FrameWith(media::EventType type) {
        const auto end = std::chrono::steady_clock::now() + kDeadline;
        while (std::chrono::steady_clock::now() < end) {
            std::vector<Seen> seen = Frame();
            for (const Seen& s : seen) {
                if (s.event.type == type) return seen;
            }
        }
        return {};
    }

    media::Window window;
};

// Virtual pads: one SDL virtual joystick per slot, laid out as a game controller so that SDL maps
// its buttons and axes in the controller layer's order.
class VirtualPads {
public:
    ~VirtualPads() {
        for (int slot = 0; slot < static_cast<int>(pads_.size()); ++slot) Unplug(slot);
    }
    void Plug(int slot) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
        desc.name = "virtual pad";
        desc.userdata = this;
        desc.Rumble = [](void* self, Uint16 low, Uint16 high) {
            static_cast<VirtualPads*>(self)->rumbled = {low, high};
            return 0;
        };
        const int device = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(device, 0) << SDL_GetError();
        pads_[static_cast<std::size_t>(slot)] = SDL_JoystickOpen(device);
        ASSERT_NE(pads_[static_cast<std::size_t>(slot)], nullptr) << SDL_GetError();
        // Triggers rest at the bottom of the joystick's range.
        SDL_JoystickSetVirtualAxis(Pad(slot), SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
        SDL_JoystickSetVirtualAxis(Pad(slot), SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    }
    void Unplug(int slot) {
        SDL_Joystick* pad = Pad(slot);
        if (!pad) return;
        const SDL_JoystickID instance = SDL_JoystickInstanceID(pad);
        for (int device = 0; device < SDL_NumJoysticks(); ++device) {
            if (SDL_JoystickGetDeviceInstanceID(device) == instance) SDL_JoystickDetachVirtual(device);
        }
        SDL_JoystickClose(pad);
        pads_[static_cast<std::size_t>(slot)] = nullptr;
    }
    void Apply(const gamepad_cases::Step& step) {
        using gamepad_cases::Step;
        switch (step.kind) {
            case Step::Connect: Plug(step.slot); break;
            case Step::Disconnect: Unplug(step.slot); break;
            case Step::Button: SDL_JoystickSetVirtualButton(Pad(step.slot), step.code, static_cast<Uint8>(step.value)); break;
            case Step::Axis: {
                // The controller layer reads a trigger's full joystick range as 0..32767.
                const bool trigger = step.code >= SDL_CONTROLLER_AXIS_TRIGGERLEFT;
                const int raw = trigger ? step.value * 2 - 32768 : step.value;
                SDL_JoystickSetVirtualAxis(Pad(step.slot), step.code, static_cast<Sint16>(std::clamp(raw, -32768, 32767)));
                break;
            }
        }
    }
    std::array<Uint16, 2> rumbled{};

private:
    SDL_Joystick* Pad(int slot) const { return pads_[static_cast<std::size_t>(slot)]; }
    std::array<SDL_Joystick*, 4> pads_{};
};

class SdlGamepadTest : public SdlFrontDoorTest, public ::testing::WithParamInterface<gamepad_cases::Case> {};

TEST_P(SdlGamepadTest, PadsGiveTheirEvents) {
    VirtualPads pads;
    int n = 0;
    for (const gamepad_cases::Frame& frame : GetParam().frames) {
        for (const gamepad_cases::Step& step : frame.steps) pads.Apply(step);
        // The window's own news (its focus arriving from the X server) is not the pads'.
        std::vector<Seen> seen = Frame();
        std::erase_if(seen, [](const Seen& s) { return s.event.type < media::EventType::GamepadConnected; });
        std::string got;
        for (const Seen& s : seen) got += " " + std::to_string(static_cast<int>(s.event.type)) + "/" + std::to_string(s.event.button) + "=" + std::to_string(s.event.value);
        ASSERT_EQ(seen.size(), frame.events.size()) << "frame " << n << ":" << got;
        for (std::size_t i = 0; i < seen.size(); ++i) {
            gamepad_cases::ExpectEvent(seen[i].event, frame.events[i], n, i);
        }
        ++n;
    }
}

INSTANTIATE_TEST_SUITE_P(Virtual, SdlGamepadTest, ::testing::ValuesIn(gamepad_cases::Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

class SdlTouchTest : public SdlFrontDoorTest, public ::testing::WithParamInterface<touch_cases::Case> {};

TEST_P(SdlTouchTest, FingerEventsGiveTouchEvents) {
    int n = 0;
    for (const touch_cases::Frame& frame : GetParam().frames) {
        for (const touch_cases::Step& step : frame.steps) {
            // SDL gives a finger's place as a fraction of the window: the pixel's centre here.
            static constexpr Uint32 kTypes[] = {SDL_FINGERDOWN, SDL_FINGERMOTION, SDL_FINGERUP};
            SDL_Event event{};
            event.type = kTypes[step.kind];
            event.tfinger.touchId = 1;
            event.tfinger.fingerId = step.finger;
            event.tfinger.windowID = SDL_GetWindowID(Native());
            event.tfinger.x = (static_cast<float>(step.x) + 0.5f) / 64.0f;
            event.tfinger.y = (static_cast<float>(step.y) + 0.5f) / 48.0f;
            event.tfinger.pressure = 1.0f;
            ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        }
        // The window's own news (its focus arriving from the X server) is not the fingers'.
        std::vector<Seen> seen = Frame();
        std::erase_if(seen, [](const Seen& s) { return s.event.type < media::EventType::TouchDown; });
        ASSERT_EQ(seen.size(), frame.events.size()) << "frame " << n;
        for (std::size_t i = 0; i < seen.size(); ++i) touch_cases::ExpectEvent(seen[i].event, frame.events[i], n, i);
        ++n;
    }
}

INSTANTIATE_TEST_SUITE_P(Pushed, SdlTouchTest, ::testing::ValuesIn(touch_cases::Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// X11 gives the last pixel as 1.0, and a finger dragged out of the window goes past the edges:
// the place stays on the drawing area's edge pixels.
TEST_F(SdlFrontDoorTest, FingersAtAndPastTheEdgesLandOnTheEdgePixels) {
    const struct {
        float fx, fy;
        std::int32_t x, y;
    } rows[] = {{1.0f, 1.0f, 63, 47}, {0.0f, 0.0f, 0, 0}, {1.25f, -0.1f, 63, 0}, {-2.0f, 3.0f, 0, 47}};
    for (const auto& row : rows) {
        SDL_Event event{};
        event.type = SDL_FINGERDOWN;
        event.tfinger.fingerId = 5;
        event.tfinger.windowID = SDL_GetWindowID(Native());
        event.tfinger.x = row.fx, event.tfinger.y = row.fy;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        event.type = SDL_FINGERUP;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        std::vector<Seen> seen = FrameWith(media::EventType::TouchDown);
        std::erase_if(seen, [](const Seen& s) { return s.event.type != media::EventType::TouchDown; });
        ASSERT_EQ(seen.size(), 1u) << row.fx << "," << row.fy;
        EXPECT_EQ(seen[0].event.x, row.x) << row.fx;
        EXPECT_EQ(seen[0].event.y, row.y) << row.fy;
    }
}

TEST_F(SdlFrontDoorTest, GamepadRumbleReachesThePadsMotors) {
    VirtualPads pads;
    pads.Plug(0);
    ASSERT_FALSE(FrameWith(media::EventType::GamepadConnected).empty());
    media::Gamepad pad(window, 0);
    EXPECT_STREQ(pad.Name(), "virtual pad");
    ASSERT_TRUE(pad.Rumble(1.0f, 0.5f, 0.1f));
    EXPECT_EQ(pads.rumbled[0], 65535);
    EXPECT_EQ(pads.rumbled[1], 32768);
}

TEST_F(SdlFrontDoorTest, TypedTextAndDroppedFilesComeFromSdlsEvents) {
    const Uint32 id = SDL_GetWindowID(Native());
    const auto type = [id](const char* text) {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        event.text.windowID = id;
        SDL_strlcpy(event.text.text, text, sizeof event.text.text);
        SDL_PushEvent(&event);
    };
    type("lost");  // text input is off: the window is given no text (the display may still send its own events)
    for (const Seen& s : Frame()) EXPECT_NE(s.event.type, media::EventType::TextInput) << s.utf8;
    window.SetTextInput(true);
    type("é");
    SDL_Event drop{};
    drop.type = SDL_DROPFILE;
    drop.drop.windowID = id;
    drop.drop.file = SDL_strdup("/tmp/dropped level.map");
    SDL_PushEvent(&drop);
    std::vector<Seen> seen = FrameWith(media::EventType::FileDropped);
    std::vector<std::string> texts, paths;
    for (const Seen& s : seen) {
        if (s.event.type == media::EventType::TextInput) texts.push_back(s.utf8);
        if (s.event.type == media::EventType::FileDropped) paths.push_back(s.utf8);
    }
    EXPECT_EQ(texts, std::vector<std::string>{"é"});
    EXPECT_EQ(paths, std::vector<std::string>{"/tmp/dropped level.map"});
    window.SetTextInput(false);
}

TEST_F(SdlFrontDoorTest, ClipboardIsSharedWithOtherClients) {
    if (std::system("command -v xclip >/dev/null") != 0) GTEST_SKIP() << "xclip is not installed";
    // Another client owns the clipboard (xclip serves it from the background until it loses it).
    // xclip's background half takes the clipboard a moment after its command returns.
    ASSERT_EQ(std::system("printf 'from xclip \\303\\251' | xclip -selection clipboard -i"), 0);
    std::string seen;
    for (const auto end = std::chrono::steady_clock::now() + kDeadline; std::chrono::steady_clock::now() < end; Frame()) {
        if ((seen = window.ClipboardText()) == "from xclip é") break;
    }
    ASSERT_EQ(seen, "from xclip é");

    // Ours, read by the other client while our frames answer its request.
    ASSERT_TRUE(window.SetClipboardText("zamel 日本"));
    Frame();  // the claim reaches the X server
    std::atomic<bool> done{false};
    std::string pasted;
    std::thread reader([&] {
        if (FILE* pipe = popen("timeout 8 xclip -selection clipboard -o", "r")) {
            for (int c; (c = std::fgetc(pipe)) != EOF;) pasted += static_cast<char>(c);
            pclose(pipe);
        }
        done = true;
    });
    const auto end = std::chrono::steady_clock::now() + kDeadline;
    while (!done && std::chrono::steady_clock::now() < end) Frame();
    reader.join();
    EXPECT_EQ(pasted, "zamel 日本");
}

// The frame as the window's own surface holds it (the one copy of a plain window), before and
// after a trip through fullscreen, which presents through the renderer.
TEST_F(SdlFrontDoorTest, FrameLandsInTheWindowSurfaceAfterAFullscreenTrip) {
    const auto shownAt = [this](int x, int y) {
        SDL_Surface* surface = SDL_GetWindowSurface(Native());
        if (!surface || surface->format->BytesPerPixel != 4) return Uint32{0xDEADBEEF};
        Uint32 pixel = 0;
        std::memcpy(&pixel, static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * 4, 4);
        return pixel & 0xFFFFFF;
    };
    const auto present = [this](media::Color colour) {
        ASSERT_TRUE(window.Draw().Clear(colour));
        ASSERT_TRUE(window.Draw().DrawRect({63, 47, 1, 1}, media::kRed));
        Frame();  // presents what was drawn
    };
    present(media::kYellow);
    EXPECT_EQ(shownAt(0, 0), 0xFFFF00u);
    EXPECT_EQ(shownAt(63, 47), 0xFF0000u);
    ASSERT_TRUE(window.SetFullscreen(true));
    present(media::kDarkBlue);
    Frame();
    ASSERT_TRUE(window.SetFullscreen(false));
    present(media::kWhite);
    Frame();
    present(media::kYellow);
    EXPECT_EQ(shownAt(0, 0), 0xFFFF00u);
    EXPECT_EQ(shownAt(63, 47), 0xFF0000u);
}

TEST_F(SdlFrontDoorTest, TitleGrabAndRelativeModeReachTheSdlWindow) {
    ASSERT_TRUE(window.SetTitle("new title é"));
    EXPECT_STREQ(SDL_GetWindowTitle(Native()), "new title é");
    // SDL grabs the pointer only while the window has the focus, which no window manager gives
    // here: what the window asked for is what is checked.
    ASSERT_TRUE(window.ConfineCursor(true));
    EXPECT_NE(SDL_GetWindowFlags(Native()) & SDL_WINDOW_MOUSE_GRABBED, 0u);
    ASSERT_TRUE(window.ConfineCursor(false));
    EXPECT_EQ(SDL_GetWindowFlags(Native()) & SDL_WINDOW_MOUSE_GRABBED, 0u);
    const media::Status relative = window.SetRelativeMouse(true);
    ASSERT_TRUE(relative) << relative.Message();
    EXPECT_EQ(SDL_GetRelativeMouseMode(), SDL_TRUE);
    window.Close();
    EXPECT_EQ(SDL_GetRelativeMouseMode(), SDL_FALSE) << "the mode ends with the window";
}

}  // namespace
