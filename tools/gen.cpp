// tarno-gen --grade easy|medium|hard --seed N [--count K]
// Makes levels with the generator and prints their sources in the form of
// data/levels/, one after another with a blank line between: seeds N,
// N+1, ... N+K-1. Exit codes: 0 made, 2 bad arguments.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gen/gen_strings.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: tarno-gen --grade easy|medium|hard --seed N [--count K]\n");
    return 2;
}

bool ParseNumber(const char* text, uint64_t* value) {
    if (*text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    *value = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
    gen::Grade grade = gen::EASY;
    bool graded = false, seeded = false;
    uint64_t seed = 0, count = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--grade" && i + 1 < argc) {
            if (!gen::GradeOfName(argv[++i], &grade)) return Usage();
            graded = true;
        } else if (a == "--seed" && i + 1 < argc) {
            if (!ParseNumber(argv[++i], &seed)) return Usage();
            seeded = true;
        } else if (a == "--count" && i + 1 < argc) {
            if (!ParseNumber(argv[++i], &count) || count < 1 || count > 100000) return Usage();
        } else {
            return Usage();
        }
    }
    if (!graded || !seeded) return Usage();
    for (uint64_t k = 0; k < count; ++k) {
        gen::MadeLevel level;
        gen::Generate(grade, seed + k, &level);
        if (k > 0) std::fputs("\n", stdout);
        std::fputs(gen::LevelSource(level, gen::LevelName(grade, seed + k)).c_str(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
