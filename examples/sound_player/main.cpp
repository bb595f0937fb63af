// Tutorial: sound effects and music. `sound-player [WAV] [--music MIDI]` plays a MIDI tune
// in the background and the WAV effect once a second, and shows what is playing.
// Without arguments it plays the game's catch sound and menu tune from assets/.
//
// 1. An Audio opens the audio output for the window, with a MIDI synthesiser for tunes.
// 2. A Sound holds a WAV file in several copies, so one play does not cut the last short.
// 3. A Tune holds a standard MIDI file (any path) and plays through the General MIDI SoundFont;
//    one tune sounds at a time; the window's frame loop starts a looping tune again at its end.
// Without an audio output or a SoundFont the loads say why and the example runs silent.
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
    std::string wave = options.argument ? options.argument : EXAMPLE_ASSETS "/item.wav";
    std::string music = EXAMPLE_ASSETS "/Sound_menu.mid";
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--music") == 0) music = argv[i + 1];
    }
    if (wave == music) wave = EXAMPLE_ASSETS "/item.wav";  // "--music X" alone: X was taken as the WAV

    media::Window window;
    if (!window.Open("sound player", 320, 80, options.mode).Report("sound-player")) return 1;

    // The window's frame loop keeps the looping tune going; the sound and the tune keep what they
    // need of the audio output, in whatever order they are destroyed.
    media::Audio audio;
    media::Sound effect;
    media::Tune tune;
    // A failed load is reported; the example goes on without that sound.
    const bool sound = audio.Open(window).Report("sound-player");
    const bool effectLoaded = sound && effect.Load(audio, wave.c_str()).Report("sound-player");
    const bool tuneLoaded = sound && tune.Load(audio, music.c_str()).Report("sound-player") &&
                            tune.Play(media::Loop::Forever).Report("sound-player");

    const std::string effectLine = "effect: " + std::filesystem::path(wave).filename().string() + (effectLoaded ? "" : " (silent)");
    const std::string musicLine = "music:  " + std::filesystem::path(music).filename().string() + (tuneLoaded ? "" : " (silent)");
    float dt = 0;
    for (long frame = 0; frame != options.frames && window.NextFrame(dt); ++frame) {
        if (effectLoaded && frame % 60 == 0) effect.Play();  // once a second at 60 frames a second
        const media::Canvas canvas = window.Draw();
        canvas.Clear({20, 24, 40});
        canvas.DrawText(8, 12, effectLine.c_str(), media::kWhite);
        canvas.DrawText(8, 36, musicLine.c_str(), {255, 255, 128});
    }
    if (tuneLoaded) tune.Stop();
    if (options.screenshot && !example::SaveScreenshot(window.Draw().Surface(), options.screenshot)) return 1;
    return 0;
}
