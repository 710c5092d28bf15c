// One frame of play, and the level start.
#pragma once
#include <cstdint>

#include "game/play.h"

// What RunPlayFrame returns: a frame was played, and whether D asked for the editor.
constexpr int PLAY_FRAME_DONE = 1, PLAY_FRAME_OPEN_EDITOR = 2;

// Loads level CurrentLevel and starts it at rest, the tank on its corner.
void StartLevel();
void ResetLevel();
// R in play: the level afresh as ResetLevel, but U takes it back like a shot.
void RestartLevel();
// restart: R's button was pressed, and the tank is on a cell corner.
int RunPlayFrame(bool restart = false);
// The frame's pieces: those at rest drawn, the rules stepped (StepPlay), the
// moving ones drawn, the step's sounds played and its win applied.
void RunPiecesFrame();
// Plays the step's sounds in their order and, after a win, moves CurrentLevel on.
void ApplyPlayReport(const PlayReport& report);
// The five pieces of a balloon popped last frame.
void DrawBalloonPop(int32_t balloon);
