#pragma once
// The pixel loops behind surface fills and copies. Rectangles are checked by the caller; these
// loops trust them and walk rows with running pointers.
#include <cstdint>

#include "pixel_view.h"
#include "../core/geometry.h"

namespace platform {

/// Fills the rectangle of the view with a raw value.
void FillRect(const PixelView& dst, const Rect& rect, std::uint32_t value);

/// One copy between two views.
struct CopyRequest {
    Rect dst;      ///< the whole destination rectangle
    Rect visible;  ///< the part of dst actually written (dst itself, unless clipped)
    Rect src;      ///< the whole source rectangle
    /// Flipped left to right, top to bottom.
    /// @{
    bool mirrorX = false, mirrorY = false;
    /// @}
    /// Whether source pixels of the key value are left out, and the key.
    /// @{
    bool keyed = false;
    std::uint32_t key = 0;
    /// @}
};

/// Destination column i of a dw-wide rectangle reads source column src.left + ((2i + 1) * sw) /
/// (2 * dw): the source pixel nearest the destination pixel's centre; a mirror reverses the order.
/// Both views have the same pixel size; request.visible lies inside dst and its samples inside src.
void CopyRect(const PixelView& dst, const PixelView& src, const CopyRequest& request);

/// The source column (or row) that destination offset i of a request samples.
std::int32_t SampleIndex(std::int32_t i, std::int32_t srcStart, std::int32_t srcLength, std::int32_t dstLength, bool mirror);

/// Cuts request.visible down to the destination pixels whose samples fall inside srcBounds.
void ClipToSource(CopyRequest& request, const Rect& srcBounds);

}  // namespace platform
