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
#include <cstddef>
#include <cstdint>

#include "gen/family.h"
#include "gen/grade.h"
#include "gen/measure.h"
#include "gen/random.h"

namespace gen {

struct MadeLevel {
    uint8_t bytes[LEVEL_FILE_SIZE] = {};
    Grade grade = EASY;
    Family family = PERISCOPES;
    uint64_t seed = 0;
    Figures figures;
    Grow<int> solution;       // one shortest solution, entries as the solver numbers them
    uint32_t candidates = 0;  // boards measured on the way
};

enum GenerationStatus { GENERATING, MADE, GENERATION_CANCELLED };

// What measuring one board gave, kept so that a board the search meets
// again is not measured twice.
struct Measured {
    uint8_t board[LEVEL_FILE_SIZE];
    MeasureStatus status;
    uint32_t bound;                     // the boards it could reach at most
    Figures figures;                    // states: those it reached, when it ended
    solver::Analysis analysis;          // when the search asked for it
    uint32_t solutionAt, solutionSize;  // its shortest solution, in the set's shots
};

// Every board measured, found by its bytes.
struct MeasuredSet {
    Grow<Measured> boards;
    Grow<uint8_t> shots;   // the solutions, one after another
    Grow<uint32_t> slots;  // open addressing: a board's index + 1, 0 free
};

struct Generation {
    GenerationStatus status = GENERATING;
    MadeLevel level;  // once MADE
    // The search's own state.
    Grade grade = EASY;
    Family family = PERISCOPES;
    uint64_t seed = 0;
    Random rng{};
    Layout layout{};  // the current start's frame and region
    // A mirrored family's half, once in its band, is put together with its
    // image and the whole measured; a whole out of its band starts afresh.
    bool composing = false;
    uint8_t whole[LEVEL_FILE_SIZE] = {};
    // The whole with every seam block some shot meets, to measure if the
    // lighter seam's whole leaves its band; and the bound of both.
    bool apartLeft = false;
    uint8_t apartWhole[LEVEL_FILE_SIZE] = {};
    // The halves apart reach more boards than the band allows (counted in
    // the half: ApartBoards), so that whole is refused without measuring it.
    bool apartTooBig = false;
    uint32_t wholeBound = 0;
    bool haveCurrent = false, measuring = false;
    uint8_t current[LEVEL_FILE_SIZE] = {}, candidate[LEVEL_FILE_SIZE] = {};
    int64_t currentCost = 0;
    IdleList currentIdle, candidateIdle;
    Grow<int> knownSolution;  // the candidate's, measured or met before
    uint32_t candidates = 0, sinceBetter = 0, round = 0, currentStates = 0;
    bool walking = false;                   // inside the band, walking on in it
    uint32_t walkTried = 0, walkTaken = 0;  // the walk's candidates, and the changes it took
    Measure measure;
    MeasuredSet measured;
};

void StartGeneration(Generation* g, Grade grade, uint64_t seed);
// Works until the level is made or cancelled (true; see g->status) or
// `sliceEnd` passes (false: call again to go on). The answer does not
// depend on how the work was sliced.
bool ContinueGeneration(Generation* g, cellsolver::Micros sliceEnd = cellsolver::NO_DEADLINE,
                        const std::atomic<bool>* cancel = nullptr);
// Both in one call; false only when cancelled.
bool Generate(Grade grade, uint64_t seed, MadeLevel* out, const std::atomic<bool>* cancel = nullptr);

// "Vault, hard #83412": the name a made level goes by.
constexpr size_t LEVEL_NAME_SIZE = 48;
void LevelName(Grade grade, uint64_t seed, char out[LEVEL_NAME_SIZE]);
// "Daily 2026-12-07, Vault, hard": the day's level.
void DailyName(const Date& date, char out[LEVEL_NAME_SIZE]);

}  // namespace gen
