// The hidden level editor.
#pragma once
#include <cstdint>

constexpr uint32_t EDITOR_CLICK_PAUSE = 150;

// Clicks, in field coordinates: platforms map window coordinates through
// their presentation rectangle before they report a click.
extern uint8_t LeftClickPending, RightClickPending;
extern int32_t ClickX, ClickY;

void RunEditorFrame();
