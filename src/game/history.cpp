#include "game/history.h"

#include "game/notices.h"
#include "game/play.h"
#include "lib/grow.h"

namespace {

// Undo and redo, one value: the taken-back games (unbounded within a level;
// they only grow when a shot is fired) and the steps asked for.
struct History {
    Grow<Game> Undo, Redo;
    int32_t Queue[16];
    int32_t QueueLength;
    bool WasInMotion;
    uint32_t RestSerial;
};
History Steps;

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
    if (Steps.QueueLength < static_cast<int32_t>(sizeof Steps.Queue / sizeof Steps.Queue[0]))
        Steps.Queue[Steps.QueueLength++] = action;
}

void NoteShotFired() {
    // The second of two shots in flight together goes back with the first.
    if (!PlayInMotion(Live.play)) {
        Steps.Undo.push_back(Take());
        Steps.Redo.clear();
    }
    ++Live.shotsFired;
    Notice.HintAsked = 0;
}

namespace {

// A level begins again: no shot fired, nothing queued, a new board at rest.
void StartAfresh() {
    Steps.QueueLength = 0;
    Live.shotsFired = 0;
    Steps.WasInMotion = false;
    Notice.HintAsked = 0;
    ++Steps.RestSerial;
}

}  // namespace

void KeepForRestart() {
    // A shot in flight already kept the board before it; a board no shot
    // has touched has nothing to take back.
    if (Live.shotsFired > 0 && !PlayInMotion(Live.play) && TankAligned(Live.tank)) {
        Steps.Undo.push_back(Take());
        Steps.Redo.clear();
    }
    StartAfresh();
}

void ClearHistory() {
    Steps.Undo.clear();
    Steps.Redo.clear();
    StartAfresh();
}

int32_t UndoDepth() { return static_cast<int32_t>(Steps.Undo.size()); }
int32_t RedoDepth() { return static_cast<int32_t>(Steps.Redo.size()); }

void WatchRest() {
    if (PlayInMotion(Live.play)) {
        Steps.WasInMotion = true;
    } else if (Steps.WasInMotion) {
        Steps.WasInMotion = false;
        ++Steps.RestSerial;
    }
}

void SettleHistory() {
    if (PlayInMotion(Live.play) || !TankAligned(Live.tank)) return;
    // A won level is over: its board stays as it was won.
    if (Live.play.won) Steps.QueueLength = 0;
    for (int32_t i = 0; i < Steps.QueueLength; ++i) {
        Grow<Game>& from = Steps.Queue[i] == ACTION_UNDO ? Steps.Undo : Steps.Redo;
        Grow<Game>& to = Steps.Queue[i] == ACTION_UNDO ? Steps.Redo : Steps.Undo;
        if (from.empty()) continue;
        to.push_back(Take());
        Live = from.back();
        from.pop_back();
        Notice.HintAsked = 0;
        ++Steps.RestSerial;
    }
    Steps.QueueLength = 0;
}

uint32_t RestSerial() { return Steps.RestSerial; }
