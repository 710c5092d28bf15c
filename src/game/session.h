// The session: what the frame and the shell share between frames, as one
// value of one record per concern (Now). It lives in the game's room, the
// lowest that all who share it see; what only the shell's files share sits
// beside it (Comfort, shell/comforts.h). StartFreshSession makes both afresh
// in one call, and the tests start every case from there.
#pragma once
#include <cstdint>

#include "game/board.h"
#include "game/game.h"
#include "game/history.h"
#include "game/notices.h"
#include "game/tank.h"

// The editor's part: it runs the frames while Mode is set; ClearPending
// empties the board on its first frame; P asks to play the board drawn.
// Clicks come in field coordinates (platforms map window coordinates through
// their presentation rectangle). FileNote and FileReason: what the last S or
// L did (EDITOR_SAVED, ..., editor/editor.h), for the status line, and why.
struct EditorState {
    uint8_t Mode;
    uint8_t ClearPending;
    uint8_t PlayPending;
    uint8_t LeftClickPending, RightClickPending;
    int32_t ClickX, ClickY;
    uint8_t FileNote;
    char FileReason[128];
};

struct Session {
    Game Live;  // the game being played: the design's board is Live.play.board
    History Steps;
    Notices Notice;
    PointerOrders Orders;
    // The level-won sequence: when the win began, the level it was won on
    // (CurrentLevel before the win moved it on), and whether the fanfare played.
    uint32_t WinStartTick;
    uint8_t LevelPlayed;
    uint8_t FinishedPlayed;
    // The level file in play, and the bytes its last load took; while a
    // board of the player's own is played (OwnLevel: drawn in the editor,
    // opened from a file, made or coded), its bytes stand in for the file,
    // and winning it moves no level on.
    uint8_t LevelBuffer[LEVEL_FILE_SIZE];
    int32_t LevelFileRead;
    uint8_t OwnLevel;
    uint8_t OwnLevelBytes[LEVEL_FILE_SIZE];
    // The keys as they were last frame, so that a key acts once per press:
    // U, Y and H, and any key that ends a pointer's order.
    uint8_t ComfortKeysDown[3];
    uint8_t KeysDownBefore[256];
    EditorState Editor;
};

extern Session Now;
