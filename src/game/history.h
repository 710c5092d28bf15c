// Undo and redo of shots, the shot count, and what the border ring shows
// while a hint or the lost notice is up.
#pragma once
#include <cstdint>

#include "game/play.h"

constexpr int DIK_U = 0x16, DIK_Y = 0x15, DIK_H = 0x23, DIK_P = 0x19;
constexpr int DIK_LCONTROL = 0x1D, DIK_RCONTROL = 0x9D;

// Shots fired in this level since its start (undo takes them back).
extern int32_t ShotsFired;
// Rises each time play comes to a new board at rest: after a shot, an undo,
// a redo or a level start. Whoever asks the solver watches it.
extern uint32_t RestSerial;

// Undo and redo asked for but not done yet: they wait until nothing moves.
constexpr int32_t ACTION_UNDO = 1, ACTION_REDO = 2;
void RequestHistoryAction(int32_t action);

// A shot is about to be fired from the tank's place: the board at rest
// before it is kept for undo. Shots fired while others fly belong to it.
void NoteShotFired();
// Empties both histories and the count (a level start and the editor).
void ClearHistory();
int32_t UndoDepth();
int32_t RedoDepth();
// Does the queued undos and redos once everything rests.
void SettleHistory();
// After the frame's step: raises RestSerial when play has just come to rest.
void WatchRest();

// H was pressed: whoever knows the next shot shows it.
extern uint8_t HintAsked;

// The hint's marker (the tank's entry cell, fired in `direction`), and the
// lost notice; set by whoever knows, drawn on the border ring after the field.
extern int32_t HintCellX, HintCellY, HintDirection;  // HintDirection 0 for no marker
extern uint8_t LostNoticeShown;
void DrawNotices();
