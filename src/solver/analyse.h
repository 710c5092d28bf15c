// The figures a puzzle designer judges a level by, all from the whole board
// graph the cell solver explores (every board a level reaches, and the
// shots between them).
//
// Words used below:
// - a shot is one of the 48 entries fired at a board at rest; a shot that
//   leaves the board as it was (it flies out, meets a block, pushes what
//   cannot move, or loops for ever over nothing) is wasted;
// - a shortest solution is a way from the start to a won board in par
//   shots; the solution is the one the solver finds and prints;
// - a shot's effect is what it does: the balloons it pops, and which
//   deflector moves from which cell to which.
#pragma once
#include <cstdint>

#include "game/board.h"
#include "game/boardimage.h"
#include "solver/solver.h"

namespace cellsolver {
struct Search;
}

namespace solver {

// Essential solutions are counted up to this; a level with more says this.
constexpr uint64_t MANY_SOLUTIONS = 1000;

struct Analysis {
    int par = 0;             // least shots
    uint32_t states = 0;     // reachable boards
    uint32_t deadEnds = 0;   // reachable boards from which no win is left
    double deadShare = 0;    // dead ends / reachable boards
    int carelessFirst = 0;   // first shots into a dead end, of 48
    int carelessSecond = 0;  // second shots into a dead end, after a first that still wins
    int secondTried = 0;     // all 48 second shots after each first that leaves a win to play for
    // Shortest solutions told apart only by their effects, taken as a
    // multiset in any order: two orders of the same shots are one, and so
    // are two shots from different sides that do the same. Counted on the
    // graph of shortest solutions, each board carrying the effect sets of
    // the ways into it (as a 64-bit sum of the effects' hashes: two
    // different sets agree about once in 2^64); MANY_SOLUTIONS at most.
    uint64_t essentialSolutions = 0;
    // Each step of each shortest solution (every shortest solution, as a
    // sequence of boards, weighing alike) is forced when one board alone
    // keeps the least count (shots that make the same board are one move).
    // The share of such steps.
    double forcedShare = 0;
    // The solution's shots grouped by dependence: a shot and a later one
    // depend on each other when the cells either changes (balloons popped,
    // the deflector's cell and the cell it moves to) include a cell the
    // other flies through or acts on (the deflector it turns at or pushes,
    // the cell a push is tried into, the block it stops at). Joined
    // transitively. The number of groups, and the largest one's share of par.
    int groups = 0;
    double largestGroupShare = 0;
    // The solution's shots that: pop a balloon before any wedge turns them
    // (straight); are turned by a wedge before they pop or push (turns: a
    // turn after the shot's last effect changes nothing); move a wedge or a
    // square into an empty cell (pushes); push a wedge into its opposite,
    // which snap into a square (snaps). A shot may count twice, as one that
    // pops straight on and is then turned into another balloon.
    int straight = 0, turns = 0, pushes = 0, snaps = 0;
    // What every shortest solution needs: the fewest shots that turn, push
    // or snap (as above), and the fewest snaps, on any of them.
    int fewestTricks = 0, fewestSnaps = 0;
    // The chance that a player who fires each of the 48 shots with equal
    // chance, shot after shot, ever wins. A wasted shot only gives the
    // player the same choice again, so this is also the chance of one who
    // picks among the shots that change the board; from a board no shot
    // changes, the player has lost. Where boards lead round in circles
    // (deflectors pushed back and forth), the circle's chances are found
    // by iteration to within about 1e-12.
    double randomWin = 0;
    // BoardSymmetry of the start.
    double symmetry = 0;
};

enum AnalyseStatus { ANALYSED, ANALYSE_UNSOLVABLE, ANALYSE_TOO_BIG, ANALYSE_BROKEN };

// Explores the level (at most maxStates boards) and fills every figure.
// An unsolvable level gets its boards, dead ends (all of them), careless
// first shots and symmetry; one too big or broken only its symmetry.
AnalyseStatus AnalyseLevel(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates, Analysis* out);

// The same figures from a search of the level that has already run to its
// end, with everything (a caller that explores in slices, as the
// generator does), r its result. The random player needs the search's
// countShots set before it starts; without it randomWin is -1.
AnalyseStatus AnalyseExplored(const uint8_t bytes[LEVEL_FILE_SIZE], const cellsolver::Search& s, const Result& r,
                              Analysis* out);

using ::BoardSymmetry;

}  // namespace solver
