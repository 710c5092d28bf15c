// The shot step and what a shot does to the deflector it meets.
#pragma once
#include <cstdint>

void UpdateShot(int32_t slot);
void PushDeflector(int32_t deflector, int32_t shot);
bool DeflectorsInterlock(int32_t a, int32_t b);
// The frame's deflector step: move each of the level's deflectors, draw it,
// and stop it when it rests on a cell corner.
void StepDeflectors(bool draw);
// True while any shot flies or any deflector slides.
bool PlayInMotion();
