// One frame of play.
#pragma once
#include <cstdint>

#include "game/play.h"

constexpr int32_t TANK_FIRE_SEQ_LEN = 9;
constexpr uint32_t BANNER_DELAY_MS = 1000;
constexpr uint32_t FINISHED_DELAY_MS = 4000;

extern int32_t HeldDirection;
extern uint8_t TankMoving;
extern int32_t TankStepX, TankStepY;
extern uint8_t TankFiring;
extern uint32_t WinStartTick;
extern uint8_t LevelPlayed;  // CurrentLevel before the win advanced it
extern uint8_t KeyReleased;

// Called once each frame while the level stands won, where the saved
// progress and the level menu catch up; set by the shell at start-up.
extern void (*WinFrameHook)();

// What RunPlayFrame returns: a frame was played, and whether D asked for the editor.
constexpr int PLAY_FRAME_DONE = 1, PLAY_FRAME_OPEN_EDITOR = 2;

// Loads level CurrentLevel and starts it at rest, the tank on its corner.
void StartLevel();
void ResetLevel();
int RunPlayFrame();
// The frame's pieces: those at rest drawn, the rules stepped (StepPlay), the
// moving ones drawn, the step's sounds played and its win applied.
void RunPiecesFrame();
bool TankAligned();
void DrawLevelBanner();
// Puts the tank at rest on the top-left corner (part of every level start).
void ResetTank();
// Fires from the tank's place, once per key release.
void FireShot(int32_t direction);
// Plays the step's sounds in their order and, after a win, moves CurrentLevel on.
void ApplyPlayReport(const PlayReport& report);
// The five pieces of a balloon popped last frame.
void DrawBalloonPop(int32_t balloon);
