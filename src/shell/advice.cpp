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

uint32_t AskedSerial;  // the RestSerial last asked about
bool Asked, Known;
PlayState AskedBoard;
Advice Latest;

// Turns the answer into what shows: the notice, and the marker once asked.
void ShowAdvice() {
    LostNoticeShown = Known && Latest.lost == 1;
    HintDirection = 0;
    if (!HintAsked || !Known || Latest.lost != 0 || Latest.entry < 0) return;
    int32_t x = 0, y = 0;
    EntryTank(Latest.entry, &x, &y);
    HintCellX = x / CELL_SIZE;
    HintCellY = y / CELL_SIZE;
    HintDirection = EntryDirection(Latest.entry);
}

bool Tabled() { return !OwnLevel || OwnTabled; }

}  // namespace

bool AdviceKnown() { return Known; }

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
    if (!Asked || AskedSerial != RestSerial) {
        // A new board at rest: what was shown was about the old one.
        AskedSerial = RestSerial;
        Asked = true;
        Known = false;
        ShowAdvice();
        if (!PlayInMotion(Live.play)) {
            AskedBoard = Live.play;
            // A shipped level's table answers at once; until it is made,
            // and for boards of one's own, the search does.
            // A made level's table is made too; the shipped level after it is not due.
            if (Tabled()) {
                const int32_t played = Live.play.won ? LevelPlayed : CurrentLevel;
                PrepareWinTables(LevelBuffer, !OwnLevel && played < LAST_LEVEL ? played + 1 : 0);
            }
            Known = Tabled() && TableAdvice(AskedBoard, &Latest);
            if (!Known) AskAdvice(Live.play, ADVICE_BUDGET_MS);
        } else {
            Asked = false;
        }
    }
    if (!Known && Asked && ((Tabled() && TableAdvice(AskedBoard, &Latest)) || TakeAdvice(&Latest))) {
        Known = true;
    }
    // The start's answer is the par of a board the index does not know.
    if (Known && OwnLevel && !OwnPar && Live.shotsFired == 0 && UndoDepth() == 0 && Latest.shotsToWin >= 0)
        OwnPar = Latest.shotsToWin;
    ShowAdvice();
}

void WaitForAdvice() {
    if (Asked && !Known) {
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

int8_t AdviceLost() { return Known ? Latest.lost : ADVICE_UNKNOWN; }
int32_t AdviceHintEntry() { return HintDirection && Known ? Latest.entry : -1; }
