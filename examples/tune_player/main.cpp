// Tutorial: a tune you can pause and seek, and sounds with a pitch and a pan.
// `tune-player [TUNE] [--sound WAV]` plays an Ogg Vorbis or MIDI tune, looping, streamed as it plays,
// and plays the sound every half second at a pitch and a place that sweep across the speakers.
// Without arguments it plays the game's menu tune and catch sound from assets/.
//
// Keys: Space pauses and resumes, Left and Right seek 5 seconds back and on, Home seeks to the start.
//
// 1. A Tune from an Ogg file is read from the file as it plays (never decoded whole); a MIDI tune
//    plays through the synthesiser. Both pause, resume, seek and tell their Position and Length.
// 2. Sound::Play with PlayOptions gives one play its own volume, pitch (0.5 .. 2, the speed) and
//    pan (-1 left .. 1 right); SetVoices lets more plays of one sound overlap.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <zamelmedia/zamelmedia.h>

#include "example_support.h"

#ifndef EXAMPLE_ASSETS
#define EXAMPLE_ASSETS "assets"
#endif

int main(int argc, char** argv) {
    example::RunOptions options = example::ParseOptions(argc, argv);
    std::string tunePath = options.argument ? options.argument : EXAMPLE_ASSETS "/Sound_menu.mid";
    std::string soundPath = EXAMPLE_ASSETS "/item.wav";
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--sound") == 0) soundPath = argv[i + 1];
    }
    if (tunePath == soundPath) tunePath = EXAMPLE_ASSETS "/Sound_menu.mid";  // "--sound X" alone

    media::Window window;
    if (!window.Open("tune player", 320, 100, options.mode).Report("tune-player")) return 1;
    media::Audio audio;
    media::Tune tune;
    media::Sound sound;
    const bool open = audio.Open(window).Report("tune-player");
    const bool tuneLoaded = open && tune.Load(audio, tunePath.c_str()).Report("tune-player") &&
                            tune.Play(media::Loop::Forever).Report("tune-player");
    const bool soundLoaded = open && sound.Load(audio, soundPath.c_str()).Report("tune-player");
    sound.SetVoices(8);

    const std::string name = std::filesystem::path(tunePath).filename().string();
    float dt = 0;
    for (long frame = 0; frame != options.frames && window.NextFrame(dt); ++frame) {
        media::Event event;
        while (window.PollEvent(event)) {
            if (event.type != media::EventType::KeyDown) continue;
            if (event.key == media::Key::Space) tune.IsPaused() ? tune.Resume() : tune.Pause();
            if (event.key == media::Key::Left) tune.Seek(tune.Position() - 5);
            if (event.key == media::Key::Right) tune.Seek(tune.Position() + 5);
            if (event.key == media::Key::Home) tune.Seek(0);
        }
        // Every half second: the pitch climbs an octave and the pan sweeps left to right over 4 s.
        if (soundLoaded && frame % 30 == 0) {
            const float sweep = static_cast<float>(frame % 240) / 240.0f;
            sound.Play({.volume = 0.8f, .pitch = 1.0f + sweep, .pan = sweep * 2.0f - 1.0f});
        }

        const media::Canvas canvas = window.Draw();
        canvas.Clear({20, 24, 40});
        char line[96];
        std::snprintf(line, sizeof line, "%s %5.1f / %5.1f s", tune.IsPaused() ? "paused " : "playing", tune.Position(), tune.Length());
        canvas.DrawText(8, 10, (tuneLoaded ? name : name + " (silent)").c_str(), media::kWhite);
        canvas.DrawText(8, 30, line, {255, 255, 128});
        // The position as a bar across the window.
        const double length = tune.Length() > 0 ? tune.Length() : 1;
        canvas.DrawRect({8, 56, 304, 12}, {60, 64, 90});
        canvas.DrawRect({8, 56, static_cast<std::int32_t>(304 * tune.Position() / length), 12}, {120, 200, 255});
        canvas.DrawText(8, 76, "space pause  left/right seek", {160, 160, 170});
    }
    if (tuneLoaded) tune.Stop();
    if (options.screenshot && !example::SaveScreenshot(window.Draw().Surface(), options.screenshot)) return 1;
    return 0;
}
