#pragma once
// Touch cases run on every backend with touch: each case puts fingers down, moves and lifts them
// frame by frame through a driver (scripted fingers on the headless backend, SDL's finger events
// on the real one) on a 64 x 48 window shown at its own size, and lists the events each frame
// must give.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "media/app/event.h"

namespace touch_cases {

// What a driver does with a finger before a frame, at a pixel of the client area.
struct Step {
    enum Kind { Down, Move, Up } kind;
    std::int64_t finger = 0;
    std::int32_t x = 0, y = 0;
};

// One event a frame must give, in order.
struct Expected {
    media::EventType type;
    std::int64_t finger = 0;
    std::int32_t x = 0, y = 0, dx = 0, dy = 0;
};

struct Frame {
    std::vector<Step> steps;
    std::vector<Expected> events;
};

struct Case {
    const char* name;
    std::vector<Frame> frames;
};

using media::EventType;
inline Step Down(std::int64_t f, std::int32_t x, std::int32_t y) { return {Step::Down, f, x, y}; }
inline Step Move(std::int64_t f, std::int32_t x, std::int32_t y) { return {Step::Move, f, x, y}; }
inline Step Up(std::int64_t f, std::int32_t x, std::int32_t y) { return {Step::Up, f, x, y}; }
inline Expected Ev(EventType type, std::int64_t f, std::int32_t x, std::int32_t y, std::int32_t dx = 0, std::int32_t dy = 0) {
    return {type, f, x, y, dx, dy};
}

inline const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"TapGivesDownThenUp",
         {{{Down(3, 10, 20)}, {Ev(EventType::TouchDown, 3, 10, 20)}},
          {{}, {}},
          {{Up(3, 10, 20)}, {Ev(EventType::TouchUp, 3, 10, 20)}}}},
        {"MovesOfOneFrameJoinWithTheirChange",
         {{{Down(1, 5, 5)}, {Ev(EventType::TouchDown, 1, 5, 5)}},
          {{Move(1, 8, 6), Move(1, 12, 9)}, {Ev(EventType::TouchMove, 1, 12, 9, 7, 4)}},
          {{Move(1, 2, 40)}, {Ev(EventType::TouchMove, 1, 2, 40, -10, 31)}},
          {{Up(1, 2, 40)}, {Ev(EventType::TouchUp, 1, 2, 40)}}}},
        {"TwoFingersKeepTheirIds",
         // One finger holds; the other taps and moves elsewhere: neither's moves join the other's.
         {{{Down(1, 60, 40)}, {Ev(EventType::TouchDown, 1, 60, 40)}},
          {{Down(2, 4, 4), Move(2, 6, 4), Move(1, 61, 40)},
           {Ev(EventType::TouchDown, 2, 4, 4), Ev(EventType::TouchMove, 2, 6, 4, 2, 0), Ev(EventType::TouchMove, 1, 61, 40, 1, 0)}},
          {{Up(2, 6, 4)}, {Ev(EventType::TouchUp, 2, 6, 4)}},
          {{Move(1, 63, 47)}, {Ev(EventType::TouchMove, 1, 63, 47, 2, 7)}}}},
    };
    return cases;
}

// Checks one event a frame gave against the one the case lists.
inline void ExpectEvent(const media::Event& e, const Expected& want, int frame, std::size_t i) {
    EXPECT_EQ(e.type, want.type) << "frame " << frame << " event " << i;
    EXPECT_EQ(e.touch, want.finger) << "frame " << frame << " event " << i;
    EXPECT_EQ(e.x, want.x) << "frame " << frame << " event " << i;
    EXPECT_EQ(e.y, want.y) << "frame " << frame << " event " << i;
    EXPECT_EQ(e.dx, want.dx) << "frame " << frame << " event " << i;
    EXPECT_EQ(e.dy, want.dy) << "frame " << frame << " event " << i;
}

}  // namespace touch_cases
