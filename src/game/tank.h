// The tank: the arrows that drive it along the border ring, its firing, and
// its sprite, which draws it where the live game says it stands.
#pragma once
#include <cstdint>

#include "game/game.h"

constexpr int32_t TANK_FIRE_SEQ_LEN = 9;

// The pointer's order: a border cell to drive to (-1 for none), and a shot.
struct PointerOrders {
    int32_t GoalX = -1, GoalY = -1;
    bool ShotAsked;
};

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
// Puts the tank at rest on the top-left corner (part of every level start);
// a drive or a shot asked for by the pointer ends with it.
void ResetTank();

// Pointer play. A tap in play, in field pixels: on a border cell the tank
// drives there; on the tank, or on the cell in front of it, it fires into
// the board. Anywhere else it does nothing.
void AimTank(int32_t x, int32_t y);
// On a cell corner, after the arrows are read: the pointer's order becomes
// the arrow held (the next step of the drive, or the arrow across the side),
// so the tank moves and fires exactly as by the keys. A key pressed since
// the last corner ends the order instead.
void SteerTank(Tank& t);
// Ends the pointer's drive or shot, as a key press does.
void DropPointerOrders();
// The cell the tank drives to, or false when it has none.
bool DriveGoal(int32_t* cx, int32_t* cy);
