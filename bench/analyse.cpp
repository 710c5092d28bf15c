// Measures the designer's analyser on the hard shipped levels, beside the
// --stats search it builds on, so that what the analysis adds to a search
// of every board shows. Best of three runs each, wall time and the
// process's CPU time (both solver threads together).
//   tarno-bench-analyse [--all] [LEVELS_DIR]   (default: the build's run
//   folder; levels 9-12, or 1-12 with --all)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "game/leveltext_strings.h"
#include "solver/analyse.h"
#include "solver/cellsolver.h"

namespace {

struct Time {
    double wall = 1e30, cpu = 1e30;  // milliseconds, the best of the runs
};

template <typename F>
Time Best(int runs, F f) {
    Time best;
    for (int r = 0; r < runs; ++r) {
        const std::clock_t c0 = std::clock();
        const auto t0 = std::chrono::steady_clock::now();
        f();
        const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - t0;
        const double cpu = 1000.0 * static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
        if (wall.count() < best.wall) best.wall = wall.count();
        if (cpu < best.cpu) best.cpu = cpu;
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = TARNO_RUN_DIR;
    int first = 9;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--all") == 0) first = 1;
        else dir = argv[i];
    }
    std::printf("level  boards    stats wall  analyse wall  ratio  stats CPU  analyse CPU  ratio\n");
    int failed = 0;
    for (int n = first; n <= LAST_LEVEL; ++n) {
        const std::string path = dir + "/level" + std::to_string(n) + ".dat";
        uint8_t bytes[LEVEL_FILE_SIZE];
        std::string name, error;
        std::vector<std::string> warnings;
        if (!leveltext::LoadAnyLevel(path, bytes, &name, &error, &warnings)) {
            std::printf("level %2d: %s\n", n, error.c_str());
            ++failed;
            continue;
        }
        constexpr uint32_t BOUND = 4000000;
        const Time stats = Best(3, [&] { cellsolver::ComputeStats(bytes, BOUND); });
        solver::Analysis a;
        solver::AnalyseStatus status = solver::ANALYSED;
        const Time analyse = Best(3, [&] { status = solver::AnalyseLevel(bytes, BOUND, &a); });
        if (status != solver::ANALYSED) {
            std::printf("level %2d: not analysed (%d)\n", n, static_cast<int>(status));
            ++failed;
            continue;
        }
        std::printf("%5d  %7u  %9.0f ms  %9.0f ms  %5.2f  %6.0f ms  %8.0f ms  %5.2f\n", n, a.states, stats.wall,
                    analyse.wall, analyse.wall / stats.wall, stats.cpu, analyse.cpu, analyse.cpu / stats.cpu);
    }
    return failed ? 1 : 0;
}
