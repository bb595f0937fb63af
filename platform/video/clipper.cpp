#include "platform/video/clipper.h"

#include "platform/core/fault_hook.h"

namespace platform {

HRESULT Clipper::SetHWnd(std::uint32_t, Window* window) {
    if (const HRESULT fault = FaultAt(FaultPoint::ClipperSetHWnd); Failed(fault)) return fault;
    window_ = window;
    return DD_OK;
}

}  // namespace platform
