// The program's icon: a red pot of zamel with a dark rim, drawn in code at 32x32.
#include "game/app_shell.h"
#include "platform/core/resources.h"

namespace game {

void RegisterAppIcon() {
    constexpr int kSize = 32;
    platform::Resource icon;
    icon.name = "APPICON";
    icon.type = platform::RT_ICON;
    icon.width = icon.height = kSize;
    icon.pixels.assign(kSize * kSize, 0);  // transparent
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const int dx = x - 16, dy = y - 19;
            std::uint32_t& p = icon.pixels[y * kSize + x];
            if (dx * dx + dy * dy <= 12 * 12) p = 0xFFC02828;                     // the pot's body
            if (dx * dx + dy * dy <= 4 * 4 && dx < 0 && dy < 0) p = 0xFFF08080;   // a highlight
            if (y >= 5 && y < 9 && x >= 9 && x < 23) p = 0xFF602010;               // the rim
        }
    }
    platform::RegisterResource(std::move(icon));
}

}  // namespace game
