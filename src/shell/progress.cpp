#include "game/board.h"
#include "game/frame.h"
#include "platform/platform.h"
#include "resource.h"
#include "shell/shell.h"

// A stored level outside 1..12 cannot name a level to start on, so it
// reads as the default.
uint8_t ReadSavedLevel() {
    uint8_t level = 0;
    if (!PlatformReadProgress(&level) || level < 1 || level > LAST_LEVEL) return SAVED_LEVEL_DEFAULT;
    return level;
}

void WriteSavedLevel(uint8_t level) { PlatformWriteProgress(level); }

void EnableLevelMenu(int32_t n) {
    if (n < 1 || n > LAST_LEVEL) return;
    for (int32_t k = 1; k <= n; ++k) PlatformEnableMenuItem(IDM_LEVEL1 - 1 + k);
}

// The level menu and the saved level follow CurrentLevel, which the win has
// already advanced.
void OnWinFrame() {
    if (OwnLevel) return;  // a board of one's own changes no progress
    EnableLevelMenu(CurrentLevel);
    if (CurrentLevel > ReadSavedLevel()) WriteSavedLevel(CurrentLevel);
}
