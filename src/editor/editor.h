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

void RunEditorFrame();
