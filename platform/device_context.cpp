#include "platform/device_context.h"

#include <algorithm>
#include <memory>

#include "platform/backend.h"
#include "platform/display_surface.h"
#include "platform/font8x16.h"
#include "platform/pixel_access.h"

namespace platform {

namespace {

template <int B>
void DrawGlyphs(DisplaySurface& surface, std::int32_t x, std::int32_t y, const char* text, int length,
                std::uint32_t ink, bool opaque, std::uint32_t paper) {
    const Rect bounds = surface.Bounds();
    for (int i = 0; i < length; ++i, x += kGlyphWidth) {
        if (x >= bounds.right) break;
        if (x + kGlyphWidth <= 0) continue;
        const std::uint8_t* rows = GlyphRows(static_cast<unsigned char>(text[i]));
        if (!rows && !opaque) continue;
        const std::int32_t x0 = std::max(x, 0), x1 = std::min(x + kGlyphWidth, bounds.right);
        const std::int32_t y0 = std::max(y, 0), y1 = std::min(y + kGlyphHeight, bounds.bottom);
        for (std::int32_t py = y0; py < y1; ++py) {
            const std::uint8_t bits = rows ? rows[py - y] : 0;
            std::uint8_t* d = surface.Row(py) + x0 * B;
            for (std::int32_t px = x0; px < x1; ++px, d += B) {
                if (bits & (0x80 >> (px - x)))
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
    DisplaySurface& s = *target_;
    const std::uint32_t ink = RawFromColorRef(textColor_, s.Format());
    const std::uint32_t paper = RawFromColorRef(bkColor_, s.Format());
    const bool opaque = bkMode_ == OPAQUE;
    DispatchBytes(s.BytesPerPixel(), [&]<int B>() { DrawGlyphs<B>(s, x, y, text, length, ink, opaque, paper); });
    return true;
}

int DeviceContext::GetDeviceCaps(int index) const {
    const DesktopMode desktop = CurrentBackend().Desktop();
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
    if (window || Failed(CurrentBackend().FaultAt(FaultPoint::DesktopGetDC))) return nullptr;
    return new DeviceContext(nullptr);
}

int ReleaseDC(Window*, HDC dc) {
    if (!dc || dc->Target()) return 0;
    delete dc;
    return 1;
}

}  // namespace platform
