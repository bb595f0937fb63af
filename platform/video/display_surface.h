#pragma once
// A display surface: pixel memory with a row pitch in one pixel format, shared by every backend.
// It offers what the layer asks of a surface: lock, fills and copies (1:1, stretched, mirrored,
// colour-keyed), a device context for text, a source colour key, and loss and restore. The
// desktop's primary surface hands its copies and fills to the Desktop, which presents them.
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "device_context.h"
#include "../core/geometry.h"
#include "../core/result_codes.h"
#include "../pixels/key_runs.h"
#include "../pixels/pixel_view.h"
#include "../pixels/surface_desc.h"

namespace platform {

class Clipper;
class Desktop;
struct CopyRequest;

/// A display surface: pixels in memory (the desktop's, or a surface made by a display device), locked for direct access, copied with Blt and BltFast.
class DisplaySurface {
public:
    /// Rows are padded to a multiple of 4 bytes, so a 32-bit read at any pixel's row start stays
    /// inside the pixel memory.
    /// The pixels start at zero unless cleared is false, for a maker that writes every one of
    /// them before the surface is used (a picture decoder).
    DisplaySurface(std::int32_t width, std::int32_t height, const PixelFormatDesc& format, std::uint32_t caps, bool cleared = true);
    ~DisplaySurface();
    DisplaySurface(const DisplaySurface&) = delete;
    DisplaySurface& operator=(const DisplaySurface&) = delete;

    /// Size, bytes per row and per pixel, pixel format, DDSCAPS_ flags, and whether it is the desktop's.
    /// @{
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t Pitch() const { return pitch_; }
    int BytesPerPixel() const { return bytesPerPixel_; }
    const PixelFormatDesc& Format() const { return format_; }
    std::uint32_t Caps() const { return caps_; }
    bool IsPrimary() const { return (caps_ & DDSCAPS_PRIMARYSURFACE) != 0; }
    /// @}
    /// Writable access forgets the runs kept for keyed copies from this surface and moves the
    /// content version on.
    std::uint8_t* Row(std::int32_t y) {
        PixelsMayChange();
        return pixels_.get() + static_cast<std::ptrdiff_t>(y) * pitch_;
    }
    /// Row y's first byte.
    const std::uint8_t* Row(std::int32_t y) const { return pixels_.get() + static_cast<std::ptrdiff_t>(y) * pitch_; }
    std::uint32_t PixelAt(std::int32_t x, std::int32_t y) const;  ///< raw value, for backends and tests
    /// The whole surface as a rectangle.
    Rect Bounds() const { return {0, 0, width_, height_}; }
    /// The whole pixel memory as a view, for the shared loops and backends.
    PixelView View() {
        PixelsMayChange();
        return std::as_const(*this).View();
    }
    /// The pixels as a view, for the shared copy routines.
    PixelView View() const { return {const_cast<std::uint8_t*>(pixels_.get()), pitch_, width_, height_, bytesPerPixel_, format_}; }
    /// True while locked.
    bool IsLocked() const { return locked_; }
    /// Changes whenever writable access to the pixels is handed out (a row, a view, a lock that is
    /// not read-only): what a caller derived from the pixels at one version still holds while the
    /// version stays, unless a lock taken before it is still held. Unique across all surfaces.
    std::uint64_t ContentVersion() const { return contentVersion_; }
    /// Whether a device context is out, and the source colour key.
    /// @{
    bool HasDC() const { return dc_.has_value(); }
    bool HasColorKey() const { return hasColorKey_; }
    std::uint32_t ColorKeyValue() const { return colorKey_.low; }
    /// @}

    /// Locks a rectangle (null: all) and describes its memory; unlocks; describes the surface.
    /// @{
    HRESULT Lock(const Rect* rect, SurfaceDesc* desc, std::uint32_t flags, void* event);
    HRESULT Unlock(const Rect* rect);
    HRESULT GetSurfaceDesc(SurfaceDesc* desc) const;
    /// @}

    /// Scaled copy from src (or a fill with DDBLT_COLORFILL). Onto the primary surface the
    /// rectangles are clipped to the clipper's window by the desktop; elsewhere they must lie
    /// inside both surfaces.
    HRESULT Blt(const Rect* dstRect, DisplaySurface* src, const Rect* srcRect, std::uint32_t flags, const BltFx* fx);
    /// Copies a rectangle of src to (x, y), with or without the source colour key (DDBLTFAST_ flags).
    HRESULT BltFast(std::int32_t x, std::int32_t y, DisplaySurface* src, const Rect* srcRect, std::uint32_t flags);

    /// A device context to draw on the surface, and its return.
    /// @{
    HRESULT GetDC(DeviceContext** dc);
    HRESULT ReleaseDC(DeviceContext* dc);
    /// @}
    /// Sets or reads the source colour key (DDCKEY_SRCBLT).
    /// @{
    HRESULT SetColorKey(std::uint32_t flags, const ColorKey* key);
    HRESULT GetColorKey(std::uint32_t flags, ColorKey* key) const;
    /// @}
    /// On the primary surface the clipper binds the desktop's copies to its window; other
    /// surfaces are never clipped and only accept it.
    HRESULT SetClipper(std::shared_ptr<Clipper> clipper);
    /// Sets the palette of an 8-bit surface (the fixed one is kept).
    HRESULT SetPalette(const void* palette);
    /// DDERR_SURFACELOST while the surface is lost; Restore gives it memory again (its pixels are lost).
    /// @{
    HRESULT IsLost() const;
    HRESULT Restore();
    /// @}

    /// The display took the surface's memory away: every use reports DDERR_SURFACELOST until
    /// Restore.
    void MarkLost() { lost_ = true; }
    /// Every surface alive, oldest first: a display change takes all their memory at once.
    static DisplaySurface* FirstLive() { return firstLive_; }
    /// The next live surface of its display device.
    DisplaySurface* NextLive() const { return nextLive_; }

    /// Where copies and fills onto this (primary) surface go instead of its own memory.
    void SetDesktop(Desktop* desktop) { desktop_ = desktop; }

private:
    void PixelsMayChange() {
        keyRuns_.Drop();
        contentVersion_ = ++lastContentVersion_;
    }
    bool CopyKeyRuns(DisplaySurface& dst, const CopyRequest& request);

    std::int32_t width_, height_, pitch_;
    int bytesPerPixel_;
    PixelFormatDesc format_;
    std::uint32_t caps_;
    std::unique_ptr<std::uint8_t[]> pixels_;
    bool locked_ = false;
    bool lost_ = false;
    bool hasColorKey_ = false;
    ColorKey colorKey_;
    std::optional<DeviceContext> dc_;  ///< while handed out; kept inline so a frame's text allocates nothing
    Desktop* desktop_ = nullptr;
    /// The registry of live surfaces: linked at construction, unlinked at destruction.
    static DisplaySurface* firstLive_;
    static DisplaySurface* lastLive_;
    DisplaySurface* previousLive_ = nullptr;
    DisplaySurface* nextLive_ = nullptr;
    KeyRuns keyRuns_;  ///< of the pixels that differ from the colour key, while they stay unchanged
    static std::uint64_t lastContentVersion_;
    std::uint64_t contentVersion_ = ++lastContentVersion_;
};

}  // namespace platform
