// A program written against the installed package only, as another project would write it: the
// front door on the headless backend, checked from the outside. A frame drawn with colours reaches
// the desktop, a key pressed comes out as its event, a sound played is heard in the audio output,
// and a picture that is not there is refused with a message in words.
// Built with CONSUMER_REAL_BACKEND it only opens a window on whatever backend the program chooses,
// to show that the package links with SDL2 (it is not run: the test machine may have no display).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <zamelmedia/zamelmedia.h>

#ifndef CONSUMER_REAL_BACKEND
#include <zamelmedia/platform/backends/headless/headless_audio.h>
#include <zamelmedia/platform/backends/headless/headless_backend.h>
#include <zamelmedia/platform/backends/headless/headless_input.h>
#include <zamelmedia/platform/pixels/color_convert.h>
#include <zamelmedia/platform/window/window.h>

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
    if (ok) return;
    std::fprintf(stderr, "consumer: %s\n", what.c_str());
    ++failures;
}

// The colour the desktop shows at (x, y) of the window's drawing area.
media::Color Presented(const media::Window& window, std::int32_t x, std::int32_t y) {
    const platform::Rect client = platform::ClientAreaOnDesktop(static_cast<platform::HWND>(window.NativeHandle()));
    const platform::DisplaySurface& desktop = platform::headless::Controls().DesktopSurface();
    const platform::COLORREF c = platform::ColorRefFromRaw(desktop.PixelAt(client.left + x, client.top + y), desktop.Format());
    return {platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c)};
}

std::string Describe(media::Color c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

// A WAV file in memory: 16-bit mono at 22050 Hz, a square wave of the given height.
std::vector<std::uint8_t> SquareWave(std::uint32_t frames, std::int16_t height) {
    std::vector<std::uint8_t> bytes;
    const auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    const std::uint32_t data = frames * 2;
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    put(36 + data, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4), put(1, 2), put(1, 2), put(22050, 4), put(22050 * 2, 4), put(2, 2), put(16, 2);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    put(data, 4);
    for (std::uint32_t i = 0; i < frames; ++i) put(static_cast<std::uint16_t>((i / 25) % 2 ? height : -height), 2);
    return bytes;
}

int PeakHeard() {
    int peak = 0;
    for (const std::int16_t sample : platform::headless::AudioControls().Output()) peak = std::max(peak, sample < 0 ? -sample : +sample);
    return peak;
}

std::vector<media::Event> Drain(media::Window& window) {
    std::vector<media::Event> events;
    media::Event event;
    while (window.PollEvent(event)) events.push_back(event);
    return events;
}

}  // namespace

int main() {
    platform::headless::Controls().SetDesktop(320, 240, 32);
    media::Window window;
    if (const media::Status opened = window.Open("consumer", 64, 48); !opened) {
        std::fprintf(stderr, "consumer: %s\n", opened.Message().c_str());
        return 1;
    }

    // A frame: dark blue with a red bar, presented by the next frame.
    float dt = 0;
    Check(window.NextFrame(dt), "the first frame did not start");
    Check(window.Draw().Clear(media::kDarkBlue).Succeeded(), "Clear failed");
    Check(window.Draw().DrawRect({0, 10, 64, 4}, media::kRed).Succeeded(), "DrawRect failed");
    Check(window.NextFrame(dt), "the second frame did not start");
    const struct { std::int32_t x, y; media::Color expected; } probes[] = {
        {0, 0, media::kDarkBlue}, {63, 47, media::kDarkBlue}, {0, 10, media::kRed}, {63, 13, media::kRed}, {30, 14, media::kDarkBlue}};
    for (const auto& probe : probes) {
        const media::Color got = Presented(window, probe.x, probe.y);
        Check(got == probe.expected, "desktop at (" + std::to_string(probe.x) + ", " + std::to_string(probe.y) + ") shows " +
                                         Describe(got) + ", not " + Describe(probe.expected));
    }

    // A key: the left arrow (scan code 203) goes down before a frame and comes out as KeyDown.
    Drain(window);
    platform::headless::InputControls().SetKey(203, true);
    Check(window.NextFrame(dt), "the key frame did not start");
    const std::vector<media::Event> events = Drain(window);
    Check(events.size() == 1 && events[0].type == media::EventType::KeyDown && events[0].key == media::Key::Left,
          "pressing the left arrow gave " + std::to_string(events.size()) + " events, not one KeyDown of Key::Left");
    Check(window.IsKeyDown(media::Key::Left), "the left arrow is not down");

    // A sound: silence before it plays, its wave after.
    media::Audio audio;
    media::Sound beep;
    const std::vector<std::uint8_t> wave = SquareWave(22050 / 2, 6000);
    Check(audio.Open(window).Succeeded(), "the audio output did not open");
    Check(beep.LoadFromMemory(audio, wave.data(), wave.size()).Succeeded(), "the sound did not load");
    platform::headless::Controls().Advance(50);
    Check(PeakHeard() == 0, "the output is not silent before the sound plays");
    platform::headless::AudioControls().ClearOutput();
    Check(beep.Play().Succeeded(), "the sound did not play");
    platform::headless::Controls().Advance(50);
    Check(PeakHeard() == 6000, "the sound's peak heard is " + std::to_string(PeakHeard()) + ", not 6000");

    // A failure in words.
    media::Picture missing;
    const media::Status refused = missing.Load(window, "/no/such/folder/hero.png");
    Check(!refused && refused.Code() == media::ErrorCode::NotFound, "a missing picture was not refused as not found");
    Check(refused.Message().find("'/no/such/folder/hero.png': no such file") != std::string::npos,
          "the refusal says \"" + refused.Message() + "\"");

    if (failures != 0) return 1;
    std::puts("consumer: frame, key, sound and error checked");
    return 0;
}
#else
int main() {
    media::Window window;
    const media::Status opened = window.Open("consumer", 64, 48);
    if (!opened) std::fprintf(stderr, "consumer: %s\n", opened.Message().c_str());
    return opened ? 0 : 1;
}
#endif
