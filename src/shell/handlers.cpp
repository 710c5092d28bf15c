#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "platform/platform.h"
#include "resource.h"
#include "shell/shell.h"

void OnCreate() {
    CurrentLevel = ReadSavedLevel();
    EnableLevelMenu(CurrentLevel);
}

void OnMenuCommand(int32_t id) {
    if (id == IDM_EXIT) {
        PlatformRequestQuit();
    } else if (id == IDM_ABOUT) {
        PlatformShowAbout();
    } else if (id == IDM_RESET) {
        ResetLevel();
    } else if (id >= IDM_LEVEL1 && id <= IDM_LEVEL12) {
        CurrentLevel = static_cast<uint8_t>(id - (IDM_LEVEL1 - 1));
        StartShellLevel();
    }
}

void OnKeyUp() { KeyReleased = 1; }

void OnLeftButtonDown(int32_t x, int32_t y) {
    LeftClickPending = 1;
    ClickX = x;
    ClickY = y;
}

void OnRightButtonDown(int32_t x, int32_t y) {
    RightClickPending = 1;
    ClickX = x;
    ClickY = y;
}

void StartShellLevel() {
    PlatformEnableMenuItem(IDM_LEVEL1);
    StartLevel();
}

void RunFrame() {
    if (EditorMode) {
        RunEditorFrame();
    } else if (RunPlayFrame() == PLAY_FRAME_OPEN_EDITOR) {
        EditorMode = 1;
        EditorClearPending = 1;
    }
}
