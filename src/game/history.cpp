#include "game/history.h"

#include "game/notices.h"
#include "game/play.h"
#include "lib/grow.h"

uint32_t RestSerial;

namespace {

// Unbounded within a level; it only grows when a shot is fired.
Grow<Game> Undo, Redo;
int32_t Queue[16];
int32_t QueueLength;
bool WasInMotion;

// The live game as it is taken back to: what only shows for a moment is not
// part of the board, and the tank stands still with no orders.
Game Take() {
    Game g = Live;
    ClearPlayEffects(g.play);
    g.tank.direction = 0;
    g.tank.stepX = g.tank.stepY = 0;
    g.tank.moving = g.tank.firing = 0;
    return g;
}

}  // namespace

void RequestHistoryAction(int32_t action) {
    if (QueueLength < static_cast<int32_t>(sizeof Queue / sizeof Queue[0])) Queue[QueueLength++] = action;
}

void NoteShotFired() {
    // The second of two shots in flight together goes back with the first.
    if (!PlayInMotion(Live.play)) {
        Undo.push_back(Take());
        Redo.clear();
    }
    ++Live.shotsFired;
    HintAsked = 0;
}

namespace {

// A level begins again: no shot fired, nothing queued, a new board at rest.
void StartAfresh() {
    QueueLength = 0;
    Live.shotsFired = 0;
    WasInMotion = false;
    HintAsked = 0;
    ++RestSerial;
}

}  // namespace

void KeepForRestart() {
    // A shot in flight already kept the board before it; a board no shot
    // has touched has nothing to take back.
    if (Live.shotsFired > 0 && !PlayInMotion(Live.play) && TankAligned(Live.tank)) {
        Undo.push_back(Take());
        Redo.clear();
    }
    StartAfresh();
}

void ClearHistory() {
    Undo.clear();
    Redo.clear();
    StartAfresh();
}

int32_t UndoDepth() { return static_cast<int32_t>(Undo.size()); }
int32_t RedoDepth() { return static_cast<int32_t>(Redo.size()); }

void WatchRest() {
    if (PlayInMotion(Live.play)) {
        WasInMotion = true;
    } else if (WasInMotion) {
        WasInMotion = false;
        ++RestSerial;
    }
}

void SettleHistory() {
    if (PlayInMotion(Live.play) || !TankAligned(Live.tank)) return;
    // A won level is over: its board stays as it was won.
    if (Live.play.won) QueueLength = 0;
    for (int32_t i = 0; i < QueueLength; ++i) {
        Grow<Game>& from = Queue[i] == ACTION_UNDO ? Undo : Redo;
        Grow<Game>& to = Queue[i] == ACTION_UNDO ? Redo : Undo;
        if (from.empty()) continue;
        to.push_back(Take());
        Live = from.back();
        from.pop_back();
        HintAsked = 0;
        ++RestSerial;
    }
    QueueLength = 0;
}
