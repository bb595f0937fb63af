#pragma once
// The mixer every backend shares: it adds whatever is playing (sound buffers, the music synth)
// into the output, signed 16-bit stereo at 44,100 Hz, clamping the sum. The output calls Mix with
// the audio host's lock held; the game's thread adds and removes inputs under the same lock.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

/// Something the mixer adds into the output.
class MixerInput {
public:
    virtual ~MixerInput() = default;
    /// Adds frames of stereo output (left, right interleaved, 16-bit scale) into accumulator.
    /// Returns false when the input has nothing more to play; the mixer then drops it.
    virtual bool MixInto(std::int32_t* accumulator, std::size_t frames) = 0;
};

/// The mixer of the shared output: adds every input's frames into it.
class AudioMixer {
public:
    /// Frames mixed in one pass; longer requests are mixed in passes of this size.
    static constexpr std::size_t kChunkFrames = 1024;

    /// The process's one mixer.
    static AudioMixer& Shared();

    /// Both under the audio lock. Adding an input twice keeps one entry.
    void Add(MixerInput* input);
    /// Removes an input; whether an input is added; how many are.
    /// @{
    void Remove(MixerInput* input);
    bool Contains(const MixerInput* input) const;
    std::size_t InputCount() const { return inputs_.size(); }
    /// @}

    /// Writes frames of output (interleaved left, right) into out.
    void Mix(std::int16_t* out, std::size_t frames);

    /// Every sound buffer made before this call reports itself lost until restored (the headless
    /// backend uses this to stand for a device that took the sound memory away).
    void LoseBuffers() { ++lossGeneration_; }
    /// How many times buffers were lost.
    std::uint32_t LossGeneration() const { return lossGeneration_; }

private:
    AudioMixer() { inputs_.reserve(64); }
    void MixChunk(std::int16_t* out, std::size_t frames);

    std::vector<MixerInput*> inputs_;
    std::array<std::int32_t, kChunkFrames * 2> accumulator_{};
    std::uint32_t lossGeneration_ = 0;
};

}  // namespace platform
