// The board, the level files and the level start.
#include "game/board.h"

#include <cerrno>
#include <cstdio>

#include "game/frame.h"
#include "game/shots.h"
#include "game/sprites.h"
#include "lib/display.h"
#include "resource.h"

int32_t Board[BOARD_CELLS][BOARD_CELLS];
uint8_t LevelBuffer[LEVEL_FILE_SIZE];

uint8_t BalloonAlive[MAX_BALLOONS];
int32_t BalloonCount;
int32_t BalloonsLeft;
int32_t DeflectorCount;

uint8_t CurrentLevel = 1;
uint8_t LevelWon;
uint8_t FinishedPlayed;

namespace {

constexpr const char* OPEN_FAILED = "INVALID_HANDLE_VALUE";
constexpr int32_t FIRST_INNER = 1, LAST_INNER = 12;

// A level file's cell byte, read as the signed code the editor wrote.
int32_t FileCode(int32_t cx, int32_t cy) {
    return static_cast<int8_t>(LevelBuffer[cx * BOARD_CELLS + cy]);
}

}  // namespace

void LevelFileName(int32_t level, char* name, int size) {
    if (!name || size <= 0) return;
    if (level > 0)
        std::snprintf(name, static_cast<size_t>(size), "level%d.dat", static_cast<int>(level));
    else
        std::snprintf(name, static_cast<size_t>(size), "level.dat");
}

void LoadLevelFile(int32_t level) {
    char name[32];
    LevelFileName(level, name, sizeof name);
    // Read only: the shipped levels of an installed game are not the
    // player's to write, and a level that can be read must still load.
    FILE* file = std::fopen(name, "rb");
    if (!file) {
        ShowError(OPEN_FAILED);
        return;
    }
    // A short file replaces only the start; the rest keeps what it held.
    const size_t got = std::fread(LevelBuffer, 1, sizeof LevelBuffer, file);
    (void)got;
    // Something that opens but cannot be read (a folder) is no level either.
    const bool unreadable = std::ferror(file) != 0;
    std::fclose(file);
    if (unreadable) ShowError(OPEN_FAILED);
}

void SaveLevelFile() {
    const char* name = "level.dat";
    FILE* file = std::fopen(name, "r+b");
    // Create only what is missing: "w" would truncate a file that exists but
    // could not be opened for reading, and a longer file keeps its tail.
    if (!file && errno == ENOENT) file = std::fopen(name, "w+b");
    if (!file) {
        ShowError(OPEN_FAILED);
        return;
    }
    std::fseek(file, 0, SEEK_SET);
    std::fwrite(LevelBuffer, 1, sizeof LevelBuffer, file);
    std::fclose(file);
}

void ClearBoard() {
    for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy) Board[cx][cy] = CELL_EMPTY;
}

void PlaceBlocks() {
    for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy)
            if (FileCode(cx, cy) == CELL_BLOCK) Board[cx][cy] = CELL_BLOCK;
}

// Balloons past the table's room are left out: their cells stay empty.
void PlaceBalloons() {
    BalloonCount = 0;
    for (uint8_t& alive : BalloonAlive) alive = 0;
    for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy) {
            if (FileCode(cx, cy) != CELL_BALLOON || BalloonCount >= MAX_BALLOONS) continue;
            Board[cx][cy] = CELL_BALLOON;
            SetBobPosition(&BalloonBobs[BalloonCount], CELL_SIZE * cx, CELL_SIZE * cy);
            BalloonAlive[BalloonCount] = 1;
            ++BalloonCount;
        }
    BalloonsLeft = BalloonCount;
}

// Deflectors past the table's room are left out the same way.
void PlaceDeflectors() {
    DeflectorCount = 0;
    for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy) {
            const int32_t code = FileCode(cx, cy);
            if (code < CELL_DEFLECTOR_0 || code > CELL_DEFLECTOR_3 || DeflectorCount >= MAX_DEFLECTORS)
                continue;
            Board[cx][cy] = code;
            BOB* bob = &DeflectorBobs[DeflectorCount];
            bob->currFrame = code - CELL_DEFLECTOR_0;
            SetBobPosition(bob, CELL_SIZE * cx, CELL_SIZE * cy);
            ++DeflectorCount;
        }
}

void StartLevel() {
    PlatformEnableMenuItem(IDM_LEVEL1);
    LevelWon = 0;
    FinishedPlayed = 0;
    LoadLevelFile(static_cast<int32_t>(CurrentLevel));
    ClearBoard();
    PlaceBlocks();
    PlaceBalloons();
    PlaceDeflectors();
    ResetTank();
    // Nothing from the old board may act on the new one.
    ClearPlayEffects();
}

void ResetLevel() { StartLevel(); }
