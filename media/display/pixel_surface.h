#pragma once
// PixelSurface: a rectangle of pixels held by a display surface, with its size, clip rectangle,
// colour key, pixel format and the pixel routines chosen once for that format. Lock and GetDC
// nest: only the outermost pair reaches the platform.
#include <array>
#include <cstdint>
#include <memory>

#include <vector>

#include "pixel_format.h"
#include "../core/surface_placement.h"
#include "../../platform/video/device_context.h"
#include "../../platform/video/display_surface.h"

namespace media {

class Screen;
struct EdgeEntry;  // media/blit/edge_table.h
/// One entry per destination line of the rotation blit's span tables (media/blit/edge_table.h).
using EdgeTable = std::vector<EdgeEntry>;

/// A rectangle of pixels: a blank surface to draw into (CreateBlank) or a picture from a file
/// (CreateFromFile). Lock it before using the pixel routines (PutPixel, GetPixel, DrawHLine...),
/// whose colours are raw values in the surface's format; Fill and DrawTextAt lock by themselves.
/// The object owns its pixels; a Screen tracks surfaces made with it.
class PixelSurface {
public:
    /// The pixel routines' signatures, one routine of each kind chosen per pixel format.
    /// @{
    using PutPixelFn = std::int32_t (*)(PixelSurface&, std::int32_t x, std::int32_t y, std::uint32_t colour);
    using BlendPixelFn = std::int32_t (*)(PixelSurface&, std::int32_t x, std::int32_t y, std::uint32_t colour, std::uint32_t weight);
    using GetPixelFn = std::uint32_t (*)(const PixelSurface&, std::int32_t x, std::int32_t y);
    using LineFn = std::int32_t (*)(PixelSurface&, std::int32_t a1, std::int32_t a2, std::int32_t at, std::uint32_t colour);

    /// @}
    /// A surface without pixels; CreateBlank or CreateFromFile gives it some. Not copyable.
    /// @{
    PixelSurface();
    virtual ~PixelSurface();
    PixelSurface(const PixelSurface&) = delete;
    PixelSurface& operator=(const PixelSurface&) = delete;
    /// @}

    /// A blank surface of the given size in the screen's display format (or, with a depth code,
    /// in that format: 8, 15, 16, 24 or 32): drawn into by software, never listed with the screen.
    /// On a surface that has pixels already it replaces them (and drops the alpha map); on
    /// failure the old pixels stay. 1 on success, else a negative platform result or -1.
    std::int32_t CreateBlank(Screen* screen, std::int32_t width, std::int32_t height, std::int32_t depth = 0,
                             std::int32_t placement = MEMORY_SYSTEM);

    /// Gives the surface the picture in the file name (read by the picture loader) or, failing
    /// that, the program's bitmap resource of that name, and lists it with the screen. 1 on
    /// success; -1 for a null or too long name (255 characters at most), a surface that already
    /// has its platform surface, a screen without a display device, or no picture; -2 when
    /// neither the loader nor the resources know the name.
    std::int32_t CreateFromFile(Screen* screen, const char* name, std::int32_t placement);
    /// As CreateFromFile, and the picture's alpha (an alpha channel or transparency the file
    /// carries) becomes the surface's alpha map; without any the surface has no map.
    std::int32_t CreateFromFileWithAlpha(Screen* screen, const char* name, std::int32_t placement);
    /// Locks the pixels for the pixel routines and View (nests: the count of locks held, 1 for
    /// the first), restoring a lost surface a few times; a negative result when it cannot be
    /// locked. Unlock gives the locks still held, DDERR_NOTLOCKED without a lock.
    /// @{
    std::int32_t Lock();
    std::int32_t Unlock();
    /// @}
    /// Lock for a caller that only reads the pixels: what is kept about them (the runs of keyed
    /// copies, a sheet's opacity) stays valid. Nothing may be written while only this lock is
    /// held. Results and Unlock as for Lock.
    std::int32_t LockForReading();
    /// A device context for text on the surface (nests; null when none can be had), given back
    /// with ReleaseDC (0, or -1 without one). Do not lock the surface meanwhile.
    /// @{
    platform::HDC GetDC();
    std::int32_t ReleaseDC();
    /// @}
    /// The platform restore, then Reload of the surface's file.
    std::int32_t Restore();
    /// Redraws the picture from the file name (null: the surface's own file name) through the
    /// loader; -2 when the loader gives nothing (a resource, the screen's own surfaces), else the
    /// result of the copy.
    std::int32_t Reload(const char* name);
    /// Makes the colour of the top-left pixel the surface's colour key (transparent in keyed
    /// copies): 0, -1 when the surface cannot be locked, -2 when the key is refused.
    std::int32_t SetColorKeyFromTopLeft();
    /// Fills the whole surface with a raw pixel value: 0 or the platform's result, -1 without pixels.
    std::int32_t Fill(std::uint32_t value);
    /// Draws text (8x16 characters, transparent background) with its top-left corner at (x, y):
    /// 0, or -1 when it could not be drawn; a null text or no device context draws nothing (0).
    std::int32_t DrawTextAt(std::int32_t x, std::int32_t y, platform::COLORREF colour, const char* text);
    /// Sets the clip rectangle the blits keep to, cut to the surface.
    void SetClipRect(const platform::Rect& rect);
    /// Describes a platform surface's pixel format: 1, or 0 for a null argument, no description
    /// or a format that is not RGB.
    static std::int32_t AnalysePixelFormat(platform::DisplaySurface* surface, PixelFormat* format);
    /// The surface's pixel format.
    PixelFormat GetPixelFormatInfo() const { return pixelFormat_; }
    /// Chooses the pixel routines for the surface's format (none for an unhandled one).
    void SelectPixelRoutines();

