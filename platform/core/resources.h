#pragma once
// Pictures compiled into the program and found by name: the window icon and bitmap resources.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

inline constexpr int RT_BITMAP = 2;
inline constexpr int RT_ICON = 3;

struct Resource {
    std::string name;
    int type = RT_BITMAP;
    std::int32_t width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, top row first
};

// Adds or replaces the resource of that name and type.
void RegisterResource(Resource resource);
const Resource* FindResource(const char* name, int type);
void RemoveResource(const char* name, int type);
inline const Resource* LoadIcon(const char* name) { return FindResource(name, RT_ICON); }

}  // namespace platform
