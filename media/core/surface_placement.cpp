#include "media/core/surface_placement.h"

#include "platform/pixels/surface_desc.h"

namespace media {

std::uint32_t PlacementCaps(std::int32_t placement) {
    switch (placement) {
        case MEMORY_VIDEO: return platform::DDSCAPS_OFFSCREENPLAIN | platform::DDSCAPS_VIDEOMEMORY;
        case MEMORY_SYSTEM: return platform::DDSCAPS_OFFSCREENPLAIN | platform::DDSCAPS_SYSTEMMEMORY;
        default: return platform::DDSCAPS_OFFSCREENPLAIN;
    }
}

}  // namespace media
