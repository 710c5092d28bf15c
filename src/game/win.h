// The level-won sequence: the banner after a second, the fanfare after the
// last level, and the shell's bookkeeping on every frame while it lasts.
#pragma once
#include <cstdint>

constexpr uint32_t BANNER_DELAY_MS = 1000;
constexpr uint32_t FINISHED_DELAY_MS = 4000;

extern uint32_t WinStartTick;
extern uint8_t LevelPlayed;  // CurrentLevel before the win advanced it

// Called once each frame while the level stands won, where the saved
// progress and the level menu catch up; set by the shell at start-up.
extern void (*WinFrameHook)();

// Once a frame: before the win it keeps the clock and the level at hand,
// after it draws the banner, plays the fanfare and calls the hook.
void RunWinSequence();
void DrawLevelBanner();
