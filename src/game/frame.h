// One frame of play.
#pragma once
#include <cstdint>

constexpr int32_t TANK_FIRE_SEQ_LEN = 9;
constexpr uint32_t BANNER_DELAY_MS = 1000;
constexpr uint32_t FINISHED_DELAY_MS = 4000;

extern int32_t HeldDirection;
extern uint8_t TankMoving;
extern int32_t TankStepX, TankStepY;
extern uint8_t TankFiring;
extern uint32_t WinStartTick;
extern uint8_t LevelPlayed;  // CurrentLevel before the win advanced it
extern uint8_t EditorMode;
extern uint8_t EditorClearPending;

// Called once each frame while the level stands won, where the saved
// progress and the level menu catch up; set by the shell at start-up.
extern void (*WinFrameHook)();

int RunPlayFrame();
bool TankAligned();
void DrawLevelBanner();
// Puts the tank at rest on the top-left corner (part of every level start).
void ResetTank();
