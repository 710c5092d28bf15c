// Pixel access on the seam's surfaces, for tests that draw.
#pragma once
#include <cstdint>

#include "platform/platform.h"

inline uint32_t& PixelAt(Surface* s, int32_t x, int32_t y) {
    int32_t pitch = 0;
    return PlatformLockSurface(s, &pitch)[y * (pitch / 4) + x];
}

inline void FillSurface(Surface* s, uint32_t v) {
    for (int32_t y = 0; y < PlatformSurfaceSize(s).height; ++y)
        for (int32_t x = 0; x < PlatformSurfaceSize(s).width; ++x) PixelAt(s, x, y) = v;
}

// How many pixels of the surface hold v.
inline int CountPixels(Surface* s, uint32_t v) {
    int n = 0;
    for (int32_t y = 0; y < PlatformSurfaceSize(s).height; ++y)
        for (int32_t x = 0; x < PlatformSurfaceSize(s).width; ++x) n += PixelAt(s, x, y) == v;
    return n;
}
