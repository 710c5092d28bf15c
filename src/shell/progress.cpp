#include <cstdio>

#include "game/board.h"
#include "game/frame.h"
#include "game/session.h"
#include "game/win.h"
#include "lib/display.h"
#include "platform/platform.h"
#include "resource.h"
#include "shell/comforts.h"
#include "shell/shell.h"

// A stored level outside 1..12, or a value that is not one byte, cannot name
// a level to start on, so it reads as the default.
uint8_t ReadSavedLevel() {
    uint8_t level = 0;
    int32_t length = 0;
    if (PlatformReadSetting(SAVED_LEVEL_SETTING, SETTING_BYTES, &level, 1, &length) != 1 || length != 1 || level < 1 ||
        level > LAST_LEVEL)
        return SAVED_LEVEL_DEFAULT;
    return level;
}

const char* WriteSavedLevel(uint8_t level) {
    return PlatformWriteSetting(SAVED_LEVEL_SETTING, SETTING_BYTES, &level, 1);
}

void EnableLevelMenu(int32_t n) {
    if (n < 1 || n > LAST_LEVEL) return;
    for (int32_t k = 1; k <= n; ++k) PlatformMarkMenuItem(IDM_LEVEL1 - 1 + k, MENU_ENABLE);
}

// The level menu and the saved level follow CurrentLevel, which the win has
// already advanced.
void OnWinFrame() {
    RecordShippedWin();
    RecordDailyLevelWin();
    if (Now.OwnLevel) return;  // a board of one's own changes no progress
    EnableLevelMenu(CurrentLevel);
    if (Comfort.Saving.SaveTried && Comfort.Saving.SaveTriedWin == Now.WinStartTick) return;
    Comfort.Saving.SaveTried = true;
    Comfort.Saving.SaveTriedWin = Now.WinStartTick;
    if (CurrentLevel <= ReadSavedLevel()) return;
    if (const char* why = WriteSavedLevel(CurrentLevel)) {
        char text[600];
        std::snprintf(text, sizeof text, "The progress could not be saved: %s", why);
        ShowError(text);
    }
}
