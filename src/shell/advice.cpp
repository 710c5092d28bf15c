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
#include "game/win.h"
#include "shell/comforts.h"
#include "shell/shell.h"
#include "solver/advice.h"
#include "solver/tables.h"

namespace {

// The shipped levels are answered well inside this; a board of the
// player's own may need longer, and past it the answer is "unknown".
constexpr uint32_t ADVICE_BUDGET_MS = 2000;

// The solver's answer about the board at rest, and what was asked.
struct AdviceState {
    uint32_t AskedSerial;  // the RestSerial last asked about
    bool Asked, Known;
    PlayState AskedBoard;
    Advice Latest;
};
AdviceState Adv;

// Turns the answer into what shows: the notice, and the marker once asked.
void ShowAdvice() {
    Notice.LostNoticeShown = Adv.Known && Adv.Latest.lost == 1;
    Notice.HintDirection = 0;
    if (!Notice.HintAsked || !Adv.Known || Adv.Latest.lost != 0 || Adv.Latest.entry < 0) return;
    int32_t x = 0, y = 0;
    EntryTank(Adv.Latest.entry, &x, &y);
    Notice.HintCellX = x / CELL_SIZE;
    Notice.HintCellY = y / CELL_SIZE;
    Notice.HintDirection = EntryDirection(Adv.Latest.entry);
}

bool Tabled() { return !OwnLevel || Own.tabled; }

}  // namespace

bool AdviceKnown() { return Adv.Known; }

void UpdateComforts() {
    UpdateMaking();
    MarkLevelMenu();
    if (EditorMode) {
        if (EditorPlayPending) {
            EditorPlayPending = 0;
            uint8_t bytes[LEVEL_FILE_SIZE] = {};
            for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
                for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy)
                    bytes[cx * BOARD_CELLS + cy] = static_cast<uint8_t>(Live.play.board[cx][cy]);
            PlayOwnBoard(bytes, "Your board");
        } else {
            return;
        }
    }
    EditorPlayPending = 0;
    if (!Adv.Asked || Adv.AskedSerial != RestSerial()) {
        // A new board at rest: what was shown was about the old one.
        Adv.AskedSerial = RestSerial();
        Adv.Asked = true;
        Adv.Known = false;
        ShowAdvice();
        if (!PlayInMotion(Live.play)) {
            Adv.AskedBoard = Live.play;
            // A shipped level's table answers at once; until it is made,
            // and for boards of one's own, the search does.
            // A made level's table is made too; the shipped level after it is not due.
            if (Tabled()) {
                const int32_t played = Live.play.won ? LevelPlayed : CurrentLevel;
                PrepareWinTables(LevelBuffer, !OwnLevel && played < LAST_LEVEL ? played + 1 : 0);
            }
            Adv.Known = Tabled() && TableAdvice(Adv.AskedBoard, &Adv.Latest);
            if (!Adv.Known) AskAdvice(Live.play, ADVICE_BUDGET_MS);
        } else {
            Adv.Asked = false;
        }
    }
    if (!Adv.Known && Adv.Asked &&
        ((Tabled() && TableAdvice(Adv.AskedBoard, &Adv.Latest)) || TakeAdvice(&Adv.Latest))) {
        Adv.Known = true;
    }
    // The start's answer is the par of a board the index does not know.
    if (Adv.Known && OwnLevel && !Own.par && Live.shotsFired == 0 && UndoDepth() == 0 && Adv.Latest.shotsToWin >= 0)
        Own.par = Adv.Latest.shotsToWin;
    ShowAdvice();
}

void WaitForAdvice() {
    if (Adv.Asked && !Adv.Known) {
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

int8_t AdviceLost() { return Adv.Known ? Adv.Latest.lost : ADVICE_UNKNOWN; }
int32_t AdviceHintEntry() { return Notice.HintDirection && Adv.Known ? Adv.Latest.entry : -1; }
