// The solver's answers as text, for the tools and the tests: entry names
// and demo scripts. The game itself includes only solver.h.
#pragma once
#include <string>

#include "solver/solver.h"

namespace solver {

// "right 5", "up 12": the way the shot flies and its row or column.
inline std::string EntryName(int entry) {
    char name[ENTRY_NAME_SIZE];
    ::EntryName(entry, name);
    return name;
}

// The entry a name stands for, or -1.
inline int EntryOfName(const std::string& name) { return ::EntryOfName(name.c_str()); }

// A script for tarno-demo that plays the solution from the level's start:
// the tank walks the border ring the short way to each entry, fires, and
// waits until everything rests.
inline std::string DemoScript(const Grow<int>& solution, int level) {
    // The ring clockwise from the top-left corner.
    int ringX[52], ringY[52], n = 0;
    for (int c = 0; c < 13; ++c) ringX[n] = c, ringY[n++] = 0;
    for (int r = 0; r < 13; ++r) ringX[n] = 13, ringY[n++] = r;
    for (int c = 13; c > 0; --c) ringX[n] = c, ringY[n++] = 13;
    for (int r = 13; r > 0; --r) ringX[n] = 0, ringY[n++] = r;
    auto ringIndex = [&](int cx, int cy) {
        for (int i = 0; i < 52; ++i)
            if (ringX[i] == cx && ringY[i] == cy) return i;
        return 0;
    };
    std::string out = "# shortest solution, " + std::to_string(solution.size()) + " shots\n";
    if (level > 0) out += "level " + std::to_string(level) + "\n";
    int at = 0;  // the tank starts on the top-left corner
    for (int e : solution) {
        int32_t tx = 0, ty = 0;
        EntryTank(e, &tx, &ty);
        const int to = ringIndex(tx / CELL_SIZE, ty / CELL_SIZE);
        const int cw = (to - at + 52) % 52;
        const int step = cw <= 52 - cw ? 1 : -1;
        out += "# " + EntryName(e) + "\n";
        std::string held;
        int cells = 0;
        for (int i = at; i != to; i = (i + step + 52) % 52) {
            const int j = (i + step + 52) % 52;
            const int dx = ringX[j] - ringX[i], dy = ringY[j] - ringY[i];
            const char* key = dx > 0 ? "right" : dx < 0 ? "left" : dy > 0 ? "down" : "up";
            if (held != key) {
                if (cells) out += "keys " + held + "\nwait " + std::to_string(6 * cells) + "\n";
                held = key;
                cells = 0;
            }
            ++cells;
        }
        if (cells) out += "keys " + held + "\nwait " + std::to_string(6 * cells) + "\n";
        at = to;
        static const char* fireKey[5] = {"", "left", "up", "right", "down"};
        // One frame with the arrow across the side fires; letting go is the
        // key release the next shot needs, and 8 frames end the firing.
        out += std::string("keys ") + fireKey[EntryDirection(e)] + "\nwait 1\nkeys\nwait 8\nrest\n";
    }
    out += "dump\n";
    return out;
}

}  // namespace solver
