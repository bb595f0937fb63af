#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/system.h"

namespace platform {

std::uint32_t GetCurrentDirectoryA(std::uint32_t size, char* buffer) {
    // getcwd needs room for the whole path; grow until it fits, then hand out what the caller's
    // buffer can take.
    std::vector<char> path(256);
    while (!getcwd(path.data(), path.size())) {
        if (errno != ERANGE || path.size() >= (1u << 20)) return 0;
        path.resize(path.size() * 2);
    }
    const std::size_t length = std::strlen(path.data());
    if (!buffer || length + 1 > size) return static_cast<std::uint32_t>(length + 1);
    std::memcpy(buffer, path.data(), length + 1);
    return static_cast<std::uint32_t>(length);
}

}  // namespace platform
