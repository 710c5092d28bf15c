#include "gen/measure.h"

#include <cstring>

#include "game/leveltext.h"

namespace gen {

void StartMeasure(Measure* m, const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates, bool analyse) {
    m->search = cellsolver::Search{};
    m->search.countShots = analyse;
    m->analyse = analyse;
    m->analysis = solver::Analysis{};
    m->seam = nullptr;
    std::memcpy(m->bytes, bytes, LEVEL_FILE_SIZE);
    m->status = MEASURING;
    m->figures = Figures{};
    m->solution.clear();
    PlayState play;
    solver::SetUpLevel(&play, bytes);
    cellsolver::StartExploration(&m->x, play, maxStates, true, &m->search);
}

namespace {

int ByteOfCell(int p);

// Where a shot ended: the block it stopped at, or the cell a wedge it
// pushed could not move into.
struct EndWatch {
    int at = -1, dir = 0;
    bool worked = false;  // turned by a wedge, or spent pushing one
    void Stopped(int p, int d) { at = p, dir = d; }
    void Turned(int) { worked = true; }
    void Spent(int from, int to, bool moves) {
        if (moves) return;
        at = to;
        worked = true;
        for (int d = 0; d < 4; ++d)
            if (to - from == cellsolver::STEP[d]) dir = d;
    }
};

// Marks the seam's blocks that a shot at the board meets, and those that
// a shot meets after a wedge turned it or in pushing one.
void MarkSeam(const cellsolver::Level& lv, const cellsolver::Cells& cells, const bool* seam, bool* used, bool* worked) {
    for (int e = 0; e < solver::ENTRIES; ++e) {
        cellsolver::Cells board = cells;
        EndWatch w;
        cellsolver::TraceShotWatched(lv, &board, e, &w);
        if (w.at < 0 || !seam[ByteOfCell(w.at)]) continue;
        used[ByteOfCell(w.at)] = true;
        if (w.worked) worked[ByteOfCell(w.at)] = true;
    }
}

// Counts the boards reached from won boards that the search, which ends
// at a win, never met: every balloon gone, only wedges moved. The halves
// stay apart if no shot at them meets the seam where no shot before a win
// did (that block may go from the whole's seam).
void CountPostWin(Measure* m) {
    const cellsolver::Search& s = m->search;
    cellsolver::KeySet met;  // the boards after a win, in the order met
    met.keys.SetNarrow(s.set.keys.narrow());
    Grow<cellsolver::Key> queue;
    for (uint32_t i = 0; i < s.set.count; ++i)
        if (s.won[i]) queue.push_back(s.set.keys[i]);
    cellsolver::Cells cells, after;
    for (size_t q = 0; q < queue.size(); ++q) {
        cellsolver::MakeCells(s.level, queue[q], &cells);
        for (int e = 0; e < solver::ENTRIES; ++e) {
            after = cells;
            const cellsolver::Change ch = cellsolver::TraceShot(s.level, &after, e);
            if (ch.from < 0) continue;
            const cellsolver::Key n = cellsolver::NextKey(queue[q], after, ch);
            if (met.count >= POST_WIN_MOST || s.set.Lookup(n) >= 0 || met.Lookup(n) >= 0) continue;
            met.Add(n, 0, e, 0);
            queue.push_back(n);
        }
    }
    m->postWin = met.count;
    bool used[LEVEL_FILE_SIZE] = {}, worked[LEVEL_FILE_SIZE] = {};
    for (uint32_t k = 0; k < met.count; ++k) {
        cellsolver::MakeCells(s.level, met.keys[k], &cells);
        MarkSeam(s.level, cells, m->seam, used, worked);
    }
    m->postWinApart = met.count < POST_WIN_MOST;
    for (int at = 0; at < LEVEL_FILE_SIZE; ++at) m->postWinApart &= !used[at] || m->seamUsed[at];
}

// The figures of a finished exploration, as tarno-solve --stats prints them.
void Reckon(Measure* m) {
    solver::Stats st;
    cellsolver::ReckonStats(m->search, &st);
    Figures& f = m->figures;
    f.states = m->search.set.count;
    f.deadEnds = st.deadEnds;
    f.par = static_cast<int>(m->x.result.solution.size());
    f.carelessFirst = st.firstShotsDead;
    f.carelessSecond = st.secondShotsDead;
    f.secondTried = st.secondShotsTried;
    m->solution = m->x.result.solution;
    if (m->analyse) solver::AnalyseExplored(m->bytes, m->search, m->x.result, &m->analysis);
    std::memset(m->seamUsed, 0, sizeof m->seamUsed);
    std::memset(m->seamWorked, 0, sizeof m->seamWorked);
    if (m->seam) {
        cellsolver::Cells cells;
        for (uint32_t i = 0; i < m->search.set.count; ++i) {
            cellsolver::MakeCells(m->search.level, m->search.set.keys[i], &cells);
            MarkSeam(m->search.level, cells, m->seam, m->seamUsed, m->seamWorked);
        }
        CountPostWin(m);
    }
}

}  // namespace

uint64_t ApartBoards(const Measure& half) {
    const uint64_t states = half.figures.states;
    return states * (states + 2 * uint64_t{half.postWin});
}

bool ContinueMeasure(Measure* m, cellsolver::Micros sliceEnd, const std::atomic<bool>* cancel) {
    if (m->status != MEASURING) return true;
    if (!cellsolver::ContinueExploration(&m->x, sliceEnd, cellsolver::NO_DEADLINE, cancel)) return false;
    if (cancel && *cancel) {
        m->status = CANCELLED;
        return true;
    }
    switch (m->x.result.status) {
    case solver::SOLVED:
        Reckon(m);
        m->status = MEASURED;
        break;
    case solver::UNSOLVABLE: m->status = UNSOLVABLE; break;
    case solver::BOUND_HIT: m->status = TOO_BIG; break;
    default: m->status = BROKEN; break;
    }
    // The boards are not needed once the figures are in.
    m->search = cellsolver::Search{};
    return true;
}

namespace {

using cellsolver::Cells;
using cellsolver::STEP;

// What the pieces did during the shots, besides what TraceShot reports.
struct Work {
    const Cells* board = nullptr;         // the board being traced
    uint16_t pieceAt[cellsolver::CELLS];  // deflector numbers standing in a cell, as bits
    uint16_t moved = 0, turned = 0;
    uint8_t blockUsed[cellsolver::CELLS];  // by cell
    int stopAt = -1, stopDir = 0;          // where the last shot met a block

