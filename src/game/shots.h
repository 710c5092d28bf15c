// A shot: what it meets ahead (a block, a deflector, a balloon) and its step.
// Firing one is FireShot (game/play.h).
#pragma once
#include <cstdint>

#include "game/play.h"

constexpr int32_t DIR_LEFT = 1, DIR_UP = 2, DIR_RIGHT = 3, DIR_DOWN = 4;

// One cell's step in each direction, by direction code - 1.
inline constexpr int32_t DIR_STEP[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
// Direction code of a velocity along one axis, 0 for none or both.
int32_t DirectionOf(int32_t xv, int32_t yv);

// One shot's step: what it meets decides, then it moves by the velocity it
// started the step with.
void UpdateShot(PlayState& s, int32_t slot, PlayReport* report);
bool ShotHitsBlock(const PlayState& s, int32_t slot);
int32_t FindDeflectorAhead(const PlayState& s, int32_t slot);
// Pops the live balloon on the shot's corner, if any, and returns its slot
// (or -1); popping the last one wins the level.
int32_t HitBalloon(PlayState& s, int32_t slot, PlayReport* report);
