// Measuring a board with the exact cell solver: its least shots, its
// reachable boards, its dead ends and careless first and second shots (the
// figures `tarno-solve --stats` prints), in slices if need be, and which of
// its pieces the shortest solution found leaves idle.
#pragma once
#include <atomic>
#include <cstdint>

#include "game/board.h"
#include "solver/analyse.h"
#include "solver/cellsolver.h"

namespace gen {

struct Figures {
    int par = 0;             // least shots
    uint32_t states = 0;     // reachable boards
    uint32_t deadEnds = 0;   // reachable boards from which it cannot be won
    int carelessFirst = 0;   // first shots into a dead end, of 48
    int carelessSecond = 0;  // second shots into a dead end
    int secondTried = 0;     // of these
};

// Dead ends per thousand reachable boards, rounded down: the share the
// grades are drawn in, kept in integers so that no platform rounds apart.
inline int DeadPermille(const Figures& f) {
    return f.states ? static_cast<int>(uint64_t{f.deadEnds} * 1000 / f.states) : 0;
}

enum MeasureStatus { MEASURING, MEASURED, UNSOLVABLE, TOO_BIG, BROKEN, CANCELLED };

// One board's measurement. It points into itself: start it where it stays.
struct Measure {
    cellsolver::Search search;
    cellsolver::Exploration x;
    MeasureStatus status = MEASURING;
    Figures figures;
    Grow<int> solution;  // one shortest solution
    // With `analyse`, the designer's figures too, from the same search
    // (about as much work again: for small boards).
    bool analyse = false;
    solver::Analysis analysis;
    // With a half's seam (the row along the middle, all block while the
    // half is searched): the seam's blocks that some shot, at some
    // reachable board, stops at or pushes a wedge against. The others can
    // go: no shot ever reaches them. Of those, the ones a shot meets after
    // a wedge turned it or in pushing a wedge against them: without the
    // others a straight shot from the border flies on into the other half.
    const bool* seam = nullptr;
    bool seamUsed[LEVEL_FILE_SIZE];
    bool seamWorked[LEVEL_FILE_SIZE];
    // With a seam too: the boards that only play on after a win reaches
    // (a won half's wedges pushed about while the other half is played),
    // at most POST_WIN_MOST; and whether they were all counted and no shot
    // at them meets the seam where none before a win did, so that a whole
    // with the seamUsed blocks plays apart as one with the full seam.
    uint32_t postWin = 0;
    bool postWinApart = false;
    uint8_t bytes[LEVEL_FILE_SIZE];
};

constexpr uint32_t POST_WIN_MOST = 4096;

// The boards a whole of this measured half and its image reaches with
// the seam between them all block (or only the seamUsed blocks, when
// postWinApart), so that its halves play apart: every
// pair of the half's boards, and each board that plays on after a win
// beside each board of the other half (not beside another such: the
// whole was won before).
uint64_t ApartBoards(const Measure& half);

void StartMeasure(Measure* m, const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates, bool analyse = false);
// Goes on until the figures are in (true) or `sliceEnd` passes (false).
// Once `cancel` is set it ends with CANCELLED.
bool ContinueMeasure(Measure* m, cellsolver::Micros sliceEnd = cellsolver::NO_DEADLINE,
                     const std::atomic<bool>* cancel = nullptr);

// The pieces that the solution leaves idle: a deflector it neither moves
// nor turns a shot with, a block that stops no shot and no deflector. Each
// is named by its byte in the level file, lowest first; none when every
// piece works.
struct IdleList {
    int count = 0;
    int at[BOARD_CELLS * BOARD_CELLS];
};
void IdlePieces(const uint8_t bytes[LEVEL_FILE_SIZE], const Grow<int>& solution, IdleList* idle);

}  // namespace gen
