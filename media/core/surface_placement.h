#pragma once
// Where a surface's pixels are placed: the codes callers pass when they make a surface from a
// picture or blank, and the surface capability bits each stands for. Shared by the surfaces
// (media/display/) and the picture loader (media/image/), which makes surfaces of its own.
#include <cstdint>

namespace media {

/// Where a surface made from a picture is placed.
enum SurfacePlacement : std::int32_t { MEMORY_VIDEO = 0, MEMORY_SYSTEM = 1, MEMORY_ANY = 2 };
/// The surface capability bits of a placement code (video memory, system memory, either).
std::uint32_t PlacementCaps(std::int32_t placement);

}  // namespace media
