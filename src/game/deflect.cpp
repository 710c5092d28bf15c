// The shot step, deflector pushing and the deflectors' slide.
#include "game/deflect.h"

#include "game/shots.h"
#include "game/wedges.h"

namespace {

const int32_t DIR_STEP[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};  // by direction code - 1

bool InsideBoard(int32_t cx, int32_t cy) { return cx >= 0 && cx < BOARD_CELLS && cy >= 0 && cy < BOARD_CELLS; }

// Direction code of a velocity along one axis, 0 for none or both.
int32_t DirectionOf(int32_t xv, int32_t yv) {
    if (xv != 0 && yv != 0) return 0;
    if (xv < 0) return DIR_LEFT;
    if (yv < 0) return DIR_UP;
    if (xv > 0) return DIR_RIGHT;
    if (yv > 0) return DIR_DOWN;
    return 0;
}

int32_t SnapDown(int32_t v) { return v / CELL_SIZE * CELL_SIZE; }

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

void UpdateShot(PlayState& s, int32_t slot, PlayReport* report) {
    if (slot < 0 || slot >= MAX_SHOTS) return;
    // The step's move keeps the velocity the shot starts it with, even when
    // a wedge turns it on the way.
    const int32_t xv = s.shotXV[slot], yv = s.shotYV[slot];
    int32_t& x = s.shotX[slot];
    int32_t& y = s.shotY[slot];
    // Keep the shot on its row or column.
    if (xv == 0) x = SnapDown(x);
    if (yv == 0) y = SnapDown(y);
    if (x < 0 || x > FIELD_MAX || y < 0 || y > FIELD_MAX) s.shotActive[slot] = 0;

    const int32_t direction = DirectionOf(xv, yv);
    const int32_t sx = direction ? DIR_STEP[direction - 1][0] : 0;
    const int32_t sy = direction ? DIR_STEP[direction - 1][1] : 0;
    if (ShotHitsBlock(s, slot)) {
        AddPlayEvent(report, EVENT_BLOCK_HIT);
        ++report->blockHits;
        s.impactActive = 1;
        s.impactX = x + 24 * sx;
        s.impactY = y + 24 * sy;
        s.shotActive[slot] = 0;
    }

    // A shot turned left or up still lies in the cell beside the wedge this
    // frame; it shows again once it has moved onto the wedge's line.
    bool shown = true;
    const int32_t deflector = FindDeflectorAhead(s, slot);
    if (deflector != -1 && s.shotActive[slot]) {
        x = SnapDown(x);
        y = SnapDown(y);
        const Deflector& d = s.deflectors[deflector];
        const int32_t o = DeflectorOrientationAt(s, d.x / CELL_SIZE, d.y / CELL_SIZE);
        // Centred on the face struck: the cell boundary for a straight face
        // or a pair, the wedge's own cell for a slanted one.
        int32_t ix = x + 24 * sx, iy = y + 24 * sy;
        switch (direction) {
        case DIR_RIGHT:
            if (o == 1 || o == 2) ix = x;
            break;
        case DIR_DOWN:
            if (o == 2 || o == 3) iy = y;
            break;
        case DIR_LEFT:
            if (o == 0 || o == 3) ix = x - CELL_SIZE, shown = false;
            break;
        case DIR_UP:
            if (o == 0 || o == 1) iy = y - CELL_SIZE, shown = false;
            break;
        default: break;
        }
        s.impactActive = 1;
        s.impactX = ix;
        s.impactY = iy;
        PushDeflector(s, deflector, slot);
        AddPlayEvent(report, EVENT_DEFLECTOR_HIT);
        ++report->deflectorHits;
    }

    const int32_t balloon = HitBalloon(s, slot, report);
    if (balloon != -1) {
        s.popPending[balloon] = 1;
        AddPlayEvent(report, EVENT_BALLOON_POP);
        ++report->balloonsPopped;
    }

    x += xv;
    y += yv;
    report->shotShown[slot] = shown;
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
