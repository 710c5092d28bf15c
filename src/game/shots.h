// A shot: what it meets ahead (a block, a deflector, a balloon) and its step.
// Firing one is FireShot (game/play.h).
#pragma once
#include <cstdint>

#include "game/play.h"

// One shot's step: what it meets decides, then it moves by the velocity it
// started the step with.
void UpdateShot(PlayState& s, int32_t slot, PlayReport* report);
bool ShotHitsBlock(const PlayState& s, int32_t slot);
int32_t FindDeflectorAhead(const PlayState& s, int32_t slot);
// Pops the live balloon on the shot's corner, if any, and returns its slot
// (or -1); popping the last one wins the level.
int32_t HitBalloon(PlayState& s, int32_t slot, PlayReport* report);
