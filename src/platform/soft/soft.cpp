// Software surfaces and the blitter, shared by the desktop, headless and
// browser platforms. A surface is a fixed block of 32-bit XRGB pixels made once at
// creation; blits clip every rectangle so nothing outside either surface is
// ever read or written.
#include <cstdint>
#include <cstring>
#include <new>

#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

#include "platform/clip/clip.h"
#include "platform/platform.h"

struct Surface {
    int32_t width;
    int32_t height;
    int32_t pitch;  // bytes per row
    uint32_t* pixels;
};

namespace {

// Stretched rectangles larger than this are nonsense; refusing them keeps the
// sampling arithmetic inside 64 bits.
constexpr int64_t MAX_STRETCH_SIDE = int64_t{1} << 24;

// Large enough for any picture the game makes, small enough that
// width * height * 4 cannot overflow.
constexpr int32_t MAX_SURFACE_SIDE = 16384;

bool RectEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

uint32_t* Row(Surface* s, int32_t y) { return s->pixels + static_cast<int64_t>(y) * (s->pitch / 4); }

// The hot loop of every frame: black (in the low 24 bits) leaves the
// destination alone. Written as a select so the compiler vectorises it, and
// built twice on x86-64 so machines with wider vectors use them. Not under
// the thread sanitizer: the clones' resolver runs before its runtime is up.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__) && !defined(_WIN32) && !defined(__SANITIZE_THREAD__)
__attribute__((target_clones("avx2", "default")))
#endif
void KeyRows(uint32_t* __restrict d, int64_t dStep, const uint32_t* __restrict s, int64_t sStep, int32_t n, int32_t rows) {
    for (int32_t r = 0; r < rows; ++r, d += dStep, s += sStep) {
        int32_t i = 0;
#ifdef __wasm_simd128__
        // The browser's compiler does not vectorise the select by itself:
        // four pixels at a time, by hand, draw a frame in a third of the time.
        const v128_t rgb = wasm_i32x4_splat(0x00FFFFFF), zero = wasm_i32x4_splat(0);
        for (; i + 4 <= n; i += 4) {
            const v128_t p = wasm_v128_load(s + i);
            const v128_t black = wasm_i32x4_eq(wasm_v128_and(p, rgb), zero);
            // Most of a picture has no black: then the destination need not be read.
            if (wasm_v128_any_true(black)) wasm_v128_store(d + i, wasm_v128_bitselect(wasm_v128_load(d + i), p, black));
            else wasm_v128_store(d + i, p);
        }
#endif
        for (; i < n; ++i) {
            const uint32_t p = s[i];
            d[i] = (p & 0x00FFFFFFu) ? p : d[i];
        }
    }
}

// The same for a blit of a surface onto itself, where rows may overlap:
// walk away from the overlap.
void KeyRowOverlap(uint32_t* d, const uint32_t* s, int32_t n) {
    if (d < s) {
        for (int32_t i = 0; i < n; ++i)
            if (s[i] & 0x00FFFFFFu) d[i] = s[i];
    } else {
        for (int32_t i = n - 1; i >= 0; --i)
            if (s[i] & 0x00FFFFFFu) d[i] = s[i];
    }
}

// Copy without scaling. Both rectangles have the same size; they are
// clipped together against both surfaces.
void BlitCopy(Surface* dst, Rect dr, Surface* src, Rect sr, bool keyed) {
    if (!ClipBlit(&dr, dst->width, dst->height, &sr, src->width, src->height)) return;
    const int32_t dl = dr.left, dt = dr.top, sl = sr.left, st = sr.top;
    const int32_t w = dr.right - dr.left, h = dr.bottom - dr.top;

    const bool same = dst == src;
    if (keyed && !same) {
        KeyRows(Row(dst, dt) + dl, dst->pitch / 4, Row(src, st) + sl, src->pitch / 4, w, h);
        return;
    }
    // Rows of a surface blitted onto itself go in the order that reads each
    // source row before it is overwritten.
    const bool upward = same && dt > st;
    for (int32_t k = 0; k < h; ++k) {
        const int32_t r = upward ? h - 1 - k : k;
        uint32_t* dp = Row(dst, dt + r) + dl;
        const uint32_t* sp = Row(src, st + r) + sl;
        if (!keyed) std::memmove(dp, sp, static_cast<size_t>(w) * 4);
        else KeyRowOverlap(dp, sp, w);
    }
}

// Nearest-neighbour stretch: each destination pixel inside the destination
// surface takes the source pixel under its centre, when that lies inside
// the source surface.
void BlitStretch(Surface* dst, const Rect& d, Surface* src, const Rect& s, bool keyed) {
    const int64_t dw = static_cast<int64_t>(d.right) - d.left;
    const int64_t dh = static_cast<int64_t>(d.bottom) - d.top;
    const int64_t sw = static_cast<int64_t>(s.right) - s.left;
    const int64_t sh = static_cast<int64_t>(s.bottom) - s.top;
    const int32_t x0 = d.left < 0 ? 0 : d.left;
    const int32_t y0 = d.top < 0 ? 0 : d.top;
    const int32_t x1 = d.right > dst->width ? dst->width : d.right;
    const int32_t y1 = d.bottom > dst->height ? dst->height : d.bottom;
    for (int32_t y = y0; y < y1; ++y) {
        const int64_t sy = s.top + ((y - static_cast<int64_t>(d.top)) * 2 + 1) * sh / (dh * 2);
        if (sy < 0 || sy >= src->height) continue;
        uint32_t* dp = Row(dst, y);
        const uint32_t* sp = Row(src, static_cast<int32_t>(sy));
        // The source column under each pixel centre, stepped without a
        // division per pixel: sx = s.left + ((x - d.left) * 2 + 1) * sw / (2 * dw).
        const int64_t den = dw * 2, step = sw * 2;
        const int64_t first = ((x0 - static_cast<int64_t>(d.left)) * 2 + 1) * sw;
        int64_t q = first / den, r = first % den;
        const int64_t stepQ = step / den, stepR = step % den;
        for (int32_t x = x0; x < x1; ++x) {
            const int64_t sx = s.left + q;
            if (sx >= 0 && sx < src->width) {
                const uint32_t p = sp[sx];
                if (!keyed || (p & 0x00FFFFFFu)) dp[x] = p;
            }
            q += stepQ;
            r += stepR;
            if (r >= den) {
                r -= den;
                ++q;
            }
        }
    }
}

}  // namespace

