// The board, the level files and the level start.
#include "game/board.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/session.h"
#include "lib/display.h"
#include "platform/files/files.h"

uint8_t CurrentLevel = 1;

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

const char* LoadLevelFile(int32_t level) {
    char name[32];
    LevelFileName(level, name, sizeof name);
    // Read only: the shipped levels of an installed game are not the
    // player's to write, and a level that can be read must still load.
    FileBytes bytes;
    const FileRead read = ReadFileByName(name, sizeof Now.LevelBuffer, &bytes, READ_START);
    if (read.error) {
        ShowFileError(OPEN_FAILED, name, read.reason);
        return read.reason;
    }
    // A short file replaces only the start; the rest keeps what it held.
    std::memcpy(Now.LevelBuffer, bytes.data, bytes.size);
    Now.LevelFileRead = static_cast<int32_t>(bytes.size);
    return nullptr;
}

void RemoveStaleLevelSaves() {
    const char* temps[] = {"level.dat"};
    RemoveStaleTemps(".", temps, 1);
}

// The editor's save replaces level.dat whole: no failure part-way leaves
// half a level. The old bytes past the level are carried over (a longer
// file keeps its tail), and every failure shows the same box as a failed open.

const char* SaveLevelFile() {
    const char* name = "level.dat";
    FileBytes bytes;
    const char* reason = nullptr;
    // Writable on purpose: a level.dat the player made read-only stays refused.
    const FileRead read = ReadFileByName(name, LEVEL_FILE_LIMIT, &bytes, READ_WRITABLE);
    if (read.longer) reason = "too long for a level file";
    else if (read.error && read.error != ENOENT) reason = read.reason;
    if (!reason) {
        // The level, then what the old file held past it.
        const size_t size = bytes.size > sizeof Now.LevelBuffer ? bytes.size : sizeof Now.LevelBuffer;
        uint8_t* whole = static_cast<uint8_t*>(std::malloc(size));
        if (!whole) {
            reason = std::strerror(ENOMEM);
        } else {
            std::memcpy(whole, Now.LevelBuffer, sizeof Now.LevelBuffer);
            if (bytes.size > sizeof Now.LevelBuffer)
                std::memcpy(whole + sizeof Now.LevelBuffer, bytes.data + sizeof Now.LevelBuffer,
                            bytes.size - sizeof Now.LevelBuffer);
            const int error = ReplaceFileWhole(name, whole, size);
            if (error) reason = std::strerror(error);
            std::free(whole);
        }
    }
    if (reason) ShowFileError(OPEN_FAILED, name, reason);
    return reason;
}

void ClearBoard(PlayState& s) {
    for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy) s.board[cx][cy] = CELL_EMPTY;
}

void PlaceStillPieces(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]) {
    for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy) {
            const int32_t code = FileCode(level, cx, cy), piece = PieceIndex(code);
            if (piece >= 0 && PIECES[piece].still) s.board[cx][cy] = code;
        }
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

void ClearBoard() { ClearBoard(Now.Live.play); }
void PlaceStillPieces() { PlaceStillPieces(Now.Live.play, Now.LevelBuffer); }
void PlaceBalloons() { PlaceBalloons(Now.Live.play, Now.LevelBuffer); }
void PlaceDeflectors() { PlaceDeflectors(Now.Live.play, Now.LevelBuffer); }
