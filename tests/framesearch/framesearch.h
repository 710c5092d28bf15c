// The frame-exact reference search: breadth-first over a level's boards at
// rest. A move is one shot from one of the 48 entry points, after which the
// game's own rules step (StepPlay) runs on a copy of the play state until
// every shot has stopped and every deflector rests, so the solver's moves
// are exactly the game's.
// No globals are touched: searches may run side by side.
//
// The state is the board's interior: blocks never move, a balloon is alive
// exactly while its cell holds a balloon, and a single deflector's
// orientation is its cell code. The two wedges of a pair never act apart,
// so which two orientations make it up does not matter. Deflector slots are
// interchangeable at rest, so they are handed out in scan order when a
// state is set up again.
//
// A shot caught in a closed loop of deflectors would fly for ever. It is
// followed until its position and heading repeat with no balloon popped in
// between; the move then counts as the board at that point, and is counted
// as a looping move so that a level can be checked for needing one.
//
// The cell search (solver/cellsolver.h) is what the game and the tools run;
// this one is kept beside the tests and benchmarks that prove it exact.
#pragma once
#include <cstdint>
#include <vector>

#include "game/board.h"
#include "game/play.h"
#include "solver/solver.h"

namespace solver {

constexpr int WORDS = 9;  // 144 cells of 4 bits

struct State {
    uint64_t w[WORDS];
};

// True when the state agrees with its board at rest: every deflector of
// the level rests on a corner of a cell that holds a deflector.
bool RestsConsistently(const PlayState& p);

// What became of a move.
enum Outcome { SETTLED, LOOPED };

// Where a flying shot has been since the last balloon popped: a stamp per
// position and heading, so that nothing needs clearing between moves.
struct LoopGuard {
    static constexpr int SPAN = 96;  // positions -16..744 in steps of 8
    uint32_t stamp[SPAN * SPAN * 4] = {};
    uint32_t generation = 0;
};

constexpr long MAX_FRAMES_PER_MOVE = 200000;

// Fires one shot from the entry and runs the rules until all rests.
Outcome PlayMove(PlayState* p, int entry, LoopGuard* guard);

// Every state met, its parent and the shot that led to it, found by hash.
struct StateSet {
    std::vector<uint64_t> words;
    std::vector<uint32_t> parent;
    std::vector<uint8_t> entry;
    std::vector<uint16_t> depth;
    std::vector<uint32_t> table;  // index + 1, 0 for free
    uint32_t count = 0;

    State At(uint32_t i) const;
    // The index of s, adding it if new (*added tells which).
    uint32_t Find(const State& s, bool* added);
    void Grow();
};

// The search itself. With `edges`, it explores everything reachable and
// records, per state, its distinct successors (edgeStart[i]..edgeStart[i+1]).
struct Search {
    StateSet set;
    LoopGuard guard;
    std::vector<uint32_t> edgeStart, edges;
    std::vector<uint8_t> won;
};

Result Explore(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates, bool everything, Search* search);
// The least shots and one shortest solution.
Result Solve(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates);
Stats ComputeStats(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates);

}  // namespace solver
