#include "media/app/canvas.h"

#include <algorithm>
#include <cstdlib>

#include "media/app/picture.h"
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

}  // namespace

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
    // A picture never given a colour key draws every pixel in every mode: the keyed modes go
    // through their opaque twins, since the keyed blits would leave out pixels of the default key 0.
    const bool keyed = from.Surface()->HasColorKey();
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
    }
    return result >= 0 ? Status{} : Status::FromPlatform("the picture could not be copied", result);
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
