// The back surface every frame is drawn into, its presentation, the frame
// pacing and the millisecond clock.
#pragma once
#include <cstdint>

#include "platform/platform.h"

extern Surface* PrimarySurface;  // stands for the window; only platforms draw there
extern Surface* BackSurface;
extern bool DisplayReady;  // the platform's display was made
extern uint32_t ClockStart;

// Whatever draws into the back surface marks the tiles it covers (a
// rectangle in field pixels; off the field is left out), so that the floor
// is put back and the field shown only where something was drawn.
void MarkDrawn(const Rect& r);
// Marks the whole field: after pixels were written directly.
void MarkAllDrawn();
// Blits `picture` (a field-sized surface) keyed onto the back surface in
// every tile drawn since the last call. A keyed blit of the same picture
// again changes nothing, so the back surface is then as if the whole picture
// had been blitted.
void PutBackWhereDrawn(Surface* picture);

int InitDisplay(int32_t width, int32_t height, int32_t bitsPerPixel);
int ShutdownDisplay();
int WaitVerticalBlank();
void PresentFrame();
uint32_t GetClock();
void StartClock();
uint32_t WaitClock(uint32_t ms);

// The one way any part of the game reports an error: a modal box with OK,
// and the same line on standard error.
void ShowError(const char* text);
// The same box; standard error also learns which file failed and why.
void ShowFileError(const char* text, const char* file, const char* reason);
