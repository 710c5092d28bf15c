// Frame slots at 60 per second laid over a display's ticks (the desktop's
// frame clock, the browser's animation frames, Windows' vertical blank and
// its own wait): on a faster display some
// ticks run no frame, on a slower one a tick may run two, so the game keeps
// its speed everywhere.
#pragma once
#include <cstdint>

constexpr int64_t FRAME_RATE = 60;
constexpr int MAX_FRAMES_PER_TICK = 2;

struct FramePacer {
    bool started;
    int64_t baseUs;  // time of slot 0
    int64_t slot;    // the next slot to run
};

// Forget the schedule: after a pause the next tick runs a frame at once
// instead of catching up on the frames that were not run.
void ResetPacer(FramePacer* pacer);
// The number of frames to run at a tick of the frame clock (microseconds).
int FramesDue(FramePacer* pacer, int64_t nowUs);
// For a display without a frame clock, where the platform waits itself: 0
// when a frame may start now (its slot is then taken), else how long to
// wait before asking again (microseconds).
int64_t WaitBeforeFrame(FramePacer* pacer, int64_t nowUs);
