// Measures the level generator: for each grade, levels from N seeds (100
// by default, from seed 1 or the one given), and prints the median and
// 95th-percentile time per level, the candidates measured per level, the
// spread of the least shots and of the dead-end share, and how many of the
// levels differ. Beside the wall time it prints the processor time (user,
// both threads of the solver), which a busy machine disturbs less.
// With --each it also prints every level's seed, time and candidates.
//   tarno-bench-gen [--seeds N] [--first SEED] [--grade easy|medium|hard] [--each]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "gen/gen_strings.h"

namespace {

template <typename T>
T Quantile(std::vector<T> v, int percent) {
    std::sort(v.begin(), v.end());
    const size_t at = (v.size() * static_cast<size_t>(percent) + 99) / 100;
    return v[std::min(v.size() - 1, at == 0 ? 0 : at - 1)];
}

double UserSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec) + static_cast<double>(u.ru_utime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    int seeds = 100, first = 1;
    bool each = false;
    std::vector<gen::Grade> grades = {gen::EASY, gen::MEDIUM, gen::HARD};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        gen::Grade g;
        if (a == "--seeds" && i + 1 < argc) seeds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--first" && i + 1 < argc) first = std::max(0, std::atoi(argv[++i]));
        else if (a == "--each") each = true;
        else if (a == "--grade" && i + 1 < argc && gen::GradeOfName(argv[++i], &g)) grades = {g};
        else {
            std::fprintf(stderr,
                         "usage: tarno-bench-gen [--seeds N] [--first SEED] [--grade easy|medium|hard] [--each]\n");
            return 2;
        }
    }
    for (gen::Grade g : grades) {
        std::vector<double> seconds, cpu;
        std::vector<uint32_t> candidates;
        std::vector<int> pars, dead;
        std::set<std::string> boards;
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
            if (each)
                std::printf("%-6s seed %d: %.4f s CPU, %u candidates, par %d, %u boards\n", gen::GradeName(g), s,
                            cpu.back(), level.candidates, level.figures.par, level.figures.states);
        }
        const auto [parMin, parMax] = std::minmax_element(pars.begin(), pars.end());
        const auto [deadMin, deadMax] = std::minmax_element(dead.begin(), dead.end());
        std::printf("%-6s %d levels: time median %.4f s, p95 %.4f s, max %.4f s\n", gen::GradeName(g), seeds,
                    Quantile(seconds, 50), Quantile(seconds, 95), Quantile(seconds, 100));
        std::printf("       user CPU per level: median %.4f s, p95 %.4f s, max %.4f s\n", Quantile(cpu, 50),
                    Quantile(cpu, 95), Quantile(cpu, 100));
        std::printf("       candidates per level: median %u, p95 %u, max %u\n", Quantile(candidates, 50),
                    Quantile(candidates, 95), Quantile(candidates, 100));
        std::printf("       least shots %d..%d (median %d); dead-end share %.3f..%.3f (median %.3f)\n", *parMin,
                    *parMax, Quantile(pars, 50), *deadMin / 1000.0, *deadMax / 1000.0, Quantile(dead, 50) / 1000.0);
        std::printf("       different levels: %zu of %d\n", boards.size(), seeds);
        std::fflush(stdout);
    }
    return 0;
}
