// The board, the level files and the level start.
#include "game/board.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "lib/display.h"

uint8_t LevelBuffer[LEVEL_FILE_SIZE];
uint8_t CurrentLevel = 1;
uint8_t FinishedPlayed;
uint8_t OwnLevel;
uint8_t OwnLevelBytes[LEVEL_FILE_SIZE];

namespace {

constexpr const char* OPEN_FAILED = "INVALID_HANDLE_VALUE";

// A level file's cell byte, read as the signed code the editor wrote.
int32_t FileCode(const uint8_t* level, int32_t cx, int32_t cy) {
    return static_cast<int8_t>(level[cx * BOARD_CELLS + cy]);
}

}  // namespace

void LevelFileName(int32_t level, char* name, int size) {
    if (!name || size <= 0) return;
    if (level > 0) std::snprintf(name, static_cast<size_t>(size), "level%d.dat", static_cast<int>(level));
    else std::snprintf(name, static_cast<size_t>(size), "level.dat");
}

void LoadLevelFile(int32_t level) {
    char name[32];
    LevelFileName(level, name, sizeof name);
    // Read only: the shipped levels of an installed game are not the
    // player's to write, and a level that can be read must still load.
    FILE* file = std::fopen(name, "rb");
    if (!file) {
        ShowFileError(OPEN_FAILED, name, std::strerror(errno));
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

void ClearBoard(PlayState& s) {
    for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy) s.board[cx][cy] = CELL_EMPTY;
}

void PlaceBlocks(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]) {
    for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy)
            if (FileCode(level, cx, cy) == CELL_BLOCK) s.board[cx][cy] = CELL_BLOCK;
}

// Balloons past the table's room are left out: their cells stay empty.
void PlaceBalloons(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]) {
    s.balloonCount = 0;
    for (uint8_t& alive : s.balloonAlive) alive = 0;
    for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy) {
            if (FileCode(level, cx, cy) != CELL_BALLOON || s.balloonCount >= MAX_BALLOONS) continue;
            s.board[cx][cy] = CELL_BALLOON;
            s.balloonX[s.balloonCount] = CELL_SIZE * cx;
            s.balloonY[s.balloonCount] = CELL_SIZE * cy;
            s.balloonAlive[s.balloonCount] = 1;
            ++s.balloonCount;
        }
    s.balloonsLeft = s.balloonCount;
}

// Deflectors past the table's room are left out the same way.
void PlaceDeflectors(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]) {
    s.deflectorCount = 0;
    for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy) {
            const int32_t code = FileCode(level, cx, cy);
            if (!IsSingleDeflector(code) || s.deflectorCount >= MAX_DEFLECTORS) continue;
            s.board[cx][cy] = code;
            Deflector& d = s.deflectors[s.deflectorCount];
            d.orientation = code - CELL_DEFLECTOR_0;
            d.x = CELL_SIZE * cx;
            d.y = CELL_SIZE * cy;
            ++s.deflectorCount;
        }
}

void ClearBoard() { ClearBoard(Live.play); }
void PlaceBlocks() { PlaceBlocks(Live.play, LevelBuffer); }
void PlaceBalloons() { PlaceBalloons(Live.play, LevelBuffer); }
void PlaceDeflectors() { PlaceDeflectors(Live.play, LevelBuffer); }
