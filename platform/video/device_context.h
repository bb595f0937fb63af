#pragma once
// A device context: text drawn onto a surface's pixels in the built-in 8x16 glyphs, and the
// device capabilities of the desktop.
#include <cstdint>

#include "../pixels/color_convert.h"

namespace platform {

class DisplaySurface;
class Window;
struct Bitmap;

/// Background modes of text: left as it is, or filled with the background colour.
/// @{
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
/// @}
/// GetDeviceCaps indices: width and height in pixels, bits a pixel, pixels an inch across and down.
/// @{
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
/// @}

/// A device context: text drawn on a surface, the desktop's capabilities, or a memory context holding a bitmap.
class DeviceContext {
public:
    /// target null: the desktop, which answers device capabilities but takes no drawing.
    explicit DeviceContext(DisplaySurface* target) : target_(target) {}

    /// Sets the background mode, the text colour or the background colour; the previous one.
    /// @{
    int SetBkMode(int mode);
    COLORREF SetTextColor(COLORREF color);
    COLORREF SetBkColor(COLORREF color);
    /// @}
    /// Draws length characters with the top-left of the first glyph at (x, y), cut to the surface.
    /// With an opaque background each glyph cell is first filled with the background colour.
    bool TextOut(std::int32_t x, std::int32_t y, const char* text, int length);
    /// A capability of the device (HORZRES, VERTRES, BITSPIXEL, LOGPIXELSX, LOGPIXELSY).
    int GetDeviceCaps(int index) const;
    /// The surface drawn on (null: the desktop).
    DisplaySurface* Target() const { return target_; }
    /// A memory context's selected bitmap (gdi_bitmap.h); returns the one it replaces.
    Bitmap* SelectBitmap(Bitmap* bitmap) {
        Bitmap* old = selected_;
        selected_ = bitmap;
        return old;
    }
    /// The bitmap selected into a memory context.
    Bitmap* SelectedBitmap() const { return selected_; }

private:
    DisplaySurface* target_;
    int bkMode_ = OPAQUE;
    COLORREF textColor_ = 0;
    COLORREF bkColor_ = 0x00FFFFFF;
    Bitmap* selected_ = nullptr;
};

/// A device context, by its address.
using HDC = DeviceContext*;

/// The desktop's device context (window null only); null when the desktop cannot give one.
HDC GetDC(Window* window);
/// Gives the desktop's device context back; 1.
int ReleaseDC(Window* window, HDC dc);
/// A capability of the device context (0 for null).
inline int GetDeviceCaps(HDC dc, int index) { return dc ? dc->GetDeviceCaps(index) : 0; }

}  // namespace platform
