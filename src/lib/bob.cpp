// BOB sprites: frames, animation, movement and drawing over the seam's
// surfaces.
#include "lib/bob.h"

#include <cstddef>
#include <cstdint>
#include <new>

#include "lib/display.h"

namespace {

bool FrameIndexValid(const BOB* bob, int32_t frame) {
    return frame >= 0 && frame < BOB_FRAME_SLOTS && frame < bob->numFrames;
}

int32_t Saturate(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v); }

void ClearSurface(Surface* surface) {
    int32_t pitch = 0;
    uint32_t* p = PlatformLockSurface(surface, &pitch);
    if (!p) return;
    const SurfaceSize size = PlatformSurfaceSize(surface);
    const int32_t w = size.width, h = size.height;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) p[static_cast<int64_t>(y) * (pitch / 4) + x] = 0;
    PlatformUnlockSurface(surface);
}

}  // namespace

int CreateBob(BOB* bob, int32_t x, int32_t y, int32_t width, int32_t height, int32_t numFrames, uint32_t attr,
              uint32_t /*extraCaps: video or system memory means nothing here*/) {
    if (!bob) return 0;
    bob->attr = attr;
    bob->animState = bob->currFrame = bob->currAnimation = 0;
    bob->animCounter = bob->animIndex = bob->animSpeed = 0;
    bob->xv = bob->yv = 0;
    bob->numFrames = numFrames;
    bob->x = x;
    bob->y = y;
    bob->width = width;
    bob->height = height;
    for (Surface*& f : bob->frames) f = nullptr;
    for (int32_t*& a : bob->animations) a = nullptr;
    // Frame surfaces are a multiple of 8 pixels wide.
    bob->widthFill = (width % 8 == 0) ? 0 : 8 - (width % 8);
    if (numFrames < 0 || numFrames > BOB_FRAME_SLOTS || width <= 0) return 0;
    for (int32_t i = 0; i < numFrames; ++i) {
        bob->frames[i] = PlatformCreateSurface(width + bob->widthFill, height);
        if (!bob->frames[i]) return 0;
    }
    return 1;
}

int LoadBobFrame(BOB* bob, const BitmapFile* bitmap, int32_t frame, int32_t cx, int32_t cy, int32_t mode) {
    if (!bob || !FrameIndexValid(bob, frame) || !bob->frames[frame]) return 0;
    Surface* surface = bob->frames[frame];
    // Cell mode: a grid of cells with a one-pixel line before each; any other
    // mode takes cx and cy as the pixel position of the top-left corner.
    int64_t col = cx, row = cy;
    if (mode == 0) {
        col = (static_cast<int64_t>(bob->width) + 1) * cx + 1;
        row = (static_cast<int64_t>(bob->height) + 1) * cy + 1;
    }
    const bool inside = bitmap && bitmap->pixels && bitmap->infoHeader.biWidth > 0 && bitmap->infoHeader.biHeight > 0 &&
                        col >= 0 && row >= 0 && col + bob->width <= bitmap->infoHeader.biWidth &&
                        row + bob->height <= bitmap->infoHeader.biHeight;
    if (!inside) {
        // A missing sheet or a cell off its edge leaves an empty picture
        // rather than reading outside the pixels.
        ClearSurface(surface);
        return 0;
    }
    int32_t pitch = 0;
    uint32_t* dst = PlatformLockSurface(surface, &pitch);
    if (!dst) return 0;
    const int64_t sheetRow = static_cast<int64_t>(bitmap->infoHeader.biWidth) * 3;
    const uint8_t* src = bitmap->pixels + row * sheetRow + col * 3;
    const SurfaceSize size = PlatformSurfaceSize(surface);
    const int32_t h = bob->height < size.height ? bob->height : size.height;
    const int32_t w = bob->width < size.width ? bob->width : size.width;
    for (int32_t r = 0; r < h; ++r) {
        for (int32_t c = 0; c < w; ++c) {
            const uint8_t* p = src + c * 3;
            dst[c] = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
        }
        dst += pitch / 4;
        src += sheetRow;
    }
    PlatformUnlockSurface(surface);
    return 1;
}

int DestroyBob(BOB* bob) {
    if (!bob) return 0;
    if (!(bob->attr & BOB_CLONE)) {
        for (Surface* f : bob->frames) PlatformDestroySurface(f);
        for (int32_t* a : bob->animations) delete[] a;
    }
    // Cleared for owners too, so a second DestroyBob releases nothing twice.
    for (Surface*& f : bob->frames) f = nullptr;
    for (int32_t*& a : bob->animations) a = nullptr;
    return 1;
}

int LoadBobAnimation(BOB* bob, int32_t index, int32_t count, const int32_t* elements) {
    if (!bob || index < 0 || index >= BOB_SEQUENCE_SLOTS) return 0;
    if (count < 0) count = 0;
    if (count > 0 && !elements) return 0;
    // A sequence the slot held before is left to its owner (it may be shared
    // with clones).
    int32_t* seq = new (std::nothrow) int32_t[static_cast<size_t>(count) + 1];
    bob->animations[index] = seq;
    if (!seq) return 0;
    for (int32_t i = 0; i < count; ++i) seq[i] = elements[i];
    seq[count] = SEQUENCE_END;
    return 1;
}

