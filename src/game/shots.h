// The shot pool, the collision queries of the shot step, balloons and the win.
#pragma once
#include <cstdint>

#include "game/sprites.h"

constexpr int32_t DIR_LEFT = 1, DIR_UP = 2, DIR_RIGHT = 3, DIR_DOWN = 4;

extern uint8_t ShotActive[MAX_SHOTS];
extern int32_t ShotXV[MAX_SHOTS];
extern int32_t ShotYV[MAX_SHOTS];
extern uint8_t KeyReleased;
extern uint8_t ShotDrawEnabled;
extern uint8_t PopEffectPending[MAX_BALLOONS];
extern uint8_t ImpactEffectActive;

void FireShot(int32_t direction);
bool ShotHitsBlock(int32_t slot);
int32_t FindDeflectorAhead(int32_t slot);
int32_t FindDeflectorAt(int32_t cx, int32_t cy);
int32_t DeflectorOrientationAt(int32_t cx, int32_t cy);
bool HitBalloon(int32_t slot);
int32_t FindBalloonAtShot(int32_t slot);
void DrawBalloonPop(int32_t balloon);
// Code of cell (cx, cy); cells off the board count as CELL_NONE.
int32_t CellAt(int32_t cx, int32_t cy);
// Ends every shot, pending pop and impact, and every slide: a level starts at rest.
void ClearPlayEffects();
