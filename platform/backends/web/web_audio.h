#pragma once
// The web backend's audio output: the page's AudioWorklet node (web/audio_output.js), fed from
// the shared mixer on the page's one thread. The browser lets sound start only after the player
// pressed a key or clicked, so until then the output takes nothing and the mixer stands still;
// from then on every turn of the game tops the node up (audio_feed.h), and so does every request
// of the node when it runs low while the game waits (a hidden tab's timers are slowed down, and
// the music plays on while the game is inactive). The lock has no other
// thread to hold off and only counts. A page without Web Audio runs silent.
#include <cstdint>
#include <vector>

#include "platform/audio/audio_host.h"
#include "platform/backends/web/audio_feed.h"

namespace platform::web {

class WebAudio final : public AudioHost {
public:
    WebAudio() = default;
    WebAudio(const WebAudio&) = delete;
    WebAudio& operator=(const WebAudio&) = delete;

    bool Open() override;
    void Close() override;
    void Lock() override { ++lockDepth_; }
    void Unlock() override {
        if (lockDepth_ > 0) --lockDepth_;
    }
    // The output does play in real time, but the page has one thread: slow set-up (the music's
    // SoundFont) is done before the call that asked for it returns.
    bool RunsInRealTime() const override { return false; }

    // Mixes what the output needs now and hands it over; nothing while closed, before the
    // player's first gesture, or while the game's thread holds the lock.
    void Feed();

private:
    int users_ = 0;
    int lockDepth_ = 0;
    AudioFeed feed_;
    std::vector<std::int16_t> block_;
};

// The backend's one WebAudio, made on first use.
WebAudio& Audio();

}  // namespace platform::web
