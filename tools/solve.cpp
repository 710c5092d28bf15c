// tarno-solve [--stats | --analyse] [--demo] [--level N] [--max-states N] FILE
// Finds the least number of shots that wins a level (a .dat file or a
// level source) by trying every entry point breadth first under the game's
// own rules, and prints one shortest solution, one shot per line.
//   --stats       explore every reachable board: dead ends and careless shots
//   --analyse     dead ends and careless shots as --stats counts them, and
//                 the figures a designer judges a level by
//                 (src/solver/analyse.h says what each one counts)
//   --demo        print a tarno-demo script that plays the solution instead
//   --level N     the level the demo starts with "level N" (by default taken
//                 from a file named levelN.*; none for other names)
//   --max-states  give up after this many boards (default 2000000)
// Exit codes: 0 solved, 1 no solution, 2 bad arguments or file, 3 bound hit,
// 4 the rules left the board in a state the solver cannot read.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/leveltext_strings.h"
#include "solver/analyse.h"
#include "solver/cellsolver.h"
#include "solver/solver_strings.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: tarno-solve [--stats | --analyse] [--demo] [--level N] [--max-states N] FILE\n");
    return 2;
}

// "level7.txt" -> 7; 0 when the name does not say.
int LevelOfName(const std::string& path) {
    std::string base = path;
    const size_t slash = base.find_last_of('/');
    if (slash != std::string::npos) base.erase(0, slash + 1);
    if (base.compare(0, 5, "level") != 0) return 0;
    int n = 0;
    size_t i = 5;
    for (; i < base.size() && base[i] >= '0' && base[i] <= '9' && n < 100; ++i) n = n * 10 + (base[i] - '0');
    if (i == 5 || i >= base.size() || base[i] != '.') return 0;
    return n >= 1 && n <= LAST_LEVEL ? n : 0;
}

bool ParseCount(const char* text, long* value) {
    char* end = nullptr;
    *value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && *value > 0;
}

int Report(const solver::Result& r, uint32_t maxStates) {
    switch (r.status) {
    case solver::SOLVED: return 0;
    case solver::UNSOLVABLE: std::printf("no solution: %u states explored\n", r.states); return 1;
    case solver::BOUND_HIT: std::printf("gave up: the bound of %u states was reached\n", maxStates); return 3;
    default:
        std::fprintf(stderr, "tarno-solve: the rules left a deflector off its cell; the board cannot be read\n");
        return 4;
    }
}

int PrintAnalysis(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t bound, const std::string& name) {
    solver::Analysis a;
    const solver::AnalyseStatus status = solver::AnalyseLevel(bytes, bound, &a);
    if (status == solver::ANALYSE_TOO_BIG) {
        std::printf("gave up: the bound of %u states was reached\n", bound);
        return 3;
    }
    if (status == solver::ANALYSE_BROKEN) {
        std::fprintf(stderr, "tarno-solve: the rules left a deflector off its cell; the board cannot be read\n");
        return 4;
    }
    std::printf("level: %s\n", name.c_str());
    if (status == solver::ANALYSE_UNSOLVABLE) std::printf("no solution\n");
    else std::printf("least shots: %d\n", a.par);
    std::printf("reachable states: %u\n", a.states);
    std::printf("dead ends: %u\n", a.deadEnds);
    std::printf("dead-end share: %.3f\n", a.deadShare);
    std::printf("first shots into a dead end: %d of %d\n", a.carelessFirst, solver::ENTRIES);
    std::printf("second shots into a dead end: %d of %d\n", a.carelessSecond, a.secondTried);
    if (status == solver::ANALYSED) {
        if (a.essentialSolutions >= solver::MANY_SOLUTIONS)
            std::printf("essential solutions: at least %llu\n", static_cast<unsigned long long>(a.essentialSolutions));
        else std::printf("essential solutions: %llu\n", static_cast<unsigned long long>(a.essentialSolutions));
        std::printf("forced steps: %.3f\n", a.forcedShare);
        std::printf("independent groups: %d, the largest %.3f of the shots\n", a.groups, a.largestGroupShare);
        std::printf("shots that pop straight: %d\n", a.straight);
        std::printf("shots that turn: %d\n", a.turns);
        std::printf("shots that push: %d\n", a.pushes);
        std::printf("shots that snap: %d\n", a.snaps);
        std::printf("fewest shots that turn, push or snap: %d\n", a.fewestTricks);
        std::printf("fewest shots that snap: %d\n", a.fewestSnaps);
        std::printf("random-play win chance: %.6f\n", a.randomWin);
    }
    std::printf("symmetry: %.3f\n", a.symmetry);
    return status == solver::ANALYSED ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    bool stats = false, demo = false, analyse = false;
    long level = -1, maxStates = 2000000;
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--stats") stats = true;
        else if (a == "--analyse") analyse = true;
        else if (a == "--demo") demo = true;
        else if (a == "--level" && i + 1 < argc) {
            if (!ParseCount(argv[++i], &level) || level > LAST_LEVEL) return Usage();
        } else if (a == "--max-states" && i + 1 < argc) {
            if (!ParseCount(argv[++i], &maxStates) || maxStates > 100000000) return Usage();
        } else if (a[0] == '-' || file) return Usage();
        else file = argv[i];
    }
    if (!file || stats + demo + analyse > 1) return Usage();

    uint8_t bytes[LEVEL_FILE_SIZE];
    std::string name, error;
    std::vector<std::string> warnings;
    const bool loaded = leveltext::LoadAnyLevel(file, bytes, &name, &error, &warnings);
    for (const std::string& w : warnings) std::fprintf(stderr, "tarno-solve: warning: %s\n", w.c_str());
    if (!loaded) {
        std::fprintf(stderr, "tarno-solve: %s\n", error.c_str());
        return 2;
    }
    const uint32_t bound = static_cast<uint32_t>(maxStates);

    if (analyse) return PrintAnalysis(bytes, bound, name);

    if (stats) {
        const solver::Stats st = cellsolver::ComputeStats(bytes, bound);
        const int code = Report(st.result, bound);
        if (code != 0 && code != 1) return code;
        std::printf("level: %s\n", name.c_str());
        if (code == 0) std::printf("least shots: %zu\n", st.result.solution.size());
        std::printf("reachable states: %u\n", st.result.states);
        std::printf("winnable states: %u\n", st.winnable);
        std::printf("won states: %u\n", st.wonStates);
        std::printf("dead ends: %u\n", st.deadEnds);
        std::printf("first shots into a dead end: %d of %d\n", st.firstShotsDead, solver::ENTRIES);
        std::printf("second shots into a dead end: %d of %d\n", st.secondShotsDead, st.secondShotsTried);
        std::printf("deepest state: %d shots\n", st.maxDepth);
        std::printf("looping shots: %llu\n", static_cast<unsigned long long>(st.result.loopingMoves));
        std::printf("shots simulated: %llu\n", static_cast<unsigned long long>(st.result.moves));
        return code;
    }

    const solver::Result r = cellsolver::Solve(bytes, bound);
    const int code = Report(r, bound);
    if (code != 0) return code;
    if (demo) {
        const int n = level > 0 ? static_cast<int>(level) : LevelOfName(file);
        std::fputs(solver::DemoScript(r.solution, n).c_str(), stdout);
        return 0;
    }
    std::printf("solved in %zu shots (%u states explored)\n", r.solution.size(), r.states);
    if (r.solutionLoops)
        std::printf("note: a shot of this solution is caught in a loop of deflectors and flies on for ever\n");
    for (int e : r.solution) std::printf("%s\n", solver::EntryName(e).c_str());
    return 0;
}
