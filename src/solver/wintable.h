// Every board a level can reach, each with its shots to a win. With the
// table made, the answer after a shot (lost or not, and the hint) is a
// lookup instead of a search.
#pragma once
#include <atomic>
#include <cstdint>

#include "game/board.h"
#include "solver/advice.h"
#include "solver/cellsolver.h"

struct WinTable {
    uint8_t bytes[LEVEL_FILE_SIZE];  // the level it was made for
    cellsolver::Level level;
    // Sorted: a board's key hash, its low bits replaced by its shots to a
    // win, or WIN_LOST, or WIN_CLASH when two boards share a hash.
    Grow<uint64_t> boards;
};

constexpr uint64_t WIN_BITS = 6;
constexpr uint64_t WIN_LOST = 62;
constexpr uint64_t WIN_CLASH = 63;

// Makes the table on the calling thread; false if cancelled or the level
// reaches too many boards.
bool MakeWinTable(const uint8_t bytes[LEVEL_FILE_SIZE], WinTable* t, const std::atomic<bool>* cancel = nullptr);
// The answer for a board at rest, as ComputeAdvice would give it (the hint
// is the first shot of the same shortest win); false when the table does
// not hold the board.
bool WinTableAdvice(const WinTable& t, const PlayState& board, Advice* out);
