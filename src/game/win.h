// The level-won sequence: the banner after a second, the fanfare after the
// last level. The shell does its bookkeeping after each frame while it lasts.
#pragma once
#include <cstdint>

constexpr uint32_t BANNER_DELAY_MS = 1000;
constexpr uint32_t FINISHED_DELAY_MS = 4000;

// Once a frame: before the win it keeps the clock and the level at hand,
// after it draws the banner and plays the fanfare.
void RunWinSequence();
void DrawLevelBanner();
