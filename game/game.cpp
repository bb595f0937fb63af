#include "game/game.h"

#include <new>

#include "game/app_shell.h"
#include "media/display/screen.h"

namespace game {

media::Screen* screen = nullptr;

std::int32_t GameInit() {
    screen = new (std::nothrow) media::Screen();
    if (!screen) {
        FatalError(nullptr, "Could not create Screen object");
        return 1;
    }
    if (screen->SetWindowedMode(mainWindow, kClientWidth, kClientHeight) < 0)
        FatalError(screen, "Could not set windowed mode 640x480");
    return 1;
}

void GameFrame() {
    // A screen that could not be set up has no back surface: nothing to draw.
    if (!screen || !screen->Back()) return;
    screen->Back()->Fill(0);
    screen->Flip(1, 1, 1);
}

void GameShutdown() {
    delete screen;
    screen = nullptr;
}

}  // namespace game
