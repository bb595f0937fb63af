#include "platform/video/display_surface.h"

#include <cstring>
#include <utility>

#include "platform/core/fault_hook.h"
#include "platform/pixels/pixel_access.h"
#include "platform/pixels/pixel_traits.h"
#include "platform/pixels/surface_copy.h"
#include "platform/video/desktop.h"
#include "platform/video/device_context.h"

namespace platform {

namespace {

bool ValidDesc(const SurfaceDesc* desc) { return desc && desc->size == sizeof(SurfaceDesc); }

}  // namespace

DisplaySurface* DisplaySurface::firstLive_ = nullptr;
DisplaySurface* DisplaySurface::lastLive_ = nullptr;
std::uint64_t DisplaySurface::lastContentVersion_ = 0;

DisplaySurface::DisplaySurface(std::int32_t width, std::int32_t height, const PixelFormatDesc& format, std::uint32_t caps, bool cleared)
    : width_(width), height_(height), bytesPerPixel_(platform::BytesPerPixel(format)), format_(format), caps_(caps) {
    pitch_ = (width_ * bytesPerPixel_ + 3) & ~3;
    const std::size_t bytes = static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height_);
    // new[] without () leaves the bytes as they come (make_unique_for_overwrite, which the browser
    // build's library lacks).
    pixels_.reset(cleared ? new std::uint8_t[bytes]() : new std::uint8_t[bytes]);
    // The padding at the rows' ends is nobody's to write: zero it still.
    const std::size_t used = static_cast<std::size_t>(width_) * static_cast<std::size_t>(bytesPerPixel_);
    if (!cleared && used < static_cast<std::size_t>(pitch_)) {
        for (std::int32_t y = 0; y < height_; ++y) std::memset(Row(y) + used, 0, static_cast<std::size_t>(pitch_) - used);
    }
    previousLive_ = lastLive_;
    (lastLive_ ? lastLive_->nextLive_ : firstLive_) = this;
    lastLive_ = this;
}

DisplaySurface::~DisplaySurface() {
    (previousLive_ ? previousLive_->nextLive_ : firstLive_) = nextLive_;
    (nextLive_ ? nextLive_->previousLive_ : lastLive_) = previousLive_;
}

std::uint32_t DisplaySurface::PixelAt(std::int32_t x, std::int32_t y) const {
    if (!FitsInside({x, y, x + 1, y + 1}, width_, height_)) return 0;
    std::uint32_t value = 0;
    const std::uint8_t* p = Row(y) + x * bytesPerPixel_;
    DispatchBytes(bytesPerPixel_, [&]<int B>() { value = LoadPixel<B>(p); });
    return value;
}

HRESULT DisplaySurface::Lock(const Rect* rect, SurfaceDesc* desc, std::uint32_t flags, void*) {
    if (!ValidDesc(desc)) return DDERR_INVALIDPARAMS;
    if (lost_) return DDERR_SURFACELOST;
    if (rect && !FitsInside(*rect, width_, height_)) return DDERR_INVALIDRECT;
    GetSurfaceDesc(desc);
    desc->flags |= DDSD_PITCH | DDSD_LPSURFACE;
    if ((flags & DDLOCK_READONLY) == 0) PixelsMayChange();
    desc->surface = pixels_.get() + static_cast<std::ptrdiff_t>(rect ? rect->top : 0) * pitch_ + (rect ? rect->left * bytesPerPixel_ : 0);
    locked_ = true;
    return DD_OK;
}

HRESULT DisplaySurface::Unlock(const Rect*) {
    if (!locked_) return DDERR_NOTLOCKED;
    locked_ = false;
    return DD_OK;
}

HRESULT DisplaySurface::GetSurfaceDesc(SurfaceDesc* desc) const {
    if (!ValidDesc(desc)) return DDERR_INVALIDPARAMS;
    desc->flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->width = static_cast<std::uint32_t>(width_);
    desc->height = static_cast<std::uint32_t>(height_);
    desc->pitch = pitch_;
    desc->surface = nullptr;
    desc->caps = caps_;
    desc->pixelFormat = format_;
    return DD_OK;
}

HRESULT DisplaySurface::Blt(const Rect* dstRect, DisplaySurface* src, const Rect* srcRect, std::uint32_t flags, const BltFx* fx) {
    if (lost_ || (src && src->lost_)) return DDERR_SURFACELOST;
    const bool toDesktop = IsPrimary() && desktop_;
    const Rect dst = dstRect ? *dstRect : Bounds();
    if (flags & DDBLT_COLORFILL) {
        if (!fx) return DDERR_INVALIDPARAMS;
        if (toDesktop) return IsUsable(dst) ? desktop_->Fill(dst, fx->fillColor) : DDERR_INVALIDRECT;
        if (!FitsInside(dst, width_, height_)) return DDERR_INVALIDRECT;
        FillRect(View(), dst, fx->fillColor);
        return DD_OK;
    }
    if (!src) return DDERR_INVALIDPARAMS;
    if (src->bytesPerPixel_ != bytesPerPixel_) return DDERR_UNSUPPORTED;
    const Rect from = srcRect ? *srcRect : src->Bounds();
    if (!IsUsable(dst) || !IsUsable(from)) return DDERR_INVALIDRECT;

    CopyRequest request{dst, dst, from};
    if ((flags & DDBLT_DDFX) && fx) {
        request.mirrorX = (fx->ddfx & DDBLTFX_MIRRORLEFTRIGHT) != 0;
        request.mirrorY = (fx->ddfx & DDBLTFX_MIRRORUPDOWN) != 0;
        if ((request.mirrorX || request.mirrorY) && Failed(FaultAt(FaultPoint::MirrorBlit))) return DDERR_NOMIRRORHW;
    }
    request.keyed = (flags & DDBLT_KEYSRC) && src->hasColorKey_;
    request.key = src->colorKey_.low;
    if (toDesktop) return desktop_->Copy(request, std::as_const(*src).View());
    if (!FitsInside(dst, width_, height_) || !FitsInside(from, src->width_, src->height_)) return DDERR_INVALIDRECT;
    if (src == this && !Intersect(dst, from).IsEmpty()) {
        // Reading and writing the same pixels: copy the source part aside first.
        DisplaySurface copy(from.Width(), from.Height(), src->format_, DDSCAPS_SYSTEMMEMORY);
        CopyRect(copy.View(), std::as_const(*src).View(), {copy.Bounds(), copy.Bounds(), from});
        request.src = copy.Bounds();
        CopyRect(View(), copy.View(), request);
        return DD_OK;
    }
    if (request.keyed && src != this && src->CopyKeyRuns(*this, request)) return DD_OK;
    CopyRect(View(), std::as_const(*src).View(), request);
    return DD_OK;
}

