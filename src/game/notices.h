// The notices play shows on the border ring: the hint's marker and the lost
// notice. The shell decides them; the frame draws them after the field.
#pragma once
#include <cstdint>

// H was pressed: whoever knows the next shot shows it.
extern uint8_t HintAsked;

// The hint's marker (the tank's entry cell, fired in `direction`), and the
// lost notice; set by whoever knows, drawn on the border ring after the field.
extern int32_t HintCellX, HintCellY, HintDirection;  // HintDirection 0 for no marker
extern uint8_t LostNoticeShown;
void DrawNotices();
