#pragma once
// A standard MIDI file from a tick on, as a file of its own: what the song has set up to that tick
// (tempo, programs, controllers, pitch bends) is sent at its start, the notes sounding at the tick
// start again there (those that ended before it are left out), and everything after moves
// earlier by the tick. Seeking and resuming a song
// start a new player on such an excerpt: FluidSynth's own seek and stop-and-play walk every synth
// channel in a table of 16, past its end with the shared synth's 128 channels.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

/// The excerpt of a file that IsStandardMidiFile accepts, from tick on (tracks that break off end
/// where they break).
std::vector<std::uint8_t> MidiExcerpt(const std::uint8_t* bytes, std::size_t size, std::uint64_t tick);

}  // namespace platform
