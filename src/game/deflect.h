// What a shot does to the deflector it meets, and the deflectors' slide.
#pragma once
#include <cstdint>

#include "game/playstate.h"

// The shot turns on the wedge's slanted face, or pushes the wedge (or the
// pair) one cell on when the cell beyond lets it.
void PushDeflector(PlayState& s, int32_t deflector, int32_t shot);
bool DeflectorsInterlock(int32_t a, int32_t b);
// Moves each of the level's sliding deflectors and stops it when it rests on a cell corner.
void StepDeflectors(PlayState& s, PlayReport* report);
int32_t FindDeflectorAt(const PlayState& s, int32_t cx, int32_t cy);
int32_t DeflectorOrientationAt(const PlayState& s, int32_t cx, int32_t cy);
