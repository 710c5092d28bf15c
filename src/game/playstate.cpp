// The play state's own questions: equality, hash, a direction, a cell, an event.
#include "game/playstate.h"

#include <cstring>

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
