// Level sources: the text form of a level file, shared by tarno-levelc and
// tarno-solve.
//
//   name: Short Name          the level's name (not stored in the .dat), first
//                             but for comments and blank lines ("Name:" in any
//                             case; a UTF-8 byte-order mark before it is skipped)
//   # comment                 any number of comment lines, and blank lines
//                             (a '#' line of 12 grid characters is a grid row)
//   ............              then 12 consecutive grid lines, top row first,
//   ...o....#...              12 characters each, columns 1 to 12:
//   ...                       .  empty   #  block   o  balloon
//                             0 1 2 3  a deflector of that orientation
//   # comment                 after the grid only comments and blank lines
//
// Trailing spaces and a carriage return at the end of a line are ignored.
// The compiled file is the game's 300 bytes: interior cells 15 (empty),
// 16, 17 or 20..23, every border byte and bytes 196..299 zero.
#pragma once
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "game/board.h"
#include "platform/files/files.h"

namespace leveltext {

constexpr int GRID = 12;

inline int ByteIndex(int cx, int cy) { return cx * BOARD_CELLS + cy; }

// The grid characters and the cell codes they stand for: the one table of
// them (`tarno-levelc --cells` prints it for the test scripts).
struct CellChar {
    char c;
    int code;
};
constexpr CellChar CELL_CHARS[] = {
    {'.', CELL_EMPTY},       {'#', CELL_BLOCK},       {'o', CELL_BALLOON},     {'0', CELL_DEFLECTOR_0},
    {'1', CELL_DEFLECTOR_1}, {'2', CELL_DEFLECTOR_2}, {'3', CELL_DEFLECTOR_3},
};

// The cell code a grid character stands for, or -1.
inline int CodeOfChar(char c) {
    for (const CellChar& e : CELL_CHARS)
        if (e.c == c) return e.code;
    return -1;
}

// The grid character of an interior code, or 0 for a code play never meets.
inline char CharOfCode(int code) {
    for (const CellChar& e : CELL_CHARS)
        if (e.code == code) return e.c;
    return 0;
}

// The grid characters, spaced, for messages: ". # o 0 1 2 3".
inline std::string CellCharList() {
    std::string out;
    for (const CellChar& e : CELL_CHARS) out += std::string(out.empty() ? "" : " ") + e.c;
    return out;
}

inline std::string Where(const std::string& file, int line) { return file + ":" + std::to_string(line) + ": "; }

constexpr char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

// Whether a line names the level: "name:" in any case.
inline bool IsNameLine(const std::string& s) {
    if (s.size() < 5) return false;
    for (size_t i = 0; i < 5; ++i)
        if ((s[i] | 0x20) != "name:"[i]) return false;
    return true;
}

// Before the name only comments and blank lines may come.
inline bool IsCommentOrBlank(const std::string& s) {
    return s.find_first_not_of(" \t\r") == std::string::npos || s[0] == '#';
}

// Counts the pieces of a level's interior.
inline void CountPieces(const uint8_t bytes[LEVEL_FILE_SIZE], int* balloons, int* deflectors) {
    *balloons = 0;
    *deflectors = 0;
    for (int cx = 1; cx <= GRID; ++cx)
        for (int cy = 1; cy <= GRID; ++cy) {
            const int code = bytes[ByteIndex(cx, cy)];
            if (code == CELL_BALLOON) ++*balloons;
            if (code >= CELL_DEFLECTOR_0 && code <= CELL_DEFLECTOR_3) ++*deflectors;
        }
}

// Checks that the tables can hold the level and that it can be won at all.
inline bool CheckPieces(const uint8_t bytes[LEVEL_FILE_SIZE], const std::string& file, std::string* error) {
    int balloons = 0, deflectors = 0;
    CountPieces(bytes, &balloons, &deflectors);
    if (balloons == 0) {
        *error = file + ": no balloon: the level could never be won";
        return false;
    }
    if (balloons > MAX_BALLOONS) {
        *error = file + ": " + std::to_string(balloons) + " balloons, at most " + std::to_string(MAX_BALLOONS);
        return false;
    }
    if (deflectors > MAX_DEFLECTORS) {
        *error = file + ": " + std::to_string(deflectors) + " deflectors, at most " + std::to_string(MAX_DEFLECTORS);
        return false;
    }
    return true;
}

// Parses a level source into the 300 bytes of its level file. On failure
// the error names the file and line.
inline bool ParseLevelText(const std::string& file, const std::string& text, uint8_t bytes[LEVEL_FILE_SIZE],
                           std::string* name, std::string* error) {
    for (int i = 0; i < LEVEL_FILE_SIZE; ++i) bytes[i] = 0;
    name->clear();
    int rows = 0, line = 0;
    bool named = false;
    size_t pos = text.compare(0, 3, BYTE_ORDER_MARK) == 0 ? 3 : 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string s = text.substr(pos, end - pos);
        pos = end + 1;
        ++line;
        while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
        if (!named) {
            if (IsCommentOrBlank(s)) continue;
            if (!IsNameLine(s)) {
                *error = Where(file, line) + "the first line must be 'name: ...'";
                return false;
            }
            size_t start = 5;
            while (start < s.size() && s[start] == ' ') ++start;
            *name = s.substr(start);
            if (name->empty()) {
                *error = Where(file, line) + "the level has no name";
                return false;
            }
            named = true;
            continue;
        }
        // A row may start with a block, so a '#' line is a comment unless it
        // is 12 grid characters while the grid still needs rows.
        bool gridLike = static_cast<int>(s.size()) == GRID && rows < GRID;
        for (char c : s) gridLike = gridLike && CodeOfChar(c) >= 0;
        if (s.empty() || (s[0] == '#' && !gridLike)) {
            if (rows > 0 && rows < GRID) {
                *error = Where(file, line) + "the grid stops after " + std::to_string(rows) + " rows; it needs 12";
                return false;
            }
            continue;
        }
        if (rows == GRID) {
            *error = Where(file, line) + "more than 12 grid rows";
            return false;
        }
        if (static_cast<int>(s.size()) != GRID) {
            *error = Where(file, line) + "a grid row has " + std::to_string(s.size()) + " characters; it needs 12";
            return false;
        }
        ++rows;
        for (int col = 1; col <= GRID; ++col) {
            const int code = CodeOfChar(s[col - 1]);
            if (code < 0) {
                *error = Where(file, line) + "column " + std::to_string(col) + ": unknown cell '" +
                         std::string(1, s[col - 1]) + "' (use " + CellCharList() + ")";
                return false;
            }
            bytes[ByteIndex(col, rows)] = static_cast<uint8_t>(code);
        }
    }
    if (!named) {
        *error =
            Where(file, line ? line : 1) + (line ? "no name" : "empty file") + "; the first line must be 'name: ...'";
        return false;
    }
    if (rows != GRID) {
        *error = Where(file, line) + "the grid has " + std::to_string(rows) + " rows; it needs 12";
        return false;
    }
    return CheckPieces(bytes, file, error);
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
                warnings->push_back("unknown code " + std::to_string(code) + " at column " + std::to_string(cx) +
                                    ", row " + std::to_string(cy) + " taken as empty");
                c = '.';
            }
            out += c;
        }
        out += '\n';
    }
    return out;
}

