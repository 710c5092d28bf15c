// What a shot does to the deflector it meets, and the deflectors' slide.
#include "game/deflect.h"

#include "game/wedges.h"

namespace {

bool InsideBoard(int32_t cx, int32_t cy) { return cx >= 0 && cx < BOARD_CELLS && cy >= 0 && cy < BOARD_CELLS; }

// Rounds toward minus infinity, so a slide's next corner is found on either side of 0.
int32_t FloorCell(int32_t v) { return v >= 0 ? v / CELL_SIZE : -((-v + CELL_SIZE - 1) / CELL_SIZE); }

// The cell of the corner a sliding deflector stops on: the first corner
// strictly ahead of it along its velocity.
void SlideDestination(const Deflector& d, int32_t* cx, int32_t* cy) {
    *cx = FloorCell(d.x);
    *cy = FloorCell(d.y);
    if (d.xv > 0) *cx += 1;
    if (d.xv < 0 && d.x % CELL_SIZE == 0) *cx -= 1;
    if (d.yv > 0) *cy += 1;
    if (d.yv < 0 && d.y % CELL_SIZE == 0) *cy -= 1;
}

// A pair moves only when all of it rests: a member still sliding in (from
// any side) or anything sliding out would otherwise be sent off between
// corners, where the slide never ends.
bool PairAtRest(const PlayState& s, int32_t ox, int32_t oy) {
    for (int32_t j = 0; j < LevelDeflectors(s); ++j) {
        const Deflector& d = s.deflectors[j];
        const bool inCell = FloorCell(d.x) == ox && FloorCell(d.y) == oy;
        if (d.xv != 0 || d.yv != 0) {
            int32_t dx, dy;
            SlideDestination(d, &dx, &dy);
            if (inCell || (dx == ox && dy == oy)) return false;
        } else if (inCell && (d.x != CELL_SIZE * ox || d.y != CELL_SIZE * oy)) {
            return false;
        }
    }
    return true;
}

void PushPair(PlayState& s, int32_t ox, int32_t oy, int32_t direction, int32_t shot) {
    s.shotActive[shot] = 0;
    const int32_t nx = ox + DIR_STEP[direction - 1][0], ny = oy + DIR_STEP[direction - 1][1];
    if (CellAt(s, nx, ny) != CELL_EMPTY || !PairAtRest(s, ox, oy)) return;
    const int32_t vx = SHOT_SPEED * DIR_STEP[direction - 1][0], vy = SHOT_SPEED * DIR_STEP[direction - 1][1];
    for (int32_t j = 0; j < LevelDeflectors(s); ++j) {
        Deflector& d = s.deflectors[j];
        if (d.x == CELL_SIZE * ox && d.y == CELL_SIZE * oy) d.xv = vx, d.yv = vy;
    }
    s.board[ox][oy] = CELL_EMPTY;
    s.board[nx][ny] = CELL_DEFLECTOR_PAIR;
}

void SetShotDirection(PlayState& s, int32_t shot, int32_t direction) {
    s.shotXV[shot] = SHOT_SPEED * DIR_STEP[direction - 1][0];
    s.shotYV[shot] = SHOT_SPEED * DIR_STEP[direction - 1][1];
    s.shotFrame[shot] = direction - 1;
}

void PushSingle(PlayState& s, int32_t deflector, int32_t ox, int32_t oy, int32_t direction, int32_t shot) {
    Deflector& d = s.deflectors[deflector];
    const int32_t o = d.orientation;
    if (o < 0 || o > 3) return;
    const int32_t turn = WEDGE_TURN[o][direction - 1];
    int32_t tx = ox, ty = oy;
    if (turn == WEDGE_PUSH) {
        s.shotActive[shot] = 0;
        tx += DIR_STEP[direction - 1][0];
        ty += DIR_STEP[direction - 1][1];
        d.xv = SHOT_SPEED * DIR_STEP[direction - 1][0];
        d.yv = SHOT_SPEED * DIR_STEP[direction - 1][1];
    } else {
        SetShotDirection(s, shot, turn);
        d.xv = d.yv = 0;
    }
    const int32_t target = CellAt(s, tx, ty);
    if (target == CELL_EMPTY) {
        s.board[ox][oy] = CELL_EMPTY;
        s.board[tx][ty] = CELL_DEFLECTOR_0 + o;
    } else if (IsSingleDeflector(target) &&
               DeflectorsInterlock(DeflectorOrientationAt(s, ox, oy), target - CELL_DEFLECTOR_0)) {
        s.board[ox][oy] = CELL_EMPTY;
        s.board[tx][ty] = CELL_DEFLECTOR_PAIR;
    } else {
        d.xv = d.yv = 0;
    }
}

}  // namespace

bool DeflectorsInterlock(int32_t a, int32_t b) {
    return (a == 0 && b == 2) || (a == 2 && b == 0) || (a == 1 && b == 3) || (a == 3 && b == 1);
}

void PushDeflector(PlayState& s, int32_t deflector, int32_t shot) {
    if (deflector < 0 || deflector >= LevelDeflectors(s) || shot < 0 || shot >= MAX_SHOTS) return;
    const Deflector& d = s.deflectors[deflector];
    const int32_t direction = DirectionOf(s.shotXV[shot], s.shotYV[shot]);
    const int32_t ox = d.x / CELL_SIZE, oy = d.y / CELL_SIZE;
    if (direction == 0 || !InsideBoard(ox, oy)) return;
    if (s.board[ox][oy] == CELL_DEFLECTOR_PAIR) PushPair(s, ox, oy, direction, shot);
    else PushSingle(s, deflector, ox, oy, direction, shot);
}

void StepDeflectors(PlayState& s, PlayReport* report) {
    for (int32_t k = 0; k < LevelDeflectors(s); ++k) {
        Deflector& d = s.deflectors[k];
        if (d.xv == 0 && d.yv == 0) continue;
        d.x += d.xv;
        d.y += d.yv;
        if (d.x % CELL_SIZE == 0 && d.y % CELL_SIZE == 0) {
            d.xv = d.yv = 0;
            ++report->slidesEnded;
        }
    }
}

// Only the level's own deflectors, and only those at rest: one pushed
// earlier in this very frame (still on its old corner, already on its way)
// is not there any more.
int32_t FindDeflectorAt(const PlayState& s, int32_t cx, int32_t cy) {
    for (int32_t k = 0; k < LevelDeflectors(s); ++k) {
        const Deflector& d = s.deflectors[k];
        if (d.x == CELL_SIZE * cx && d.y == CELL_SIZE * cy && d.xv == 0 && d.yv == 0) return k;
    }
    return -1;
}

int32_t DeflectorOrientationAt(const PlayState& s, int32_t cx, int32_t cy) {
    const int32_t code = CellAt(s, cx, cy);
    return IsSingleDeflector(code) ? code - CELL_DEFLECTOR_0 : -1;
}
