#pragma once
// The lock bracket of the software blits: the source is locked, then the destination; both are
// unlocked in the same order when the bracket ends. When either lock fails nothing may be drawn,
// and a lock already taken is given back at once.
#include "media/display/pixel_surface.h"

namespace media {

class LockedPair {
public:
    LockedPair(PixelSurface& source, PixelSurface& dest) : source_(source), dest_(dest) {
        sourceLocked_ = source_.Lock() > 0;
        destLocked_ = sourceLocked_ && dest_.Lock() > 0;
        if (sourceLocked_ && !destLocked_) {
            source_.Unlock();
            sourceLocked_ = false;
        }
    }
    ~LockedPair() {
        if (!sourceLocked_) return;
        source_.Unlock();
        dest_.Unlock();
    }
    LockedPair(const LockedPair&) = delete;
    LockedPair& operator=(const LockedPair&) = delete;

    explicit operator bool() const { return sourceLocked_; }

private:
    PixelSurface& source_;
    PixelSurface& dest_;
    bool sourceLocked_ = false, destLocked_ = false;
};

}  // namespace media
