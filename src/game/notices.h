// The notices play shows on the border ring: the hint's marker and the lost
// notice. The shell decides them; the frame draws them after the field.
#pragma once
#include <cstdint>

// What the notices show, one value: set by whoever knows (the shell's
// advice), drawn on the border ring after the field.
struct Notices {
    // H was pressed: whoever knows the next shot shows it.
    uint8_t HintAsked;
    // The hint's marker: the tank's entry cell, fired in HintDirection (0 for no marker).
    int32_t HintCellX, HintCellY, HintDirection;
    uint8_t LostNoticeShown;
};
void DrawNotices();
