#include "editor/editor.h"

#include <cstdio>

#include "game/board.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/history.h"
#include "game/session.h"
#include "game/sprites.h"
#include "lib/display.h"
#include "lib/input.h"

namespace {

// The note for the status line: done, or failed and why.
void NoteFile(uint8_t done, uint8_t failed, const char* reason) {
    Now.Editor.FileNote = reason ? failed : done;
    std::snprintf(Now.Editor.FileReason, sizeof Now.Editor.FileReason, "%s", reason ? reason : "");
}

void DrawAt(BOB* bob, int32_t x, int32_t y) {
    SetBobPosition(bob, x, y);
    DrawBob(bob, BackSurface);
}

bool InInterior(int32_t cx, int32_t cy) {
    return cx >= FIRST_INNER && cx <= LAST_INNER && cy >= FIRST_INNER && cy <= LAST_INNER;
}

// Both buttons share one position; a click off the interior edits nothing
// but still takes the pause, so a held button does not repeat too fast.
void HandleClick(uint8_t* pending, int32_t (*edit)(int32_t)) {
    StartClock();
    const int32_t cx = Now.Editor.ClickX / CELL_SIZE, cy = Now.Editor.ClickY / CELL_SIZE;
    if (InInterior(cx, cy)) Now.Live.play.board[cx][cy] = edit(Now.Live.play.board[cx][cy]);
    WaitClock(EDITOR_CLICK_PAUSE);
    *pending = 0;
}

int32_t ToggleBlock(int32_t code) { return code == CELL_EMPTY ? CELL_BLOCK : CELL_EMPTY; }

// The next piece of the right-click round; any other piece (a block) stays.
int32_t StepPiece(int32_t code) {
    const int32_t at = PieceIndex(code);
    if (at < 0 || !PIECES[at].rightClick) return code;
    for (int32_t k = 1; k < PIECE_KINDS; ++k)
        if (const PieceKind& next = PIECES[(at + k) % PIECE_KINDS]; next.rightClick) return next.code;
    return code;
}

void DrawBorder() {
    DrawAt(&BorderBobs[0], 0, 0);
    DrawAt(&BorderBobs[2], FIELD_MAX, 0);
    DrawAt(&BorderBobs[4], FIELD_MAX, FIELD_MAX);
    DrawAt(&BorderBobs[6], 0, FIELD_MAX);
    for (int32_t i = FIRST_INNER; i <= LAST_INNER; ++i) DrawAt(&BorderBobs[1], i * CELL_SIZE, 0);
    for (int32_t i = FIRST_INNER; i <= LAST_INNER; ++i) DrawAt(&BorderBobs[3], FIELD_MAX, i * CELL_SIZE);
    for (int32_t i = FIRST_INNER; i <= LAST_INNER; ++i) DrawAt(&BorderBobs[5], i * CELL_SIZE, FIELD_MAX);
    for (int32_t i = FIRST_INNER; i <= LAST_INNER; ++i) DrawAt(&BorderBobs[7], 0, i * CELL_SIZE);
}

void DrawInterior() {
    for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy) {
            const int32_t piece = PieceIndex(Now.Live.play.board[cx][cy]), x = cx * CELL_SIZE, y = cy * CELL_SIZE;
            if (piece < 0) continue;
            if (PIECES[piece].onFloor) {
                EmptyCellBob.currFrame = 0;
                DrawAt(&EmptyCellBob, x, y);
            }
            if (PIECES[piece].picture.count) DrawAt(&PieceBobs[piece], x, y);
        }
}

}  // namespace

int32_t EditorNextPiece() {
    const int32_t cx = Now.Editor.ClickX / CELL_SIZE, cy = Now.Editor.ClickY / CELL_SIZE;
    return StepPiece(InInterior(cx, cy) ? Now.Live.play.board[cx][cy] : CELL_EMPTY);
}

void RunEditorFrame() {
    ReadKeyboard();
    if (KeyState[DIK_S]) {
        for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
            for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy)
                Now.LevelBuffer[cx * BOARD_CELLS + cy] = static_cast<uint8_t>(Now.Live.play.board[cx][cy]);
        NoteFile(EDITOR_SAVED, EDITOR_SAVE_FAILED, SaveLevelFile());
    }
    if (KeyState[DIK_L]) {
        const char* reason = LoadLevelFile(0);
        for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
            for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy)
                Now.Live.play.board[cx][cy] = static_cast<int8_t>(Now.LevelBuffer[cx * BOARD_CELLS + cy]);
        NoteFile(EDITOR_LOADED, EDITOR_LOAD_FAILED, reason);
        // The read is as designed; the player hears what it left as it was.
        if (!reason && Now.LevelFileRead < LEVEL_FILE_SIZE) {
            Now.Editor.FileNote = EDITOR_LOADED_SHORT;
            std::snprintf(Now.Editor.FileReason, sizeof Now.Editor.FileReason, "%d",
                          static_cast<int>(Now.LevelFileRead));
        }
    }
    if (KeyState[DIK_P]) Now.Editor.PlayPending = 1;
    if (PlatformKeyDownNow(VK_RETURN_KEY)) {
        ResetLevel();
        Now.Editor.Mode = 0;
        // Leaving drops what is still pending, so the restarted level is
        // neither emptied nor edited by the rest of this frame.
        Now.Editor.ClearPending = 0;
        Now.Editor.LeftClickPending = 0;
        Now.Editor.RightClickPending = 0;
    }
    if (Now.Editor.ClearPending) {
        ClearBoard();
        Now.Editor.ClearPending = 0;
    }
    if (Now.Editor.LeftClickPending) HandleClick(&Now.Editor.LeftClickPending, ToggleBlock);
    if (Now.Editor.RightClickPending) HandleClick(&Now.Editor.RightClickPending, StepPiece);
    DrawBorder();
    DrawInterior();
    PresentFrame();
}
