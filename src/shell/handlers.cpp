#include <cstdio>

#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/history.h"
#include "game/notices.h"
#include "game/session.h"
#include "game/tank.h"
#include "platform/platform.h"
#include "resource.h"
#include "shell/comforts.h"
#include "shell/shell.h"

void OnCreate() {
    CurrentLevel = ReadSavedLevel();
    EnableLevelMenu(CurrentLevel);
    LoadPlayerSettings();
}

namespace {

// The Next button: what R does after a shipped level's win, without the
// key; after a made level's win, another of its grade.
void GoOn() {
    if (!NextStepText()) return;
    if (MadeGrade() >= 0) {
        StartNewLevel(MadeGrade());
        return;
    }
    Now.Editor.ClearPending = 0;
    StartShellLevel();
}

}  // namespace

void OnMenuCommand(int32_t id) {
    if (id == IDM_EXIT) {
        PlatformRequestQuit();
    } else if (id == IDM_ABOUT) {
        PlatformShowPanel(PANEL_ABOUT);
    } else if (id == IDM_RESET) {
        // In the editor the level's file fills the board being edited, so an
        // existing level can be changed and saved: the editor stays on.
        Now.Editor.ClearPending = 0;
        ResetLevel();
    } else if (id >= IDM_LEVEL1 && id <= IDM_LEVEL12) {
        CurrentLevel = static_cast<uint8_t>(id - (IDM_LEVEL1 - 1));
        StopMaking();
        LeaveOwnBoard();
        Now.Editor.ClearPending = 0;
        StartShellLevel();
    } else if (id == IDM_UNDO || id == IDM_REDO) {
        // Greyed on every front end when there is nothing to take back or
        // forth, or the level is won; a click that still arrives does nothing.
        if (!CommandAvailable(id)) return;
        // As the U and Y keys do, taking a step back or forth ends a drive.
        DropPointerOrders();
        RequestHistoryAction(id == IDM_UNDO ? ACTION_UNDO : ACTION_REDO);
    } else if (id == IDM_HINT) {
        if (!Now.Editor.Mode) Now.Notice.HintAsked = 1;
    } else if (id == IDM_HOW_TO_PLAY) {
        PlatformShowPanel(PANEL_HOW_TO_PLAY);
    } else if (id == IDM_RECORDS) {
        PlatformShowPanel(PANEL_RECORDS);
    } else if (id == IDM_SOUND) {
        ToggleSound();
    } else if (id >= IDM_NEW_EASY && id <= IDM_NEW_HARD) {
        StartNewLevel(id - IDM_NEW_EASY);
    } else if (id == IDM_NEW_LEVEL) {
        StartNewLevelAgain();
    } else if (id == IDM_NEXT) {
        GoOn();
    } else if (id == IDM_DAILY) {
        StartDailyLevel(nullptr);
    } else if (id == IDM_OPEN_CODE) {
        AskLevelCode();
    } else if (id == IDM_COPY_CODE) {
        // The player hears of the copy on every front end, not only where
        // the clipboard shows it.
        char code[128], note[160];
        if (CopyLevelCode(code, sizeof code)) {
            std::snprintf(note, sizeof note, "Level code copied: %s", code);
            ShowStatusNote(note);
        }
    } else if (id == IDM_SHARE) {
        // The page says itself what it did with the link.
        char text[128], note[160];
        if (ShareLevel(text, sizeof text)) {
            std::snprintf(note, sizeof note, "Copied: %s", text);
            ShowStatusNote(note);
        }
    } else if (id == IDM_OPEN_LEVEL) {
        char path[1024];
        if (PlatformChooseLevelFile(path, sizeof path)) PlayLevelFile(path);
    }
}

void OnKeyUp() { KeyReleased = 1; }

void OnLeftButtonDown(int32_t x, int32_t y) {
    Now.Editor.LeftClickPending = 1;
    Now.Editor.ClickX = x;
    Now.Editor.ClickY = y;
}

void OnRightButtonDown(int32_t x, int32_t y) {
    Now.Editor.RightClickPending = 1;
    Now.Editor.ClickX = x;
    Now.Editor.ClickY = y;
}

void OnFieldTap(int32_t x, int32_t y) {
    OnLeftButtonDown(x, y);
    if (!Now.Editor.Mode) AimTank(x, y);
}

void StartShellLevel() {
    PlatformMarkMenuItem(IDM_LEVEL1, MENU_ENABLE);
    StartLevel();
}