// Puts any level file's interior into the canonical form the compiler
// writes (what the game would build from it): unknown codes empty, the
// border and the tail zero.
inline void Canonical(const uint8_t in[LEVEL_FILE_SIZE], uint8_t out[LEVEL_FILE_SIZE]) {
    for (int i = 0; i < LEVEL_FILE_SIZE; ++i) out[i] = 0;
    for (int cx = 1; cx <= GRID; ++cx)
        for (int cy = 1; cy <= GRID; ++cy) {
            const int code = static_cast<int8_t>(in[ByteIndex(cx, cy)]);
            out[ByteIndex(cx, cy)] = static_cast<uint8_t>(CharOfCode(code) ? code : CELL_EMPTY);
        }
}

// Whole regular files only, and none past the level file's limit: a device
// such as /dev/zero would otherwise be read until memory runs out, and a
// FIFO would wait for a writer. On failure, error says which file and why;
// refused tells these refusals (too large, not a regular file) apart.
inline bool ReadWholeFile(const std::string& path, std::string* data, std::string* error, bool* refused) {
    std::vector<uint8_t> bytes;
    const FileRead read = ReadFileByName(path.c_str(), LEVEL_FILE_LIMIT, &bytes);
    *refused = read.longer || read.error == EINVAL;
    if (read.longer) {
        *error = path + ": larger than " + std::to_string(LEVEL_FILE_LIMIT / 1024 / 1024) + " MiB; refused";
        return false;
    }
    if (read.error) {
        *error = path + ": cannot read: " + read.reason;
        return false;
    }
    data->assign(bytes.begin(), bytes.end());
    return true;
}

// A source: its first line that is not a comment or blank names the level.
inline bool LooksLikeText(const std::string& data) {
    size_t pos = data.compare(0, 3, BYTE_ORDER_MARK) == 0 ? 3 : 0;
    while (pos < data.size()) {
        size_t end = data.find('\n', pos);
        if (end == std::string::npos) end = data.size();
        const std::string s = data.substr(pos, end - pos);
        if (!IsCommentOrBlank(s)) return IsNameLine(s);
        pos = end + 1;
    }
    return false;
}

// Reads a level, text or compiled, into canonical bytes. A compiled file
// must hold the 300 bytes the game reads.
inline bool LoadAnyLevel(const std::string& path, uint8_t bytes[LEVEL_FILE_SIZE], std::string* name, std::string* error,
                         std::vector<std::string>* warnings) {
    std::string data;
    bool refused = false;
    if (!ReadWholeFile(path, &data, error, &refused)) return false;
    if (LooksLikeText(data)) return ParseLevelText(path, data, bytes, name, error);
    if (data.size() < static_cast<size_t>(LEVEL_FILE_SIZE)) {
        *error =
            path + ": " + std::to_string(data.size()) + " bytes; a level file has " + std::to_string(LEVEL_FILE_SIZE);
        return false;
    }
    if (data.size() > static_cast<size_t>(LEVEL_FILE_SIZE))
        warnings->push_back(path + ": bytes past " + std::to_string(LEVEL_FILE_SIZE) + " ignored");
    uint8_t raw[LEVEL_FILE_SIZE];
    for (int i = 0; i < LEVEL_FILE_SIZE; ++i) raw[i] = static_cast<uint8_t>(data[static_cast<size_t>(i)]);
    std::vector<std::string> found;
    LevelToText(raw, "", &found);  // only for its warnings about unknown codes
    for (const std::string& w : found) warnings->push_back(path + ": " + w);
    Canonical(raw, bytes);
    std::string base = path;
    const size_t slash = base.find_last_of('/');
    if (slash != std::string::npos) base.erase(0, slash + 1);
    const size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && dot > 0) base.erase(dot);
    *name = base;
    return CheckPieces(bytes, path, error);
}

}  // namespace leveltext
