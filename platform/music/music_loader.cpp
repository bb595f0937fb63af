#include "platform/music/music_loader.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <vector>

namespace platform {

namespace {

// Larger than any tune: a file beyond it is refused before it is read.
constexpr long kMaxMidiBytes = 64L * 1024 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool ReadFile(const std::string& path, std::vector<std::uint8_t>* bytes) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    const long size = std::ftell(file.get());
    if (size < 0 || size > kMaxMidiBytes || std::fseek(file.get(), 0, SEEK_SET) != 0) return false;
    try {
        bytes->resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return std::fread(bytes->data(), 1, bytes->size(), file.get()) == bytes->size() && !std::ferror(file.get());
}

}  // namespace

HRESULT CreateMusicLoader(std::unique_ptr<MusicLoader>* loader) {
    if (!loader) return E_INVALIDARG;
    loader->reset(new (std::nothrow) MusicLoader);
    return *loader ? S_OK : E_OUTOFMEMORY;
}

HRESULT MusicLoader::SetSearchDirectory(const char* directory) {
    if (!directory || !*directory) return E_INVALIDARG;
    std::error_code error;
    if (!std::filesystem::is_directory(directory, error)) return E_FAIL;
    directory_ = directory;
    return S_OK;
}

HRESULT MusicLoader::GetObject(const char* fileName, std::unique_ptr<MusicSegment>* segment) {
    if (!segment) return E_INVALIDARG;
    segment->reset();
    if (!fileName || !*fileName) return E_INVALIDARG;
    const std::string path = directory_.empty() ? std::string(fileName) : directory_ + "/" + fileName;
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(path, &bytes)) return E_FAIL;
    if (!IsStandardMidiFile(bytes.data(), bytes.size())) return DSERR_BADFORMAT;
    segment->reset(new (std::nothrow) MusicSegment(std::move(bytes)));
    return *segment ? S_OK : E_OUTOFMEMORY;
}

}  // namespace platform
