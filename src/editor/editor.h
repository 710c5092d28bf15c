// The hidden level editor.
#pragma once
#include <cstdint>

constexpr uint32_t EDITOR_CLICK_PAUSE = 150;

// The editor's state is the session's (Now.Editor, game/session.h).
// What the last S or L did, for the status line, and why it failed.
constexpr uint8_t EDITOR_SAVED = 1, EDITOR_LOADED = 2, EDITOR_SAVE_FAILED = 3, EDITOR_LOAD_FAILED = 4;
// The platform could not keep the saved file where it outlives the page.
constexpr uint8_t EDITOR_KEEP_FAILED = 5;
// L read a level.dat shorter than a level: the reason holds its count.
constexpr uint8_t EDITOR_LOADED_SHORT = 6;

void RunEditorFrame();
// The cell code a right click on the last clicked cell places next.
int32_t EditorNextPiece();
