// tarno-gen --grade easy|medium|hard --seed N [--count K]
// tarno-gen --daily YYYY-MM-DD
// Makes levels with the generator and prints their sources in the form of
// data/levels/, one after another with a blank line between: seeds N,
// N+1, ... N+K-1, or the level of a date, whose grade and seed the header
// names. Each header names the generator's version. Exit codes: 0 made,
// 2 bad arguments (with the reason).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gen/gen_strings.h"
#include "gen/version.h"

namespace {

const char* const USAGE =
    "usage: tarno-gen --grade easy|medium|hard --seed N [--count K]\n"
    "       tarno-gen --daily YYYY-MM-DD\n";
constexpr uint64_t MAX_COUNT = 100000;

int Refuse(const std::string& why) {
    std::fprintf(stderr, "tarno-gen: %s\n%s", why.c_str(), USAGE);
    return 2;
}

bool ParseNumber(const char* text, uint64_t* value) {
    if (*text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    *value = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0';
}

// The source with the generator's version under its name line.
void PrintLevel(const gen::MadeLevel& level, const std::string& name) {
    std::string source = gen::LevelSource(level, name);
    source.insert(source.find('\n') + 1, "# generator: " + std::to_string(gen::GENERATOR_VERSION) + "\n");
    std::fputs(source.c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    gen::Grade grade = gen::EASY;
    bool graded = false, seeded = false, counted = false, daily = false;
    uint64_t seed = 0, count = 1;
    gen::Date date;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(USAGE, stdout);
            return 0;
        }
        const bool takesValue = a == "--grade" || a == "--seed" || a == "--count" || a == "--daily";
        if (!takesValue) return Refuse("unknown argument '" + a + "'");
        if (i + 1 >= argc) return Refuse(a + " needs a value");
        const std::string v = argv[++i];
        if (a == "--grade") {
            if (!gen::GradeOfName(v, &grade)) return Refuse("no grade '" + v + "': easy, medium or hard");
            graded = true;
        } else if (a == "--seed") {
            if (!ParseNumber(v.c_str(), &seed))
                return Refuse("the seed '" + v + "' is not a whole number from 0 to 18446744073709551615");
            seeded = true;
        } else if (a == "--count") {
            if (!ParseNumber(v.c_str(), &count) || count < 1 || count > MAX_COUNT)
                return Refuse("the count '" + v + "' is not a whole number from 1 to " + std::to_string(MAX_COUNT));
            counted = true;
        } else {
            std::string error;
            if (!gen::ParseDate(v, &date, &error)) return Refuse(error);
            daily = true;
        }
    }
    if (daily) {
        if (graded || seeded || counted) return Refuse("--daily takes its grade and seed from the date alone");
        gen::DailyLevel(date, &grade, &seed);
        gen::MadeLevel level;
        gen::Generate(grade, seed, &level);
        PrintLevel(level, gen::DailyName(date));
        return 0;
    }
    if (!graded) return Refuse("--grade is missing");
    if (!seeded) return Refuse("--seed is missing");
    // Seeds are 64 bits: a run past the last would wrap round to seed 0.
    if (count - 1 > ~uint64_t{0} - seed)
        return Refuse(std::to_string(count) + " levels from seed " + std::to_string(seed) +
                      " would run past the last seed, 18446744073709551615");
    for (uint64_t k = 0; k < count; ++k) {
        gen::MadeLevel level;
        gen::Generate(grade, seed + k, &level);
        if (k > 0) std::fputs("\n", stdout);
        PrintLevel(level, gen::LevelName(grade, seed + k));
    }
    return 0;
}
