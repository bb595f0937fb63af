// play-sound FILE [--seconds N]: plays a WAV file through SoundEffect or a standard MIDI file
// through MusicPlayer (chosen by the file's content) on the real audio output, for N seconds or,
// by default, until the WAV sound ends or for 10 seconds of MIDI music. On a terminal, standard
// error shows the seconds played out of the total, rewritten in place.
// Exit codes: 0 played; 1 the file cannot be loaded; 2 bad arguments; 3 no audio output.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "media/audio/music_player.h"
#include "media/audio/sound_device.h"
#include "media/audio/sound_effect.h"
#include "platform/core/system.h"
#include "platform/music/midi_synth.h"

namespace {

constexpr int kExitPlayed = 0;
constexpr int kExitCannotLoad = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoOutput = 3;
constexpr double kDefaultMidiSeconds = 10.0;
constexpr double kMaxSeconds = 24.0 * 60 * 60;
constexpr std::uint32_t kPollMs = 10;
// What the output still holds after the sound has been mixed: played out before closing.
constexpr std::uint32_t kTailMs = 100;

// How often the progress on a terminal is rewritten.
constexpr std::uint32_t kProgressMs = 100;

const char* const kUsage = "usage: play-sound FILE [--seconds N]\n";
const char* const kHelp =
    "usage: play-sound FILE [--seconds N]\n"
    "\n"
    "Plays FILE on the audio output: a WAV file (PCM, 8 or 16 bits, mono or stereo, any rate)\n"
    "or a standard MIDI file, recognised by the content, not the name. A WAV sound plays to its\n"
    "end, MIDI music for 10 seconds, unless --seconds says how long. On a terminal, standard\n"
    "error shows the seconds played out of the total.\n"
    "\n"
    "options:\n"
    "  --seconds N    play for N seconds (a decimal number, at most a day)\n"
    "  -h, --help     this manual\n"
    "      --version  the program's version\n"
    "\n"
    "exit codes:\n"
    "  0  played\n"
    "  1  the file cannot be loaded or is not a regular file (with a message)\n"
    "  2  bad arguments (with the usage line)\n"
    "  3  no audio output\n"
    "\n"
    "environment:\n"
    "  MEDIA_SOUNDFONT    the General MIDI SoundFont for MIDI files, instead of\n"
    "                     /usr/share/sounds/sf2/TimGM6mb.sf2\n"
    "  SDL_AUDIODRIVER    SDL's audio driver; disk writes the sound to a file\n"
    "  SDL_DISKAUDIOFILE  that file (signed 16-bit stereo, 44,100 Hz)\n";

bool IsHelp(std::string_view argument) { return argument == "--help" || argument == "-h"; }
bool IsVersion(std::string_view argument) { return argument == "--version"; }

// "elapsed / total s" on standard error, rewritten in place with a carriage return, only when
// standard error is a terminal: a pipe or a log file gets no progress at all.
class Progress {
public:
    explicit Progress(double totalSeconds)
        : shown_(::isatty(STDERR_FILENO) == 1), total_(totalSeconds), start_(std::chrono::steady_clock::now()) {}
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    ~Progress() {
        if (!shown_) return;
        Show(total_);
        std::fputc('\n', stderr);
    }

    void Update() {
        if (!shown_) return;
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
        Show(std::min(elapsed.count(), total_));
    }

private:
    void Show(double seconds) const {
        std::fprintf(stderr, "\rplay-sound: %.1f / %.1f s ", seconds, total_);
        std::fflush(stderr);
    }

    bool shown_;
    double total_;
    std::chrono::steady_clock::time_point start_;
};

enum class Kind { Wave, Midi, Unknown };

struct Arguments {
    std::string file;
    std::optional<double> seconds;
};

std::optional<double> ParseSeconds(const char* text) {
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || errno != 0 || !std::isfinite(value) || value < 0 || value > kMaxSeconds) {
        return std::nullopt;
    }
    return value;
}

std::optional<Arguments> ParseArguments(int argc, char** argv) {
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--seconds") {
            if (arguments.seconds || i + 1 >= argc) return std::nullopt;
            arguments.seconds = ParseSeconds(argv[++i]);
            if (!arguments.seconds) return std::nullopt;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return std::nullopt;
        } else {
            if (!arguments.file.empty()) return std::nullopt;
            arguments.file = argument;
        }
    }
    if (arguments.file.empty()) return std::nullopt;
    return arguments;
}

enum class Refusal { None, CannotOpen, NotAFile, CannotRead };

// The kind of sound by the file's first bytes. Only a regular file is read: a FIFO or a device
// would block the sniffing (or the loader after it) for as long as nobody writes to it. The file
// is opened without blocking, so that opening a FIFO does not wait for a writer either.
Kind KindOf(const std::string& path, Refusal* refusal) {
    *refusal = Refusal::None;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *refusal = Refusal::CannotOpen;
        return Kind::Unknown;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        *refusal = Refusal::NotAFile;
        return Kind::Unknown;
    }
    unsigned char head[12] = {};
    std::size_t got = 0;
    while (got < sizeof head) {
        const ssize_t n = ::read(fd, head + got, sizeof head - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            *refusal = Refusal::CannotRead;
            return Kind::Unknown;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (got == 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) return Kind::Wave;
    if (got >= 4 && std::memcmp(head, "MThd", 4) == 0) return Kind::Midi;
    return Kind::Unknown;
}

void SleepSeconds(double seconds, Progress* progress) {
    auto left = static_cast<std::uint64_t>(std::llround(seconds * 1000));
    while (left > 0) {
        const auto slice = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, kProgressMs));
        platform::Sleep(slice);
        left -= slice;
        progress->Update();
    }
}

