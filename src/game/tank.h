// The tank: the arrows that drive it along the border ring, its firing, and
// its sprite, which draws it where the live game says it stands.
#pragma once
#include <cstdint>

#include "game/game.h"

constexpr int32_t TANK_FIRE_SEQ_LEN = 9;

// Set by the window on every key release: the tank fires once per press.
extern uint8_t KeyReleased;

// On a cell corner the tank obeys the arrow held (the last of left, up,
// right and down that is down), read from the keyboard state.
void ReadTankArrows(Tank& t);
// The arrows along the tank's side move it; the arrows across it fire.
void DecideTank();
// Moves the tank one step, turns it to face the board, runs its firing and
// draws it.
void MoveTank();
// Fires from the tank's place, once per key release.
void FireShot(int32_t direction);
// Puts the tank at rest on the top-left corner (part of every level start).
void ResetTank();
