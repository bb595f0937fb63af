#include "platform/backends/web/web_shell.h"

#include <emscripten/emscripten.h>

#include "platform/backends/web/web_backend.h"

// The page"s side: Module.bzShell holds what the page keeps (the clipboard"s text, the hidden
// field, whether the pointer should be locked) and hands pieces to the program through the
// program's buffer and bz_shell_piece.
EM_JS(void, bz_shell_install, (char* buffer, int size), {
    const canvas = Module.canvas;
    const shell = Module.bzShell = {clipboard : "", clipboardSets : 0, field : null, relative : false, drops : 0};
    // A piece for the program (kind 0 typed text, 1 a dropped file's path); a program waiting for
    // an event hears of it at once.
    // A piece too long for the buffer is left out whole: cut, a path would name another file.
    shell.give = (kind, text) => {
        if (lengthBytesUTF8(text) >= size) {
            console.warn("left out: a piece of " + text.length + " characters is longer than the program takes");
            return;
        }
        const length = stringToUTF8(text, buffer, size);
        _bz_shell_piece(kind, length);
        if (Module.wakeWaiter) Module.wakeWaiter();
    };

    // The clipboard: reading it asks the player unless it is already allowed, so the page reads
    // it on gaining the focus only then, and never asks. A read that ends after the program set
    // its text, or a paste came, holds older text and is dropped.
    const readClipboard = () => {
        if (!navigator.clipboard || !navigator.clipboard.readText || !navigator.permissions) return;
        const sets = shell.clipboardSets;
        navigator.permissions.query({name : "clipboard-read"}).then((status) => {
            if (status.state !== "granted") return;
            return navigator.clipboard.readText().then((text) => {
                if (shell.clipboardSets === sets) shell.clipboard = text;
            });
        }).catch(() => {});
    };
    window.addEventListener("focus", readClipboard);
    if (document.hasFocus()) readClipboard();
    // A copy on the page copies the program's text; with none, the browser's own copy goes on.
    document.addEventListener("copy", (event) => {
        if (!event.clipboardData || shell.clipboard === "") return;
        event.clipboardData.setData("text/plain", shell.clipboard);
        event.preventDefault();
    });
    // A paste is the clipboard's text, not typing: it does not reach the hidden field.
    document.addEventListener("paste", (event) => {
        if (!event.clipboardData) return;
        shell.clipboard = event.clipboardData.getData("text/plain");
        shell.clipboardSets++;
        event.preventDefault();
    });

    // Dropped files, in the order dropped, each read whole into the file system.
    document.addEventListener("dragover", (event) => {
        event.preventDefault();
        if (event.dataTransfer) event.dataTransfer.dropEffect = "copy";
    });
    document.addEventListener("drop", (event) => {
        event.preventDefault();
        const files = event.dataTransfer ? Array.from(event.dataTransfer.files) : [];
        (async () => {
            for (const file of files) {
                const bytes = new Uint8Array(await file.arrayBuffer());
                const folder = "/dropped/" + (++shell.drops);
                // No folder separators in the name (92 is the backslash).
                let name = file.name.split("/").join("_").split(String.fromCharCode(92)).join("_");
                if (name === "" || name === "." || name === "..") name = "file";
                // A name longer than a file system takes keeps its start and its end (the type).
                if (name.length > 200) name = name.slice(0, 150) + name.slice(-50);
                FS.mkdirTree(folder);
                FS.writeFile(folder + "/" + name, bytes);
                shell.give(1, folder + "/" + name);
            }
        })().catch((error) => console.warn("a dropped file could not be read:", error));
    });

    // Relative mode: a lock the browser refused (no click or key yet, or the player left it with
    // Esc) is asked for again at the next click on the canvas.
    if (canvas) {
        canvas.addEventListener("mousedown", () => {
            if (shell.relative && document.pointerLockElement !== canvas) shell.lock();
        }, true);
    }
    shell.lock = () => {
        try {
            const asked = canvas.requestPointerLock();
            if (asked && asked.catch) asked.catch(() => {});
        } catch (error) {
        }
    };
});

