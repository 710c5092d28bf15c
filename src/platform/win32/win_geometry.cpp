#include "platform/win32/win_geometry.h"

Rect PresentationRect(Rect r, int32_t screenWidth, int32_t screenHeight) {
    if (r.left < 0) r.left = 0;
    if (r.top < 0) r.top = 0;
    if (r.right > screenWidth) r.right = screenWidth;
    if (r.bottom > screenHeight) r.bottom = screenHeight;
    return r;
}

// Moves one edge pair of dst inside 0..limit and the matching edges of src by
// the same share of its length.
static void ClipAxis(int32_t* d0, int32_t* d1, int32_t limit, int32_t* s0, int32_t* s1) {
    int64_t dLen = int64_t(*d1) - *d0, sLen = int64_t(*s1) - *s0;
    if (dLen <= 0) return;
    if (*d0 < 0) {
        *s0 += static_cast<int32_t>((-int64_t(*d0)) * sLen / dLen);
        *d0 = 0;
    }
    if (*d1 > limit) {
        *s1 -= static_cast<int32_t>((int64_t(*d1) - limit) * sLen / dLen);
        *d1 = limit;
    }
}

bool ClipBlit(Rect* dst, int32_t dstWidth, int32_t dstHeight, Rect* src, int32_t srcWidth, int32_t srcHeight) {
    if (dst->right <= dst->left || dst->bottom <= dst->top) return false;
    if (src->right <= src->left || src->bottom <= src->top) return false;
    ClipAxis(&dst->left, &dst->right, dstWidth, &src->left, &src->right);
    ClipAxis(&dst->top, &dst->bottom, dstHeight, &src->top, &src->bottom);
    ClipAxis(&src->left, &src->right, srcWidth, &dst->left, &dst->right);
    ClipAxis(&src->top, &src->bottom, srcHeight, &dst->top, &dst->bottom);
    return dst->right > dst->left && dst->bottom > dst->top && src->right > src->left && src->bottom > src->top;
}
