#pragma once
// The music loader: finds files by name in its search directory and makes segments of the
// standard MIDI files among them.
#include <memory>
#include <string>

#include "music_segment.h"
#include "../core/result_codes.h"

namespace platform {

/// Finds standard MIDI files by name in a directory and makes segments of them.
class MusicLoader {
public:
    /// Names given to GetObject are taken relative to this directory. E_INVALIDARG for null or
    /// empty, E_FAIL when it is not a directory.
    HRESULT SetSearchDirectory(const char* directory);
    /// A segment of the standard MIDI file named fileName: E_INVALIDARG for a null or empty name,
    /// E_FAIL when it cannot be read, DSERR_BADFORMAT when it is not a standard MIDI file.
    HRESULT GetObject(const char* fileName, std::unique_ptr<MusicSegment>* segment);

private:
    std::string directory_;
};

/// A new loader.
HRESULT CreateMusicLoader(std::unique_ptr<MusicLoader>* loader);

}  // namespace platform