    /// Pixel routines, on a locked surface; colours are raw values in the surface's format.
    /// A surface of an unhandled format has none: drawing does nothing, reading gives 0.
    std::int32_t PutPixel(std::int32_t x, std::int32_t y, std::uint32_t c) { return putPixel_ ? putPixel_(*this, x, y, c) : 0; }
    /// Mixes colour c into the pixel at (x, y) with weight w (0 keeps the pixel, 255 the colour).
    std::int32_t BlendPixel(std::int32_t x, std::int32_t y, std::uint32_t c, std::uint32_t w) {
        return blendPixel_ ? blendPixel_(*this, x, y, c, w) : 0;
    }
    /// The raw pixel value at (x, y).
    std::uint32_t GetPixel(std::int32_t x, std::int32_t y) const { return getPixel_ ? getPixel_(*this, x, y) : 0; }
    /// Lines from y1 to y2 at column x, and from x1 to x2 on row y, both ends included.
    /// @{
    std::int32_t DrawVLine(std::int32_t y1, std::int32_t y2, std::int32_t x, std::uint32_t c) {
        return drawVLine_ ? drawVLine_(*this, y1, y2, x, c) : 0;
    }
    std::int32_t DrawHLine(std::int32_t x1, std::int32_t x2, std::int32_t y, std::uint32_t c) {
        return drawHLine_ ? drawHLine_(*this, x1, x2, y, c) : 0;
    }
    /// @}
    /// Whether the surface's format has pixel routines.
    bool HasPixelRoutines() const { return putPixel_ != nullptr; }

