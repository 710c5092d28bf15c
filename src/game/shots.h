// The shot's collision queries, balloons and firing, over a play state.
#pragma once
#include <cstdint>

#include "game/play.h"

constexpr int32_t DIR_LEFT = 1, DIR_UP = 2, DIR_RIGHT = 3, DIR_DOWN = 4;

// Views onto the live game's state.
extern uint8_t (&ShotActive)[MAX_SHOTS];
extern int32_t (&ShotXV)[MAX_SHOTS];
extern int32_t (&ShotYV)[MAX_SHOTS];
extern uint8_t (&PopEffectPending)[MAX_BALLOONS];
extern uint8_t& ImpactEffectActive;

bool ShotHitsBlock(const PlayState& s, int32_t slot);
int32_t FindDeflectorAhead(const PlayState& s, int32_t slot);
int32_t FindDeflectorAt(const PlayState& s, int32_t cx, int32_t cy);
int32_t DeflectorOrientationAt(const PlayState& s, int32_t cx, int32_t cy);
// Pops the live balloon on the shot's corner, if any, and returns its slot
// (or -1); popping the last one wins the level.
int32_t HitBalloon(PlayState& s, int32_t slot, PlayReport* report);
// Code of cell (cx, cy); cells off the board count as CELL_NONE.
int32_t CellAt(const PlayState& s, int32_t cx, int32_t cy);
// The level's deflectors, within the table's room.
inline int32_t LevelDeflectors(const PlayState& s) {
    return s.deflectorCount < MAX_DEFLECTORS ? s.deflectorCount : MAX_DEFLECTORS;
}
// Appends an event to the step's report.
void AddPlayEvent(PlayReport* report, PlayEvent event);
