// The back surface, its presentation once per frame slot, and the
// millisecond clock.
#include "lib/display.h"

#include <cstdio>

#include "lib/text.h"

// Stays null: every platform presents the back surface itself through
// PlatformPresent, so the game never draws into a primary surface. Kept for
// the code that tests it.
Surface* PrimarySurface = nullptr;
Surface* BackSurface = nullptr;
uint32_t ClockStart = 0;
bool DisplayReady = false;

namespace {

// The tiles drawn since the floor was put back, and since the last present.
struct DrawnTiles {
    FieldTiles DrawnSincePutBack;
    FieldTiles DrawnSincePresent;
};
DrawnTiles Drawn;

}  // namespace

void MarkDrawn(const Rect& r) {
    const int32_t left = r.left > 0 ? r.left : 0, top = r.top > 0 ? r.top : 0;
    const int32_t right = r.right < FIELD_SIZE ? r.right : FIELD_SIZE;
    const int32_t bottom = r.bottom < FIELD_SIZE ? r.bottom : FIELD_SIZE;
    if (right <= left || bottom <= top) return;
    const int32_t x0 = left / FIELD_TILE, x1 = (right - 1) / FIELD_TILE;
    const auto bits = static_cast<uint16_t>(((1u << (x1 + 1)) - 1) & ~((1u << x0) - 1));
    for (int32_t y = top / FIELD_TILE; y <= (bottom - 1) / FIELD_TILE; ++y) {
        Drawn.DrawnSincePutBack.rows[y] |= bits;
        Drawn.DrawnSincePresent.rows[y] |= bits;
    }
}

void MarkAllDrawn() { MarkDrawn(Rect{0, 0, FIELD_SIZE, FIELD_SIZE}); }

void PutBackWhereDrawn(Surface* picture) {
    for (int32_t y = 0; y < FIELD_TILES; ++y) {
        const uint32_t row = Drawn.DrawnSincePutBack.rows[y];
        for (int32_t x = 0, end = 0; NextTileRun(row, &x, &end); x = end) {
            const Rect r{x * FIELD_TILE, y * FIELD_TILE, end * FIELD_TILE, (y + 1) * FIELD_TILE};
            PlatformBlit(BackSurface, &r, picture, &r, true);
        }
        Drawn.DrawnSincePresent.rows[y] |= static_cast<uint16_t>(row);
    }
    Drawn.DrawnSincePutBack = FieldTiles{};
}

int InitDisplay(int32_t width, int32_t height, int32_t bitsPerPixel) {
    if (!PlatformInitDisplay(width, height, bitsPerPixel)) return 0;
    DisplayReady = true;
    BackSurface = PlatformCreateSurface(FIELD_SIZE, FIELD_SIZE);
    // A new surface: nothing of it has been put back or shown yet.
    MarkAllDrawn();
    return BackSurface ? 1 : 0;
}

int ShutdownDisplay() {
    PlatformDestroySurface(BackSurface);
    BackSurface = nullptr;
    if (DisplayReady) PlatformShutdownDisplay();
    DisplayReady = false;
    return 1;
}

int WaitVerticalBlank() {
    PlatformWaitFrame();
    return 1;
}

void PresentFrame() {
    WaitVerticalBlank();
    // Without a back surface there is nothing to show; the frame is dropped.
    if (!BackSurface) return;
    PlatformPresent(BackSurface, Drawn.DrawnSincePresent);
    Drawn.DrawnSincePresent = FieldTiles{};
}

uint32_t GetClock() { return PlatformTicks(); }

void StartClock() { ClockStart = GetClock(); }

uint32_t WaitClock(uint32_t ms) {
    // Unsigned difference: the tick count's wrap does not stall the wait.
    while (GetClock() - ClockStart < ms) PlatformIdle();
    return GetClock();
}

// A message may carry what came from outside (a name, a reason): what
// cannot be printed is shown as escapes, in the box and on the terminal.
// Every platform copies the box's text before it returns, so the buffers
// live on the stack.
void ShowError(const char* text) {
    char shown[1024];
    PrintableText(text, shown, sizeof shown, true);
    std::fprintf(stderr, "tarno: %s\n", shown);
    PlatformShowMessage(shown);
}

void ShowFileError(const char* text, const char* file, const char* reason) {
    char shown[3][512];
    PrintableText(text, shown[0], sizeof shown[0], true);
    PrintableText(file, shown[1], sizeof shown[1]);
    PrintableText(reason, shown[2], sizeof shown[2]);
    std::fprintf(stderr, "tarno: %s: %s: %s\n", shown[0], shown[1], shown[2]);
    PlatformShowMessage(shown[0]);
}
