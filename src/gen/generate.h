// The level generator: a level of a grade from a 64-bit seed, proven and
// graded by the exact cell solver. The same grade and seed give the same
// 300 bytes everywhere. It runs in one go (a worker thread) or in slices
// (a page's spare frame time), and can be cancelled from another thread.
//
//   gen::Generation g;                        // large: keep it on the heap
//   gen::StartGeneration(&g, gen::HARD, seed);
//   while (!gen::ContinueGeneration(&g, sliceEnd, &cancel)) { ... next frame ... }
//   if (g.status == gen::MADE) use g.level;
#pragma once
#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gen/grade.h"
#include "gen/measure.h"
#include "gen/random.h"

namespace gen {

struct MadeLevel {
    uint8_t bytes[LEVEL_FILE_SIZE] = {};
    Grade grade = EASY;
    uint64_t seed = 0;
    Figures figures;
    std::vector<int> solution;  // one shortest solution, entries as the solver numbers them
    uint32_t candidates = 0;    // boards measured on the way
};

enum GenerationStatus { GENERATING, MADE, GENERATION_CANCELLED };

// What measuring one board gave, kept so that a board the search meets
// again is not measured twice.
struct Measured {
    MeasureStatus status = MEASURING;
    uint32_t bound = 0;  // the boards it could reach at most
    Figures figures;     // states: those it reached, when it ended
    std::vector<int> solution;
};

struct Generation {
    GenerationStatus status = GENERATING;
    MadeLevel level;  // once MADE
    // The search's own state.
    Grade grade = EASY;
    uint64_t seed = 0;
    Random rng{};
    bool haveCurrent = false, measuring = false;
    uint8_t current[LEVEL_FILE_SIZE] = {}, candidate[LEVEL_FILE_SIZE] = {};
    int64_t currentCost = 0;
    std::vector<int> currentIdle;
    uint32_t candidates = 0, sinceBetter = 0, round = 0, currentStates = 0;
    Measure measure;
    std::map<std::string, Measured> measured;  // by the board's bytes
};

void StartGeneration(Generation* g, Grade grade, uint64_t seed);
// Works until the level is made or cancelled (true; see g->status) or
// `sliceEnd` passes (false: call again to go on). The answer does not
// depend on how the work was sliced.
bool ContinueGeneration(Generation* g, cellsolver::Micros sliceEnd = cellsolver::NO_DEADLINE,
                        const std::atomic<bool>* cancel = nullptr);
// Both in one call; false only when cancelled.
bool Generate(Grade grade, uint64_t seed, MadeLevel* out, const std::atomic<bool>* cancel = nullptr);

// "Hard #83412": the name a made level goes by.
std::string LevelName(Grade grade, uint64_t seed);
// The level's source in the form of data/levels/, its figures in the header.
std::string LevelSource(const MadeLevel& level, const std::string& name);

}  // namespace gen
