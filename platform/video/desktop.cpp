#include "platform/video/desktop.h"

#include "platform/video/clipper.h"
#include "platform/window/window.h"

namespace platform {

namespace {

// r moved by (-origin), or false when a coordinate would leave the 32-bit range.
bool ToTarget(const Rect& r, const Point& origin, Rect* out) {
    const std::int64_t v[4] = {std::int64_t{r.left} - origin.x, std::int64_t{r.top} - origin.y,
                               std::int64_t{r.right} - origin.x, std::int64_t{r.bottom} - origin.y};
    for (const std::int64_t c : v) {
        if (c < INT32_MIN || c > INT32_MAX) return false;
    }
    *out = {static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1]), static_cast<std::int32_t>(v[2]),
            static_cast<std::int32_t>(v[3])};
    return true;
}

}  // namespace

bool Desktop::Prepare(Window** window, PixelView* view, Point* origin, Rect* limit) {
    *window = clipper_ ? clipper_->GetHWnd() : nullptr;
    *view = target_.TargetFor(*window, origin);
    if (view->Empty()) return false;
    *limit = Offset(view->Bounds(), origin->x, origin->y);
    if (*window) *limit = Intersect(*limit, ClientAreaOnDesktop(*window));
    return !limit->IsEmpty();
}

HRESULT Desktop::Copy(CopyRequest request, const PixelView& source) {
    Window* window;
    PixelView view;
    Point origin;
    Rect limit;
    if (!Prepare(&window, &view, &origin, &limit)) return DD_OK;
    if (view.bytesPerPixel != source.bytesPerPixel) return DDERR_UNSUPPORTED;
    request.visible = Intersect(request.dst, limit);
    if (request.visible.IsEmpty()) return DD_OK;
    ClipToSource(request, source.Bounds());
    if (request.visible.IsEmpty()) return DD_OK;
    const Rect written = request.visible;
    if (!ToTarget(request.dst, origin, &request.dst) || !ToTarget(request.visible, origin, &request.visible))
        return DDERR_INVALIDRECT;
    target_.WriteCopy(view, source, request);
    target_.Show(window, written);
    return DD_OK;
}

HRESULT Desktop::Fill(const Rect& rect, std::uint32_t value) {
    Window* window;
    PixelView view;
    Point origin;
    Rect limit;
    if (!Prepare(&window, &view, &origin, &limit)) return DD_OK;
    const Rect written = Intersect(rect, limit);
    if (written.IsEmpty()) return DD_OK;
    Rect local;
    if (!ToTarget(written, origin, &local)) return DDERR_INVALIDRECT;
    target_.WriteFill(view, local, value);
    target_.Show(window, written);
    return DD_OK;
}

}  // namespace platform
