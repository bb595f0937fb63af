#include "platform/backends/sdl/sdl_shell.h"

#include <SDL.h>

#include "platform/window/window.h"

namespace platform::sdl {

namespace {

SDL_Window* Handle(const Window& window) { return static_cast<SDL_Window*>(window.native); }

}  // namespace

SdlShell& Shell() {
    static SdlShell shell;
    return shell;
}

void SdlShell::Queue(const Window* window, ShellEventKind kind, std::string_view utf8) {
    // SDL types into whichever window has the focus while its text input runs; only the window
    // that asked for text gets it.
    if (kind == ShellEventKind::Text && window != textInputIn_) return;
    waiting_.Add(window, kind, utf8);
}

void SdlShell::Forget(const Window* window) {
    waiting_.Forget(window);
    if (textInputIn_ == window) {
        textInputIn_ = nullptr;
        SDL_StopTextInput();
    }
}

// The clipboard belongs to the video subsystem: without a display there is none.
bool SdlShell::SetClipboardText(const char* utf8) { return SDL_WasInit(SDL_INIT_VIDEO) && SDL_SetClipboardText(utf8 ? utf8 : "") == 0; }

bool SdlShell::ClipboardText(std::string& utf8) {
    utf8.clear();
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    char* text = SDL_GetClipboardText();  // "" when empty, never null in SDL 2.0.4+
    if (!text) return false;
    utf8 = text;
    SDL_free(text);
    return true;
}

void SdlShell::SetTextInput(Window& window, bool on) {
    if (on) {
        textInputIn_ = &window;
        SDL_StartTextInput();
    } else if (textInputIn_ == &window) {
        textInputIn_ = nullptr;
        SDL_StopTextInput();
    }
}

void SdlShell::SetCursorVisible(bool visible) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool SdlShell::ConfineCursor(Window& window, bool confine) {
    if (!Handle(window)) return false;
    SDL_SetWindowGrab(Handle(window), confine ? SDL_TRUE : SDL_FALSE);
    return true;
}

bool SdlShell::SetRelativeMouse(Window& window, bool relative) {
    if (!Handle(window)) return false;
    // Relative mode applies to the window with the mouse's focus; the window asking is the one shown.
    return SDL_SetRelativeMouseMode(relative ? SDL_TRUE : SDL_FALSE) == 0;
}

void SdlShell::TakeShellEvents(const Window& window, ShellEventSink sink, void* context) { waiting_.Take(&window, sink, context); }

}  // namespace platform::sdl
