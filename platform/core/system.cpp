#include "platform/core/system.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/core/clock.h"

namespace platform {

namespace {
DebugOutputHook debugOutputHook = nullptr;
FileWrittenHook fileWrittenHook = nullptr;
}  // namespace

std::uint32_t TimeGetTime() { return CurrentClock().Now(); }

void Sleep(std::uint32_t ms) { CurrentClock().Sleep(ms); }

void SetDebugOutputHook(DebugOutputHook hook) { debugOutputHook = hook; }
void SetFileWrittenHook(FileWrittenHook hook) { fileWrittenHook = hook; }
void FileWritten(const char* path) {
    if (path && fileWrittenHook) fileWrittenHook(path);
}
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

void OutputDebugString(const char* text) {
    if (!text) return;
    if (debugOutputHook) {
        debugOutputHook(text);
        return;
    }
    std::fputs(text, stderr);
    if (!*text || text[std::strlen(text) - 1] != '\n') std::fputc('\n', stderr);
}

}  // namespace platform
