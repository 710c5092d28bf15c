// What a player can take back, as one value: the rules' state, the tank and
// the shots fired. Undo and redo keep copies of it; the sprites draw from it.
#pragma once
#include <cstdint>

#include "game/playstate.h"

// The tank on the border ring: its corner, its picture (the way it faces, or
// a frame of its firing), and what it does this frame.
struct Tank {
    int32_t x, y, frame;
    int32_t direction;     // the arrow it obeys, 0 for none
    int32_t stepX, stepY;  // its move per frame while moving
    uint8_t moving, firing;
};

struct Game {
    PlayState play;
    Tank tank;
    int32_t shotsFired;  // in this level since its start
};

// True when the tank stands on a cell corner, where it takes orders.
inline bool TankAligned(const Tank& t) { return t.x % CELL_SIZE == 0 && t.y % CELL_SIZE == 0; }
