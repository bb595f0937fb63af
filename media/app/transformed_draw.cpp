#include "media/app/transformed_draw.h"

#include <algorithm>
#include <cmath>

#include "media/blit/locked_pair.h"
#include "media/blit/transform_loop.h"
#include "media/display/pixel_surface.h"

namespace media {

namespace {

constexpr double kOne = 4294967296.0;  // 1 in 32.32 fixed point
// Scale factors allowed: beyond them a step or the map's start no longer fits its 64 bits.
constexpr double kMinScale = 1.0 / 256, kMaxScale = 65536;
// Positions and origins farther out than this draw nothing: with the smallest scale each
// whole pixel of them moves the map by 256 source pixels, and both must fit 64 bits in 32.32.
constexpr double kFarthest = 1 << 21;
// A map that starts this far (2^30 source pixels, in 32.32) from every source pixel reaches
// none on a canvas: at most 16384 pixels a side, each moving it by at most 2 x 256 pixels.
constexpr std::int64_t kFarAway = std::int64_t{1} << 62;

// Cosine and sine of an angle in degrees, exact at the quarter turns (a picture turned by 90
// degrees is pixel for pixel a turned copy).
void CosSin(double degrees, double& c, double& s) {
    const double turn = std::fmod(degrees, 360.0);
    const double r = turn < 0 ? turn + 360.0 : turn;
    if (r == 0) c = 1, s = 0;
    else if (r == 90) c = 0, s = 1;
    else if (r == 180) c = -1, s = 0;
    else if (r == 270) c = 0, s = -1;
    else {
        const double radians = r * (3.14159265358979323846 / 180.0);
        c = std::cos(radians);
        s = std::sin(radians);
    }
}

std::int64_t Fixed(double v) { return std::llround(v * kOne); }

// What each source pixel covers with: the mode as the options ask, Auto by the picture's alpha;
// Keyed needs a colour key (without one every pixel is drawn), Alpha a map (likewise).
Coverage CoverageOf(BlitMode mode, const PixelSurface& from) {
    const bool hasMap = from.AlphaMap() != nullptr, hasKey = from.Surface()->HasColorKey();
    switch (mode) {
        case BlitMode::Opaque:
        case BlitMode::OpaqueMirrorX:
        case BlitMode::OpaqueMirrorY: return Coverage::Opaque;
        case BlitMode::Alpha: return hasMap ? Coverage::Alpha : Coverage::Opaque;
        case BlitMode::Auto:
            if (hasMap) return Coverage::Alpha;
            [[fallthrough]];
        default: return hasKey ? Coverage::Keyed : Coverage::Opaque;
    }
}

}  // namespace

Status DrawTransformed(PixelSurface& from, const IntRect& source, PixelSurface& to, const DrawOptions& o) {
    const bool mirrorX = o.flipX != (o.mode == BlitMode::MirrorX || o.mode == BlitMode::OpaqueMirrorX);
    const bool mirrorY = o.flipY != (o.mode == BlitMode::MirrorY || o.mode == BlitMode::OpaqueMirrorY);
    const double sx = mirrorX ? -double{o.scaleX} : o.scaleX, sy = mirrorY ? -double{o.scaleY} : o.scaleY;
    const double values[] = {o.x, o.y, o.originX, o.originY, sx, sy, o.rotation};
    if (!std::all_of(std::begin(values), std::end(values), [](double v) { return std::isfinite(v); })) {
        return {ErrorCode::InvalidArgument, "cannot draw the picture: a position, origin, scale or rotation is not a number"};
    }
    if (std::fabs(sx) < kMinScale || std::fabs(sx) > kMaxScale || std::fabs(sy) < kMinScale || std::fabs(sy) > kMaxScale) return {};
    const unsigned opacity = o.mode == BlitMode::HalfBlend ? o.opacity / 2u : o.opacity;
    const unsigned weight = (opacity * o.tint.a + 127) / 255;
    if (weight == 0 || source.width <= 0 || source.height <= 0) return {};

    // The source rectangle cut to the picture, in the picture's coordinates.
    const std::int64_t left = std::max<std::int64_t>(source.x, 0), top = std::max<std::int64_t>(source.y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{source.x} + source.width, from.Width());
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{source.y} + source.height, from.Height());
    if (left >= right || top >= bottom) return {};

    // The inverse map: source = origin + scale^-1 R(-angle) (centre - position), R(a) turning the
    // x axis towards y (clockwise on the screen).
    double c = 1, s = 0;
    CosSin(o.rotation, c, s);
    // The whole pixels of the position enter in fixed point, so that a picture moved by whole
    // pixels shows exactly the same pixels, moved.
    if (std::fabs(o.x) > kFarthest || std::fabs(o.y) > kFarthest || std::fabs(o.originX) > kFarthest || std::fabs(o.originY) > kFarthest) {
        return {};
    }
    const double wholeX = std::floor(o.x), wholeY = std::floor(o.y);
    const double ox = double{o.originX} + source.x, oy = double{o.originY} + source.y;
    const double du = 0.5 - (o.x - wholeX), dv = 0.5 - (o.y - wholeY);
    TransformDraw t;
    t.dudx = Fixed(c / sx);
    t.dudy = Fixed(s / sx);
    t.dvdx = Fixed(-s / sy);
    t.dvdy = Fixed(c / sy);
    const auto ix = static_cast<std::int64_t>(wholeX), iy = static_cast<std::int64_t>(wholeY);
    t.u0 = Fixed(ox + (c * du + s * dv) / sx) - ix * t.dudx - iy * t.dudy;
    t.v0 = Fixed(oy + (-s * du + c * dv) / sy) - ix * t.dvdx - iy * t.dvdy;
    if (std::llabs(t.u0) > kFarAway || std::llabs(t.v0) > kFarAway) return {};
    t.sourceArea = {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), static_cast<std::int32_t>(right),
                    static_cast<std::int32_t>(bottom)};
    t.coverage = CoverageOf(o.mode, from);
    t.alpha = from.AlphaMap();
    t.alphaWidth = from.Width();
    t.key = from.Surface()->ColorKeyValue();
    t.tintRed = o.tint.r;
    t.tintGreen = o.tint.g;
    t.tintBlue = o.tint.b;
    t.opacity = static_cast<std::uint8_t>(weight);

    const LockedPair locks(from, to);
    if (!locks) return {ErrorCode::Failed, "the picture or the canvas could not be locked (display lost?)"};
    t.depth = to.GetPixelFormatInfo().depth;
    if (from.GetPixelFormatInfo().depth != t.depth) return {ErrorCode::InvalidArgument, "the picture is not in the canvas's pixel format"};
    t.source = from.View();
    const platform::Rect clip = to.ClipRect();
    const platform::PixelView whole = to.View();
    if (clip.IsEmpty() || !platform::FitsInside(clip, whole.width, whole.height)) return {};
    t.dest = whole.Sub(clip);
    t.destLeft = clip.left;
    t.destTop = clip.top;
    TransformLoop(t);
    return {};
}

}  // namespace media
