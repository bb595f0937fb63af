#include "media/app/canvas.h"

#include <algorithm>
#include <cstdlib>

#include "media/app/bitmap_text.h"
#include "media/app/font.h"
#include "media/app/picture.h"
#include "media/app/shape_rasteriser.h"
#include "media/app/transformed_draw.h"
#include "media/blit/span_fill.h"
#include "media/blit/straight_alpha_loop.h"
#include "media/display/pixel_surface.h"
#include "platform/pixels/color_convert.h"

namespace media {

namespace {

// Holds the surface's lock for the pixel routines over one drawing call.
class ScopedLock {
public:
    explicit ScopedLock(PixelSurface& surface) : surface_(surface), locked_(surface.Lock() >= 0) {}
    ~ScopedLock() {
        if (locked_) surface_.Unlock();
    }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    bool Locked() const { return locked_; }

private:
    PixelSurface& surface_;
    bool locked_;
};

Status NoPixels() { return {ErrorCode::NotOpen, "the canvas has no pixels (window not open or picture not loaded)"}; }
Status NoLock() { return {ErrorCode::Failed, "the canvas's pixels could not be locked (display lost?)"}; }

// The picture's pixels over the canvas with its alpha map; without a map every pixel is opaque.
std::int32_t DrawWithAlpha(PixelSurface& from, PixelSurface& to, std::int32_t x, std::int32_t y, const platform::Rect& rect) {
    const std::uint8_t* map = from.AlphaMap();
    if (!map) return from.BlitOpaque(&to, x, y, &rect);
    return RunSoftwareBlit(from, &to, x, y, &rect, [&](const SoftwareBlitArea& area) { StraightAlphaLoop(area, map, from.Width()); });
}

// A shape: rasterised into spans on the surface's clip rectangle, then filled with the colour,
// its alpha the opacity. rasterise(rasteriser) is false for points it refuses.
template <typename Rasterise>
Status FillShape(PixelSurface& surface, Color color, Rasterise rasterise) {
    if (!surface.Surface()) return NoPixels();
    const platform::Rect clip = surface.ClipRect();
    if (color.a == 0 || clip.IsEmpty()) return {};
    ShapeRasteriser rasteriser(clip);
    if (!rasterise(rasteriser)) return {ErrorCode::InvalidArgument, "cannot draw the shape: a point is not a number or lies beyond 2^30 pixels"};
    if (rasteriser.Spans().empty()) return {};
    ScopedLock lock(surface);
    if (!lock.Locked()) return NoLock();
    const platform::PixelView view = surface.View();
    if (!platform::FitsInside(clip, view.width, view.height)) return {};
    FillSpans(view, surface.GetPixelFormatInfo().depth, rasteriser.Spans().data(), rasteriser.Spans().size(), color.RawFor(surface), color.a);
    return {};
}

}  // namespace

Status Canvas::DrawText(std::int32_t x, std::int32_t y, const char* text, Color color, const Font& font) const {
    if (!surface_->Surface()) return NoPixels();
    return font.DrawOn(*surface_, x, y, text, color);
}

Status Canvas::DrawText(std::int32_t x, std::int32_t y, const char* text, Color color, std::int32_t scale) const {
    if (!surface_->Surface()) return NoPixels();
    return DrawBitmapText(*surface_, x, y, text, color, scale);
}

TextSize Canvas::MeasureText(const char* text, std::int32_t scale) { return MeasureBitmapText(text, scale); }

Status Canvas::DrawCircle(std::int32_t x, std::int32_t y, std::int32_t radius, Color color, FillMode mode) const {
    return DrawEllipse(x, y, radius, radius, color, mode);
}

Status Canvas::DrawEllipse(std::int32_t x, std::int32_t y, std::int32_t radiusX, std::int32_t radiusY, Color color, FillMode mode) const {
    return FillShape(*surface_, color, [&](ShapeRasteriser& r) {
        const bool outline = mode == FillMode::Outline;
        r.Ellipse(x, y, radiusX, radiusY, outline ? std::int64_t{radiusX} - 1 : -1, outline ? std::int64_t{radiusY} - 1 : -1);
        return true;
    });
}

Status Canvas::DrawRoundedRect(const IntRect& rect, std::int32_t radius, Color color, FillMode mode) const {
    return FillShape(*surface_, color, [&](ShapeRasteriser& r) {
        r.RoundedRect(rect.x, rect.y, rect.width, rect.height, radius, mode == FillMode::Outline);
        return true;
    });
}

Status Canvas::DrawTriangle(Point a, Point b, Point c, Color color, FillMode mode) const {
    const Point points[] = {a, b, c};
    return DrawPolygon(points, 3, color, mode);
}

Status Canvas::DrawPolygon(const Point* points, std::size_t count, Color color, FillMode mode) const {
    if (!points && count) return {ErrorCode::InvalidArgument, "cannot draw the polygon: no points (null)"};
    return FillShape(*surface_, color, [&](ShapeRasteriser& r) {
        return mode == FillMode::Outline ? r.Lines(points, count, 1, true) : r.Polygon(points, count);
    });
}

Status Canvas::DrawLine(Point from, Point to, float thickness, Color color) const {
    const Point points[] = {from, to};
    return FillShape(*surface_, color, [&](ShapeRasteriser& r) { return r.Lines(points, 2, thickness, false); });
}

Status Canvas::Clear(Color color) const {
    if (!surface_->Surface()) return NoPixels();
    if (color.a == 0) return {};
    const std::int32_t result = surface_->Fill(color.RawFor(*surface_));
    return result == 0 ? Status{} : Status::FromPlatform("the canvas could not be filled", result);
}

Status Canvas::DrawRect(const IntRect& rect, Color color, FillMode mode) const {
    if (!surface_->Surface()) return NoPixels();
    if (rect.width <= 0 || rect.height <= 0 || color.a == 0) return {};
    // Clipped here once; the line routines then run over rows that are all on the surface.
    const std::int32_t left = std::max(rect.x, 0), top = std::max(rect.y, 0);
    const std::int32_t right = std::min(rect.x + rect.width, Width()) - 1;
    const std::int32_t bottom = std::min(rect.y + rect.height, Height()) - 1;
    if (left > right || top > bottom) return {};
    ScopedLock lock(*surface_);
    if (!lock.Locked()) return NoLock();
    const std::uint32_t raw = color.RawFor(*surface_);
    if (mode == FillMode::Solid) {
        for (std::int32_t y = top; y <= bottom; ++y) surface_->DrawHLine(left, right, y, raw);
        return {};
    }
    if (rect.y == top) surface_->DrawHLine(left, right, top, raw);
    if (rect.y + rect.height - 1 == bottom) surface_->DrawHLine(left, right, bottom, raw);
    if (rect.x == left) surface_->DrawVLine(top, bottom, left, raw);
    if (rect.x + rect.width - 1 == right) surface_->DrawVLine(top, bottom, right, raw);
    return {};
}

Status Canvas::DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Color color) const {
    if (!surface_->Surface()) return NoPixels();
    if (color.a == 0) return {};
    ScopedLock lock(*surface_);
    if (!lock.Locked()) return NoLock();
    const std::uint32_t raw = color.RawFor(*surface_);
    const std::int32_t width = Width(), height = Height();
    // Bresenham's walk; points off the surface are skipped one by one.
    const std::int32_t dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const std::int32_t sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    std::int32_t error = dx + dy;
    for (;;) {
        if (x1 >= 0 && y1 >= 0 && x1 < width && y1 < height) surface_->PutPixel(x1, y1, raw);
        if (x1 == x2 && y1 == y2) break;
        const std::int32_t twice = 2 * error;
        if (twice >= dy) error += dy, x1 += sx;
        if (twice <= dx) error += dx, y1 += sy;
    }
    return {};
}