    void Stopped(int at, int dir) {
        blockUsed[at] = 1;
        stopAt = at, stopDir = dir;
    }
    void Turned(int at) { turned |= pieceAt[at]; }
    void Spent(int from, int to, bool moves) {
        if (board->c[to] == CELL_BLOCK) blockUsed[to] = 1;
        if (!moves) return;
        // A wedge another snaps onto works as much as the one pushed.
        moved |= pieceAt[from] | (pieceAt[from] ? pieceAt[to] : 0);
        pieceAt[to] |= pieceAt[from];
        pieceAt[from] = 0;
    }
};

int ByteOfCell(int p) { return leveltext::ByteIndex(p / cellsolver::STRIDE - 1, p % cellsolver::STRIDE - 1); }

}  // namespace

void IdlePieces(const uint8_t bytes[LEVEL_FILE_SIZE], const Grow<int>& solution, IdleList* idle) {
    PlayState play;
    solver::SetUpLevel(&play, bytes);
    Cells cells;
    const cellsolver::Level lv = cellsolver::LevelFromPlay(play, &cells);
    Work w;
    for (int p = 0; p < cellsolver::CELLS; ++p) w.pieceAt[p] = 0, w.blockUsed[p] = 0;
    int pieces = 0;
    int deflectorCell[16];
    for (int p = 0; p < cellsolver::CELLS; ++p)
        if (cellsolver::IsSingle(cells.c[p]) && pieces < 16) {
            w.pieceAt[p] = static_cast<uint16_t>(1u << pieces);
            deflectorCell[pieces++] = p;
        }
    const Cells start = cells;
    for (int e : solution) {
        w.board = &cells;
        cellsolver::TraceShotWatched(lv, &cells, e, &w);
    }
    // A block also works when it guards a piece: it stops a shot fired at
    // the starting board that would otherwise fly on into a balloon or a
    // deflector. Such a block bars the short way that would make the level
    // trivial, which is most blocks' work.
    for (int e = 0; e < solver::ENTRIES; ++e) {
        Cells board = start;
        Work scratch = w;
        scratch.board = &board;
        scratch.stopAt = -1;
        cellsolver::TraceShotWatched(lv, &board, e, &scratch);
        const int p = scratch.stopAt;
        if (p < 0) continue;
        int q = p + STEP[scratch.stopDir];
        while (board.c[q] == CELL_EMPTY) q += STEP[scratch.stopDir];
        if (board.c[q] == CELL_BALLOON || cellsolver::IsDeflector(board.c[q])) w.blockUsed[p] = 1;
    }
    // Marked by byte, then read in order: the list comes out sorted.
    bool idleAt[LEVEL_FILE_SIZE] = {};
    for (int k = 0; k < pieces; ++k)
        if (!((w.moved | w.turned) >> k & 1)) idleAt[ByteOfCell(deflectorCell[k])] = true;
    for (int p = 0; p < cellsolver::CELLS; ++p)
        if (lv.base.c[p] == CELL_BLOCK && !w.blockUsed[p]) idleAt[ByteOfCell(p)] = true;
    idle->count = 0;
    for (int b = 0; b < LEVEL_FILE_SIZE; ++b)
        if (idleAt[b]) idle->at[idle->count++] = b;
}

}  // namespace gen
