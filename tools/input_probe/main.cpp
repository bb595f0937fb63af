// input-probe: shows what the input layer reads. In a real window titled "input-probe" it runs
// one input update per frame (paced by the vertical blank) and prints, for every frame in which
// one of the game's keys is not up, "<frame> <code>=<status> ..." with the codes ascending.
// The window's close box or SIGTERM ends it with exit code 0.
//
// input-probe --help prints its manual and input-probe --keys opens no window and prints the key tables: "<code> <key-to-scan entry>
// <shifted code> <name>" for codes 0..269 (key-to-scan -1 where that table has no entry), then
// "scan <scan code> <key code>" for scan codes 0..255.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "media/display/screen.h"
#include "media/input/input.h"
#include "media/input/key_tables.h"
#include "platform/core/quit_signals.h"
#include "platform/window/window.h"

namespace {

constexpr const char* kTitle = "input-probe";
constexpr const char* kClassName = "input-probe window";
constexpr std::int32_t kWidth = 320;
constexpr std::int32_t kHeight = 240;
constexpr const char* kHelp =
    "usage: input-probe [--keys]\n"
    "\n"
    "Shows what the input layer reads. Opens a window titled \"input-probe\" and prints, for\n"
    "each frame in which one of the game's keys is not up, the frame number and code=status\n"
    "pairs, codes ascending: ESC 27, A 97, E 101, M 109, O 111, P 112, X 120, left 134,\n"
    "right 135; status 2 pressed, 3 held, 1 released. The window's close box, SIGTERM or\n"
    "SIGINT ends it.\n"
    "\n"
    "options:\n"
    "  --keys         print the key tables and open no window: '<code> <scan code or -1>\n"
    "                 <shifted code> <name>' for codes 0..269, then 'scan <scan code>\n"
    "                 <code>' for scan codes 0..255\n"
    "  -h, --help     this manual\n"
    "      --version  the program's version\n"
    "\n"
    "exit codes:\n"
    "  0  the window was closed, or the tables were printed\n"
    "  1  no window, display or input devices could be set up\n"
    "  2  bad arguments\n"
    "\n"
    "environment:\n"
    "  MEDIA_BACKEND         sdl or headless: the backend the window opens on\n"
    "  MEDIA_DESKTOP_DEPTH   15, 16 or 24: run the display in that depth instead of 32\n"
    "  SDL_VIDEODRIVER       SDL's video driver (dummy and offscreen only when named)\n"
    "  MEDIA_NO_MESSAGE_BOX  1: errors go to standard error only\n";

bool IsHelp(std::string_view argument) { return argument == "--help" || argument == "-h"; }
bool IsVersion(std::string_view argument) { return argument == "--version"; }

// The keys the game asks for: ESC, A, E, M, O, P, X and the left and right arrows.
constexpr std::uint16_t kGameKeys[] = {27, 97, 101, 109, 111, 112, 120, 134, 135};

void PrintKeyTables() {
    media::ScanToKeyTable scanToKey;
    media::KeyToScanTable keyToScan;
    media::ShiftTable shift;
    media::KeyNameTable names;
    media::BuildScanToKeyTable(scanToKey);
    media::BuildKeyToScanTable(keyToScan);
    media::BuildShiftTable(shift);
    media::BuildKeyNames(names);
    for (std::size_t code = 0; code < media::kKeyCodeCount; ++code) {
        const long long toScan = code < keyToScan.size() ? static_cast<long long>(keyToScan[code]) : -1;
        const std::string name(names[code].data(), strnlen(names[code].data(), names[code].size()));
        std::printf("%zu %lld %u %s\n", code, toScan, static_cast<unsigned>(shift[code]), name.c_str());
    }
    for (std::size_t scanCode = 0; scanCode < scanToKey.size(); ++scanCode)
        std::printf("scan %zu %u\n", scanCode, static_cast<unsigned>(scanToKey[scanCode]));
}

platform::LRESULT ProbeWindowProc(platform::HWND window, std::uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) {
    if (message == platform::WM_CLOSE) {
        platform::PostQuitMessage(0);
        return 0;
    }
    return platform::DefWindowProc(window, message, wParam, lParam);
}

platform::HWND OpenWindow() {
    platform::WindowClass windowClass;
    windowClass.proc = &ProbeWindowProc;
    windowClass.className = kClassName;
    platform::RegisterClass(windowClass);
    const std::uint32_t style = platform::WS_CAPTION | platform::WS_SYSMENU;
    platform::Rect frame{0, 0, kWidth, kHeight};
    platform::AdjustWindowRectEx(&frame, style, false, 0);
    platform::HWND window = platform::CreateWindowEx(0, kClassName, kTitle, style, 0, 0, frame.Width(), frame.Height());
    if (window) platform::ShowWindow(window, platform::SW_SHOWNORMAL);
    return window;
}

// One line for a frame in which any game key is not up; nothing otherwise.
void PrintFrame(std::uint64_t frame, const media::Input& input) {
    char line[256];
    int length = std::snprintf(line, sizeof line, "%llu", static_cast<unsigned long long>(frame));
    bool any = false;
    for (const std::uint16_t code : kGameKeys) {
        const media::KeyStatus status = input.GetKeyStatus(code);
        if (status == media::KEY_UP) continue;
        length += std::snprintf(line + length, sizeof line - length, " %u=%u", code, static_cast<unsigned>(status));
        any = true;
    }
    if (!any) return;
    std::puts(line);
    std::fflush(stdout);
}

int RunProbe() {
    platform::HWND window = OpenWindow();
    if (!window) {
        std::fprintf(stderr, "input-probe: could not open a window\n");
        return 1;
    }
    media::Screen screen;
    if (screen.SetWindowedMode(window, kWidth, kHeight) != 0) {
        std::fprintf(stderr, "input-probe: could not set up the display\n");
        return 1;
    }
    media::Input input;
    if (const platform::HRESULT hr = input.Create(nullptr, window); platform::Failed(hr)) {
        std::fprintf(stderr, "input-probe: could not create the input devices (0x%08X)\n", static_cast<unsigned>(hr));
        return 1;
    }
    std::uint64_t frame = 0;
    for (;;) {
        platform::Message message;
        if (platform::PeekMessage(&message, nullptr, 0, 0, platform::PM_REMOVE)) {
            if (message.message == platform::WM_QUIT) return 0;
            platform::DispatchMessage(&message);
        } else if (platform::IsWindowActive(window)) {
            input.Update();
            PrintFrame(frame++, input);
            screen.Back()->Fill(0);
            screen.Flip(1, 1, 0);
        } else {
            platform::WaitMessage();
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    platform::CatchQuitSignals();
    if (std::any_of(argv + 1, argv + argc, IsHelp)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (std::any_of(argv + 1, argv + argc, IsVersion)) {
        std::printf("input-probe %s\n", MEDIA_VERSION);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--keys") == 0) {
        PrintKeyTables();
        return 0;
    }
    if (argc != 1) {
        std::fprintf(stderr, "usage: input-probe [--keys] (--help for the manual)\n");
        return 2;
    }
    const int exitCode = RunProbe();
    platform::ResetWindowSystem();
    return exitCode;
}
