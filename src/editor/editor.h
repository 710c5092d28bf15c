// The hidden level editor.
#pragma once
#include <cstdint>

constexpr uint32_t EDITOR_CLICK_PAUSE = 150;

// Clicks, in field coordinates: platforms map window coordinates through
// their presentation rectangle before they report a click.
extern uint8_t LeftClickPending, RightClickPending;
extern int32_t ClickX, ClickY;
// The editor runs the frames while EditorMode is set; EditorClearPending
// empties the board on its first frame.
extern uint8_t EditorMode;
extern uint8_t EditorClearPending;

// What the last S or L did, for the status line, and why it failed.
constexpr uint8_t EDITOR_SAVED = 1, EDITOR_LOADED = 2, EDITOR_SAVE_FAILED = 3, EDITOR_LOAD_FAILED = 4;
// The platform could not keep the saved file where it outlives the page.
constexpr uint8_t EDITOR_KEEP_FAILED = 5;
// L read a level.dat shorter than a level: the reason holds its count.
constexpr uint8_t EDITOR_LOADED_SHORT = 6;
extern uint8_t EditorFileNote;
extern char EditorFileReason[128];
// P asks to play the board being drawn.
extern uint8_t EditorPlayPending;

void RunEditorFrame();
// The cell code a right click on the last clicked cell places next.
int32_t EditorNextPiece();
