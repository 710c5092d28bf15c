// The generator's text with std::string in and out, for the tools and the
// tests; the game itself includes only the generator's own headers.
#pragma once
#include <string>
#include <vector>

#include "game/leveltext_strings.h"
#include "gen/generate.h"
#include "gen/levelcode.h"

namespace gen {

inline bool GradeOfName(const std::string& name, Grade* g) { return GradeOfName(name.c_str(), g); }

inline bool ParseDate(const std::string& text, Date* date, std::string* error) {
    char why[DATE_ERROR_SIZE];
    if (ParseDate(text.c_str(), date, why, sizeof why)) return true;
    *error = why;
    return false;
}

inline std::string DateText(const Date& date) {
    char text[DATE_TEXT_SIZE];
    DateText(date, text);
    return text;
}

inline bool EncodeLevel(const uint8_t bytes[LEVEL_FILE_SIZE], std::string* code, std::string* error) {
    char text[LEVEL_CODE_SIZE], why[LEVEL_CODE_ERROR_SIZE];
    if (!EncodeLevel(bytes, text, why, sizeof why)) {
        *error = why;
        return false;
    }
    *code = text;
    return true;
}

inline bool DecodeLevel(const std::string& code, uint8_t bytes[LEVEL_FILE_SIZE], std::string* error) {
    char why[LEVEL_CODE_ERROR_SIZE];
    if (DecodeLevel(code.c_str(), bytes, why, sizeof why)) return true;
    *error = why;
    return false;
}

inline std::string LevelName(Grade grade, uint64_t seed) {
    char name[LEVEL_NAME_SIZE];
    LevelName(grade, seed, name);
    return name;
}

inline std::string DailyName(const Date& date) {
    char name[LEVEL_NAME_SIZE];
    DailyName(date, name);
    return name;
}

// The level's source in the form of data/levels/, its figures in the header.
inline std::string LevelSource(const MadeLevel& level, const std::string& name) {
    const Figures& f = level.figures;
    std::vector<std::string> ignored;
    std::string grid = leveltext::LevelToText(level.bytes, name, &ignored);
    const size_t firstRow = grid.find('\n') + 1;
    std::string out = grid.substr(0, firstRow);
    out += "# grade: " + std::string(GradeName(level.grade)) + "\n";
    out += "# seed: " + std::to_string(level.seed) + "\n";
    out += "# least shots: " + std::to_string(f.par) + "\n";
    out += "# reachable states: " + std::to_string(f.states) + "\n";
    out += "# dead ends: " + std::to_string(f.deadEnds) + "\n";
    out +=
        "# careless first shots: " + std::to_string(f.carelessFirst) + " of " + std::to_string(solver::ENTRIES) + "\n";
    out +=
        "# careless second shots: " + std::to_string(f.carelessSecond) + " of " + std::to_string(f.secondTried) + "\n";
    return out + grid.substr(firstRow);
}

}  // namespace gen
