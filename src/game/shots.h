// A shot: firing it, what it meets ahead (a block, a deflector, a balloon)
// and its step.
#pragma once
#include <cstdint>

#include "game/playstate.h"

// Puts a shot in a free slot (or the oldest, slot 0, when all are busy) at
// (x, y), flying in `direction`; an unknown direction fires nothing.
void FireShot(PlayState& s, int32_t direction, int32_t x, int32_t y);
// One shot's step: what it meets decides, then it moves by the velocity it
// started the step with.
void UpdateShot(PlayState& s, int32_t slot, PlayReport* report);
bool ShotHitsBlock(const PlayState& s, int32_t slot);
int32_t FindDeflectorAhead(const PlayState& s, int32_t slot);
// Pops the live balloon on the shot's corner, if any, and returns its slot
// (or -1); popping the last one wins the level.
int32_t HitBalloon(PlayState& s, int32_t slot, PlayReport* report);
