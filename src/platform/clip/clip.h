// A blit's rectangles cut to what both surfaces hold, for every back end:
// the software blitter clips its copies with it, and Windows its blits
// before DirectDraw, which refuses rectangles that leave a surface.
#pragma once
#include <cstdint>

#include "platform/platform.h"

// Cuts dst to its surface and src to its own, moving the other rectangle's
// edges in step: by as much for a copy, by the same share of its length for
// a stretch. False when nothing is left to draw, and for empty or inverted
// rectangles and stretches of sides past MAX_CLIPPED_STRETCH.
constexpr int64_t MAX_CLIPPED_STRETCH = int64_t{1} << 24;
bool ClipBlit(Rect* dst, int32_t dstWidth, int32_t dstHeight, Rect* src, int32_t srcWidth, int32_t srcHeight);
