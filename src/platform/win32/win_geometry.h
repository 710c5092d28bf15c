// The client area's part on the screen, for the Windows front end (the
// field's place in it and a click's way back are the shared view's, blit
// clipping is platform/clip's): plain arithmetic, kept apart from the system
// calls so that it can be tested on its own.
#pragma once
#include <cstdint>

#include "platform/platform.h"

// The screen rectangle the field is placed in: the window's client area
// above the status bar in screen coordinates, clamped to the screen, so a
// window dragged partly off the screen shows the whole field, smaller, in
// its visible part.
Rect PresentationRect(Rect clientOnScreen, int32_t screenWidth, int32_t screenHeight);
