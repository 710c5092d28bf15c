// What the solver's searches answer, and what goes with them: the least
// shots to win a level and one shortest solution, the figures of its whole
// board graph, and a demo script that plays a solution. The search itself
// is in cellsolver.h; the shots it tries are the game's entries. The
// tools' text forms (entry names, demo scripts) are in solver_strings.h.
#pragma once
#include <cstdint>

#include "game/board.h"
#include "game/entries.h"
#include "game/play.h"
#include "lib/grow.h"

namespace solver {

using ::ENTRIES;
using ::EntryDirection;
using ::EntryLine;
using ::EntryTank;
constexpr int INNER = LAST_INNER - FIRST_INNER + 1;

enum Status { SOLVED, UNSOLVABLE, BOUND_HIT, BROKEN };

struct Result {
    Status status = UNSOLVABLE;
    uint32_t states = 0;         // states met
    uint64_t moves = 0;          // shots simulated
    uint64_t loopingMoves = 0;   // shots that ended in a closed loop
    Grow<int> solution;          // entries, first shot first
    bool solutionLoops = false;  // a shot of the solution loops
};

struct Stats {
    Result result;          // status, states, the shortest solution
    uint32_t winnable = 0;  // states from which the level can still be won
    uint32_t deadEnds = 0;  // reachable states from which it cannot
    uint32_t wonStates = 0;
    int firstShotsDead = 0;   // of the 48 first shots
    int secondShotsDead = 0;  // of the second shots after a first shot that still wins
    int secondShotsTried = 0;
    int maxDepth = 0;
};

// The level as the game's level start builds it from the file bytes.
void SetUpLevel(PlayState* p, const uint8_t bytes[LEVEL_FILE_SIZE]);

}  // namespace solver
