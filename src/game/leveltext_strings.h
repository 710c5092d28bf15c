// The level source functions of leveltext.h with std::string in and out,
// for the tools and the tests; the game itself includes only leveltext.h.
#pragma once
#include <string>
#include <vector>

#include "game/leveltext.h"
#include "platform/files/files.h"

namespace leveltext {

inline bool CheckPieces(const uint8_t bytes[LEVEL_FILE_SIZE], const std::string& file, std::string* error) {
    char why[ERROR_SIZE];
    if (CheckPieces(bytes, file.c_str(), why, sizeof why)) return true;
    *error = why;
    return false;
}

inline bool ParseLevelText(const std::string& file, const std::string& text, uint8_t bytes[LEVEL_FILE_SIZE],
                           std::string* name, std::string* error) {
    char why[ERROR_SIZE];
    Span found{nullptr, 0};
    const bool parsed = ParseLevelText(file.c_str(), text.data(), text.size(), bytes, &found, why, sizeof why);
    name->assign(found.at, found.size);
    if (!parsed) *error = why;
    return parsed;
}

// Turns level file bytes back into a source. Codes play never meets become
// empty cells, each with a warning.
inline std::string LevelToText(const uint8_t bytes[LEVEL_FILE_SIZE], const std::string& name,
                               std::vector<std::string>* warnings) {
    std::string out = "name: " + name + "\n";
    for (int cy = 1; cy <= GRID; ++cy) {
        for (int cx = 1; cx <= GRID; ++cx) {
            const int code = static_cast<int8_t>(bytes[ByteIndex(cx, cy)]);
            char c = CharOfCode(code);
            if (!c) {
                char what[96];
                UnknownCodeWarning(code, cx, cy, what, sizeof what);
                warnings->push_back(what);
                c = '.';
            }
            out += c;
        }
        out += '\n';
    }
    return out;
}

inline bool ReadWholeFile(const std::string& path, std::string* data, std::string* error, bool* refused) {
    FileBytes bytes;
    char why[ERROR_SIZE];
    if (!ReadWholeFile(path.c_str(), &bytes, why, sizeof why, refused)) {
        *error = why;
        return false;
    }
    data->assign(reinterpret_cast<const char*>(bytes.data), bytes.size);
    return true;
}

inline bool LooksLikeText(const std::string& data) { return LooksLikeText(data.data(), data.size()); }

inline bool LoadAnyLevel(const std::string& path, uint8_t bytes[LEVEL_FILE_SIZE], std::string* name, std::string* error,
                         std::vector<std::string>* warnings) {
    std::string data;
    bool refused = false;
    if (!ReadWholeFile(path, &data, error, &refused)) return false;
    char why[ERROR_SIZE];
    Span found{nullptr, 0};
    auto keep = [](const char* warning, void* list) {
        static_cast<std::vector<std::string>*>(list)->push_back(warning);
    };
    if (!LevelFromData(path.c_str(), data.data(), data.size(), bytes, &found, why, sizeof why, keep, warnings)) {
        *error = why;
        return false;
    }
    name->assign(found.at, found.size);
    return true;
}

}  // namespace leveltext
