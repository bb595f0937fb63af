#include "media/display/pixel_surface.h"

#include <cstring>

#include "media/display/bitmap_surface.h"
#include "media/display/screen.h"
#include "media/image/image.h"
#include "platform/core/resources.h"
#include "platform/pixels/pixel_traits.h"
#include "platform/video/display_device.h"

namespace media {

// The depth table programs see (pixel_format.h) is the pixel traits' own, code for code.
static_assert([] {
    for (const std::int32_t depth : {0, 1, 7, 8, 15, 16, 24, 32, 33}) {
        if (BytesPerPixelOfDepth(depth) != platform::BytesPerPixelOfDepth(depth)) return false;
    }
    return true;
}());

namespace {

using platform::DDERR_SURFACELOST;
using platform::DDERR_WASSTILLDRAWING;

// A surface that stays lost after this many restores is given up on: the caller gets the error
// instead of a program that hangs.
constexpr int kLostRetries = 4;

void ClearDescription(platform::SurfaceDesc& desc) {
    desc = {};
    desc.size = sizeof(platform::SurfaceDesc);
}

}  // namespace

PixelSurface::PixelSurface() { SelectPixelRoutines(); }

PixelSurface::~PixelSurface() {
    if (dcCount_ > 0) ReleaseDC();
    alphaMap_.reset();
    surface_.reset();
    if (owner_) {
        owner_->RemoveSurface(this);
        owner_->Detach(this);
    }
}

void PixelSurface::Attach(std::shared_ptr<platform::DisplaySurface> surface, Screen* owner, std::int32_t width, std::int32_t height) {
    // The alpha map was sized for the pixels being replaced.
    alphaMap_.reset();
    surface_ = std::move(surface);
    SetOwner(owner);
    width_ = width;
    height_ = height;
    SetClipRect({0, 0, width, height});
    AnalysePixelFormat(surface_.get(), &pixelFormat_);
    SelectPixelRoutines();
}

void PixelSurface::SetOwner(Screen* owner) {
    if (owner_ && owner_ != owner) owner_->Detach(this);
    owner_ = owner;
    if (owner_) owner_->Attach(this);
}

std::int32_t PixelSurface::CreateBlank(Screen* screen, std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t placement) {
    const bool knownDepth = depth == 0 || BytesPerPixelOfDepth(depth) != 0;
    if (!screen || !screen->DirectDraw() || width <= 0 || height <= 0 || !knownDepth) return -1;
    platform::SurfaceDesc desc;
    ClearDescription(desc);
    desc.flags = platform::DDSD_CAPS | platform::DDSD_WIDTH | platform::DDSD_HEIGHT;
    desc.width = static_cast<std::uint32_t>(width);
    desc.height = static_cast<std::uint32_t>(height);
    desc.caps = PlacementCaps(placement);
    if (depth != 0) {
        desc.flags |= platform::DDSD_PIXELFORMAT;
        desc.pixelFormat = platform::FormatForDepth(depth);
    }
    std::shared_ptr<platform::DisplaySurface> surface;
    const platform::HRESULT result = screen->DirectDraw()->CreateSurface(&desc, &surface);
    if (platform::Failed(result)) return result;
    Attach(std::move(surface), screen, width, height);
    return 1;
}

std::int32_t PixelSurface::Lock() { return LockWith(platform::DDLOCK_WAIT); }

std::int32_t PixelSurface::LockForReading() { return LockWith(platform::DDLOCK_WAIT | platform::DDLOCK_READONLY); }

std::int32_t PixelSurface::LockWith(std::uint32_t flags) {
    if (lockCount_ > 0) {
        // A writable lock inside a read-only one does not reach the platform, which would move
        // the content version on: asking for writable access does that here, so that the runs
        // of keyed copies and a sheet's opacity are found again.
        if (!(flags & platform::DDLOCK_READONLY) && surface_) surface_->View();
        return static_cast<std::int32_t>(++lockCount_);
    }
    if (!surface_) return -1;
    ClearDescription(desc_);
    platform::HRESULT result = surface_->Lock(nullptr, &desc_, flags, nullptr);
    for (int tries = 0; result == DDERR_SURFACELOST && tries < kLostRetries; ++tries) {
        Restore();
        ClearDescription(desc_);
        result = surface_->Lock(nullptr, &desc_, flags, nullptr);
    }
    if (platform::Failed(result)) return result;
    lockCount_ = 1;
    return 1;
}

bool PixelSurface::SetAlphaMap(std::unique_ptr<std::uint8_t[]> map, std::size_t size) {
    if (map && size != static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) return false;
    alphaMap_ = std::move(map);
    return true;
}

platform::PixelView PixelSurface::View() const {
    if (lockCount_ == 0 || !desc_.surface) return {};
    const auto& pf = desc_.pixelFormat;
    return {static_cast<std::uint8_t*>(desc_.surface), desc_.pitch, static_cast<std::int32_t>(desc_.width),
            static_cast<std::int32_t>(desc_.height), platform::BytesPerPixel(pf), pf};
}

std::int32_t PixelSurface::Unlock() {
    if (lockCount_ > 1) return static_cast<std::int32_t>(--lockCount_);
    if (!surface_) return -1;
    // An unlock without a lock is refused by the platform and leaves the count at 0.
    if (lockCount_ == 0) return platform::DDERR_NOTLOCKED;
    platform::HRESULT result = surface_->Unlock(nullptr);
    for (int tries = 0; result == DDERR_SURFACELOST && tries < kLostRetries; ++tries) {
        Restore();
        result = surface_->Unlock(nullptr);
    }
    if (platform::Failed(result)) return result;
    return static_cast<std::int32_t>(--lockCount_);
}

platform::HDC PixelSurface::GetDC() {
    if (dcCount_ > 0) {
        ++dcCount_;
        return dc_;
    }
    if (!surface_) return nullptr;
    if (platform::Succeeded(surface_->GetDC(&dc_))) ++dcCount_;
    return dc_;
}

std::int32_t PixelSurface::ReleaseDC() {
    if (dcCount_ > 1) {
        --dcCount_;
        return 0;
    }
    if (!surface_ || dcCount_ == 0) return -1;
    if (platform::Failed(surface_->ReleaseDC(dc_))) return -1;
    dc_ = nullptr;
    --dcCount_;
    return 0;
}

std::int32_t PixelSurface::Restore() {
    if (!surface_) return -1;
    const platform::HRESULT result = surface_->Restore();
    if (platform::Failed(result)) return result;
    return Reload(nullptr);
}

std::int32_t PixelSurface::CreateFromFile(Screen* screen, const char* name, std::int32_t placement) {
    return CreateFromFileKeeping(screen, name, placement, false);
}

std::int32_t PixelSurface::CreateFromFileWithAlpha(Screen* screen, const char* name, std::int32_t placement) {
    return CreateFromFileKeeping(screen, name, placement, true);
}

std::int32_t PixelSurface::CreateFromFileKeeping(Screen* screen, const char* name, std::int32_t placement, bool keepAlpha) {
    // The name is kept in 256 characters; a second creation would leave the first surface
    // listed twice with the screen.
    if (!name || std::strlen(name) >= fileName_.size() || surface_ || !screen || !screen->DirectDraw()) return -1;
    platform::DisplayDevice* device = screen->DirectDraw();
    std::shared_ptr<platform::DisplaySurface> surface;
    std::unique_ptr<std::uint8_t[]> alpha;
    {
        const std::unique_ptr<Image> loader = std::make_unique<Image>();
        surface = keepAlpha ? loader->LoadFileWithAlpha(device, name, placement, &alpha) : loader->LoadFile(device, name, placement, IMAGE_NONE);
    }
    if (!surface) {
        // Resources are compiled in: once found they are loaded and locked, so only the lookup
        // itself can fail here.
        if (!platform::FindResource(name, platform::RT_BITMAP)) return -2;
        surface = LoadBitmapSurface(device, name, &width_, &height_, placement);
        if (!surface) return -1;
    }
    // A map set before the surface had pixels was sized for none; the picture's own (width x
    // height bytes, as the decoder made it) takes its place.
    alphaMap_ = std::move(alpha);
    surface_ = std::move(surface);
    Lock();
    Unlock();
    // Tracked as every surface made with the screen is, so that a screen destroyed first makes
    // this one forget it; the list below is only for redrawing after a display loss.
    SetOwner(screen);
    width_ = static_cast<std::int32_t>(desc_.width);
    height_ = static_cast<std::int32_t>(desc_.height);
    SetClipRect({0, 0, width_, height_});
    placement_ = placement;
    std::memcpy(fileName_.data(), name, std::strlen(name) + 1);
    AnalysePixelFormat(surface_.get(), &pixelFormat_);
    screen->AddSurface(this);
    SelectPixelRoutines();
    return 1;
}

std::int32_t PixelSurface::Reload(const char* name) {
    if (!name) name = fileName_.data();
    if (!owner_ || !owner_->DirectDraw() || !surface_) return -2;
    std::shared_ptr<platform::DisplaySurface> picture;
    {
        const std::unique_ptr<Image> loader = std::make_unique<Image>();
        picture = loader->LoadFile(owner_->DirectDraw(), name, MEMORY_SYSTEM, IMAGE_NONE);
    }
    if (!picture) return -2;
    const platform::Rect area{0, 0, width_, height_};
    return surface_->Blt(&area, picture.get(), &area, platform::DDBLT_WAIT, nullptr);
}

std::int32_t PixelSurface::SetColorKeyFromTopLeft() {
    if (!surface_) return -1;
    std::int32_t locked = Lock();
    for (int tries = 0; locked == DDERR_WASSTILLDRAWING && tries < kLostRetries; ++tries) locked = Lock();
    if (locked < 0) return -1;
    // Rows are at least 4 bytes long, so the word at the first pixel lies inside the surface.
    std::uint32_t value;
    std::memcpy(&value, desc_.surface, sizeof value);
    const std::uint32_t bits = desc_.pixelFormat.bitCount;
    if (bits < 32) value &= (1u << bits) - 1u;
    Unlock();
    colorKey_ = value;
    const platform::ColorKey key{value, value};
    return platform::Succeeded(surface_->SetColorKey(platform::DDCKEY_SRCBLT, &key)) ? 0 : -2;
}

std::int32_t PixelSurface::Fill(std::uint32_t value) {
    if (!surface_) return -1;
    platform::BltFx fx;
    fx.size = sizeof fx;
    fx.fillColor = value;
    return surface_->Blt(nullptr, nullptr, nullptr, platform::DDBLT_COLORFILL | platform::DDBLT_WAIT, &fx);
}

std::int32_t PixelSurface::DrawTextAt(std::int32_t x, std::int32_t y, platform::COLORREF colour, const char* text) {
    if (!text) return 0;
    platform::HDC dc = GetDC();
    if (!dc) return 0;
    dc->SetBkMode(platform::TRANSPARENT);
    dc->SetTextColor(colour);
    const bool drawn = dc->TextOut(x, y, text, static_cast<int>(std::strlen(text)));
    ReleaseDC();
    return drawn ? 0 : -1;
}

void PixelSurface::SetClipRect(const platform::Rect& rect) {
    clip_.top = std::max(rect.top, 0);
    clip_.left = std::max(rect.left, 0);
    clip_.bottom = std::min(rect.bottom, height_);
    clip_.right = std::min(rect.right, width_);
}

std::int32_t PixelSurface::AnalysePixelFormat(platform::DisplaySurface* surface, PixelFormat* format) {
    if (!surface || !format) return 0;
    platform::SurfaceDesc desc;
    ClearDescription(desc);
    desc.flags = platform::DDSD_PIXELFORMAT;
    if (surface->GetSurfaceDesc(&desc) != 0) return 0;
    const platform::PixelFormatDesc& pf = desc.pixelFormat;
    if (pf.bitCount <= 8) {
        *format = {};
        format->depth = static_cast<std::int32_t>(pf.bitCount);
        return 1;
    }
    const auto channel = [](std::uint32_t mask, std::uint8_t& max, std::uint8_t& shift) {
        std::uint32_t s = 0;
        while (!(mask & 1u) && s < 32) {
            mask >>= 1;
            ++s;
        }
        max = static_cast<std::uint8_t>(mask);
        shift = static_cast<std::uint8_t>(s);
    };
    channel(pf.redMask, format->redMax, format->redShift);
    channel(pf.greenMask, format->greenMax, format->greenShift);
    channel(pf.blueMask, format->blueMax, format->blueShift);
    if (!(pf.flags & platform::DDPF_RGB)) {
        format->depth = 0;
        return 0;
    }
    switch (pf.bitCount) {
        case 16: format->depth = format->blueMax + format->greenMax + format->redMax == 93 ? 15 : 16; break;
        case 24:
        case 32: format->depth = static_cast<std::int32_t>(pf.bitCount); break;
        default: format->depth = 0; break;
    }
    return 1;
}

}  // namespace media
