// Start-up, shutdown, saved progress and the handlers a platform's window calls.
#pragma once
#include <cstdint>

constexpr uint8_t SAVED_LEVEL_DEFAULT = 1;

uint8_t ReadSavedLevel();
// Null when stored, otherwise where and why it failed.
const char* WriteSavedLevel(uint8_t level);
void EnableLevelMenu(int32_t n);
// The frame's hook while a level stands won: unlock the menu, raise the saved
// level (tried once per win; a failure is shown once).
void OnWinFrame();

int InitGame();
int ShutdownGame();
// Start-up as one call, after the window exists: InitGame, then the first
// level. 0 when there is no display to draw on (the reason has been shown).
int StartGame();

// What the window's creation does: read the saved level, unlock the menu.
void OnCreate();
void OnMenuCommand(int32_t id);
void OnKeyUp();
void OnLeftButtonDown(int32_t x, int32_t y);
void OnRightButtonDown(int32_t x, int32_t y);
// A level start from the shell: level 1 is always on the menu.
void StartShellLevel();
// One pass of the main loop while the game window is active: one frame of
// play or of the editor.
void RunFrame();
