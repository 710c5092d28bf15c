#include "platform/clip/clip.h"

namespace {

// One axis: the edges a0..a1 into 0..limit, and b0..b1 moved by the same
// share of its length. In 64 bits: rectangles may lie far off.
void CutAxis(int64_t* a0, int64_t* a1, int64_t limit, int64_t* b0, int64_t* b1) {
    const int64_t aLength = *a1 - *a0, bLength = *b1 - *b0;
    if (aLength <= 0) return;
    // A copy moves by as much, exactly; a stretch's sides are bounded, so
    // the product stays inside 64 bits.
    auto share = [&](int64_t cut) { return aLength == bLength ? cut : cut * bLength / aLength; };
    if (*a0 < 0) {
        *b0 += share(-*a0);
        *a0 = 0;
    }
    if (*a1 > limit) {
        *b1 -= share(*a1 - limit);
        *a1 = limit;
    }
}

}  // namespace

bool ClipBlit(Rect* dst, int32_t dstWidth, int32_t dstHeight, Rect* src, int32_t srcWidth, int32_t srcHeight) {
    int64_t dl = dst->left, dt = dst->top, dr = dst->right, db = dst->bottom;
    int64_t sl = src->left, st = src->top, sr = src->right, sb = src->bottom;
    if (dr <= dl || db <= dt || sr <= sl || sb <= st) return false;
    const bool copy = dr - dl == sr - sl && db - dt == sb - st;
    if (!copy && (dr - dl > MAX_CLIPPED_STRETCH || db - dt > MAX_CLIPPED_STRETCH || sr - sl > MAX_CLIPPED_STRETCH ||
                  sb - st > MAX_CLIPPED_STRETCH))
        return false;
    CutAxis(&dl, &dr, dstWidth, &sl, &sr);
    CutAxis(&dt, &db, dstHeight, &st, &sb);
    CutAxis(&sl, &sr, srcWidth, &dl, &dr);
    CutAxis(&st, &sb, srcHeight, &dt, &db);
    if (dr <= dl || db <= dt || sr <= sl || sb <= st) return false;
    *dst = Rect{static_cast<int32_t>(dl), static_cast<int32_t>(dt), static_cast<int32_t>(dr), static_cast<int32_t>(db)};
    *src = Rect{static_cast<int32_t>(sl), static_cast<int32_t>(st), static_cast<int32_t>(sr), static_cast<int32_t>(sb)};
    return true;
}
