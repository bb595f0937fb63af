#include "platform/video/device_context.h"

#include <algorithm>
#include <memory>

#include "platform/core/fault_hook.h"
#include "platform/pixels/pixel_access.h"
#include "platform/pixels/pixel_traits.h"
#include "platform/video/display_host.h"
#include "platform/video/display_surface.h"
#include "platform/video/font8x16.h"

namespace platform {

namespace {

// Glyph cells are cut to the view in 64-bit arithmetic, so text anywhere in the 32-bit
// coordinate range (even where x + 8 or y + 16 would overflow) draws only what lies inside.
template <int B>
void DrawGlyphs(const PixelView& view, std::int32_t x, std::int32_t y, const char* text, int length, std::uint32_t ink,
                bool opaque, std::uint32_t paper) {
    const std::int64_t top = y;
    const std::int64_t y0 = std::max<std::int64_t>(top, 0), y1 = std::min<std::int64_t>(top + kGlyphHeight, view.height);
    if (y0 >= y1) return;
    std::int64_t left = x;
    for (int i = 0; i < length; ++i, left += kGlyphWidth) {
        if (left >= view.width) break;
        if (left + kGlyphWidth <= 0) continue;
        const std::uint8_t* rows = GlyphRows(static_cast<unsigned char>(text[i]));
        if (!rows && !opaque) continue;
        const auto x0 = static_cast<std::int32_t>(std::max<std::int64_t>(left, 0));
        const auto x1 = static_cast<std::int32_t>(std::min<std::int64_t>(left + kGlyphWidth, view.width));
        const auto firstBit = static_cast<int>(x0 - left);
        for (auto py = static_cast<std::int32_t>(y0); py < y1; ++py) {
            const std::uint8_t bits = rows ? rows[py - top] : 0;
            std::uint8_t* d = view.At(x0, py);
            for (int bit = firstBit; bit < firstBit + (x1 - x0); ++bit, d += B) {
                if (bits & (0x80 >> bit))
                    StorePixel<B>(d, ink);
                else if (opaque)
                    StorePixel<B>(d, paper);
            }
        }
    }
}

}  // namespace

int DeviceContext::SetBkMode(int mode) {
    const int old = bkMode_;
    bkMode_ = mode;
    return old;
}

COLORREF DeviceContext::SetTextColor(COLORREF color) {
    const COLORREF old = textColor_;
    textColor_ = color;
    return old;
}

COLORREF DeviceContext::SetBkColor(COLORREF color) {
    const COLORREF old = bkColor_;
    bkColor_ = color;
    return old;
}

bool DeviceContext::TextOut(std::int32_t x, std::int32_t y, const char* text, int length) {
    if (!target_ || !text || length < 0) return false;
    const PixelView view = target_->View();
    const std::uint32_t ink = RawFromColorRef(textColor_, view.format);
    const std::uint32_t paper = RawFromColorRef(bkColor_, view.format);
    const bool opaque = bkMode_ == OPAQUE;
    DispatchBytes(view.bytesPerPixel, [&]<int B>() { DrawGlyphs<B>(view, x, y, text, length, ink, opaque, paper); });
    return true;
}

int DeviceContext::GetDeviceCaps(int index) const {
    const DesktopMode desktop = CurrentDisplayHost().Desktop();
    const std::int32_t width = target_ ? target_->Width() : desktop.width;
    const std::int32_t height = target_ ? target_->Height() : desktop.height;
    const auto bits = target_ ? target_->Format().bitCount : desktop.format.bitCount;
    switch (index) {
        case HORZRES: return width;
        case VERTRES: return height;
        case BITSPIXEL: return static_cast<int>(bits);
        case LOGPIXELSX:
        case LOGPIXELSY: return 96;
        default: return 0;
    }
}

HDC GetDC(Window* window) {
    // Only the desktop's context is handed out by window; surfaces give their own.
    if (window || Failed(FaultAt(FaultPoint::DesktopGetDC))) return nullptr;
    return new DeviceContext(nullptr);
}

int ReleaseDC(Window*, HDC dc) {
    if (!dc || dc->Target()) return 0;
    delete dc;
    return 1;
}

}  // namespace platform
