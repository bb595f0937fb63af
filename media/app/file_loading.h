#pragma once
// How the front door loads a named file: the whole file read through FileReader (regular files
// only, so a FIFO or a device cannot block the program; none larger than the kind's cap, so a huge
// file is refused by its size rather than exhausting memory), then the kind's own from-memory
// loader; every failure names the kind and the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "media/app/status.h"
#include "media/core/file_reader.h"

namespace media {

// what: the kind in the messages ("sound", "tune"); maxBytes: the largest file of that kind read.
// fromMemory(bytes, size) returns a Status.
template <typename FromMemory>
Status LoadFileThrough(const char* path, const char* what, std::uint64_t maxBytes, FromMemory fromMemory) {
    if (!path) return {ErrorCode::InvalidArgument, std::string("cannot load a ") + what + ": no file name (null)"};
    const std::string named = std::string("cannot load ") + what + " '" + path + "': ";
    std::vector<std::uint8_t> bytes;
    switch (FileReader().ReadWhole(path, bytes, maxBytes)) {
        case FileReader::Whole::Read: break;
        case FileReader::Whole::NotOpened: return {ErrorCode::NotFound, named + "no such file"};
        case FileReader::Whole::TooLarge:
            return {ErrorCode::InvalidArgument, named + "the file is larger than the " + std::to_string(maxBytes >> 20) + " MiB a " + what + " may have"};
        case FileReader::Whole::NoMemory: return {ErrorCode::Failed, named + "not enough memory to read the file"};
        case FileReader::Whole::ReadFailed: return {ErrorCode::Failed, named + "the file could not be read"};
    }
    Status status = fromMemory(bytes.data(), bytes.size());
    if (!status) return {status.Code(), std::string(what) + " '" + path + "': " + status.Message()};
    return status;
}

}  // namespace media
