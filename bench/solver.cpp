// Measures the solver on the twelve shipped levels, both searches in the same
// run: the frame-exact one (solver.h, StepPlay frame by frame) and the cell
// trace on two threads (cellsolver.h) that tarno-solve uses.
//   - least shots: each level's shortest solution by both (best of three for
//     the cell search), and whether both agree;
//   - stats: every level's --stats figures by the cell search; with
//     --frame-stats also by the frame-exact search (minutes), checked equal.
//   tarno-bench-solver [--frame-stats] [RUN_DIR]   (default: the build's run folder)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framesearch.h"
#include "game/leveltext_strings.h"
#include "solver/cellsolver.h"

namespace {

template <typename F>
double Millis(F f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - t0;
    return ms.count();
}

bool SameResult(const solver::Result& a, const solver::Result& b) {
    return a.status == b.status && a.states == b.states && a.moves == b.moves && a.loopingMoves == b.loopingMoves &&
           a.solution == b.solution && a.solutionLoops == b.solutionLoops;
}

bool SameStats(const solver::Stats& a, const solver::Stats& b) {
    return SameResult(a.result, b.result) && a.winnable == b.winnable && a.deadEnds == b.deadEnds &&
           a.wonStates == b.wonStates && a.firstShotsDead == b.firstShotsDead &&
           a.secondShotsDead == b.secondShotsDead && a.secondShotsTried == b.secondShotsTried &&
           a.maxDepth == b.maxDepth;
}

}  // namespace

int main(int argc, char** argv) {
    bool frameStats = false;
    std::string dir = TARNO_RUN_DIR;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frame-stats") == 0) frameStats = true;
        else dir = argv[i];
    }
    double frameSolve = 0, cellSolve = 0, cellStats = 0, frameStatsTotal = 0;
    int solved = 0, disagree = 0;
    for (int n = 1; n <= LAST_LEVEL; ++n) {
        const std::string path = dir + "/level" + std::to_string(n) + ".dat";
        uint8_t bytes[LEVEL_FILE_SIZE];
        std::string name, error;
        std::vector<std::string> warnings;
        if (!leveltext::LoadAnyLevel(path, bytes, &name, &error, &warnings)) {
            std::printf("level %2d: %s\n", n, error.c_str());
            ++disagree;
            continue;
        }
        solver::Result frame, cell;
        const double frameMs = Millis([&] { frame = solver::Solve(bytes, 2000000); });
        double cellMs = 1e9;
        for (int run = 0; run < 3; ++run)
            cellMs = std::min(cellMs, Millis([&] { cell = cellsolver::Solve(bytes, 2000000); }));
        solver::Stats stats, frameSt;
        const double statsMs = Millis([&] { stats = cellsolver::ComputeStats(bytes, 2000000); });
        frameSolve += frameMs;
        cellSolve += cellMs;
        cellStats += statsMs;
        solved += cell.status == solver::SOLVED;
        bool same = SameResult(frame, cell);
        std::printf(
            "level %2d: %s, %zu shots, %u states; frame-exact %.1f ms, cell %.1f ms; stats %u states, "
            "%llu shots in %.1f ms",
            n, cell.status == solver::SOLVED ? "solved" : "NOT solved", cell.solution.size(), cell.states, frameMs,
            cellMs, stats.result.states, static_cast<unsigned long long>(stats.result.moves), statsMs);
        if (frameStats) {
            const double ms = Millis([&] { frameSt = solver::ComputeStats(bytes, 2000000); });
            frameStatsTotal += ms;
            same = same && SameStats(frameSt, stats);
            std::printf(" (frame-exact %.1f ms)", ms);
        }
        std::printf("%s\n", same ? "" : "  FIGURES DIFFER");
        disagree += !same;
    }
    std::printf("least shots, all levels: frame-exact %.1f ms, cell %.1f ms (%.1fx; target: at most 250 ms)\n",
                frameSolve, cellSolve, frameSolve / cellSolve);
    std::printf("stats, all levels: cell %.1f ms (target: at most 15000 ms)", cellStats);
    if (frameStats) std::printf(", frame-exact %.1f ms (%.1fx)", frameStatsTotal, frameStatsTotal / cellStats);
    std::printf("\n%d of %d solved; the searches %s\n", solved, LAST_LEVEL,
                disagree ? "DISAGREE" : "agree on every figure measured");
    return solved == LAST_LEVEL && !disagree ? 0 : 1;
}
