#pragma once
// FileReader: one open file, read whole by the picture loader. The handle is -1 while closed;
// the destructor closes it.
#include <cstdint>
#include <vector>

namespace media {

/// Access, sharing and creation codes for FileReader::Open (only reading existing files is done).
/// @{
inline constexpr std::uint32_t GENERIC_READ = 0x80000000;
inline constexpr std::uint32_t GENERIC_WRITE = 0x40000000;
inline constexpr std::uint32_t FILE_SHARE_READ = 0x1;
inline constexpr std::uint32_t CREATE_NEW = 1;
inline constexpr std::uint32_t CREATE_ALWAYS = 2;
inline constexpr std::uint32_t OPEN_EXISTING = 3;
inline constexpr std::uint32_t OPEN_ALWAYS = 4;
inline constexpr std::uint32_t TRUNCATE_EXISTING = 5;
/// @}

/// One file opened for reading whole (the picture loader's reader). Owns its handle; the
/// destructor closes it.
class FileReader {
public:
    FileReader() = default;
    virtual ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    /// Closes any open file, then opens name; 0 on success, -1 on failure. Only regular files are
    /// opened for reading (a directory or a pipe is not a picture and must not block the program).
    std::int32_t Open(const char* name, std::uint32_t access, std::uint32_t sharing, std::uint32_t creation);
    /// Open for reading an existing file: 0 or -1, as Open.
    std::int32_t OpenRead(const char* name) { return Open(name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING); }
    /// The file's whole size in bytes (0 when closed): 64 bits, so a huge file is never mistaken
    /// for a small one.
    std::uint64_t GetSize() const;
    /// Reads up to count bytes; the number read, 0 on failure. Short reads from the system are
    /// continued until count bytes or the end of the file.
    std::uint64_t Read(void* buffer, std::uint64_t count);
    /// Closes the file, if one is open.
    void Close();
    /// What ReadWhole found.
    enum class Whole {
        Read,       ///< bytes hold the whole file
        NotOpened,  ///< missing, not a regular file, or not readable
        TooLarge,   ///< larger than the caller's cap: nothing was read or allocated
        NoMemory,   ///< the buffer for the file could not be allocated
        ReadFailed, ///< the system's read failed or ended early
    };
    /// Opens name for reading and reads it whole into bytes (left empty on any failure). A file
    /// larger than maxBytes is refused by its size, before a buffer is allocated.
    Whole ReadWhole(const char* name, std::vector<std::uint8_t>& bytes, std::uint64_t maxBytes);
    /// Whether a file is open.
    bool IsOpen() const { return handle_ != -1; }

private:
    int handle_ = -1;
};

}  // namespace media
