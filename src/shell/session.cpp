// The session's two entries besides the door of events: a fresh start, as
// the tests take it, and one frame, as every front end runs it. They stand
// above the handlers and the commands, both of which they call.
#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/history.h"
#include "game/notices.h"
#include "game/tank.h"
#include "shell/comforts.h"
#include "shell/shell.h"

void StartFreshSession() {
    Live = Game{};
    ClearHistory();
    Notice = Notices{};
    DropPointerOrders();
    KeyReleased = 1;
    EditorMode = EditorClearPending = EditorPlayPending = 0;
    LeftClickPending = RightClickPending = 0;
    ClickX = ClickY = 0;
    LeaveOwnBoard();
    Own = OwnBoard{};
    ForgetCommands();
    ForgetShownStatus();
}

void RunFrame() {
    if (EditorMode) {
        RunEditorFrame();
    } else {
        const int played = RunPlayFrame(TakeRestart());
        // While the level stands won, the saved progress and the level menu catch up.
        if (Live.play.won) OnWinFrame();
        if (played == PLAY_FRAME_OPEN_EDITOR) {
            EditorMode = 1;
            EditorClearPending = 1;
            // Enter comes back to the level being played, not a board of one's own.
            LeaveOwnBoard();
            ClearHistory();
        } else {
            ReadSoundKey();
        }
    }
    UpdateComforts();
    if (EditorMode) TickEditorNote();
}
