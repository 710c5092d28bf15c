// Level sources: the text form of a level file, read by the game (a board
// of one's own), tarno-levelc and tarno-solve.
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
//
// The game's side works on bytes and fixed buffers; the tools' std::string
// face of the same functions is leveltext_strings.h.
#pragma once
#include <cstddef>
#include <cstdint>

#include "game/board.h"

struct FileBytes;

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

// Room for an error: the file's path and what went wrong.
constexpr size_t ERROR_SIZE = 4352;

// A stretch of text: where it starts and how many bytes.
struct Span {
    const char* at;
    size_t size;
};

// Told each warning in turn.
using WarningSink = void (*)(const char* warning, void* context);

// Counts the pieces of a level's interior.
void CountPieces(const uint8_t bytes[LEVEL_FILE_SIZE], int* balloons, int* deflectors);

// Checks that the tables can hold the level and that it can be won at all.
bool CheckPieces(const uint8_t bytes[LEVEL_FILE_SIZE], const char* file, char* error, size_t errorSize);

// Parses a level source into the 300 bytes of its level file; the name is
// a stretch of the text. On failure the error names the file and line.
bool ParseLevelText(const char* file, const char* text, size_t size, uint8_t bytes[LEVEL_FILE_SIZE], Span* name,
                    char* error, size_t errorSize);

// "unknown code C at column X, row Y taken as empty", for a code play never meets.
void UnknownCodeWarning(int code, int cx, int cy, char* out, size_t outSize);

// Puts any level file's interior into the canonical form the compiler
// writes (what the game would build from it): unknown codes empty, the
// border and the tail zero.
void Canonical(const uint8_t in[LEVEL_FILE_SIZE], uint8_t out[LEVEL_FILE_SIZE]);

// Whole regular files only, and none past the level file's limit: a device
// such as /dev/zero would otherwise be read until memory runs out, and a
// FIFO would wait for a writer. On failure, error says which file and why;
// refused tells these refusals (too large, not a regular file) apart.
bool ReadWholeFile(const char* path, FileBytes* data, char* error, size_t errorSize, bool* refused);

// A source: its first line that is not a comment or blank names the level.
bool LooksLikeText(const char* data, size_t size);

// A level, text or compiled, from a file's bytes into canonical bytes. A
// compiled file must hold the 300 bytes the game reads; its name is the
// file's, without folder or extension (a stretch of path).
bool LevelFromData(const char* path, const char* data, size_t size, uint8_t bytes[LEVEL_FILE_SIZE], Span* name,
                   char* error, size_t errorSize, WarningSink warn, void* context);

// Reads a level, text or compiled, into canonical bytes; the name is cut
// to fit its buffer.
bool LoadAnyLevel(const char* path, uint8_t bytes[LEVEL_FILE_SIZE], char* name, size_t nameSize, char* error,
                  size_t errorSize, WarningSink warn, void* context);

}  // namespace leveltext