    /// One-to-one copies through the platform (BltFast), the keyed one leaving out pixels equal
    /// to this surface's colour key. The platform's result (0 on success); 0 when clipping leaves
    /// nothing; -1 without a destination or when either surface has no platform surface; for a
    /// lost surface the result of Restore.
    ///
    /// In every blit (media/blit/) this surface is the source and dest the destination, neither
    /// taken over; x and y place the source rectangle's top-left pixel on dest, except in the
    /// scaled blits, which place the rectangle an unscaled blit at (x, y) would cover and scale
    /// the picture about that rectangle's centre, and the rotation blits, which place the source
    /// rectangle's centre at (cx, cy). A null srcRect is the whole surface, and the source
    /// rectangle is cut to this surface's clip rectangle and the result to dest's (ClipBlit).
    /// @{
    std::int32_t BlitOpaque(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect);
    std::int32_t BlitKeyed(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect);
    /// @}
    /// Copies mirrored left to right (MirrorX) or top to bottom (MirrorY), plain or keyed,
    /// through the platform's mirrored copy or, when the platform refuses it, a software loop of
    /// the same result. Results as BlitOpaque; the software path gives 0 and draws nothing when a
    /// lock fails or the surfaces have different depth codes.
    /// @{
    std::int32_t BlitOpaqueMirrorX(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect);
    std::int32_t BlitKeyedMirrorX(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect);
    std::int32_t BlitOpaqueMirrorY(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect);
    std::int32_t BlitKeyedMirrorY(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect);
    /// @}
    /// Copies the source rectangle enlarged or shrunk by scale in both directions about the
    /// centre of the rectangle an unscaled copy at (x, y) would cover (so scale 2 reaches half
    /// the source's size further out on each side), through the platform's stretching copy. The
    /// platform's result; 0 when nothing is left or the scale is
    /// NaN, infinite or puts a coordinate outside 32 bits; -1 as BlitOpaque.
    /// @{
    std::int32_t BlitOpaqueScaled(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect, float scale);
    std::int32_t BlitKeyedScaled(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect, float scale);
    /// @}
    /// Copies the source rectangle stretched to width x height pixels. Results as the scaled
    /// blits; a width or height below 1 draws nothing (0).
    /// @{
    std::int32_t BlitOpaqueStretched(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect,
                                     std::int32_t width, std::int32_t height);
    std::int32_t BlitKeyedStretched(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect,
                                    std::int32_t width, std::int32_t height);
    /// @}
    /// The software blits: each channel the mean of source and destination (HalfBlend); the
    /// weighted mix s + (d - s) * weight / 256, weight the destination's share, at most 256
    /// (Blend); each destination channel times factor / 256, at most 256, below the source's
    /// opaque pixels (Shade) or halved (HalfShade), the opaque forms shading the whole
    /// rectangle; AlphaMap mixes each source pixel in with its byte of the alpha map (without a
    /// map: BlitKeyed). The keyed forms leave destination pixels under key pixels as they were; a
    /// 32-bit destination keeps its fourth byte. Always 0: nothing is drawn when clipping leaves
    /// nothing, there is no destination, a lock fails or the surfaces have different depth codes.
    /// @{
    std::int32_t BlitOpaqueHalfBlend(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect);
    std::int32_t BlitKeyedHalfBlend(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect);
    std::int32_t BlitOpaqueBlend(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect, std::uint16_t weight);
    std::int32_t BlitKeyedBlend(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect, std::uint16_t weight);
    std::int32_t BlitKeyedAlphaMap(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect);
    std::int32_t BlitOpaqueShade(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect, std::uint16_t factor);
    std::int32_t BlitKeyedShade(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect, std::uint16_t factor);
    std::int32_t BlitOpaqueHalfShade(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect);
    std::int32_t BlitKeyedHalfShade(PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect);
    /// @}
    /// Draws the source rectangle turned by angle (radians) and sized by scale around the centre
    /// (cx, cy), nearest source pixel, keyed or not (DrawQuad). srcRect, when given, is cut to
    /// this surface's clip rectangle in place. Always 1; a NaN or infinite angle or scale, or
    /// corners outside 32 bits, draw nothing.
    /// @{
    std::int32_t BlitOpaqueRotated(PixelSurface* dest, std::int32_t cx, std::int32_t cy, platform::Rect* srcRect, double angle, double scale);
    std::int32_t BlitKeyedRotated(PixelSurface* dest, std::int32_t cx, std::int32_t cy, platform::Rect* srcRect, double angle, double scale);
    /// @}
    /// Maps the source rectangle onto the quad with corners (x1, y1) .. (x4, y4), taken as the
    /// rectangle's top-left, top-right, bottom-right and bottom-left, filling dest's lines within
    /// its clip rectangle; keyed non-zero leaves out key pixels. Corners and source sizes beyond
    /// +/-32767, a failed lock or different depth codes draw nothing.
    void DrawQuad(PixelSurface* dest, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3, std::int32_t y3,
                  std::int32_t x4, std::int32_t y4, const platform::Rect* srcRect, std::int32_t keyed);
    /// Walks one quad edge (edge 1 to 4, from corner edge to the next) of dy + 1 lines from
    /// yStart, x from xStart toward xEnd, into the left or right span table, with the source
    /// position along the source rectangle's (sw x sh) matching edge. Only lines inside clip and
    /// the table are stored; another edge number stores nothing. Used by DrawQuad.
    /// @{
    void ScanLeftEdge(std::int32_t xStart, std::int32_t xEnd, std::int32_t yStart, std::int32_t dy, std::int32_t edge, std::int32_t sw,
                      std::int32_t sh, const platform::Rect& clip);
    void ScanRightEdge(std::int32_t xStart, std::int32_t xEnd, std::int32_t yStart, std::int32_t dy, std::int32_t edge, std::int32_t sw,
                       std::int32_t sh, const platform::Rect& clip);
    /// @}
    /// The span tables of the last DrawQuad (one entry per destination line), owned by this surface.
    /// @{
    const EdgeTable& LeftEdges() const;
    const EdgeTable& RightEdges() const;
    /// @}