Surface* PlatformCreateSurface(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || width > MAX_SURFACE_SIDE || height > MAX_SURFACE_SIDE) return nullptr;
    Surface* s = new (std::nothrow) Surface;
    if (!s) return nullptr;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    s->pixels = new (std::nothrow) uint32_t[count]();
    if (!s->pixels) {
        delete s;
        return nullptr;
    }
    s->width = width;
    s->height = height;
    s->pitch = width * 4;
    return s;
}

void PlatformDestroySurface(Surface* surface) {
    if (!surface) return;
    delete[] surface->pixels;
    delete surface;
}

SurfaceSize PlatformSurfaceSize(const Surface* surface) {
    return surface ? SurfaceSize{surface->width, surface->height} : SurfaceSize{0, 0};
}

uint32_t* PlatformLockSurface(Surface* surface, int32_t* pitchBytes) {
    if (!surface) return nullptr;
    if (pitchBytes) *pitchBytes = surface->pitch;
    return surface->pixels;
}

void PlatformUnlockSurface(Surface*) {}

int PlatformBlit(Surface* dst, const Rect* dstRect, Surface* src, const Rect* srcRect, bool keyed) {
    if (!dst || !src) return 0;
    const Rect d = dstRect ? *dstRect : Rect{0, 0, dst->width, dst->height};
    const Rect s = srcRect ? *srcRect : Rect{0, 0, src->width, src->height};
    if (RectEmpty(d) || RectEmpty(s)) return 1;
    // Widths computed in 64 bits: rectangles may come from far-off positions.
    const int64_t dw = static_cast<int64_t>(d.right) - d.left, dh = static_cast<int64_t>(d.bottom) - d.top;
    const int64_t sw = static_cast<int64_t>(s.right) - s.left, sh = static_cast<int64_t>(s.bottom) - s.top;
    if (dw == sw && dh == sh) BlitCopy(dst, d, src, s, keyed);
    else if (dw <= MAX_STRETCH_SIDE && dh <= MAX_STRETCH_SIDE && sw <= MAX_STRETCH_SIDE && sh <= MAX_STRETCH_SIDE)
        BlitStretch(dst, d, src, s, keyed);
    return 1;
}
