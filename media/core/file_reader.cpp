#include "media/core/file_reader.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace media {

namespace {

int OpenFlags(std::uint32_t access, std::uint32_t creation) {
    const bool reads = (access & GENERIC_READ) != 0, writes = (access & GENERIC_WRITE) != 0;
    int flags = O_CLOEXEC | (reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY);
    switch (creation) {
        case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
        case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
        case OPEN_ALWAYS: flags |= O_CREAT; break;
        case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
        default: break;
    }
    // Opening a pipe for reading would wait for a writer; the file type is checked right after.
    if (!writes) flags |= O_NONBLOCK;
    return flags;
}

}  // namespace

FileReader::~FileReader() { Close(); }

std::int32_t FileReader::Open(const char* name, std::uint32_t access, std::uint32_t, std::uint32_t creation) {
    Close();
    if (!name || !*name) return -1;
    const int fd = ::open(name, OpenFlags(access, creation), 0644);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    handle_ = fd;
    return 0;
}

std::uint64_t FileReader::GetSize() const {
    struct stat info {};
    if (handle_ == -1 || ::fstat(handle_, &info) != 0 || info.st_size < 0) return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

std::uint64_t FileReader::Read(void* buffer, std::uint64_t count) {
    if (handle_ == -1 || (!buffer && count)) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    std::uint64_t done = 0;
    while (done < count) {
        const std::uint64_t chunk = count - done < (1u << 30) ? count - done : (1u << 30);
        const ssize_t got = ::read(handle_, out + done, static_cast<std::size_t>(chunk));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return 0;
        if (got == 0) break;
        done += static_cast<std::uint64_t>(got);
    }
    return done;
}

void FileReader::Close() {
    if (handle_ != -1) ::close(handle_);
    handle_ = -1;
}

FileReader::Whole FileReader::ReadWhole(const char* name, std::vector<std::uint8_t>& bytes, std::uint64_t maxBytes) {
    bytes.clear();
    if (OpenRead(name) != 0) return Whole::NotOpened;
    const std::uint64_t size = GetSize();
    Whole result = Whole::Read;
    if (size > maxBytes) {
        result = Whole::TooLarge;
    } else {
        try {
            bytes.resize(static_cast<std::size_t>(size));
            if (Read(bytes.data(), size) != size) result = Whole::ReadFailed;
        } catch (const std::bad_alloc&) {
            result = Whole::NoMemory;
        }
    }
    Close();
    if (result != Whole::Read) std::vector<std::uint8_t>().swap(bytes);
    return result;
}

}  // namespace media
