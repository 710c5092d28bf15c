#include "game/history.h"

#include "game/notices.h"
#include "game/play.h"
#include "game/session.h"
#include "lib/grow.h"

namespace {

// The live game as it is taken back to: what only shows for a moment is not
// part of the board, and the tank stands still with no orders.
Game Take() {
    Game g = Now.Live;
    ClearPlayEffects(g.play);
    g.tank.direction = 0;
    g.tank.stepX = g.tank.stepY = 0;
    g.tank.moving = g.tank.firing = 0;
    return g;
}

}  // namespace

void RequestHistoryAction(int32_t action) {
    if (Now.Steps.QueueLength < static_cast<int32_t>(sizeof Now.Steps.Queue / sizeof Now.Steps.Queue[0]))
        Now.Steps.Queue[Now.Steps.QueueLength++] = action;
}

void NoteShotFired() {
    // The second of two shots in flight together goes back with the first.
    if (!PlayInMotion(Now.Live.play)) {
        Now.Steps.Undo.push_back(Take());
        Now.Steps.Redo.clear();
    }
    ++Now.Live.shotsFired;
    Now.Notice.HintAsked = 0;
}

namespace {

// A level begins again: no shot fired, nothing queued, a new board at rest.
void StartAfresh() {
    Now.Steps.QueueLength = 0;
    Now.Live.shotsFired = 0;
    Now.Steps.WasInMotion = false;
    Now.Notice.HintAsked = 0;
    ++Now.Steps.RestSerial;
}

}  // namespace

void KeepForRestart() {
    // A shot in flight already kept the board before it; a board no shot
    // has touched has nothing to take back.
    if (Now.Live.shotsFired > 0 && !PlayInMotion(Now.Live.play) && TankAligned(Now.Live.tank)) {
        Now.Steps.Undo.push_back(Take());
        Now.Steps.Redo.clear();
    }
    StartAfresh();
}

void ClearHistory() {
    Now.Steps.Undo.clear();
    Now.Steps.Redo.clear();
    StartAfresh();
}

int32_t UndoDepth() { return static_cast<int32_t>(Now.Steps.Undo.size()); }
int32_t RedoDepth() { return static_cast<int32_t>(Now.Steps.Redo.size()); }

void WatchRest() {
    if (PlayInMotion(Now.Live.play)) {
        Now.Steps.WasInMotion = true;
    } else if (Now.Steps.WasInMotion) {
        Now.Steps.WasInMotion = false;
        ++Now.Steps.RestSerial;
    }
}

void SettleHistory() {
    if (PlayInMotion(Now.Live.play) || !TankAligned(Now.Live.tank)) return;
    // A won level is over: its board stays as it was won.
    if (Now.Live.play.won) Now.Steps.QueueLength = 0;
    for (int32_t i = 0; i < Now.Steps.QueueLength; ++i) {
        Grow<Game>& from = Now.Steps.Queue[i] == ACTION_UNDO ? Now.Steps.Undo : Now.Steps.Redo;
        Grow<Game>& to = Now.Steps.Queue[i] == ACTION_UNDO ? Now.Steps.Redo : Now.Steps.Undo;
        if (from.empty()) continue;
        to.push_back(Take());
        Now.Live = from.back();
        from.pop_back();
        Now.Notice.HintAsked = 0;
        ++Now.Steps.RestSerial;
    }
    Now.Steps.QueueLength = 0;
}

uint32_t RestSerial() { return Now.Steps.RestSerial; }
