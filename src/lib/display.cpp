// The back surface, its presentation once per frame slot, and the
// millisecond clock.
#include "lib/display.h"

#include <cstdio>

// Stays null: every platform presents the back surface itself through
// PlatformPresent, so the game never draws into a primary surface. Kept for
// the code that tests it.
Surface* PrimarySurface = nullptr;
Surface* BackSurface = nullptr;
uint32_t ClockStart = 0;
bool DisplayReady = false;

int InitDisplay(int32_t width, int32_t height, int32_t bitsPerPixel) {
    if (!PlatformInitDisplay(width, height, bitsPerPixel)) return 0;
    DisplayReady = true;
    BackSurface = PlatformCreateSurface(FIELD_SIZE, FIELD_SIZE);
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
    if (BackSurface) PlatformPresent(BackSurface);
}

uint32_t GetClock() { return PlatformTicks(); }

void StartClock() { ClockStart = GetClock(); }

uint32_t WaitClock(uint32_t ms) {
    // Unsigned difference: the tick count's wrap does not stall the wait.
    while (GetClock() - ClockStart < ms) PlatformIdle();
    return GetClock();
}

void ShowError(const char* text) {
    std::fprintf(stderr, "tarno: %s\n", text ? text : "");
    PlatformShowMessage(text ? text : "");
}

void ShowFileError(const char* text, const char* file, const char* reason) {
    std::fprintf(stderr, "tarno: %s: %s: %s\n", text ? text : "", file ? file : "", reason ? reason : "");
    PlatformShowMessage(text ? text : "");
}