    /// The platform surface holding the pixels (owned by this object; shared with copies in
    /// flight): for the screen, the blits and the display surfaces' copies (Blt, BltFast).
    /// @{
    platform::DisplaySurface* Surface() const { return surface_.get(); }
    const std::shared_ptr<platform::DisplaySurface>& SharedSurface() const { return surface_; }
    /// The last lock's description (pixels, pitch, format).
    const platform::SurfaceDesc& Description() const { return desc_; }
    /// @}
    /// Size in pixels, clip rectangle, colour key (raw), the picture's file name (empty for a
    /// blank surface), placement, the screen it was made with, the locks and device contexts
    /// held, and the alpha map (null without one; owned by the surface).
    /// @{
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    const platform::Rect& ClipRect() const { return clip_; }
    std::uint32_t ColorKey() const { return colorKey_; }
    const char* FileName() const { return fileName_.data(); }
    std::int32_t Placement() const { return placement_; }
    Screen* Owner() const { return owner_; }
    std::uint32_t LockCount() const { return lockCount_; }
    std::uint32_t DCCount() const { return dcCount_; }
    std::uint8_t* AlphaMap() const { return alphaMap_.get(); }
    /// @}
    /// One weight byte per pixel, row by row; refused (false, the old map kept) unless it holds
    /// exactly width x height bytes, since the alpha-map blend reads that many. The map belongs
    /// to the pixels it was set for: CreateBlank and CreateFromFile drop it, and the destructor
    /// frees it. Restore and Reload keep it (they redraw the same pixels at the same size).
    bool SetAlphaMap(std::unique_ptr<std::uint8_t[]> map, std::size_t size);
    /// The neighbours in the screen's list of surfaces (Screen::AddSurface).
    /// @{
    PixelSurface* Next() const { return next_; }
    PixelSurface* Previous() const { return previous_; }
    /// @}

    /// The locked pixels as a view for the shared loops (empty while not locked).
    platform::PixelView View() const;
    /// First pixel and row pitch of the current lock, for the pixel routines.
    std::uint8_t* PixelRow(std::int32_t y) const {
        return static_cast<std::uint8_t*>(desc_.surface) + static_cast<std::ptrdiff_t>(y) * desc_.pitch;
    }

private:
    friend class Screen;
    /// Takes a platform surface and makes it usable: size, clip rectangle, pixel format, routines.
    void Attach(std::shared_ptr<platform::DisplaySurface> surface, Screen* owner, std::int32_t width, std::int32_t height);
    /// Makes the screen the surface's owner, tracked by it (Screen::Attach) so that it can forget
    /// the surface; the one way every creation registers a surface with its screen.
    void SetOwner(Screen* owner);
    std::int32_t LockWith(std::uint32_t flags);
    std::int32_t CreateFromFileKeeping(Screen* screen, const char* name, std::int32_t placement, bool keepAlpha);

    platform::SurfaceDesc desc_{};
    std::shared_ptr<platform::DisplaySurface> surface_;
    std::int32_t width_ = 0, height_ = 0;
    std::array<char, 256> fileName_{};
    std::int32_t placement_ = MEMORY_SYSTEM;
    platform::HDC dc_ = nullptr;
    std::uint32_t colorKey_ = 0;
    Screen* owner_ = nullptr;
    platform::Rect clip_{};
    PixelFormat pixelFormat_{};
    std::unique_ptr<std::uint8_t[]> alphaMap_;
    // The rotation blit's span ends, one entry per destination line: made by the first rotation
    // and kept by the quad mapper (media/blit/quad_mapper.cpp), which alone knows their entries.
    struct QuadSpans;
    struct QuadSpansDeleter {
        void operator()(QuadSpans* spans) const;
    };
    QuadSpans& Spans();
    std::unique_ptr<QuadSpans, QuadSpansDeleter> spans_;
    PixelSurface* next_ = nullptr;
    PixelSurface* previous_ = nullptr;
    std::uint32_t lockCount_ = 0;
    std::uint32_t dcCount_ = 0;
    PutPixelFn putPixel_ = nullptr;
    BlendPixelFn blendPixel_ = nullptr;
    GetPixelFn getPixel_ = nullptr;
    LineFn drawVLine_ = nullptr;
    LineFn drawHLine_ = nullptr;
};

}  // namespace media
