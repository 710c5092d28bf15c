// tarno-bench-advice [LEVEL.dat]: the time from a shot coming to rest to the
// solver's answer (lost or not, and the hint), over the 1,000 deepest boards
// a level can reach (level12.dat by default): median and worst.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "game/leveltext.h"
#include "solver/advice.h"
#include "solver/cellsolver.h"

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "level12.dat";
    uint8_t bytes[LEVEL_FILE_SIZE];
    std::string name, error;
    std::vector<std::string> warnings;
    if (!leveltext::LoadAnyLevel(path, bytes, &name, &error, &warnings)) {
        std::fprintf(stderr, "tarno-bench-advice: %s\n", error.c_str());
        return 2;
    }
    cellsolver::Search all;
    cellsolver::Explore(bytes, 4000000, true, &all);
    PlayState start;
    solver::SetUpLevel(&start, bytes);
    const uint32_t n = all.set.count, first = n > 1000 ? n - 1000 : 0;
    std::vector<double> ms;
    int lost = 0, unknown = 0;
    for (uint32_t i = first; i < n; ++i) {
        cellsolver::Cells cells;
        cellsolver::MakeCells(all.level, all.set.keys[i], &cells);
        PlayState board = start;
        if (!cellsolver::PutInPlay(cells, &board)) continue;
        const auto t0 = std::chrono::steady_clock::now();
        const Advice a = ComputeAdvice(board, 2000);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - t0;
        ms.push_back(took.count());
        lost += a.lost == 1;
        unknown += a.lost == ADVICE_UNKNOWN;
    }
    if (ms.empty()) return 1;
    std::sort(ms.begin(), ms.end());
    std::printf("%s: %zu deepest of %u boards, %d lost, %d unknown: median %.2f ms, worst %.2f ms\n", path.c_str(),
                ms.size(), n, lost, unknown, ms[ms.size() / 2], ms.back());
    return 0;
}
