// Measures the solver on the twelve shipped levels: the time to find each
// least solution (best of a few runs) and the total.
//   tarno-bench-solver [RUN_DIR]   (default: the build's run folder)
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "game/leveltext.h"
#include "solver/solver.h"

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : TARNO_RUN_DIR;
    double total = 0;
    int solved = 0;
    for (int n = 1; n <= LAST_LEVEL; ++n) {
        const std::string path = dir + "/level" + std::to_string(n) + ".dat";
        uint8_t bytes[LEVEL_FILE_SIZE];
        std::string name, error;
        std::vector<std::string> warnings;
        if (!leveltext::LoadAnyLevel(path, bytes, &name, &error, &warnings)) {
            std::printf("level %2d: %s\n", n, error.c_str());
            continue;
        }
        double best = 1e9;
        solver::Result r;
        for (int run = 0; run < 3; ++run) {
            const auto t0 = std::chrono::steady_clock::now();
            r = solver::Solve(bytes, 2000000);
            const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - t0;
            if (ms.count() < best) best = ms.count();
        }
        total += best;
        solved += r.status == solver::SOLVED;
        std::printf("level %2d: %s, %zu shots, %u states, %llu shots simulated, %.1f ms\n", n,
                    r.status == solver::SOLVED ? "solved" : "NOT solved", r.solution.size(), r.states,
                    static_cast<unsigned long long>(r.moves), best);
    }
    std::printf("all levels: %d of %d solved in %.1f ms (target: under 1000 ms)\n", solved, LAST_LEVEL, total);
    return solved == LAST_LEVEL ? 0 : 1;
}
