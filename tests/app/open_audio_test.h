#pragma once
// A front-door window with its audio output open on the headless backend, and what that output
// plays as the virtual clock moves: the fixture of the front door's sound and music tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "media/app/zamelmedia.h"
#include "tests/audio/audio_test_support.h"

class OpenAudioTest : public AudioTest {
protected:
    void SetUp() override {
        AudioTest::SetUp();
        audio.Reset();
        ASSERT_TRUE(window.Open("audio", 64, 48));
        ASSERT_TRUE(output.Open(window));
    }
    void TearDown() override {
        output = media::Audio();
        window.Close();
        AudioTest::TearDown();
    }
    // Forgets what was heard so far: the next frame heard is the first after this.
    void StartListening() {
        audio.Output();
        audio.ClearOutput();
    }
    // What the output played over the next ms of the clock.
    const std::vector<std::int16_t>& Hear(std::uint32_t ms) {
        host.Advance(ms);
        return audio.Output();
    }

    media::Window window;
    media::Audio output;
};
