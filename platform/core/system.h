#pragma once
// Process services: the millisecond clock, sleeping, the current directory, the debugger
// output and files written for the user.
#include <cstdint>

namespace platform {

// Milliseconds from an arbitrary start, wrapping at 32 bits.
std::uint32_t TimeGetTime();
void Sleep(std::uint32_t ms);
// The current directory into buffer (size characters with the terminating zero): its length,
// or, when it does not fit, the size it needs (buffer left as it was), or 0 on failure.
std::uint32_t GetCurrentDirectoryA(std::uint32_t size, char* buffer);
// Developer messages: written to standard error (with a line end when the text has none), or
// handed to the hook when one is set; a null hook goes back to standard error. The headless
// backend sets one so that tests can read the messages.
void OutputDebugString(const char* text);
using DebugOutputHook = void (*)(const char* text);
void SetDebugOutputHook(DebugOutputHook hook);
// A file the program wrote for its user (a screenshot, a saved picture): handed to the hook when
// one is set (the browser backend offers the file as a download, since the page's files are not
// the user's); otherwise nothing happens, the file being where the user asked for it.
void FileWritten(const char* path);
using FileWrittenHook = void (*)(const char* path);
void SetFileWrittenHook(FileWrittenHook hook);

}  // namespace platform