// The hidden field that takes typing while text input is on, made on first use. Text lands in it
// through the browser's layout and input methods; what a composition builds is handed over when it
// ends.
EM_JS(void, bz_shell_text_input, (int on), {
    const shell = Module.bzShell;
    if (!shell.field) {
        const field = shell.field = document.createElement("textarea");
        field.setAttribute("autocomplete", "off");
        field.setAttribute("autocapitalize", "off");
        field.setAttribute("autocorrect", "off");
        field.setAttribute("spellcheck", "false");
        field.setAttribute("aria-hidden", "true");
        // Out of sight but focusable: a field with display none takes no focus and brings up no
        // on-screen keyboard. 16px keeps a phone's browser from zooming in on it.
        field.style.cssText = "position:fixed;left:0;bottom:0;width:1px;height:1px;opacity:0;border:0;padding:0;" +
                              "resize:none;pointer-events:none;font-size:16px;";
        field.addEventListener("input", (event) => {
            if (event.isComposing || event.inputType === "insertCompositionText") return;
            if (event.data && (event.inputType === "insertText" || event.inputType === "insertReplacementText")) shell.give(0, event.data);
            field.value = "";
        });
        field.addEventListener("compositionend", (event) => {
            if (event.data) shell.give(0, event.data);
            field.value = "";
        });
        document.body.appendChild(field);
    }
    shell.field.value = "";
    if (on) {
        shell.field.focus({preventScroll : true});
    } else if (document.activeElement === shell.field) {
        shell.field.blur();
        if (Module.canvas) Module.canvas.focus({preventScroll : true});
    }
});

EM_JS(void, bz_shell_set_clipboard, (const char* utf8), {
    const text = Module.bzShell.clipboard = UTF8ToString(utf8);
    Module.bzShell.clipboardSets++;
    // The system clipboard too, where the browser allows it (the page has the focus, and the
    // permission is given or not needed); the page's copy gives the text either way.
    if (navigator.clipboard && navigator.clipboard.writeText) navigator.clipboard.writeText(text).catch(() => {});
});

EM_JS(int, bz_shell_clipboard_length, (), { return lengthBytesUTF8(Module.bzShell.clipboard); });

EM_JS(void, bz_shell_clipboard_copy, (char* to, int size), { stringToUTF8(Module.bzShell.clipboard, to, size); });

EM_JS(void, bz_shell_cursor, (int visible), {
    if (Module.canvas) Module.canvas.style.cursor = visible ? "" : "none";
});

// False where the browser has no pointer lock.
EM_JS(int, bz_shell_relative, (int on), {
    const shell = Module.bzShell;
    const canvas = Module.canvas;
    if (!canvas || !canvas.requestPointerLock) return 0;
    shell.relative = !!on;
    if (on) {
        if (document.pointerLockElement !== canvas) shell.lock();
    } else if (document.pointerLockElement === canvas) {
        document.exitPointerLock();
    }
    return 1;
});

extern "C" EMSCRIPTEN_KEEPALIVE void bz_shell_piece(int kind, int length) {
    platform::web::Shell().PieceFromPage(kind == 0 ? platform::ShellEventKind::Text : platform::ShellEventKind::DroppedFile,
                                         static_cast<std::size_t>(length));
}

namespace platform::web {

WebShell& Shell() {
    static WebShell shell;
    return shell;
}

WebShell::WebShell() { bz_shell_install(fromPage_.data(), static_cast<int>(fromPage_.size())); }

void WebShell::PieceFromPage(ShellEventKind kind, std::size_t length) {
    const Window* window = CanvasWindow();
    if (!window || length >= fromPage_.size()) return;
    // Text typed just before the mode went off belongs to no window.
    if (kind == ShellEventKind::Text && window != textInputIn_) return;
    waiting_.Add(window, kind, std::string_view(fromPage_.data(), length));
}

void WebShell::Forget(const Window* window) {
    waiting_.Forget(window);
    if (textInputIn_ == window) {
        textInputIn_ = nullptr;
        bz_shell_text_input(0);
    }
}

bool WebShell::SetClipboardText(const char* utf8) {
    bz_shell_set_clipboard(utf8 ? utf8 : "");
    return true;
}

bool WebShell::ClipboardText(std::string& utf8) {
    const int length = bz_shell_clipboard_length();
    utf8.resize(static_cast<std::size_t>(length) + 1);
    bz_shell_clipboard_copy(utf8.data(), length + 1);
    utf8.resize(static_cast<std::size_t>(length));
    return true;
}

// The canvas's window is the one that types: text input of another window does nothing.
void WebShell::SetTextInput(Window& window, bool on) {
    if (on) {
        if (&window != CanvasWindow()) return;
        textInputIn_ = &window;
        bz_shell_text_input(1);
    } else if (textInputIn_ == &window) {
        textInputIn_ = nullptr;
        bz_shell_text_input(0);
    }
}

void WebShell::SetCursorVisible(bool visible) { bz_shell_cursor(visible ? 1 : 0); }

// A browser cannot hold a visible pointer inside an element; only pointer lock (relative mode)
// keeps it, hidden.
bool WebShell::ConfineCursor(Window&, bool confine) { return !confine; }

bool WebShell::SetRelativeMouse(Window& window, bool relative) {
    if (&window != CanvasWindow()) return !relative;
    return bz_shell_relative(relative ? 1 : 0) != 0;
}

void WebShell::TakeShellEvents(const Window& window, ShellEventSink sink, void* context) { waiting_.Take(&window, sink, context); }

}  // namespace platform::web