Status Canvas::DrawText(std::int32_t x, std::int32_t y, const char* text, Color color) const {
    if (!surface_->Surface()) return NoPixels();
    if (!text) return {ErrorCode::InvalidArgument, "no text to draw (null)"};
    if (color.a == 0) return {};
    const std::int32_t result = surface_->DrawTextAt(x, y, platform::Rgb(color.r, color.g, color.b), text);
    return result == 0 ? Status{} : Status{ErrorCode::Failed, "the text could not be drawn (no device context)"};
}

Status Canvas::Draw(const Picture& picture, std::int32_t x, std::int32_t y, BlitMode mode) const {
    return Draw(picture, IntRect{0, 0, picture.Width(), picture.Height()}, x, y, mode);
}

Status Canvas::Draw(const Picture& picture, const IntRect& source, std::int32_t x, std::int32_t y, BlitMode mode) const {
    if (!surface_->Surface()) return NoPixels();
    PixelSurface& from = picture.Surface();
    if (!from.Surface()) return {ErrorCode::NotOpen, "the picture drawn has no pixels (not loaded)"};
    const platform::Rect rect{source.x, source.y, source.x + source.width, source.y + source.height};
    if (mode == BlitMode::Auto) mode = from.AlphaMap() ? BlitMode::Alpha : BlitMode::Keyed;
    std::int32_t result = 0;
    switch (mode) {
        case BlitMode::Opaque: result = from.BlitOpaque(surface_, x, y, &rect); break;
        case BlitMode::Keyed: result = from.BlitKeyed(surface_, x, y, &rect); break;
        case BlitMode::MirrorX: result = from.BlitKeyedMirrorX(surface_, x, y, &rect); break;
        case BlitMode::MirrorY: result = from.BlitKeyedMirrorY(surface_, x, y, &rect); break;
        case BlitMode::OpaqueMirrorX: result = from.BlitOpaqueMirrorX(surface_, x, y, &rect); break;
        case BlitMode::OpaqueMirrorY: result = from.BlitOpaqueMirrorY(surface_, x, y, &rect); break;
        case BlitMode::HalfBlend: result = from.BlitKeyedHalfBlend(surface_, x, y, &rect); break;
        case BlitMode::Alpha: result = DrawWithAlpha(from, *surface_, x, y, rect); break;
        case BlitMode::Auto: break;
    }
    return result >= 0 ? Status{} : Status::FromPlatform("the picture could not be copied", result);
}

Status Canvas::Draw(const Picture& picture, const IntRect& source, const DrawOptions& options) const {
    if (!surface_->Surface()) return NoPixels();
    PixelSurface& from = picture.Surface();
    if (!from.Surface()) return {ErrorCode::NotOpen, "the picture drawn has no pixels (not loaded)"};
    return DrawTransformed(from, source, *surface_, options);
}

Color Canvas::PixelAt(std::int32_t x, std::int32_t y) const {
    if (!surface_->Surface() || x < 0 || y < 0 || x >= Width() || y >= Height()) return kBlack;
    ScopedLock lock(*surface_);
    if (!lock.Locked()) return kBlack;
    return Color::FromRaw(surface_->GetPixel(x, y), *surface_);
}

std::int32_t Canvas::Width() const { return surface_->Width(); }
std::int32_t Canvas::Height() const { return surface_->Height(); }

}  // namespace media
