// The input probe: a small front-door program for the browser test. It prints on standard output
// (the page's console) every event of the window's clipboard, text input, dropped files, pointer
// and gamepads, and the function keys drive the window's calls:
//   F1 puts "bodo → zamel ✓" on the clipboard     F2 prints the clipboard's text
//   F3 text input on, F4 off                      F6 relative mouse mode on, F7 off
//   F8 hides the pointer, F9 shows it             F10 confines the pointer
// Each line starts with a word the test looks for; a dropped file's line gives its size and its
// first bytes, read back from the program's file system.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <zamelmedia/zamelmedia.h>

namespace {

void Say(const char* what, const media::Status& status) {
    std::printf("%s %s\n", what, status ? "ok" : status.Message().c_str());
}

// F-keys run the window's calls.
void Command(media::Window& window, media::Key key) {
    switch (key) {
        case media::Key::F1: Say("clipboard-set", window.SetClipboardText("bodo → zamel ✓")); break;
        case media::Key::F2: std::printf("clipboard [%s]\n", window.ClipboardText().c_str()); break;
        case media::Key::F3: window.SetTextInput(true); std::printf("text-input %d\n", window.IsTextInput()); break;
        case media::Key::F4: window.SetTextInput(false); std::printf("text-input %d\n", window.IsTextInput()); break;
        case media::Key::F6: Say("relative-on", window.SetRelativeMouse(true)); break;
        case media::Key::F7: Say("relative-off", window.SetRelativeMouse(false)); break;
        case media::Key::F8: window.ShowCursor(false); std::printf("cursor hidden\n"); break;
        case media::Key::F9: window.ShowCursor(true); std::printf("cursor shown\n"); break;
        case media::Key::F10: Say("confine", window.ConfineCursor(true)); break;
        default: break;
    }
}

void Dropped(const char* path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::printf("dropped %s %zu [%s]\n", path, bytes.size(), bytes.substr(0, 32).c_str());
}

void Print(const media::Event& event) {
    using media::EventType;
    switch (event.type) {
        case EventType::KeyDown: std::printf("key %d\n", static_cast<int>(event.key)); break;
        case EventType::TextInput: std::printf("text [%s]\n", event.utf8); break;
        case EventType::FileDropped: Dropped(event.utf8); break;
        case EventType::MouseMoved: std::printf("moved %d %d %d %d\n", event.x, event.y, event.dx, event.dy); break;
        case EventType::GamepadConnected: std::printf("pad-connected %d\n", event.gamepad); break;
        case EventType::GamepadDisconnected: std::printf("pad-disconnected %d\n", event.gamepad); break;
        case EventType::GamepadButtonDown: std::printf("pad-down %d %d\n", event.gamepad, event.button); break;
        case EventType::GamepadButtonUp: std::printf("pad-up %d %d\n", event.gamepad, event.button); break;
        case EventType::GamepadAxisMoved: std::printf("pad-axis %d %d %.2f\n", event.gamepad, event.button, event.value); break;
        default: break;
    }
}

}  // namespace

int main() {
    media::Window window;
    if (!window.Open("input probe", 320, 240).Report("input-probe")) return 1;
    std::printf("probe ready\n");
    const media::Gamepad first(window, 0);
    float dt = 0;
    while (window.NextFrame(dt)) {
        media::Event event;
        while (window.PollEvent(event)) {
            Print(event);
            if (event.type == media::EventType::KeyDown) Command(window, event.key);
            if (event.type == media::EventType::GamepadConnected && event.gamepad == 0) std::printf("pad-name [%s]\n", first.Name());
        }
        std::fflush(stdout);
        window.Draw().Clear(window.IsTextInput() ? media::kDarkBlue : media::kBlack);
    }
    return 0;
}
