#include "game/notices.h"

#include "game/board.h"
#include "game/play.h"
#include "game/session.h"
#include "lib/display.h"

namespace {

void Fill(uint32_t* pixels, int32_t pitch, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > FIELD_SIZE) x1 = FIELD_SIZE;
    if (y1 > FIELD_SIZE) y1 = FIELD_SIZE;
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x) pixels[y * (pitch / 4) + x] = colour;
}

// Mixes colour into the pixel, weight out of 256, so the rail shows through.
uint32_t Mix(uint32_t under, uint32_t colour, uint32_t weight) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t u = (under >> shift) & 0xFF, c = (colour >> shift) & 0xFF;
        out |= ((u * (256 - weight) + c * weight) >> 8) << shift;
    }
    return out;
}

void Blend(uint32_t* pixels, int32_t pitch, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour,
           uint32_t weight) {
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > FIELD_SIZE) x1 = FIELD_SIZE;
    if (y1 > FIELD_SIZE) y1 = FIELD_SIZE;
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x) {
            uint32_t& p = pixels[y * (pitch / 4) + x];
            p = Mix(p, colour, weight);
        }
}

// The entry cell glows amber, and an arrow in it points the way to fire.
void DrawHint(uint32_t* pixels, int32_t pitch) {
    const uint32_t amber = 0xFFD040, dark = 0x3A2A00;
    const int32_t x = Now.Notice.HintCellX * CELL_SIZE, y = Now.Notice.HintCellY * CELL_SIZE, t = 3;
    Blend(pixels, pitch, x, y, x + CELL_SIZE, y + CELL_SIZE, amber, 80);
    Fill(pixels, pitch, x, y, x + CELL_SIZE, y + t, amber);
    Fill(pixels, pitch, x, y + CELL_SIZE - t, x + CELL_SIZE, y + CELL_SIZE, amber);
    Fill(pixels, pitch, x, y, x + t, y + CELL_SIZE, amber);
    Fill(pixels, pitch, x + CELL_SIZE - t, y, x + CELL_SIZE, y + CELL_SIZE, amber);
    // The arrow drawn along +u, then turned to the firing direction: a shaft
    // from the cell's back to its middle, and a head reaching its front.
    static const int32_t turn[5][4] = {{1, 0, 0, 1}, {-1, 0, 0, 1}, {0, 1, -1, 0}, {1, 0, 0, 1}, {0, 1, 1, 0}};
    const int32_t* m =
        turn[Now.Notice.HintDirection >= DIR_LEFT && Now.Notice.HintDirection <= DIR_DOWN ? Now.Notice.HintDirection
                                                                                          : 0];
    const int32_t c = CELL_SIZE / 2;
    for (int32_t v = -c; v < c; ++v)
        for (int32_t u = -c; u < c; ++u) {
            const int32_t reach = (20 - u) * 3 / 5;  // the head's half width, narrowing to its tip
            const int32_t av = v < 0 ? -v : v;
            const bool shaft = u >= -16 && u < 2 && av <= 3;
            const bool head = u >= 2 && u <= 20 && av <= reach;
            const bool edge = (u >= -17 && u < 2 && av <= 4) || (u >= 1 && u <= 22 && av <= reach + 1);
            if (!shaft && !head && !edge) continue;
            const int32_t px = x + c + m[0] * u + m[1] * v, py = y + c + m[2] * u + m[3] * v;
            if (px < 0 || py < 0 || px >= FIELD_SIZE || py >= FIELD_SIZE) continue;
            pixels[py * (pitch / 4) + px] = shaft || head ? amber : dark;
        }
}

// The ring's outer edge glows red, clear of the tank's path.
void DrawLost(uint32_t* pixels, int32_t pitch) {
    const uint32_t red = 0xE02828;
    for (int32_t band = 0; band < 10; ++band) {
        // Strongest at the edge, fading inward.
        const uint32_t weight = band < 3 ? 256 : 220 - 24 * static_cast<uint32_t>(band);
        const int32_t a = band, b = FIELD_SIZE - 1 - band;
        Blend(pixels, pitch, a, a, b + 1, a + 1, red, weight);
        Blend(pixels, pitch, a, b, b + 1, b + 1, red, weight);
        Blend(pixels, pitch, a, a + 1, a + 1, b, red, weight);
        Blend(pixels, pitch, b, a + 1, b + 1, b, red, weight);
    }
}

}  // namespace

void DrawNotices() {
    if (!Now.Notice.HintDirection && !Now.Notice.LostNoticeShown) return;
    int32_t pitch = 0;
    uint32_t* pixels = BackSurface ? PlatformLockSurface(BackSurface, &pitch) : nullptr;
    if (!pixels) return;
    // Written pixel by pixel, wherever the notice reaches.
    MarkAllDrawn();
    if (Now.Notice.LostNoticeShown) DrawLost(pixels, pitch);
    if (Now.Notice.HintDirection) DrawHint(pixels, pitch);
    PlatformUnlockSurface(BackSurface);
}
