#pragma once
// A crossfade that involves a MIDI tune: the outgoing tune fades out over the first half, stops,
// and the incoming one starts silent and fades in over the second half. The output has one
// synthesiser performance, so two MIDI tunes cannot overlap; a MIDI tune's volume is a channel
// controller, so the fade is stepped once a frame by the Audio's frame task (an Ogg tune on
// either side fades sample by sample in the mixer). It names the tunes by their segment or
// stream, which keep their addresses when a Tune moves; unloading either ends the fade.
#include <cstdint>

#include "media/app/audio.h"

namespace platform {
class MusicSegment;
class VorbisStream;
}  // namespace platform

namespace media {

/// One side of a fade: a MIDI segment or an Ogg stream, and the volume it fades from or to.
struct FadeSide {
    platform::MusicSegment* midi = nullptr;
    platform::VorbisStream* stream = nullptr;
    float volume = 1.0f;
    /// Whether this side is the tune named by the segment or stream.
    bool Names(const void* tune) const { return tune && (tune == midi || tune == stream); }
};

/// A fade out, then in, stepped by the frame loop.
class TuneFade {
public:
    /// Starts fading out now (time in the platform clock's milliseconds) over halfMs.
    TuneFade(FadeSide out, FadeSide in, bool loopIn, std::uint32_t now, std::uint32_t halfMs);
    /// Moves the fade on to now; false once it is over. state: the Audio's, whose current tune
    /// becomes the incoming one when it starts.
    bool Step(std::uint32_t now, Audio::State& state);
    /// Whether either side is the tune named.
    bool Involves(const void* tune) const { return out_.Names(tune) || in_.Names(tune); }

private:
    FadeSide out_, in_;
    bool loopIn_;
    std::uint32_t start_, halfMs_;
    bool inStarted_ = false;
};

}  // namespace media
