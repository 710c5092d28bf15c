// Measures the level generator: for each grade, levels from N seeds (100
// by default, from seed 1 or the one given), and prints the median and
// 95th-percentile time per level, the candidates measured per level, the
// spread of the least shots and of the dead-end share, and how many of the
// levels differ. Beside the wall time it prints the processor time (user,
// both threads of the solver), which a busy machine disturbs less.
// Beside them, the figures a designer judges a grade by (solver/analyse.h):
// the shares that need a turn or push, a snap, that can be lost, with at
// most 2 essential solutions, in at most 2 groups with the largest at least
// 0.6 of par; the medians of wedges, reachable boards, dead-end share and
// random-play win chance; and the variety within the grade: the mean
// best-of-8 overlap of occupied cells and the pairs within 20 cells of each
// other under any of the 8 images.
// With --each it also prints every level's seed, time and candidates,
// and each pair of seeds whose levels lie within 20 cells.
// With --daily DATE --days N it makes the daily levels of N days from DATE
// and of the 30 before, and prints how close each comes to any of its 30
// days before under any image (0 cells: the same board); exit 1 if one does.
//   tarno-bench-gen [--seeds N] [--first SEED] [--grade easy|medium|hard] [--each]
//   tarno-bench-gen --daily YYYY-MM-DD [--days N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "game/boardimage.h"
#include "game/leveltext.h"
#include "gen/gen_strings.h"
#include "solver/analyse.h"

namespace {

template <typename T>
T Quantile(std::vector<T> v, int percent) {
    std::sort(v.begin(), v.end());
    const size_t at = (v.size() * static_cast<size_t>(percent) + 99) / 100;
    return v[std::min(v.size() - 1, at == 0 ? 0 : at - 1)];
}

double Share(int count, int of) { return of ? static_cast<double>(count) / of : 0; }

double UserSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec) + static_cast<double>(u.ru_utime.tv_usec) / 1e6;
}

