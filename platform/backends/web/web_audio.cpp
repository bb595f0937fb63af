#include "platform/backends/web/web_audio.h"

#include <emscripten/emscripten.h>

#include <algorithm>

#include "platform/audio/audio_mixer.h"
#include "platform/core/system.h"

// The page's output (web/page.js sets Module.audioOutput once it has made the AudioWorklet node).

// Whether the page can play sound at all (Web Audio with AudioWorklet).
EM_JS(int, bz_audio_available, (), {
    return typeof AudioContext !== 'undefined' && typeof AudioWorkletNode !== 'undefined' ? 1 : 0;
});

// Frames the output has played since it started, or -1 while it cannot take sound (not made
// yet, or waiting for the player's first gesture).
EM_JS(double, bz_audio_played, (), {
    const output = Module.audioOutput;
    if (!output || output.context.state !== 'running') return -1;
    return Math.floor(output.context.currentTime * output.context.sampleRate);
});

// Hands frames of interleaved signed 16-bit stereo to the output.
EM_JS(void, bz_audio_post, (const std::int16_t* samples, int frames), {
    const output = Module.audioOutput;
    if (!output) return;
    const block = HEAP16.slice(samples >> 1, (samples >> 1) + frames * 2);
    output.node.port.postMessage(block, [block.buffer]);
});

namespace platform {
namespace web {

WebAudio& Audio() {
    // The mixer is made first, so that it outlives the output that pulls from it.
    AudioMixer::Shared();
    static WebAudio audio;
    return audio;
}

bool WebAudio::Open() {
    if (users_ > 0) {
        ++users_;
        return true;
    }
    if (!bz_audio_available()) {
        static bool reported = false;
        if (!reported) OutputDebugString("Audio: this browser has no Web Audio output, running silent\n");
        reported = true;
        return false;
    }
    users_ = 1;
    return true;
}

void WebAudio::Close() {
    if (users_ > 0) --users_;
}

void WebAudio::Feed() {
    if (users_ == 0 || lockDepth_ > 0) return;
    const double played = bz_audio_played();
    if (played < 0) return;
    const auto frames = static_cast<std::size_t>(feed_.FramesToRender(static_cast<std::int64_t>(played)));
    if (frames == 0) return;
    // Mixed a chunk at a time, handed over in one message: each costs the page about the same
    // whatever its size. The block keeps its largest size, so turns do not allocate.
    block_.resize(frames * kOutputChannels);
    for (std::size_t done = 0; done < frames; done += AudioMixer::kChunkFrames)
        AudioMixer::Shared().Mix(block_.data() + done * kOutputChannels, std::min(frames - done, AudioMixer::kChunkFrames));
    bz_audio_post(block_.data(), static_cast<int>(frames));
}

}  // namespace web
}  // namespace platform

// The page's output asks for more when it runs low: the same top-up as a turn of the game's loop.
extern "C" EMSCRIPTEN_KEEPALIVE void bodo_zamel_feed_audio() { platform::web::Audio().Feed(); }
