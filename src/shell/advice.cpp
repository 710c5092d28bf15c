// The solver's answer about each new board at rest: the lost notice, and
// the hint's marker once H asks for it.
#include <cstdint>

#include "editor/editor.h"
#include "game/board.h"
#include "game/entries.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/history.h"
#include "game/notices.h"
#include "game/session.h"
#include "game/win.h"
#include "shell/comforts.h"
#include "shell/shell.h"
#include "solver/advice.h"
#include "solver/tables.h"

namespace {

// The shipped levels are answered well inside this; a board of the
// player's own may need longer, and past it the answer is "unknown".
constexpr uint32_t ADVICE_BUDGET_MS = 2000;

// Turns the answer into what shows: the notice, and the marker once asked.
void ShowAdvice() {
    Now.Notice.LostNoticeShown = Comfort.Adv.Known && Comfort.Adv.Latest.lost == 1;
    Now.Notice.HintDirection = 0;
    if (!Now.Notice.HintAsked || !Comfort.Adv.Known || Comfort.Adv.Latest.lost != 0 || Comfort.Adv.Latest.entry < 0)
        return;
    int32_t x = 0, y = 0;
    EntryTank(Comfort.Adv.Latest.entry, &x, &y);
    Now.Notice.HintCellX = x / CELL_SIZE;
    Now.Notice.HintCellY = y / CELL_SIZE;
    Now.Notice.HintDirection = EntryDirection(Comfort.Adv.Latest.entry);
}

bool Tabled() { return !Now.OwnLevel || Comfort.Own.tabled; }

}  // namespace

bool AdviceKnown() { return Comfort.Adv.Known; }

void UpdateComforts() {
    UpdateMaking();
    MarkLevelMenu();
    if (Now.Editor.Mode) {
        if (Now.Editor.PlayPending) {
            Now.Editor.PlayPending = 0;
            uint8_t bytes[LEVEL_FILE_SIZE] = {};
            for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
                for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy)
                    bytes[cx * BOARD_CELLS + cy] = static_cast<uint8_t>(Now.Live.play.board[cx][cy]);
            PlayOwnBoard(bytes, "Your board");
        } else {
            return;
        }
    }
    Now.Editor.PlayPending = 0;
    if (!Comfort.Adv.Asked || Comfort.Adv.AskedSerial != RestSerial()) {
        // A new board at rest: what was shown was about the old one.
        Comfort.Adv.AskedSerial = RestSerial();
        Comfort.Adv.Asked = true;
        Comfort.Adv.Known = false;
        ShowAdvice();
        if (!PlayInMotion(Now.Live.play)) {
            Comfort.Adv.AskedBoard = Now.Live.play;
            // A shipped level's table answers at once; until it is made,
            // and for boards of one's own, the search does.
            // A made level's table is made too; the shipped level after it is not due.
            if (Tabled()) {
                const int32_t played = Now.Live.play.won ? Now.LevelPlayed : CurrentLevel;
                PrepareWinTables(Now.LevelBuffer, !Now.OwnLevel && played < LAST_LEVEL ? played + 1 : 0);
            }
            Comfort.Adv.Known = Tabled() && TableAdvice(Comfort.Adv.AskedBoard, &Comfort.Adv.Latest);
            if (!Comfort.Adv.Known) AskAdvice(Now.Live.play, ADVICE_BUDGET_MS);
        } else {
            Comfort.Adv.Asked = false;
        }
    }
    if (!Comfort.Adv.Known && Comfort.Adv.Asked &&
        ((Tabled() && TableAdvice(Comfort.Adv.AskedBoard, &Comfort.Adv.Latest)) || TakeAdvice(&Comfort.Adv.Latest))) {
        Comfort.Adv.Known = true;
    }
    // The start's answer is the par of a board the index does not know.
    if (Comfort.Adv.Known && Now.OwnLevel && !Comfort.Own.par && Now.Live.shotsFired == 0 && UndoDepth() == 0 &&
        Comfort.Adv.Latest.shotsToWin >= 0)
        Comfort.Own.par = Comfort.Adv.Latest.shotsToWin;
    ShowAdvice();
}

void WaitForAdvice() {
    if (Comfort.Adv.Asked && !Comfort.Adv.Known) {
        WaitAdvice();
        UpdateComforts();
    }
}

void PumpComforts(uint32_t sliceMs) {
    // A level being made comes first: until it is, the board in play is
    // about to go.
    if (MakingLevelNote()) PumpMaking(sliceMs);
    else PumpAdvice(sliceMs);
}

int8_t AdviceLost() { return Comfort.Adv.Known ? Comfort.Adv.Latest.lost : ADVICE_UNKNOWN; }
int32_t AdviceHintEntry() { return Now.Notice.HintDirection && Comfort.Adv.Known ? Comfort.Adv.Latest.entry : -1; }