// The length of a loaded WAV sound in seconds (0 when its format cannot be read).
double WaveSeconds(const platform::SoundBuffer& buffer) {
    platform::WaveFormatEx format;
    if (buffer.GetFormat(&format) != platform::S_OK || format.avgBytesPerSec == 0) return 0;
    return static_cast<double>(buffer.Bytes()) / format.avgBytesPerSec;
}

const char* WaveFailure(platform::HRESULT hr) {
    if (hr == platform::E_FAIL) return "cannot be read";
    if (hr == platform::E_NOTIMPL) return "is not PCM";
    if (hr == platform::DSERR_BADFORMAT) return "is not a WAV file that can be played (8 or 16 bits, 1 or 2 channels)";
    return "cannot be loaded";
}

int PlayWave(const Arguments& arguments) {
    media::SoundDevice device;
    if (device.Init(nullptr, 0) != platform::S_OK) {
        std::fprintf(stderr, "play-sound: no audio output\n");
        return kExitNoOutput;
    }
    media::SoundEffect effect;
    const platform::HRESULT hr = effect.CreateFromWaveFile(&device, arguments.file.c_str(), 1);
    if (hr != platform::S_OK) {
        std::fprintf(stderr, "play-sound: %s %s\n", arguments.file.c_str(), WaveFailure(hr));
        return kExitCannotLoad;
    }
    {
        Progress progress(arguments.seconds.value_or(WaveSeconds(*effect.Buffer(0))));
        effect.Play(0);
        if (arguments.seconds) {
            SleepSeconds(*arguments.seconds, &progress);
        } else {
            std::uint32_t status = platform::DSBSTATUS_PLAYING;
            for (std::uint32_t polls = 1;
                 effect.Buffer(0)->GetStatus(&status) == platform::S_OK && (status & platform::DSBSTATUS_PLAYING); ++polls) {
                platform::Sleep(kPollMs);
                if (polls % (kProgressMs / kPollMs) == 0) progress.Update();
            }
            platform::Sleep(kTailMs);
        }
    }
    effect.Release();
    return kExitPlayed;
}

int PlayMidi(const Arguments& arguments) {
    // Tunes are loaded from the current directory: go where the file is.
    const std::filesystem::path path(arguments.file);
    const std::filesystem::path directory = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (chdir(directory.c_str()) != 0) {
        std::fprintf(stderr, "play-sound: %s cannot be read\n", arguments.file.c_str());
        return kExitCannotLoad;
    }
    media::MusicPlayer player;
    const std::int32_t init = player.Init(nullptr, nullptr);
    if (init == -4) {
        std::fprintf(stderr, "play-sound: no audio output\n");
        return kExitNoOutput;
    }
    if (init == -6) {
        std::fprintf(stderr, "play-sound: %s cannot be played: no SoundFont at %s\n", arguments.file.c_str(),
                     platform::MidiSynth::SoundFontPath().c_str());
        return kExitCannotLoad;
    }
    const std::int32_t slot = init == 1 ? player.Load(path.filename().c_str()) : -1;
    if (slot < 0) {
        std::fprintf(stderr, "play-sound: %s is not a standard MIDI file that can be played\n", arguments.file.c_str());
        return kExitCannotLoad;
    }
    const double seconds = arguments.seconds.value_or(kDefaultMidiSeconds);
    {
        Progress progress(seconds);
        player.Play(slot);
        // Play already waited a little after starting the tune.
        SleepSeconds(std::max(0.0, seconds - media::MusicPlayer::kStartWaitMs / 1000.0), &progress);
    }
    player.Stop(slot);
    return kExitPlayed;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::any_of(argv + 1, argv + argc, IsHelp)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (std::any_of(argv + 1, argv + argc, IsVersion)) {
        std::printf("play-sound %s\n", MEDIA_VERSION);
        return 0;
    }
    const std::optional<Arguments> arguments = ParseArguments(argc, argv);
    if (!arguments) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    Refusal refusal = Refusal::None;
    const Kind kind = KindOf(arguments->file, &refusal);
    if (refusal == Refusal::NotAFile) {
        std::fprintf(stderr, "play-sound: %s is not a regular file\n", arguments->file.c_str());
        return kExitCannotLoad;
    }
    if (refusal != Refusal::None) {
        std::fprintf(stderr, "play-sound: %s cannot be read: %s\n", arguments->file.c_str(), std::strerror(errno));
        return kExitCannotLoad;
    }
    switch (kind) {
    case Kind::Wave:
        return PlayWave(*arguments);
    case Kind::Midi:
        return PlayMidi(*arguments);
    case Kind::Unknown:
        break;
    }
    std::fprintf(stderr, "play-sound: %s is neither a WAV nor a MIDI file\n", arguments->file.c_str());
    return kExitCannotLoad;
}
