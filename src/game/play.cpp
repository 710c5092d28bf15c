// The rules' frame step, and what is asked of a whole state: motion, the
// level set up, a cell's code, effects cleared, comparing and hashing.
#include "game/play.h"

#include <cstring>

#include "game/deflect.h"
#include "game/shots.h"

bool operator==(const PlayState& a, const PlayState& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

uint64_t HashPlay(const PlayState& s) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&s);
    uint64_t h = 0x9E3779B97F4A7C15ull;
    for (size_t i = 0; i < sizeof s; i += 8) {
        uint64_t w = 0;
        std::memcpy(&w, bytes + i, sizeof s - i < 8 ? sizeof s - i : 8);
        h ^= w;
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    return h;
}

void StepPlay(PlayState& s, PlayReport* report) {
    std::memset(report, 0, sizeof *report);
    // Shown for one frame only: the frame driver has drawn them before the step.
    for (uint8_t& pending : s.popPending) pending = 0;
    StepDeflectors(s, report);
    for (int32_t i = 0; i < MAX_SHOTS; ++i)
        if (s.shotActive[i]) UpdateShot(s, i, report);
}

bool PlayInMotion(const PlayState& s) {
    for (int32_t i = 0; i < MAX_SHOTS; ++i)
        if (s.shotActive[i]) return true;
    for (int32_t k = 0; k < LevelDeflectors(s); ++k)
        if (s.deflectors[k].xv != 0 || s.deflectors[k].yv != 0) return true;
    return false;
}

void SetUpPlay(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]) {
    s = PlayState{};
    ClearBoard(s);
    PlaceBlocks(s, level);
    PlaceBalloons(s, level);
    PlaceDeflectors(s, level);
}

int32_t DirectionOf(int32_t xv, int32_t yv) {
    if (xv != 0 && yv != 0) return 0;
    if (xv < 0) return DIR_LEFT;
    if (yv < 0) return DIR_UP;
    if (xv > 0) return DIR_RIGHT;
    if (yv > 0) return DIR_DOWN;
    return 0;
}

void AddPlayEvent(PlayReport* report, PlayEvent event) {
    if (report->eventCount < PlayReport::MAX_EVENTS) report->events[report->eventCount++] = event;
}

int32_t CellAt(const PlayState& s, int32_t cx, int32_t cy) {
    if (cx < 0 || cx >= BOARD_CELLS || cy < 0 || cy >= BOARD_CELLS) return CELL_NONE;
    return s.board[cx][cy];
}

void ClearPlayEffects(PlayState& s) {
    for (uint8_t& active : s.shotActive) active = 0;
    for (uint8_t& pending : s.popPending) pending = 0;
    s.impactActive = 0;
    for (Deflector& d : s.deflectors) d.xv = d.yv = 0;
}

bool SettleOnBoard(PlayState& s) {
    int j = 0;
    for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy) {
            const int32_t code = s.board[cx][cy];
            const int members = code == CELL_DEFLECTOR_PAIR                            ? 2
                                : code >= CELL_DEFLECTOR_0 && code <= CELL_DEFLECTOR_3 ? 1
                                                                                       : 0;
            for (int m = 0; m < members; ++m, ++j) {
                if (j >= s.deflectorCount) return false;
                Deflector& d = s.deflectors[j];
                d.x = CELL_SIZE * cx;
                d.y = CELL_SIZE * cy;
                d.xv = d.yv = 0;
                d.orientation = code == CELL_DEFLECTOR_PAIR ? 2 * m : code - CELL_DEFLECTOR_0;
            }
        }
    if (j != s.deflectorCount) return false;
    s.balloonsLeft = 0;
    for (int k = 0; k < s.balloonCount; ++k) {
        s.balloonAlive[k] = s.board[s.balloonX[k] / CELL_SIZE][s.balloonY[k] / CELL_SIZE] == CELL_BALLOON;
        s.balloonsLeft += s.balloonAlive[k];
    }
    s.won = 0;
    ClearPlayEffects(s);
    return true;
}
