// The session's two entries besides the door of events: a fresh start, as
// the tests take it, and one frame, as every front end runs it. They stand
// above the handlers and the commands, both of which they call.
#include "game/session.h"
#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/history.h"
#include "game/tank.h"
#include "lib/sound.h"
#include "shell/comforts.h"
#include "shell/shell.h"

Comforts Comfort;

void StartFreshSession() {
    // The level being made would land in the fresh session: it is stopped.
    StopMaking();
    Now = Session{};
    Comfort = Comforts{};
    // The design's level and key-release flag stay globals of their own, and
    // the sound switch lives with the sound device, below the shell.
    CurrentLevel = 1;
    KeyReleased = 1;
    SoundOff = false;
}

void RunFrame() {
    if (Now.Editor.Mode) {
        RunEditorFrame();
    } else {
        const int played = RunPlayFrame(TakeRestart());
        // While the level stands won, the saved progress and the level menu catch up.
        if (Now.Live.play.won) OnWinFrame();
        if (played == PLAY_FRAME_OPEN_EDITOR) {
            Now.Editor.Mode = 1;
            Now.Editor.ClearPending = 1;
            // Enter comes back to the level being played, not a board of one's own.
            LeaveOwnBoard();
            ClearHistory();
        } else {
            ReadSoundKey();
        }
    }
    UpdateComforts();
    if (Now.Editor.Mode) TickEditorNote();
}
