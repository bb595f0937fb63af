#pragma once
// How one play of a sound sounds: its volume, its speed (which is its pitch) and its place
// between the left and right speakers, and whether it loops.
#include "loop.h"

namespace media {

/// One play of a sound: `sound.Play({.volume = 0.5f, .pitch = 1.5f, .pan = -1.0f})`.
struct PlayOptions {
    float volume = 1.0f;  ///< 0 silent .. 1 as recorded, times the sound's own volume (clamped)
    float pitch = 1.0f;   ///< playback speed: 0.5 an octave lower .. 2 an octave higher (clamped)
    float pan = 0.0f;     ///< -1 left .. 0 both sides at equal power (-3 dB each) .. 1 right (clamped)
    Loop loop = Loop::Once;  ///< once, or again from the start until stopped
};

}  // namespace media
