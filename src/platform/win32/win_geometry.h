// Presentation geometry and blit clipping of the Windows front end: plain
// arithmetic, kept apart from the system calls so that it can be
// tested on its own.
#pragma once
#include <cstdint>

#include "platform/platform.h"

// The screen rectangle the field is stretched into: the window's client area
// above the status bar in screen coordinates, clamped to the screen, so a
// window dragged partly off the screen shows the whole field squeezed into
// its visible part.
Rect PresentationRect(Rect clientOnScreen, int32_t screenWidth, int32_t screenHeight);

// Maps a point in screen coordinates through the inverse of the presentation
// rectangle to field coordinates 0..fieldSize-1. Returns false when the
// rectangle is empty (nothing is shown, so nothing can be clicked).
bool ScreenToField(Rect presentation, int32_t x, int32_t y, int32_t fieldSize, int32_t* fieldX, int32_t* fieldY);

// Clips a blit to both surfaces, moving the other rectangle's edges in step
// (in proportion when the blit stretches). Returns false when nothing is left
// to draw.
bool ClipBlit(Rect* dst, int32_t dstWidth, int32_t dstHeight, Rect* src, int32_t srcWidth, int32_t srcHeight);
