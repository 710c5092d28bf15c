// Undo and redo of shots: two lists of the live game's value at rest.
#pragma once
#include <cstdint>

#include "game/game.h"
#include "lib/grow.h"

// Undo and redo, one value: the taken-back games (unbounded within a level;
// they only grow when a shot is fired) and the steps asked for.
struct History {
    Grow<Game> Undo, Redo;
    int32_t Queue[16];
    int32_t QueueLength;
    bool WasInMotion;
    uint32_t RestSerial;
};

// Rises each time play comes to a new board at rest: after a shot, an undo,
// a redo or a level start. Whoever asks the solver watches it.
uint32_t RestSerial();

// Undo and redo asked for but not done yet: they wait until nothing moves.
constexpr int32_t ACTION_UNDO = 1, ACTION_REDO = 2;
void RequestHistoryAction(int32_t action);

// A shot is about to be fired from the tank's place: the game at rest
// before it is kept for undo. Shots fired while others fly belong to it.
void NoteShotFired();
// R is about to start the level afresh: the game before it is kept for undo
// (once, however long R is held), and the count starts again.
void KeepForRestart();
// Empties both histories and the count (a level start and the editor).
void ClearHistory();
int32_t UndoDepth();
int32_t RedoDepth();
// Does the queued undos and redos once everything rests.
void SettleHistory();
// After the frame's step: raises RestSerial when play has just come to rest.
void WatchRest();
