#include "media/display/screen.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/core/system.h"
#include "platform/video/device_context.h"

namespace media {

namespace {

using platform::Failed;
using platform::HRESULT;

platform::SurfaceDesc SurfaceRequest(std::uint32_t flags, std::uint32_t caps, std::int32_t width, std::int32_t height) {
    platform::SurfaceDesc desc;
    desc.size = sizeof desc;
    desc.flags = flags;
    desc.caps = caps;
    desc.width = static_cast<std::uint32_t>(width);
    desc.height = static_cast<std::uint32_t>(height);
    return desc;
}

// Copies a driver's text into a record field, cut to leave room for the terminating NUL.
template <std::size_t N>
void CopyText(std::array<char, N>& field, const char* text) {
    std::snprintf(field.data(), N, "%s", text ? text : "");
}

// The last record of a chain: the empty one that the next entry fills.
template <typename Record>
Record* LastRecord(Record* record) {
    while (record->next) record = record->next.get();
    return record;
}

template <typename Record>
std::int32_t CountFilled(const Record* first) {
    std::int32_t count = 0;
    for (const Record* r = first->next.get(); r; r = r->next.get()) ++count;
    return count;
}

int RecordDriver(const platform::Guid* guid, const char* description, const char* name, void* context, void* monitor) {
    DriverRecord* record = LastRecord(static_cast<DriverRecord*>(context));
    std::shared_ptr<platform::DisplayDevice> device;
    if (Failed(platform::DirectDrawCreate(guid, &device))) return platform::DDENUMRET_OK;
    record->hardware.size = record->emulation.size = sizeof(platform::DisplayCaps);
    const HRESULT caps = device->GetCaps(&record->hardware, &record->emulation);
    device.reset();
    if (Failed(caps)) return platform::DDENUMRET_OK;
    if (guid) {
        record->guid = *guid;
        record->guidPointer = &record->guid;
    }
    CopyText(record->description, description);
    CopyText(record->name, name);
    record->monitor = monitor;
    record->next = std::make_unique<DriverRecord>();
    return platform::DDENUMRET_OK;
}

int RecordMode(const platform::SurfaceDesc* mode, void* context) {
    DisplayModeRecord* record = LastRecord(static_cast<DisplayModeRecord*>(context));
    record->width = mode->width;
    record->height = mode->height;
    record->bitCount = mode->pixelFormat.bitCount;
    record->next = std::make_unique<DisplayModeRecord>();
    return platform::DDENUMRET_OK;
}

}  // namespace

Screen::Screen() {
    lastTime_ = platform::TimeGetTime();
    // Without a display device the screen stays empty and SetWindowedMode reports it.
    platform::DirectDrawCreate(nullptr, &directDraw_);
    RecordDrivers();
    if (directDraw_) RecordDisplayModes();
}

Screen::~Screen() {
    // Surfaces that outlive the screen keep their pixels but forget it.
    for (PixelSurface* surface : attached_) surface->owner_ = nullptr;
    attached_.clear();
    // The primary surface is shared by the whole process: a later screen must not be clipped to
    // this one's window.
    if (front_ && front_->Surface()) front_->Surface()->SetClipper(nullptr);
    if (directDraw_) directDraw_->SetCooperativeLevel(window_, platform::DDSCL_NORMAL);
    displayModes_.reset();
    drivers_.reset();
    if (directDraw_) directDraw_->RestoreDisplayMode();
    first_ = last_ = nullptr;
    surfaceCount_ = 0;
    back_.reset();
    front_.reset();
    clipper_.reset();
    directDraw_.reset();
}

void Screen::RecordDrivers() {
    drivers_ = std::make_unique<DriverRecord>();
    driverCount_ = 0;
    const std::uint32_t flags = platform::DDENUM_ATTACHEDSECONDARYDEVICES | platform::DDENUM_NONDISPLAYDEVICES;
    if (!Failed(platform::DirectDrawEnumerateEx(&RecordDriver, drivers_.get(), flags))) driverCount_ = CountFilled(drivers_.get());
}

void Screen::RecordDisplayModes() {
    displayModes_ = std::make_unique<DisplayModeRecord>();
    displayModeCount_ = 0;
    if (!Failed(directDraw_->EnumDisplayModes(platform::DDEDM_STANDARDVGAMODES, nullptr, displayModes_.get(), &RecordMode)))
        displayModeCount_ = CountFilled(displayModes_.get());
}

std::int32_t Screen::SetWindowedMode(platform::HWND window, std::int32_t width, std::int32_t height) {
    if (!directDraw_ || front_) return -1;
    width_ = width;
    height_ = height;
    window_ = window;
    platform::HDC desktop = platform::GetDC(nullptr);
    if (!desktop) return -1;
    platform::ReleaseDC(nullptr, desktop);
    if (Failed(directDraw_->SetCooperativeLevel(window, platform::DDSCL_NORMAL))) return -2;
    return CreateSurfaces();
}

std::int32_t Screen::CreateSurfaces() {
    front_ = std::make_unique<PixelSurface>();
    back_ = std::make_unique<PixelSurface>();
    std::shared_ptr<platform::DisplaySurface> primary, offscreen;
    const auto primaryDesc = SurfaceRequest(platform::DDSD_CAPS, platform::DDSCAPS_PRIMARYSURFACE, 0, 0);
    if (Failed(directDraw_->CreateSurface(&primaryDesc, &primary))) {
        back_.reset();
        front_.reset();
        return -4;
    }
    const std::uint32_t sized = platform::DDSD_CAPS | platform::DDSD_HEIGHT | platform::DDSD_WIDTH;
    const auto videoDesc = SurfaceRequest(sized, PlacementCaps(MEMORY_VIDEO), width_, height_);
    const auto systemDesc = SurfaceRequest(sized, PlacementCaps(MEMORY_SYSTEM), width_, height_);
    if (Failed(directDraw_->CreateSurface(&videoDesc, &offscreen)) && Failed(directDraw_->CreateSurface(&systemDesc, &offscreen))) {
        back_.reset();
        front_.reset();
        return -8;
    }

    // The first clipper step that fails gives the result; the later ones are still tried.
    std::int32_t result = 0;
    if (Failed(directDraw_->CreateClipper(0, &clipper_))) {
        result = -16;
    } else {
        if (Failed(clipper_->SetHWnd(0, window_))) result = -32;
        if (Failed(primary->SetClipper(clipper_)) && result == 0) result = -64;
    }

    platform::HDC desktop = platform::GetDC(nullptr);
    const std::int32_t desktopWidth = platform::GetDeviceCaps(desktop, platform::HORZRES);
    const std::int32_t desktopHeight = platform::GetDeviceCaps(desktop, platform::VERTRES);
    platform::ReleaseDC(nullptr, desktop);

    front_->Attach(std::move(primary), this, desktopWidth, desktopHeight);
    back_->Attach(std::move(offscreen), this, width_, height_);
    front_->Surface()->SetPalette(nullptr);
    return result;
}

void Screen::Flip(std::int32_t waitVBlank, std::int32_t stretch, std::int32_t showFps) {
    const std::uint32_t now = platform::TimeGetTime();
    elapsed_ += now - lastTime_;
    lastTime_ = now;
    if (elapsed_ > 1000) {
        framesPerSecond_ = static_cast<std::int32_t>(static_cast<double>(frames_) / elapsed_ * 1000.0);
        frames_ = 0;
        elapsed_ = 0;
    }
    ++frames_;
    // Nothing to present before the window is set up.
    if (!front_ || !back_) return;

    if (showFps) {
        char text[32] = {};
        std::snprintf(text, sizeof text, "FPS = %d", framesPerSecond_);
        back_->GetDC();
        back_->DrawTextAt(10, 20, 0x0000FFF0, text);
        back_->ReleaseDC();
    }

    // The client area in desktop coordinates.
    const platform::Rect destination = platform::ClientAreaOnDesktop(window_);

    if (waitVBlank == 1) WaitForVBlank();
    HRESULT result;
    if (stretch) {
        result = front_->Surface()->Blt(&destination, back_->Surface(), nullptr, platform::DDBLT_WAIT, nullptr);
    } else {
        const platform::Rect source{0, 0, destination.Width(), destination.Height()};
        result = front_->Surface()->Blt(&destination, back_->Surface(), &source, platform::DDBLT_WAIT, nullptr);
    }
    if (result == platform::DDERR_SURFACELOST) RestoreSurfaces();
}

std::int32_t Screen::RestoreSurfaces() {
    std::int32_t result = 0;
    if (front_ && front_->Surface() && Failed(front_->Surface()->IsLost())) result = front_->Surface()->Restore();
    if (back_ && back_->Surface() && Failed(back_->Surface()->IsLost())) return back_->Surface()->Restore();
    return result;
}

std::int32_t Screen::WaitForVBlank() {
    if (!directDraw_) return -1;
    return directDraw_->WaitForVerticalBlank(platform::DDWAITVB_BLOCKBEGIN, nullptr);
}

void Screen::AddSurface(PixelSurface* surface) {
    if (!surface) return;
    surface->next_ = nullptr;
    if (!first_) {
        surface->previous_ = nullptr;
        first_ = last_ = surface;
    } else {
        surface->previous_ = last_;
        last_->next_ = surface;
        last_ = surface;
    }
    ++surfaceCount_;
}

void Screen::Attach(PixelSurface* surface) {
    if (surface && std::find(attached_.begin(), attached_.end(), surface) == attached_.end()) attached_.push_back(surface);
}

void Screen::Detach(PixelSurface* surface) { std::erase(attached_, surface); }

void Screen::RemoveSurface(PixelSurface* surface) {
    if (!surface || surface == front_.get() || surface == back_.get()) return;
    // Only a surface its neighbours point at is in the list: one never listed, or already taken
    // out (its own links are left as they were), must not cut the list.
    const bool listed = surface->previous_ ? surface->previous_->next_ == surface : first_ == surface;
    if (!listed) return;
    if (surface->previous_)
        surface->previous_->next_ = surface->next_;
    else
        first_ = surface->next_;
    if (surface->next_)
        surface->next_->previous_ = surface->previous_;
    else
        last_ = surface->previous_;
    --surfaceCount_;
}

}  // namespace media
