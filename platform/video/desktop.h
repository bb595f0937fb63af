#pragma once
// The desktop: where copies and fills onto the primary surface go. It holds the clipper that binds
// them to one window's client area, cuts every copy to that area and to the pixels the backend
// shows (headless: the desktop's own memory; a real window: an image of its client area), runs
// the ordinary copy loops into them, and tells the backend what changed so it can be shown.
#include <cstdint>
#include <memory>

#include "../core/geometry.h"
#include "../core/result_codes.h"
#include "../pixels/pixel_view.h"
#include "../pixels/surface_copy.h"

namespace platform {

class Clipper;
class Window;

/// Implemented by each backend: the pixels behind the desktop and the step that shows them.
class PresentTarget {
public:
    virtual ~PresentTarget() = default;
    /// The pixels that copies for this window (null: no window bound) land in, and the desktop
    /// position of the view's first pixel. An empty view shows nothing.
    virtual PixelView TargetFor(Window* window, Point* origin) = 0;
    /// The part of the target just written, in desktop coordinates, is ready to be shown.
    virtual void Show(Window* window, const Rect& written) = 0;
    /// Writes one copy (request in the view's coordinates) or fill into the view TargetFor gave.
    /// A backend whose view keeps the pixels in the order it shows them, not the desktop's,
    /// converts them here as they are written.
    /// @{
    virtual void WriteCopy(const PixelView& view, const PixelView& source, const CopyRequest& request) {
        CopyRect(view, source, request);
    }
    virtual void WriteFill(const PixelView& view, const Rect& rect, std::uint32_t value) { FillRect(view, rect, value); }
    /// @}
};

/// The desktop's presentation: copies and fills onto its primary surface, cut to the clipper's window, handed to the backend's target.
class Desktop {
public:
    /// Over the backend's target.
    explicit Desktop(PresentTarget& target) : target_(target) {}
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    /// Sets or reads the clipper copies are cut with.
    /// @{
    void SetClipper(std::shared_ptr<Clipper> clipper) { clipper_ = std::move(clipper); }
    const std::shared_ptr<Clipper>& GetClipper() const { return clipper_; }
    /// @}

    /// request.dst and request.visible in desktop coordinates (visible is recomputed here); the
    /// copy honours the request's mirror and colour key like any other copy. Parts that fall
    /// outside the client area, the target or the source are left as they were.
    HRESULT Copy(CopyRequest request, const PixelView& source);
    /// A colour fill of rect (desktop coordinates), cut like a copy.
    HRESULT Fill(const Rect& rect, std::uint32_t value);

private:
    /// The clipper's window, the target view, its desktop origin and the part of the desktop
    /// that may be written; false when nothing may.
    bool Prepare(Window** window, PixelView* view, Point* origin, Rect* limit);

    PresentTarget& target_;
    std::shared_ptr<Clipper> clipper_;
};

}  // namespace platform
