#include "media/app/canvas.h"

#include <algorithm>
#include <cstdint>
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
    // Clipped here once, in 64 bits (a rectangle may reach past the end of 32); the line routines
    // then run over rows that are all on the surface.
    const std::int64_t rectRight = std::int64_t{rect.x} + rect.width - 1, rectBottom = std::int64_t{rect.y} + rect.height - 1;
    const std::int64_t left = std::max<std::int64_t>(rect.x, 0), top = std::max<std::int64_t>(rect.y, 0);
    const std::int64_t right = std::min<std::int64_t>(rectRight, Width() - 1), bottom = std::min<std::int64_t>(rectBottom, Height() - 1);
    if (left > right || top > bottom) return {};
    ScopedLock lock(*surface_);
    if (!lock.Locked()) return NoLock();
    const std::uint32_t raw = color.RawFor(*surface_);
    const auto l = static_cast<std::int32_t>(left), t = static_cast<std::int32_t>(top);
    const auto r = static_cast<std::int32_t>(right), b = static_cast<std::int32_t>(bottom);
    if (mode == FillMode::Solid) {
        for (std::int32_t y = t; y <= b; ++y) surface_->DrawHLine(l, r, y, raw);
        return {};
    }
    // Only the edges that are on the surface.
    if (rect.y == top) surface_->DrawHLine(l, r, t, raw);
    if (rectBottom == bottom) surface_->DrawHLine(l, r, b, raw);
    if (rect.x == left) surface_->DrawVLine(t, b, l, raw);
    if (rectRight == right) surface_->DrawVLine(t, b, r, raw);
    return {};
}

Status Canvas::DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Color color) const {
    if (!surface_->Surface()) return NoPixels();
    if (color.a == 0) return {};
    // Bresenham's walk takes one step along the line's longer axis (the major one) at a time and
    // reaches, at step k of `major`, the point `minor` * k / `major` of the way along the other,
    // rounded half away from the start: floor((2 * minor * k + major) / (2 * major)). So the walk
    // can start at the first step on the surface and stop after the last one instead of going
    // through every point off it; 64 bits hold every coordinate and sum.
    const std::int64_t dx = std::int64_t{x2} - x1, dy = std::int64_t{y2} - y1;
    const bool steep = std::abs(dy) > std::abs(dx);
    const std::int64_t major = steep ? std::abs(dy) : std::abs(dx), minor = steep ? std::abs(dx) : std::abs(dy);
    const std::int64_t majorFrom = steep ? y1 : x1, minorFrom = steep ? x1 : y1;
    const std::int64_t majorStep = (steep ? dy : dx) < 0 ? -1 : 1, minorStep = (steep ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t majorSize = steep ? Height() : Width(), minorSize = steep ? Width() : Height();
    // The steps whose major coordinate is on the surface.
    const std::int64_t first = std::max<std::int64_t>(0, majorStep > 0 ? -majorFrom : majorFrom - (majorSize - 1));
    const std::int64_t last = std::min<std::int64_t>(major, majorStep > 0 ? majorSize - 1 - majorFrom : majorFrom);
    if (first > last) return {};
    ScopedLock lock(*surface_);
    if (!lock.Locked()) return NoLock();
    const std::uint32_t raw = color.RawFor(*surface_);
    // The minor offset at the first step as quotient and remainder of 2 * major; minor * first
    // stays below 2^64 where 2 * minor * first would not.
    std::int64_t offset = 0, remainder = 0;
    const std::int64_t twiceMajor = 2 * major;
    if (major > 0) {
        const std::uint64_t product = static_cast<std::uint64_t>(minor) * static_cast<std::uint64_t>(first);
        const auto whole = static_cast<std::int64_t>(product / static_cast<std::uint64_t>(major));
        const auto part = static_cast<std::int64_t>(product % static_cast<std::uint64_t>(major));
        offset = whole + (2 * part + major) / twiceMajor;
        remainder = (2 * part + major) % twiceMajor;
    }
    for (std::int64_t k = first; k <= last; ++k) {
        const std::int64_t m = minorFrom + minorStep * offset;
        if (m >= 0 && m < minorSize) {
            const auto at = static_cast<std::int32_t>(majorFrom + majorStep * k), across = static_cast<std::int32_t>(m);
            if (steep) {
                surface_->PutPixel(across, at, raw);
            } else {
                surface_->PutPixel(at, across, raw);
            }
        } else if ((minorStep > 0) == (m >= minorSize)) {
            break;  // past the surface's far side: the rest of the line is off it too
        }
        remainder += 2 * minor;
        if (remainder >= twiceMajor) remainder -= twiceMajor, ++offset;
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
    // A picture never given a colour key draws every pixel in every mode: the keyed modes go
    // through their opaque twins, since the keyed blits would leave out pixels of the default key 0.
    const bool keyed = from.Surface()->HasColorKey();
    if (mode == BlitMode::Auto) mode = from.AlphaMap() ? BlitMode::Alpha : BlitMode::Keyed;
    std::int32_t result = 0;
    switch (mode) {
        case BlitMode::Opaque: result = from.BlitOpaque(surface_, x, y, &rect); break;
        case BlitMode::Keyed: result = keyed ? from.BlitKeyed(surface_, x, y, &rect) : from.BlitOpaque(surface_, x, y, &rect); break;
        case BlitMode::MirrorX:
            result = keyed ? from.BlitKeyedMirrorX(surface_, x, y, &rect) : from.BlitOpaqueMirrorX(surface_, x, y, &rect);
            break;
        case BlitMode::MirrorY:
            result = keyed ? from.BlitKeyedMirrorY(surface_, x, y, &rect) : from.BlitOpaqueMirrorY(surface_, x, y, &rect);
            break;
        case BlitMode::OpaqueMirrorX: result = from.BlitOpaqueMirrorX(surface_, x, y, &rect); break;
        case BlitMode::OpaqueMirrorY: result = from.BlitOpaqueMirrorY(surface_, x, y, &rect); break;
        case BlitMode::HalfBlend:
            result = keyed ? from.BlitKeyedHalfBlend(surface_, x, y, &rect) : from.BlitOpaqueHalfBlend(surface_, x, y, &rect);
            break;
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
