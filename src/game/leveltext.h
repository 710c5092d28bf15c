// Level sources: the text form of a level file, read by the game (a board
// of one's own), tarno-levelc and tarno-solve.
//
//   name: Short Name          the level's name (not stored in the .dat), first
//                             but for comments and blank lines ("Name:" in any
//                             case; a UTF-8 byte-order mark before it is skipped)
//   # comment                 any number of comment lines, and blank lines
//                             (a '#' line of 12 grid characters is a grid row)
//   ............              then 12 consecutive grid lines, top row first,
//   ...o....#...              12 characters each, columns 1 to 12, each a
//   ...                       piece's character in PIECES (game/board.h;
//                             `tarno-levelc --cells` lists them): '.' empty,
//                             '#' a block, 'o' a balloon, ...
//   # comment                 after the grid only comments and blank lines
//
// Trailing spaces and a carriage return at the end of a line are ignored.
// The compiled file is the game's 300 bytes: interior cells the pieces'
// codes, every border byte and bytes 196..299 zero.
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

// The grid characters are the pieces' own (PIECES, game/board.h;
// `tarno-levelc --cells` prints them for the test scripts).

// The cell code a grid character stands for, or -1.
inline int CodeOfChar(char c) {
    for (const PieceKind& p : PIECES)
        if (p.text && p.text == c) return p.code;
    return -1;
}

// The grid character of an interior code, or 0 for a code no level holds.
inline char CharOfCode(int code) {
    const int32_t piece = PieceIndex(code);
    return piece >= 0 ? PIECES[piece].text : 0;
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
