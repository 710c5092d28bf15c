// The board, its cell codes, the level files and the piece tables a level fills.
#pragma once
#include <cstdint>

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
void PlaceBlocks();
void PlaceBalloons();
void PlaceDeflectors();
// The same on any state, from a level file's bytes.
void ClearBoard(PlayState& s);
void PlaceBlocks(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]);
void PlaceBalloons(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]);
void PlaceDeflectors(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]);
// "level" + n + ".dat", or "level.dat" for n <= 0.
void LevelFileName(int32_t level, char* name, int size);
