#pragma once
// The headless audio output: nothing is played, the mixed output is kept for tests to read back.
// It advances with the virtual clock: whenever the mixer is locked or the output read, the frames
// for the milliseconds that passed since the last time (44.1 per millisecond) are mixed first, so
// a one-second sound stops "playing" after a second of virtual time. Tests reach it through
// AudioControls(): the captured output, the "no sound device" switch, injected failures of the
// audio operations, and buffer loss.
#include <array>
#include <cstdint>
#include <vector>

#include "../../audio/audio_host.h"

namespace platform::headless {

/// The headless audio output: mixed with the virtual clock, kept for tests to read back.
class HeadlessAudio final : public AudioHost {
public:
    // Test controls.
    /// Back to a fresh machine: a sound device present and heard, no faults, nothing captured, the
    /// clock taken from now. Users keep their output open.
    void Reset();
    /// With no device, opening the output fails, as on a machine without a sound card.
    void SetNoDevice(bool noDevice) { noDevice_ = noDevice; }
    /// Set-up as on a sound card: the music synth loads its SoundFont on a thread of its own
    /// (RunsInRealTime), while the output still advances with the virtual clock.
    void SetRealTime(bool realTime) { realTime_ = realTime; }
    /// Nobody listens (Heard() false): nothing is captured, and a music synth started afterwards
    /// renders one voice at a time; every song, sound and status keeps its timing.
    void SetUnheard(bool unheard) { unheard_ = unheard; }
    /// The audio switches of the fault switchboard (Faults()).
    void SetFault(AudioFault point, HRESULT result = E_FAIL);
    /// Whether the output is open, and by how many users.
    /// @{
    bool IsOpen() const { return users_ > 0; }
    int Users() const { return users_; }
    /// @}
    /// The output mixed since it opened or since ClearOutput, interleaved left and right, brought
    /// up to the clock first. Capture stops after kCaptureFrames; mixing goes on.
    const std::vector<std::int16_t>& Output();
    /// Forgets the output captured so far.
    void ClearOutput() { captured_.clear(); }
    /// Frames mixed since the output was last opened.
    std::uint64_t FramesMixed() const { return framesMixed_; }
    /// Every sound buffer alive now reports itself lost until restored.
    void LoseSoundBuffers();

    /// The most frames captured (two minutes); mixing goes on after.
    static constexpr std::size_t kCaptureFrames = std::size_t{kOutputRate} * 120;

    // AudioHost.
    bool Open() override;
    void Close() override;
    void Lock() override;
    void Unlock() override;
    bool RunsInRealTime() const override { return realTime_; }
    bool Heard() const override { return !unheard_; }
    HRESULT FaultAt(AudioFault point) override;

private:
    /// Mixes the frames that the clock's progress since the last call asks for.
    void CatchUp();

    bool noDevice_ = false;
    bool realTime_ = false;
    bool unheard_ = false;
    int users_ = 0;
    int lockDepth_ = 0;
    std::uint32_t lastTime_ = 0;       ///< clock reading at the last catch-up
    std::uint64_t elapsedMs_ = 0;      ///< milliseconds of output since it opened
    std::uint64_t framesMixed_ = 0;
    std::vector<std::int16_t> captured_;
    std::vector<std::int16_t> scratch_;
};

HeadlessAudio& AudioControls();

}  // namespace platform::headless
