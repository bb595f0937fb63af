// bodo-zamel-replay: the game on the headless backend, driven by a key script.
//   bodo-zamel-replay SCRIPT [--frames N] [--trace] [--shot FRAME:FILE]... [--assets DIR]
//   bodo-zamel-replay --help
// Exit codes: 0 the replay ran (to N frames or until the game closed), 1 the assets folder or a
// screenshot could not be used, 2 a wrong command line or key script (with the line named).
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>

#include "platform/backends/headless/headless_audio.h"
#include "platform/core/backend.h"
#include "platform/window/window.h"
#include "tools/replay/key_script.h"
#include "tools/replay/replay_runner.h"
#include "tools/replay/shot_writer.h"
#include "tools/replay/trace.h"

namespace {

constexpr const char* kUsage = "usage: bodo-zamel-replay SCRIPT [--frames N] [--trace] [--shot FRAME:FILE]... [--assets DIR]\n";
constexpr const char* kHelp =
    "usage: bodo-zamel-replay SCRIPT [--frames N] [--trace] [--shot FRAME:FILE]... [--assets DIR]\n"
    "\n"
    "Runs the game in memory (no window, no sound) driven by the key script SCRIPT, frame by\n"
    "frame from frame 0, with the window active from the start. It stops after N frames or when\n"
    "the game closes. SCRIPT has one event a line, '<frame> <key name> down|up', '#' starting a\n"
    "comment; the keys are ESC, A, E, M, O, P, X, LEFT ARROW and RIGHT ARROW, in any case. A key\n"
    "is down in the frames from its down to the one before its up.\n"
    "\n"
    "options:\n"
    "  --frames N         run at most N frames (default 100000)\n"
    "  --trace            print a header line starting with '#', then one line per frame that\n"
    "                     runs to its end: frame gameState score level lives beeSpeed\n"
    "                     levelTarget heroX redPotX redPotY bluePotX bluePotY beeX beeY\n"
    "  --shot FRAME:FILE  write the picture presented in FRAME as PNG, or BMP when FILE ends\n"
    "                     in .bmp; may be given again for more shots\n"
    "  --assets DIR       the folder with the game's pictures, tunes and sound (default: the\n"
    "                     current directory); relative shot files are written there\n"
    "  -h, --help         this manual\n"
    "      --version      the program's version\n"
    "\n"
    "exit codes:\n"
    "  0  the replay ran (to N frames or until the game closed)\n"
    "  1  DIR cannot be entered or a shot cannot be written\n"
    "  2  bad arguments, or a key script that cannot be read or has a wrong line (named)\n"
    "\n"
    "environment: none; the replay always runs on the in-memory backend, whatever\n"
    "MEDIA_BACKEND says.\n";

bool IsHelp(std::string_view argument) { return argument == "--help" || argument == "-h"; }
bool IsVersion(std::string_view argument) { return argument == "--version"; }

struct Options {
    std::string script;
    std::int64_t frames = 100000;
    bool trace = false;
    std::multimap<std::int64_t, std::string> shots;
    std::string assets;
};

bool ParseCount(std::string_view text, std::int64_t* value) {
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return status == std::errc() && end == text.data() + text.size() && *value >= 0;
}

// False (with the message printed) when the command line is wrong.
bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--trace") {
            options->trace = true;
        } else if (arg == "--frames" && hasValue) {
            if (!ParseCount(argv[++i], &options->frames)) {
                std::fprintf(stderr, "bodo-zamel-replay: --frames needs a count, not '%s'\n", argv[i]);
                return false;
            }
        } else if (arg == "--shot" && hasValue) {
            const std::string_view shot = argv[++i];
            const auto colon = shot.find(':');
            std::int64_t frame = 0;
            if (colon == std::string_view::npos || colon + 1 == shot.size() || !ParseCount(shot.substr(0, colon), &frame)) {
                std::fprintf(stderr, "bodo-zamel-replay: --shot needs FRAME:FILE, not '%s'\n", argv[i]);
                return false;
            }
            options->shots.emplace(frame, std::string(shot.substr(colon + 1)));
        } else if (arg == "--assets" && hasValue) {
            options->assets = argv[++i];
        } else if (!arg.starts_with("--") && options->script.empty()) {
            options->script = arg;
        } else {
            std::fprintf(stderr, "bodo-zamel-replay: unexpected argument '%s'\n", argv[i]);
            return false;
        }
    }
    if (options->script.empty()) {
        std::fprintf(stderr, "bodo-zamel-replay: no key script given\n");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::any_of(argv + 1, argv + argc, IsHelp)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (std::any_of(argv + 1, argv + argc, IsVersion)) {
        std::printf("bodo-zamel-replay %s\n", MEDIA_VERSION);
        return 0;
    }
    // The game runs in memory here, whatever backends the program has.
    platform::UseBackend("headless");
    // Nobody hears a replay: its music need only keep time, which makes the synth's work small.
    platform::headless::AudioControls().SetUnheard(true);
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // A directory opens as a stream on this system and reads as nothing at all: refused by name.
    std::error_code statusError;
    if (std::filesystem::is_directory(options.script, statusError)) {
        std::fprintf(stderr, "bodo-zamel-replay: the key script %s is a directory\n", options.script.c_str());
        return 2;
    }
    std::ifstream scriptFile(options.script);
    if (!scriptFile) {
        std::fprintf(stderr, "bodo-zamel-replay: cannot read the key script %s: %s\n", options.script.c_str(), std::strerror(errno));
        return 2;
    }
    const replay::KeyScript script = replay::ReadKeyScript(scriptFile);
    if (!script.error.empty()) {
        std::fprintf(stderr, "bodo-zamel-replay: %s: %s\n", options.script.c_str(), script.error.c_str());
        return 2;
    }
    // The game reads its pictures, tunes and sound from the current directory.
    if (!options.assets.empty() && chdir(options.assets.c_str()) != 0) {
        std::fprintf(stderr, "bodo-zamel-replay: cannot enter %s: %s\n", options.assets.c_str(), std::strerror(errno));
        return 1;
    }

    if (options.trace) std::fputs(replay::kTraceHeader, stdout);
    int shotFailures = 0;
    replay::ReplayRunner runner(script.events);
    const replay::ReplayResult result = runner.Run(options.frames, [&](std::int64_t frame) {
        if (options.trace) std::fputs(replay::TraceLine(frame).c_str(), stdout);
        const auto [first, last] = options.shots.equal_range(frame);
        if (first == last) return;
        const replay::RgbImage image = replay::CaptureClientArea();
        for (auto it = first; it != last; ++it) {
            const std::string error = replay::WriteShot(it->second, image);
            if (!error.empty()) {
                std::fprintf(stderr, "bodo-zamel-replay: cannot write %s: %s\n", it->second.c_str(), error.c_str());
                ++shotFailures;
            }
        }
    });
    std::fflush(stdout);
    // Shots of frames the replay never finished (the game closed first, or past N) are not
    // failures, but the user is told.
    for (auto it = options.shots.upper_bound(result.framesRun - 1); it != options.shots.end(); ++it)
        std::fprintf(stderr, "bodo-zamel-replay: frame %lld did not run to its end; %s not written\n",
                     static_cast<long long>(it->first), it->second.c_str());
    platform::ResetWindowSystem();
    return shotFailures ? 1 : 0;
}
