// tarno-bench-memory: what the solver's tables and searches cost in memory,
// each case in a fresh run of this program that reads its own high-water
// mark (VmHWM) and resident size (VmRSS) from /proc/self/status:
//   - level 1's and level 12's win table made as the game makes it (the
//     search asked about the start beside it): the peak while it is made,
//     and what stays resident once it is;
//   - a board of one's own with 15 deflectors, searched as the game asks
//     but with the budget counted in boards, so that the search runs to its
//     bound as on the fastest machine: the peak, and the answer;
// and the demo player's own peak on level 12 after a careless shot, read at
// its exit (ptrace's exit stop) rather than from wait4, which would count the
// memory of this process that forked it.
// Targets: level 12's peak at most 64 MB above level 1's, its resident size
// within 24 MB of level 1's, the own board's search within 64 MB.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "demo_memory.h"
#include "game/leveltext_strings.h"
#include "solver/advice.h"
#include "solver/solver.h"
#include "solver/tables.h"

namespace {

constexpr uint32_t BUDGET_MS = 2000;

bool LevelBytes(int n, uint8_t bytes[LEVEL_FILE_SIZE]) {
    std::string name, error;
    std::vector<std::string> warnings;
    return leveltext::LoadAnyLevel(std::string(TARNO_RUN_DIR) + "/level" + std::to_string(n) + ".dat", bytes, &name,
                                   &error, &warnings);
}

// The case run in this process: prints "peak rss extra" in KiB.
int RunCase(const char* what) {
    const long base = bench::OwnStatusKiB("VmRSS:");
    uint8_t bytes[LEVEL_FILE_SIZE] = {};
    std::string extra;
    if (std::strncmp(what, "table", 5) == 0) {
        if (!LevelBytes(std::atoi(what + 5), bytes)) return 2;
        PlayState start;
        solver::SetUpLevel(&start, bytes);
        PrepareWinTables(bytes, 0);
        AskAdvice(start, BUDGET_MS);
        WaitAdvice();
        Advice a;
        while (!TableAdvice(start, &a)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        StopAdvice();
        extra = "made";
    } else {
        // A board of one's own: level 12's pieces with its blocks cleared,
        // 15 deflectors strewn over the free cells.
        if (!LevelBytes(12, bytes)) return 2;
        int deflectors = 0;
        for (int i = 0; i < LEVEL_FILE_SIZE; ++i) {
            const int cx = i / BOARD_CELLS, cy = i % BOARD_CELLS;
            if (cx < FIRST_INNER || cx > LAST_INNER || cy < FIRST_INNER || cy > LAST_INNER) continue;
            if (bytes[i] == CELL_DEFLECTOR_0 || bytes[i] == CELL_DEFLECTOR_1 || bytes[i] == CELL_DEFLECTOR_2 ||
                bytes[i] == CELL_DEFLECTOR_3)
                ++deflectors;
        }
        for (int i = 0, k = 0; i < LEVEL_FILE_SIZE && deflectors < 15; ++i, ++k) {
            const int cx = i / BOARD_CELLS, cy = i % BOARD_CELLS;
            if (cx < FIRST_INNER || cx > LAST_INNER || cy < FIRST_INNER || cy > LAST_INNER) continue;
            if (bytes[i] == CELL_EMPTY && (cx * 7 + cy * 3) % 5 == 0) {
                bytes[i] = static_cast<uint8_t>(CELL_DEFLECTOR_0 + (cx + cy) % 4);
                ++deflectors;
            }
        }
        PlayState start;
        solver::SetUpLevel(&start, bytes);
        // Counted in boards, the search goes as far as a fast machine's
        // would: to its bound.
        CountAdviceBudgetInBoards(true);
        const auto t0 = std::chrono::steady_clock::now();
        AskAdvice(start, BUDGET_MS);
        WaitAdvice();
        Advice a;
        TakeAdvice(&a);
        StopAdvice();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - t0;
        char buf[96];
        std::snprintf(buf, sizeof buf, "%d deflectors, answer %s in %.1f s", deflectors,
                      a.lost < 0 ? "unknown"
                      : a.lost   ? "lost"
                                 : "winnable",
                      took.count());
        extra = buf;
    }
    std::printf("%ld %ld %ld %s\n", bench::OwnStatusKiB("VmHWM:"), bench::OwnStatusKiB("VmRSS:"), base, extra.c_str());
    StopWinTables();
    return 0;
}

struct Figures {
    double peak = 0, rss = 0, base = 0;
    std::string extra;
};

// Runs a case in a fresh process, so that its high-water mark is its own.
Figures Case(const char* what) {
    Figures f;
    const std::string cmd = std::string("/proc/") + std::to_string(getpid()) + "/exe --case " + what;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return f;
    long peak = 0, rss = 0, base = 0;
    char extra[128] = "";
    if (std::fscanf(p, "%ld %ld %ld %127[^\n]", &peak, &rss, &base, extra) >= 3)
        f.peak = peak / 1024.0, f.rss = rss / 1024.0, f.base = base / 1024.0, f.extra = extra;
    pclose(p);
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--case") == 0) return RunCase(argv[2]);
    if (chdir(TARNO_RUN_DIR) != 0) return 2;
    const Figures one = Case("table1"), twelve = Case("table12"), own = Case("own");
    std::printf("level  1 table: peak %6.1f MB, resident after %6.1f MB\n", one.peak, one.rss);
    std::printf("level 12 table: peak %6.1f MB, resident after %6.1f MB\n", twelve.peak, twelve.rss);
    std::printf("  peak above level 1's %5.1f MB (target <= 64), resident above %5.1f MB (target <= 24)\n",
                twelve.peak - one.peak, twelve.rss - one.rss);
    std::printf("own board (%s): peak %.1f MB, %.1f MB above its start (target <= 64)\n", own.extra.c_str(), own.peak,
                own.peak - own.base);
    char self[4096];
    const ssize_t len = readlink("/proc/self/exe", self, sizeof self - 1);
    if (len > 0) {
        self[len] = '\0';
        const std::string script = std::string(TARNO_RUN_DIR) + "/../bench-level12-careless.demo";
        if (FILE* f = std::fopen(script.c_str(), "w")) {
            std::fputs("level 12\nkeys right\nwait 6\nkeys\nkeys down\nwait 1\nkeys\nwait 8\nrest\ndump\n", f);
            std::fclose(f);
            const bench::Run run = bench::RunDemo(self, script.c_str());
            if (run.peakKiB > 0)
                std::printf("tarno-demo, level 12 after a careless shot: own peak %.1f MB (exit %d)\n",
                            run.peakKiB / 1024.0, run.exitCode);
            else std::printf("tarno-demo: %s\n", run.note.c_str());
            std::remove(script.c_str());
        }
    }
    return 0;
}