// The daily levels of days days from first, each against the 30 days before it.
int DailyApart(const gen::Date& first, int days) {
    constexpr int BEFORE = 30;
    struct Day {
        gen::Grade grade;
        uint8_t bytes[LEVEL_FILE_SIZE];
    };
    std::vector<Day> made(static_cast<size_t>(BEFORE + days));
    int same = 0, closest = BOARD_CELLS * BOARD_CELLS, closestSameGrade = closest;
    int sameGradePairs = 0, otherGradePairs = 0, closestDay = 0, closestEarlier = 0;
    for (int d = 0; d < BEFORE + days; ++d) {
        uint64_t seed = 0;
        gen::DailyLevel(gen::DaysAfter(first, d - BEFORE), &made[d].grade, &seed);
        gen::MadeLevel level;
        gen::Generate(made[d].grade, seed, &level);
        std::memcpy(made[d].bytes, level.bytes, LEVEL_FILE_SIZE);
        if (d < BEFORE) continue;
        for (int e = d - BEFORE; e < d; ++e) {
            const int apart = CellsApart(made[d].bytes, made[e].bytes);
            const bool sameGrade = made[d].grade == made[e].grade;
            sameGradePairs += sameGrade, otherGradePairs += !sameGrade;
            if (apart < closest) closestDay = d, closestEarlier = e;
            closest = std::min(closest, apart);
            if (sameGrade) closestSameGrade = std::min(closestSameGrade, apart);
            if (apart == 0) {
                ++same;
                std::printf("%s is the board of %s\n", gen::DateText(gen::DaysAfter(first, d - BEFORE)).c_str(),
                            gen::DateText(gen::DaysAfter(first, e - BEFORE)).c_str());
            }
        }
    }
    std::printf(
        "daily levels of %d days from %s, each against its 30 days before: %d the same board; "
        "closest %d cells apart (same grade %d, over %d pairs; %d pairs of other grades)\n",
        days, gen::DateText(first).c_str(), same, closest, closestSameGrade, sameGradePairs, otherGradePairs);
    if (days > 0)
        std::printf("closest: %s (%s) and %s (%s)\n", gen::DateText(gen::DaysAfter(first, closestDay - BEFORE)).c_str(),
                    gen::GradeName(made[closestDay].grade),
                    gen::DateText(gen::DaysAfter(first, closestEarlier - BEFORE)).c_str(),
                    gen::GradeName(made[closestEarlier].grade));
    return same ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    int seeds = 100, first = 1;
    bool each = false, daily = false;
    gen::Date date;
    int days = 400;
    std::vector<gen::Grade> grades = {gen::EASY, gen::MEDIUM, gen::HARD};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        gen::Grade g;
        std::string why;
        if (a == "--seeds" && i + 1 < argc) seeds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--first" && i + 1 < argc) first = std::max(0, std::atoi(argv[++i]));
        else if (a == "--each") each = true;
        else if (a == "--daily" && i + 1 < argc && gen::ParseDate(argv[++i], &date, &why)) daily = true;
        else if (a == "--days" && i + 1 < argc) days = std::max(1, std::atoi(argv[++i]));
        else if (a == "--grade" && i + 1 < argc && gen::GradeOfName(argv[++i], &g)) grades = {g};
        else {
            std::fprintf(stderr,
                         "usage: tarno-bench-gen [--seeds N] [--first SEED] [--grade easy|medium|hard] [--each]\n"
                         "       tarno-bench-gen --daily YYYY-MM-DD [--days N]\n");
            return 2;
        }
    }
    if (daily) return DailyApart(date, days);
    for (gen::Grade g : grades) {
        std::vector<double> seconds, cpu;
        std::vector<uint32_t> candidates;
        std::vector<int> pars, dead;
        std::set<std::string> boards;
        std::vector<gen::MadeLevel> made;
        std::vector<int> wedges, states;
        std::vector<double> randomWins;
        int analysed = 0, tricky = 0, snappy = 0, losing = 0, fewSolutions = 0, fewGroups = 0;
        for (int s = first; s < first + seeds; ++s) {
            gen::MadeLevel level;
            const auto t0 = std::chrono::steady_clock::now();
            const double u0 = UserSeconds();
            gen::Generate(g, static_cast<uint64_t>(s), &level);
            const std::chrono::duration<double> t = std::chrono::steady_clock::now() - t0;
            seconds.push_back(t.count());
            cpu.push_back(UserSeconds() - u0);
            candidates.push_back(level.candidates);
            pars.push_back(level.figures.par);
            dead.push_back(gen::DeadPermille(level.figures));
            boards.insert(std::string(reinterpret_cast<const char*>(level.bytes), sizeof level.bytes));
            int balloons = 0, deflectors = 0;
            leveltext::CountPieces(level.bytes, &balloons, &deflectors);
            wedges.push_back(deflectors);
            states.push_back(static_cast<int>(level.figures.states));
            made.push_back(level);
            // The analyser's figures, after the time is taken.
            solver::Analysis an;
            if (solver::AnalyseLevel(level.bytes, 4000000, &an) == solver::ANALYSED) {
                ++analysed;
                tricky += an.fewestTricks > 0;
                snappy += an.fewestSnaps > 0;
                losing += an.randomWin < 1.0;
                fewSolutions += an.essentialSolutions <= 2;
                fewGroups += an.groups <= 2 && an.largestGroupShare >= 0.6;
                randomWins.push_back(an.randomWin);
            }
            if (each)
                std::printf("%-6s seed %d: %.4f s CPU, %u candidates, par %d, %u boards\n", gen::GradeName(g), s,
                            cpu.back(), level.candidates, level.figures.par, level.figures.states);
        }
        const auto [parMin, parMax] = std::minmax_element(pars.begin(), pars.end());
        const auto [deadMin, deadMax] = std::minmax_element(dead.begin(), dead.end());
        std::printf("%-6s %d levels: time median %.4f s, p95 %.4f s, max %.4f s\n", gen::GradeName(g), seeds,
                    Quantile(seconds, 50), Quantile(seconds, 95), Quantile(seconds, 100));
        std::printf("       user CPU per level: median %.4f s, p95 %.4f s (%.1f times), max %.4f s\n",
                    Quantile(cpu, 50), Quantile(cpu, 95), Quantile(cpu, 95) / std::max(1e-9, Quantile(cpu, 50)),
                    Quantile(cpu, 100));
        std::printf("       candidates per level: median %u, p95 %u, max %u\n", Quantile(candidates, 50),
                    Quantile(candidates, 95), Quantile(candidates, 100));
        std::printf("       least shots %d..%d (median %d); dead-end share %.3f..%.3f (median %.3f)\n", *parMin,
                    *parMax, Quantile(pars, 50), *deadMin / 1000.0, *deadMax / 1000.0, Quantile(dead, 50) / 1000.0);
        std::printf("       reachable boards median %d; wedges median %d\n", Quantile(states, 50),
                    Quantile(wedges, 50));
        std::printf(
            "       analysed %d: need a turn or push %.2f; need a snap %.2f; can be lost (random win < 1) %.2f\n"
            "       at most 2 essential solutions %.2f; at most 2 groups, the largest >= 0.6 of par %.2f; "
            "random win median %.4f\n",
            analysed, Share(tricky, analysed), Share(snappy, analysed), Share(losing, analysed),
            Share(fewSolutions, analysed), Share(fewGroups, analysed),
            randomWins.empty() ? -1.0 : Quantile(randomWins, 50));
        double overlap = 0;
        int pairs = 0, near = 0;
        for (size_t a = 0; a < made.size(); ++a)
            for (size_t b = a + 1; b < made.size(); ++b) {
                overlap += BoardOverlap(made[a].bytes, made[b].bytes);
                ++pairs;
                const int apart = CellsApart(made[a].bytes, made[b].bytes);
                near += apart <= 20;
                if (each && apart <= 20)
                    std::printf("       seeds %d and %d: %d cells apart\n", first + static_cast<int>(a),
                                first + static_cast<int>(b), apart);
            }
        std::printf("       variety: mean best-of-8 overlap %.3f; pairs within 20 cells %d of %d\n",
                    pairs ? overlap / pairs : 0.0, near, pairs);
        std::printf("       different levels: %zu of %d\n", boards.size(), seeds);
        std::fflush(stdout);
    }
    return 0;
}
