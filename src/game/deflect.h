// The shot step and what a shot does to the deflector it meets.
#pragma once
#include <cstdint>

#include "game/play.h"

// One shot's step: what it meets decides, then it moves by the velocity it
// started the step with.
void UpdateShot(PlayState& s, int32_t slot, PlayReport* report);
void PushDeflector(PlayState& s, int32_t deflector, int32_t shot);
bool DeflectorsInterlock(int32_t a, int32_t b);
// Moves each of the level's sliding deflectors and stops it when it rests on a cell corner.
void StepDeflectors(PlayState& s, PlayReport* report);