// A keyed 1:1 copy from this surface by its runs of non-key pixels, found on the first such copy
// and kept until the pixels change (never while locked: the holder of the lock may be writing).
bool DisplaySurface::CopyKeyRuns(DisplaySurface& dst, const CopyRequest& request) {
    if (locked_ || !KeyRuns::PaysFor(std::as_const(*this).View()) || request.mirrorX || request.mirrorY || request.dst.Width() != request.src.Width() ||
        request.dst.Height() != request.src.Height())
        return false;
    std::uint32_t key = 0;
    DispatchBytes(bytesPerPixel_, [&]<int B>() { key = request.key & PixelSize<B>::kMask; });
    if (!keyRuns_.ValidFor(key)) keyRuns_.Build(std::as_const(*this).View(), key);
    if (!keyRuns_.Worthwhile()) return false;
    keyRuns_.Copy(dst.View(), request.dst.left, request.dst.top, bytesPerPixel_, request.src);
    return true;
}

HRESULT DisplaySurface::BltFast(std::int32_t x, std::int32_t y, DisplaySurface* src, const Rect* srcRect, std::uint32_t flags) {
    if (!src) return DDERR_INVALIDPARAMS;
    const Rect from = srcRect ? *srcRect : src->Bounds();
    if (!IsUsable(from)) return DDERR_INVALIDRECT;
    const std::int64_t right = std::int64_t{x} + from.Width(), bottom = std::int64_t{y} + from.Height();
    if (right > INT32_MAX || bottom > INT32_MAX) return DDERR_INVALIDRECT;
    const Rect dst{x, y, static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    return Blt(&dst, src, &from, (flags & DDBLTFAST_SRCCOLORKEY) ? DDBLT_KEYSRC : 0, nullptr);
}

HRESULT DisplaySurface::GetDC(DeviceContext** dc) {
    if (!dc) return DDERR_INVALIDPARAMS;
    *dc = nullptr;
    if (lost_) return DDERR_SURFACELOST;
    if (const HRESULT fault = FaultAt(FaultPoint::SurfaceGetDC); Failed(fault)) return fault;
    if (dc_ || locked_) return E_FAIL;
    *dc = &dc_.emplace(this);
    return DD_OK;
}

HRESULT DisplaySurface::ReleaseDC(DeviceContext* dc) {
    if (!dc || !dc_ || dc != &*dc_) return DDERR_INVALIDPARAMS;
    dc_.reset();
    return DD_OK;
}

HRESULT DisplaySurface::SetColorKey(std::uint32_t flags, const ColorKey* key) {
    if (!(flags & DDCKEY_SRCBLT)) return DDERR_UNSUPPORTED;
    if (lost_) return DDERR_SURFACELOST;
    if (const HRESULT fault = FaultAt(FaultPoint::SetColorKey); Failed(fault)) return fault;
    hasColorKey_ = key != nullptr;
    colorKey_ = key ? *key : ColorKey{};
    return DD_OK;
}

HRESULT DisplaySurface::GetColorKey(std::uint32_t flags, ColorKey* key) const {
    if (!(flags & DDCKEY_SRCBLT) || !key) return DDERR_INVALIDPARAMS;
    if (!hasColorKey_) return E_FAIL;
    *key = colorKey_;
    return DD_OK;
}

HRESULT DisplaySurface::SetClipper(std::shared_ptr<Clipper> clipper) {
    // Detaching always succeeds, so a screen going away never leaves its window bound.
    if (clipper) {
        if (const HRESULT fault = FaultAt(FaultPoint::SetClipper); Failed(fault)) return fault;
    }
    if (IsPrimary() && desktop_) desktop_->SetClipper(std::move(clipper));
    return DD_OK;
}

HRESULT DisplaySurface::SetPalette(const void*) { return DD_OK; }

HRESULT DisplaySurface::IsLost() const { return lost_ ? DDERR_SURFACELOST : DD_OK; }

HRESULT DisplaySurface::Restore() {
    if (!lost_) return DD_OK;
    if (const HRESULT fault = FaultAt(FaultPoint::RestoreSurface); Failed(fault)) return fault;
    lost_ = false;
    return DD_OK;
}

}  // namespace platform
