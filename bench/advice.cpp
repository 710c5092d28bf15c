// tarno-bench-advice [RUN_DIR]: the time from a shot coming to rest to the
// answer (lost or not, and the hint), by the worker's search (asked the way
// the game asks) and by a lookup in the level's table, whose making is also
// timed, alone and as the game makes it at a level start:
//   - level 12's 1,000 deepest boards (greatest shot depth from the start;
//     most are lost, and a lost board is searched to its end): median, worst;
//   - a sample of every shipped level (every board within two shots of the
//     start, where a lost board has the most left to search, and up to 300
//     more at random): median, 99th percentile, worst.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "game/leveltext_strings.h"
#include "solver/advice.h"
#include "solver/cellsolver.h"
#include "solver/tables.h"
#include "solver/wintable.h"

namespace {

constexpr uint32_t BUDGET_MS = 2000;

struct Times {
    std::vector<double> ms, lookupMs;
    int lost = 0, unknown = 0, missed = 0, differ = 0;
};

double Since(std::chrono::steady_clock::time_point t0) {
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - t0;
    return took.count();
}

double At(const std::vector<double>& sorted, double q) {
    return sorted[std::min(sorted.size() - 1, static_cast<size_t>(q * static_cast<double>(sorted.size())))];
}

// Asks about each board in turn and waits for the answer, then looks it up.
void Measure(const uint8_t bytes[LEVEL_FILE_SIZE], const cellsolver::Search& all, const WinTable& table,
             const std::vector<uint32_t>& which, Times* t) {
    PlayState start;
    solver::SetUpLevel(&start, bytes);
    for (uint32_t i : which) {
        cellsolver::Cells cells;
        cellsolver::MakeCells(all.level, all.set.keys[i], &cells);
        PlayState board = start;
        if (!cellsolver::PutInPlay(cells, &board)) continue;
        Advice a;
        const auto t0 = std::chrono::steady_clock::now();
        AskAdvice(board, BUDGET_MS);
        WaitAdvice();
        TakeAdvice(&a);
        t->ms.push_back(Since(t0));
        t->lost += a.lost == 1;
        t->unknown += a.lost == ADVICE_UNKNOWN;
        Advice b;
        const auto t1 = std::chrono::steady_clock::now();
        const bool found = WinTableAdvice(table, board, &b);
        t->lookupMs.push_back(Since(t1));
        t->missed += !found;
        t->differ += found && (a.lost != b.lost || a.entry != b.entry || a.shotsToWin != b.shotsToWin);
    }
}

void Print(const char* what, Times* t) {
    std::sort(t->ms.begin(), t->ms.end());
    std::sort(t->lookupMs.begin(), t->lookupMs.end());
    std::printf("%s: %zu boards, %d lost, %d unknown\n", what, t->ms.size(), t->lost, t->unknown);
    std::printf("  search: median %7.3f ms, 99th percentile %7.3f ms, worst %7.3f ms\n", At(t->ms, 0.5),
                At(t->ms, 0.99), t->ms.back());
    std::printf("  table:  median %7.3f ms, 99th percentile %7.3f ms, worst %7.3f ms; %d not held, %d differ\n",
                At(t->lookupMs, 0.5), At(t->lookupMs, 0.99), t->lookupMs.back(), t->missed, t->differ);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : TARNO_RUN_DIR;
    Times every;
    std::mt19937 random(12);
    for (int n = 1; n <= LAST_LEVEL; ++n) {
        const std::string path = dir + "/level" + std::to_string(n) + ".dat";
        uint8_t bytes[LEVEL_FILE_SIZE];
        std::string name, error;
        std::vector<std::string> warnings;
        if (!leveltext::LoadAnyLevel(path, bytes, &name, &error, &warnings)) {
            std::fprintf(stderr, "tarno-bench-advice: %s\n", error.c_str());
            return 2;
        }
        cellsolver::Search all;
        cellsolver::Explore(bytes, 4000000, true, &all);
        const uint32_t count = all.set.count;
        WinTable table;
        const auto t0 = std::chrono::steady_clock::now();
        if (!MakeWinTable(bytes, &table)) {
            std::fprintf(stderr, "tarno-bench-advice: no table for %s\n", path.c_str());
            return 1;
        }
        const double making = Since(t0);
        std::vector<uint32_t> sample;
        for (uint32_t i = 0; i < count && all.set.depth[i] <= 2; ++i) sample.push_back(i);
        for (int k = 0; k < 300 && sample.size() < count; ++k) sample.push_back(random() % count);
        Times level;
        Measure(bytes, all, table, sample, &level);
        std::sort(level.ms.begin(), level.ms.end());
        std::sort(level.lookupMs.begin(), level.lookupMs.end());
        std::printf(
            "level %2d: table of %6u boards (%5zu KiB) made in %6.1f ms; %4zu boards, search median %6.2f ms, "
            "worst %7.2f ms; table worst %.3f ms, %d not held, %d differ\n",
            n, count, table.boards.size() * 8 / 1024, making, level.ms.size(), At(level.ms, 0.5), level.ms.back(),
            level.lookupMs.back(), level.missed, level.differ);
        every.ms.insert(every.ms.end(), level.ms.begin(), level.ms.end());
        every.lookupMs.insert(every.lookupMs.end(), level.lookupMs.begin(), level.lookupMs.end());
        every.lost += level.lost;
        every.unknown += level.unknown;
        every.missed += level.missed;
        every.differ += level.differ;
        if (n != LAST_LEVEL) continue;
        // Boards are numbered in order of depth: the last are the deepest.
        std::vector<uint32_t> deepest;
        for (uint32_t i = count > 1000 ? count - 1000 : 0; i < count; ++i) deepest.push_back(i);
        Times deep;
        Measure(bytes, all, table, deepest, &deep);
        char what[96];
        std::snprintf(what, sizeof what, "level 12, the deepest boards (depth %u..%u)", all.set.depth[deepest.front()],
                      all.set.depth[deepest.back()]);
        Print(what, &deep);
        // The game's way: at the level start the search is asked about the
        // start while the table is made beside it.
        PlayState start;
        solver::SetUpLevel(&start, bytes);
        Advice a;
        const auto t1 = std::chrono::steady_clock::now();
        PrepareWinTables(bytes, 0);
        AskAdvice(start, BUDGET_MS);
        WaitAdvice();
        const double searched = Since(t1);
        while (!TableAdvice(start, &a)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::printf("level 12 started afresh: the search answers the start in %.1f ms, the table is ready in %.1f ms\n",
                    searched, Since(t1));
    }
    Print("all levels, a sample", &every);
    StopAdvice();
    StopWinTables();
    return 0;
}
