#include "platform/pacing/pacing.h"

namespace {

constexpr int64_t SECOND_US = 1000000;
// A tick this much before its slot still runs it: display ticks jitter, and
// a 60 Hz display must not skip a frame because its tick came a little early.
constexpr int64_t EARLY_US = SECOND_US / FRAME_RATE / 4;
// Further behind than this (a stall, a busy machine), the schedule starts
// over rather than racing through the backlog.
constexpr int64_t MAX_LAG_US = 3 * SECOND_US / FRAME_RATE;

int64_t SlotTime(const FramePacer* p, int64_t slot) { return p->baseUs + slot * SECOND_US / FRAME_RATE; }

}  // namespace

void ResetPacer(FramePacer* pacer) { pacer->started = false; }

int FramesDue(FramePacer* pacer, int64_t nowUs) {
    if (!pacer->started) {
        pacer->started = true;
        pacer->baseUs = nowUs;
        pacer->slot = 0;
    }
    int due = 0;
    while (due < MAX_FRAMES_PER_TICK && nowUs + EARLY_US >= SlotTime(pacer, pacer->slot)) {
        ++due;
        ++pacer->slot;
    }
    if (nowUs - SlotTime(pacer, pacer->slot) > MAX_LAG_US) {
        pacer->baseUs = nowUs;
        pacer->slot = 1;
    }
    return due;
}

int64_t WaitBeforeFrame(FramePacer* pacer, int64_t nowUs) {
    if (FramesDue(pacer, nowUs) > 0) return 0;
    const int64_t wait = SlotTime(pacer, pacer->slot) - EARLY_US - nowUs;
    return wait > 0 ? wait : 1;
}
