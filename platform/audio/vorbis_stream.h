#pragma once
// An Ogg Vorbis tune streamed into the shared mixer: the decoder runs where the mixer runs (the
// output's thread on the desktop, the frame in the browser, which mixes once a frame), one piece
// of kPieceFrames at a time, so only a piece of samples is ever held whatever the tune's length.
// Played at the output's rate by linear interpolation (a 44.1 kHz tune passes sample for sample,
// added a run at a time),
// paused and resumed, moved to any frame, looped between two points, and faded to a gain over a
// time (a crossfade is one stream fading out while another fades in).
// The mixer calls MixInto with the audio lock held; every other call takes that lock, so the
// decoder and the position are only ever touched by one thread at a time.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "audio_mixer.h"
#include "vorbis_decoder.h"

namespace platform {

/// A Vorbis tune played into the shared mixer, decoded a piece at a time.
class VorbisStream final : public MixerInput {
public:
    /// Frames decoded at a time.
    static constexpr std::size_t kPieceFrames = 4096;

    explicit VorbisStream(std::unique_ptr<VorbisDecoder> decoder);
    ~VorbisStream() override;
    VorbisStream(const VorbisStream&) = delete;
    VorbisStream& operator=(const VorbisStream&) = delete;

    /// The tune's rate and length, fixed at construction (no lock needed).
    /// @{
    std::uint32_t Rate() const { return rate_; }
    std::uint64_t Frames() const { return frames_; }
    /// @}

    /// Starts from the first frame at a gain; a looping stream goes back to the loop's start at
    /// the loop's end, one played once stops at the tune's end.
    void Play(bool looping, float gain);
    /// Stops; the next Play starts from the beginning.
    void Stop();
    /// Holds the stream where it is, and goes on from there.
    /// @{
    void Pause();
    void Resume();
    /// @}
    /// Playing: started, not stopped, paused or at its end.
    bool IsPlaying() const;
    bool IsPaused() const;
    /// Moves to a frame (clamped to the tune), playing or not; false when the decoder cannot.
    bool Seek(std::uint64_t frame);
    /// The frame heard next.
    std::uint64_t Position() const;
    /// The frames a looping stream repeats: [start, end), clamped to the tune, end after start.
    void SetLoop(std::uint64_t start, std::uint64_t end);
    /// The gain now, and a linear move to target over frames of output (0: at once); with
    /// stopAtEnd the stream stops when it gets there.
    /// @{
    void SetGain(float gain);
    void FadeTo(float target, std::uint64_t frames, bool stopAtEnd);
    float Gain() const;
    /// @}
    /// Why the decoder stopped short, if it did (a file damaged after it was opened).
    std::string Error() const;

    /// MixerInput: decodes and adds frames; false once stopped or ended.
    bool MixInto(std::int32_t* accumulator, std::size_t frames) override;

private:
    // All with the audio lock held.
    void Restart(std::uint64_t frame);
    bool Pull(std::array<float, 2>& frame, std::uint64_t& index);
    bool Refill();
    bool MixDirect(std::int32_t* out, std::size_t frames);
    template <int Channels>
    static void AddRun(const std::int16_t* in, std::int32_t* out, std::size_t frames, float gain);

    std::unique_ptr<VorbisDecoder> decoder_;
    const std::uint32_t rate_;
    const std::uint16_t channels_;
    const std::uint64_t frames_;
    const std::uint64_t step_;  ///< source frames per output frame, 0.32 fixed point over 1

    std::array<std::int16_t, kPieceFrames * 2> piece_{};
    std::size_t pieceFrames_ = 0, pieceAt_ = 0;
    std::uint64_t decodedTo_ = 0;  ///< the frame after the last one decoded
    std::array<float, 2> current_{}, next_{};
    bool haveNext_ = false;
    std::uint64_t currentFrame_ = 0, nextFrame_ = 0;  ///< the source frames of current_ and next_
    std::uint64_t phase_ = 0;         ///< between current_ and next_, 0.32 fixed point

    bool playing_ = false, paused_ = false, looping_ = false, ended_ = false;
    std::uint64_t loopStart_ = 0, loopEnd_ = 0;
    float gain_ = 1.0f, fadeTarget_ = 1.0f, fadeStep_ = 0.0f;
    std::uint64_t fadeLeft_ = 0;
    bool stopAtFadeEnd_ = false;
};

}  // namespace platform