int DrawBob(BOB* bob, Surface* dest) {
    if (!bob) return 0;
    if (!(bob->attr & BOB_VISIBLE)) return 1;
    // Clip to the field square; 64-bit so far-off positions cannot overflow.
    const int64_t x = bob->x, y = bob->y, w = bob->width, h = bob->height;
    const int64_t dl = x > 0 ? x : 0, dt = y > 0 ? y : 0;
    const int64_t dr = x + w < DRAW_CLIP_SIZE ? x + w : DRAW_CLIP_SIZE;
    const int64_t db = y + h < DRAW_CLIP_SIZE ? y + h : DRAW_CLIP_SIZE;
    // Wholly outside the field: nothing to draw.
    if (dr <= dl || db <= dt) return 1;
    const int64_t sl = x > 0 ? 0 : -x, st = y > 0 ? 0 : -y;
    const int64_t sr = x + w < DRAW_CLIP_SIZE ? w : DRAW_CLIP_SIZE - x;
    const int64_t sb = y + h < DRAW_CLIP_SIZE ? h : DRAW_CLIP_SIZE - y;
    if (bob->currFrame < 0 || bob->currFrame >= BOB_FRAME_SLOTS) return 0;
    const Rect dstRect{static_cast<int32_t>(dl), static_cast<int32_t>(dt), static_cast<int32_t>(dr),
                       static_cast<int32_t>(db)};
    const Rect srcRect{static_cast<int32_t>(sl), static_cast<int32_t>(st), static_cast<int32_t>(sr),
                       static_cast<int32_t>(sb)};
    if (dest == BackSurface) MarkDrawn(dstRect);
    return PlatformBlit(dest, &dstRect, bob->frames[bob->currFrame], &srcRect, true);
}

int DrawBobScaled(BOB* bob, int32_t width, int32_t height, Surface* dest) {
    if (!bob) return 0;
    if (!(bob->attr & BOB_VISIBLE)) return 1;
    if (bob->currFrame < 0 || bob->currFrame >= BOB_FRAME_SLOTS) return 0;
    const Rect dstRect{bob->x, bob->y, Saturate(static_cast<int64_t>(bob->x) + width),
                       Saturate(static_cast<int64_t>(bob->y) + height)};
    const Rect srcRect{0, 0, bob->width, bob->height};
    if (dest == BackSurface) MarkDrawn(dstRect);
    return PlatformBlit(dest, &dstRect, bob->frames[bob->currFrame], &srcRect, true);
}

int AnimateBob(BOB* bob) {
    if (!bob) return 0;
    if (bob->attr & BOB_ONE_FRAME) {
        bob->currFrame = 0;
    } else if (bob->attr & BOB_FRAME_CYCLE) {
        if (++bob->animCounter >= bob->animSpeed) {
            bob->animCounter = 0;
            if (++bob->currFrame >= bob->numFrames) bob->currFrame = 0;
        }
    } else if (bob->attr & BOB_SEQUENCE) {
        // A sequence that was never loaded, or holds no element, has nothing
        // to step through.
        if (bob->currAnimation < 0 || bob->currAnimation >= BOB_SEQUENCE_SLOTS) return 1;
        const int32_t* seq = bob->animations[bob->currAnimation];
        if (!seq || seq[0] == SEQUENCE_END) return 1;
        if (++bob->animCounter >= bob->animSpeed) {
            bob->animCounter = 0;
            if (++bob->animIndex < 0) bob->animIndex = 0;
            bob->currFrame = seq[bob->animIndex];
            if (bob->currFrame == SEQUENCE_END) {
                if (bob->attr & BOB_PLAY_ONCE) {
                    bob->animState = 1;
                    --bob->animIndex;
                } else {
                    bob->animIndex = 0;
                }
                bob->currFrame = seq[bob->animIndex];
            }
        }
    }
    return 1;
}

int MoveBob(BOB* bob) {
    if (!bob) return 0;
    bob->x += bob->xv;
    bob->y += bob->yv;
    if (bob->attr & BOB_WRAP) {
        if (bob->x > ClipMaxX) bob->x = ClipMinX - bob->width;
        else if (bob->x < ClipMinX - bob->width) bob->x = ClipMaxX;
        if (bob->y > ClipMaxY) bob->y = ClipMinY - bob->height;
        else if (bob->y < ClipMinY - bob->height) bob->y = ClipMaxY;
    } else if (bob->attr & BOB_BOUNCE) {
        if (bob->x > ClipMaxX - bob->width || bob->x < ClipMinX) bob->xv = -bob->xv;
        if (bob->y > ClipMaxY - bob->height || bob->y < ClipMinY) bob->yv = -bob->yv;
    }
    return 1;
}

int CloneBob(const BOB* source, BOB* dest) {
    if (!source || !dest) return 0;
    *dest = *source;
    dest->attr |= BOB_CLONE;
    return 1;
}

int SetBobPosition(BOB* bob, int32_t x, int32_t y) {
    if (!bob) return 0;
    bob->x = x;
    bob->y = y;
    return 1;
}

int SetBobVelocity(BOB* bob, int32_t xv, int32_t yv) {
    if (!bob) return 0;
    bob->xv = xv;
    bob->yv = yv;
    return 1;
}

int SetBobAnimSpeed(BOB* bob, int32_t speed) {
    if (!bob) return 0;
    bob->animSpeed = speed;
    return 1;
}

int SetBobAnimation(BOB* bob, int32_t index) {
    if (!bob) return 0;
    bob->currAnimation = index;
    bob->animIndex = 0;
    return 1;
}
