#pragma once
// Whether a sound or tune starts again when it ends.

namespace media {

/// Whether a sound or tune starts again when it ends.
enum class Loop {
    Once,     ///< plays to its end
    Forever,  ///< starts again at its end until stopped
};

}  // namespace media
