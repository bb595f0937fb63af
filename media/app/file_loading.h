#pragma once
// How the front door loads a named file: the whole file read through FileReader (regular files
// only, so a FIFO or a device cannot block the program), then the kind's own from-memory loader;
// every failure names the kind and the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "media/app/status.h"
#include "media/core/file_reader.h"

namespace media {

// what: the kind in the messages ("sound", "tune"). fromMemory(bytes, size) returns a Status.
template <typename FromMemory>
Status LoadFileThrough(const char* path, const char* what, FromMemory fromMemory) {
    if (!path) return {ErrorCode::InvalidArgument, std::string("cannot load a ") + what + ": no file name (null)"};
    std::vector<std::uint8_t> bytes;
    if (!FileReader().ReadWhole(path, bytes))
        return {ErrorCode::NotFound, std::string("cannot load ") + what + " '" + path + "': no such file"};
    Status status = fromMemory(bytes.data(), bytes.size());
    if (!status) return {status.Code(), std::string(what) + " '" + path + "': " + status.Message()};
    return status;
}

}  // namespace media
