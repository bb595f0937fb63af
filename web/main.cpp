// bodo & zamel in a browser page: the program's entry point for the browser build. The game runs
// as on the desktop, on the web backend, from the page's packed data (/game). With
// `--replay SCRIPT [--frames N]` it runs the key script on the in-memory backend instead, as
// bodo-zamel-replay does, and prints the same trace on standard output, which the page collects:
// the browser's build of the game must play every frame as the native one does.
#include <emscripten/emscripten.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>

#include "game/app_shell.h"
#include "game/game.h"
#include "game/game_values.h"
#include "media/input/input.h"
#include "platform/core/backend.h"
#include "platform/window/window.h"
#include "tools/replay/key_script.h"
#include "tools/replay/replay_runner.h"
#include "tools/replay/trace.h"

namespace {

// Where the page's packed data puts the game's pictures, tunes and sound.
constexpr const char* kDataFolder = "/game";

int RunReplay(const char* scriptPath, std::int64_t frames) {
    platform::UseBackend("headless");
    std::ifstream scriptFile(scriptPath);
    if (!scriptFile) {
        std::fprintf(stderr, "replay: cannot read the key script %s: %s\n", scriptPath, std::strerror(errno));
        return 2;
    }
    const replay::KeyScript script = replay::ReadKeyScript(scriptFile);
    if (!script.error.empty()) {
        std::fprintf(stderr, "replay: %s: %s\n", scriptPath, script.error.c_str());
        return 2;
    }
    std::fputs(replay::kTraceHeader, stdout);
    replay::ReplayRunner runner(script.events);
    runner.Run(frames, [](std::int64_t frame) { std::fputs(replay::TraceLine(frame).c_str(), stdout); });
    std::fflush(stdout);
    platform::ResetWindowSystem();
    return 0;
}

// The game closed (E, X, or a fatal start-up): the page says so, as the desktop's window would
// have gone.
EM_JS(void, bz_program_ended, (), {
    if (Module.showMessage) Module.showMessage('bodo & zamel', 'the game has ended; reload the page to play again');
});

}  // namespace

// The game's state for the page (window.bodoZamel.state()): whether the game is active, then the
// trace's columns after the frame number, then the left mouse button's status as the game's
// input object last read it. Read by players' tools and the browser test between frames.
extern "C" EMSCRIPTEN_KEEPALIVE const char* bodo_zamel_state() {
    static std::string state;
    const std::string line = replay::TraceLine(0);
    const media::Input* input = game::gameValues.input;
    const int mouseLeft = input ? input->GetKeyStatus(media::KEY_CODE_MOUSE_FIRST) : 0;
    state = std::to_string(game::appActive) + line.substr(line.find(' '));
    while (!state.empty() && (state.back() == '\n' || state.back() == ' ')) state.pop_back();
    state += ' ' + std::to_string(mouseLeft);
    return state.c_str();
}

int main(int argc, char** argv) {
    if (chdir(kDataFolder) != 0) std::fprintf(stderr, "the page's data is missing (%s): running without pictures and sound\n", kDataFolder);
    if (argc >= 3 && std::string_view(argv[1]) == "--replay") {
        const std::int64_t frames = argc >= 5 && std::string_view(argv[3]) == "--frames" ? std::atoll(argv[4]) : 100000;
        return RunReplay(argv[2], frames);
    }
    const int exitCode = game::RunApplication(platform::SW_SHOWNORMAL);
    platform::ResetWindowSystem();
    bz_program_ended();
    return exitCode;
}
