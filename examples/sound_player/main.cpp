// Tutorial: sound effects and music. `sound-player [WAV] [--music MIDI]` plays a MIDI tune
// in the background and the WAV effect once a second, and shows what is playing.
// Without arguments it plays the game's catch sound and menu tune from assets/.
//
// 1. A SoundDevice opens the audio output for the window.
// 2. A SoundEffect holds a WAV file in several copies, so one play does not cut the last short.
// 3. A MusicPlayer loads standard MIDI files (from the current directory) into numbered slots and
//    plays one at a time through the General MIDI SoundFont.
// Without an audio output both report failure and the example runs silent.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "example_support.h"
#include "media/audio/music_player.h"
#include "media/audio/sound_device.h"
#include "media/audio/sound_effect.h"
#include "media/display/screen.h"
#include "platform/audio/sound_buffer.h"
#include "platform/core/system.h"

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

    platform::HWND window = example::OpenWindow("sound player", 320, 80);
    media::Screen screen;
    if (!window || screen.SetWindowedMode(window, 320, 80) != 0) {
        std::fprintf(stderr, "sound-player: no window or display\n");
        return 1;
    }

    media::SoundDevice device;
    const bool sound = device.Init(window, 0) == platform::S_OK;
    media::SoundEffect effect;
    const bool effectLoaded = sound && effect.CreateFromWaveFile(&device, wave.c_str(), 4) == platform::S_OK;

    // Tunes are named relative to the current directory: go where the tune is first.
    const std::filesystem::path tune = std::filesystem::absolute(music);
    media::MusicPlayer player;
    std::int32_t slot = -1;
    if (chdir(tune.parent_path().c_str()) == 0 && player.Init(window, &device) == 1) {
        slot = player.Load(tune.filename().c_str());
        if (slot >= 0) player.Play(slot);
    }

    media::PixelSurface* back = screen.Back();
    const std::string effectLine = "effect: " + std::filesystem::path(wave).filename().string() + (effectLoaded ? "" : " (silent)");
    const std::string musicLine = "music:  " + tune.filename().string() + (slot >= 0 ? "" : " (silent)");
    for (long frame = 0; example::PumpMessages() && frame != options.frames; ++frame) {
        if (effectLoaded && frame % 60 == 0) effect.Play(0);  // once a second at 60 frames a second
        back->Fill(example::Colour(*back, 20, 24, 40));
        back->DrawTextAt(8, 12, 0x00FFFFFF, effectLine.c_str());
        back->DrawTextAt(8, 36, 0x0080FFFF, musicLine.c_str());
        screen.Flip(0, 1, 0);
        platform::Sleep(16);
    }
    if (slot >= 0) player.Stop(slot);
    if (options.screenshot && !example::SaveScreenshot(*back, options.screenshot)) return 1;
    return 0;
}
