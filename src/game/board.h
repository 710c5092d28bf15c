// The board, its cell codes, the level files and the piece tables a level fills.
#pragma once
#include <cstdint>

#include "game/sheet.h"

struct PlayState;

constexpr int32_t CELL_SIZE = 48;
constexpr int32_t BOARD_CELLS = 14;
constexpr int32_t FIELD_MAX = 624;
constexpr int32_t SHOT_SPEED = 8;
constexpr int32_t LAST_LEVEL = 12;
// The interior, where pieces stand: cells FIRST_INNER..LAST_INNER on each axis.
constexpr int32_t FIRST_INNER = 1, LAST_INNER = 12;
constexpr int LEVEL_FILE_SIZE = 300;
// The most a level file may hold, its tail included, before tools and the
// editor refuse it.
constexpr int LEVEL_FILE_LIMIT = 1 << 20;

constexpr int32_t CELL_NONE = 0;
constexpr int32_t CELL_EMPTY = 15;
constexpr int32_t CELL_BLOCK = 16;
constexpr int32_t CELL_BALLOON = 17;
constexpr int32_t CELL_DEFLECTOR_PAIR = 19;
constexpr int32_t CELL_DEFLECTOR_0 = 20;
constexpr int32_t CELL_DEFLECTOR_1 = 21;
constexpr int32_t CELL_DEFLECTOR_2 = 22;
constexpr int32_t CELL_DEFLECTOR_3 = 23;

constexpr int MAX_BALLOONS = 10;
constexpr int MAX_DEFLECTORS = 15;
constexpr int MAX_SHOTS = 10;

constexpr bool IsSingleDeflector(int32_t code) { return code >= CELL_DEFLECTOR_0 && code <= CELL_DEFLECTOR_3; }

// Every piece a cell of the interior may hold, the one table of them: the
// level sources, the editor, the drawing of pieces that stand still and the
// tests read it. The editor's right click steps through the pieces marked
// for it, in this order, round.
struct PieceKind {
    int32_t code;
    char text;           // its character in level sources; 0: play makes it, no level holds it
    const char* name;    // what the editor's status line calls it
    bool rightClick;     // in the editor's right-click round
    bool still;          // never moves: placed from the level file and drawn from the board
    bool onFloor;        // the editor draws the floor under its picture
    SheetStrip picture;  // one picture (the editor's; a still piece's in play too), or none
};
constexpr PieceKind PIECES[] = {
    {CELL_EMPTY, '.', "an empty cell", true, false, true, NO_SHEET_PICTURE},
    {CELL_BLOCK, '#', "a block", false, true, false, SHEET_BLOCK},
    {CELL_BALLOON, 'o', "a balloon", true, false, false, SHEET_BALLOON},
    {CELL_DEFLECTOR_0, '0', "a deflector", true, false, true, SheetPicture(SHEET_DEFLECTOR, 0)},
    {CELL_DEFLECTOR_1, '1', "a deflector", true, false, true, SheetPicture(SHEET_DEFLECTOR, 1)},
    {CELL_DEFLECTOR_2, '2', "a deflector", true, false, true, SheetPicture(SHEET_DEFLECTOR, 2)},
    {CELL_DEFLECTOR_3, '3', "a deflector", true, false, true, SheetPicture(SHEET_DEFLECTOR, 3)},
    {CELL_DEFLECTOR_PAIR, 0, "a locked pair", false, false, false, NO_SHEET_PICTURE},
};
constexpr int32_t PIECE_KINDS = sizeof PIECES / sizeof PIECES[0];

// The row of a cell code, or -1 for a code no interior cell holds.
constexpr int32_t PieceIndex(int32_t code) {
    for (int32_t i = 0; i < PIECE_KINDS; ++i)
        if (PIECES[i].code == code) return i;
    return -1;
}

extern uint8_t CurrentLevel;

// Each returns null, or why it failed (the box has been shown then).
const char* LoadLevelFile(int32_t level);
// The bytes it took from its file (Now.LevelFileRead): fewer than a
// level's leave the rest of Now.LevelBuffer as it was.
const char* SaveLevelFile();
// Removes what a save cut short left beside "level.dat"; part of start-up.
void RemoveStaleLevelSaves();
// Level start's steps on the live state, from Now.LevelBuffer.
void ClearBoard();
void PlaceStillPieces();
void PlaceBalloons();
void PlaceDeflectors();
// The same on any state, from a level file's bytes.
void ClearBoard(PlayState& s);
void PlaceStillPieces(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]);
void PlaceBalloons(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]);
void PlaceDeflectors(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]);
// "level" + n + ".dat", or "level.dat" for n <= 0.
void LevelFileName(int32_t level, char* name, int size);
