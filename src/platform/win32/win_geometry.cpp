#include "platform/win32/win_geometry.h"

Rect PresentationRect(Rect r, int32_t screenWidth, int32_t screenHeight) {
    if (r.left < 0) r.left = 0;
    if (r.top < 0) r.top = 0;
    if (r.right > screenWidth) r.right = screenWidth;
    if (r.bottom > screenHeight) r.bottom = screenHeight;
    return r;
}
