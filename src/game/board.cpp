// The board, the level files and the level start.
#include "game/board.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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
    // Read-write on purpose: a level that cannot be written is refused like
    // a missing one, the same for play and the editor.
    FILE* file = std::fopen(name, "r+b");
    if (!file) {
        ShowFileError(OPEN_FAILED, name, std::strerror(errno));
        return;
    }
    // A short file replaces only the start; the rest keeps what it held.
    const size_t got = std::fread(LevelBuffer, 1, sizeof LevelBuffer, file);
    (void)got;
    std::fclose(file);
}

// The editor's save replaces level.dat whole, through the platform: no
// failure part-way leaves half a level. The old bytes past the level are
// carried over (a longer file keeps its tail), and every failure shows the
// same box as a failed open.
void SaveLevelFile() {
    const char* name = "level.dat";
    static uint8_t bytes[LEVEL_FILE_LIMIT];
    size_t size = sizeof LevelBuffer;
    const char* reason = nullptr;
    // Read-write on purpose: a level.dat the player made read-only stays refused.
    if (FILE* file = std::fopen(name, "r+b")) {
        struct stat info;
        if (stat(name, &info) != 0 || !S_ISREG(info.st_mode)) {
            // A device or a pipe cannot be renamed over; it is not ours to replace.
            reason = "not a regular file";
        } else {
            size = std::fread(bytes, 1, sizeof bytes, file);
            if (std::ferror(file)) reason = std::strerror(errno);
            else if (size == sizeof bytes && std::fgetc(file) != EOF) reason = "too long for a level file";
            if (size < sizeof LevelBuffer) size = sizeof LevelBuffer;
        }
        std::fclose(file);
    } else if (errno != ENOENT) {
        reason = std::strerror(errno);
    }
    if (!reason) {
        std::memcpy(bytes, LevelBuffer, sizeof LevelBuffer);
        const int error = PlatformReplaceFile(name, bytes, static_cast<uint32_t>(size));
        if (error) reason = std::strerror(error);
    }
    if (reason) ShowFileError(OPEN_FAILED, name, reason);
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
