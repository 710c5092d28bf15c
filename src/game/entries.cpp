#include "game/entries.h"

#include <cstdio>
#include <cstring>

#include "game/board.h"
#include "game/shots.h"

namespace {
constexpr int INNER = LAST_INNER - FIRST_INNER + 1;
}

int32_t EntryDirection(int entry) {
    static const int32_t dirs[4] = {DIR_RIGHT, DIR_LEFT, DIR_DOWN, DIR_UP};
    return dirs[entry / INNER];
}

int EntryLine(int entry) { return entry % INNER + FIRST_INNER; }

void EntryTank(int entry, int32_t* x, int32_t* y) {
    const int32_t at = CELL_SIZE * EntryLine(entry);
    switch (EntryDirection(entry)) {
    case DIR_RIGHT: *x = 0, *y = at; break;
    case DIR_LEFT: *x = FIELD_MAX, *y = at; break;
    case DIR_DOWN: *x = at, *y = 0; break;
    default: *x = at, *y = FIELD_MAX; break;
    }
}

void EntryName(int entry, char out[ENTRY_NAME_SIZE]) {
    static const char* const names[4] = {"right", "left", "down", "up"};
    std::snprintf(out, ENTRY_NAME_SIZE, "%s %d", names[entry / INNER], EntryLine(entry));
}

int EntryOfName(const char* name) {
    char mine[ENTRY_NAME_SIZE];
    for (int e = 0; e < ENTRIES; ++e) {
        EntryName(e, mine);
        if (std::strcmp(mine, name) == 0) return e;
    }
    return -1;
}
