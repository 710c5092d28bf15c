// The shot step, deflector pushing and the deflectors' slide.
#include "game/deflect.h"

#include "game/board.h"
#include "game/shots.h"
#include "game/sprites.h"
#include "lib/display.h"
#include "lib/sound.h"

namespace {

enum Move { PUSH, TURN_LEFT, TURN_UP, TURN_RIGHT, TURN_DOWN };

// What a single wedge does to a shot, by orientation (row) and direction of
// flight (column: left, up, right, down). A turn sends the shot along the
// slanted face; a straight face is pushed.
const Move SINGLE_RULE[4][4] = {
    {TURN_DOWN, TURN_RIGHT, PUSH, PUSH},  // 0: top-left half
    {PUSH, TURN_LEFT, TURN_DOWN, PUSH},   // 1: top-right half
    {PUSH, PUSH, TURN_UP, TURN_LEFT},     // 2: bottom-right half
    {TURN_UP, PUSH, PUSH, TURN_RIGHT},    // 3: bottom-left half
};

const int32_t DIR_STEP[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};  // by direction code - 1

bool InsideBoard(int32_t cx, int32_t cy) {
    return cx >= 0 && cx < BOARD_CELLS && cy >= 0 && cy < BOARD_CELLS;
}

int32_t LevelDeflectors() { return DeflectorCount < MAX_DEFLECTORS ? DeflectorCount : MAX_DEFLECTORS; }

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
void SlideDestination(const BOB& d, int32_t* cx, int32_t* cy) {
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
bool PairAtRest(int32_t ox, int32_t oy) {
    for (int32_t j = 0; j < LevelDeflectors(); ++j) {
        const BOB& d = DeflectorBobs[j];
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

void PushPair(int32_t ox, int32_t oy, int32_t direction, int32_t shot) {
    ShotActive[shot] = 0;
    const int32_t nx = ox + DIR_STEP[direction - 1][0], ny = oy + DIR_STEP[direction - 1][1];
    if (CellAt(nx, ny) != CELL_EMPTY || !PairAtRest(ox, oy)) return;
    const int32_t vx = SHOT_SPEED * DIR_STEP[direction - 1][0], vy = SHOT_SPEED * DIR_STEP[direction - 1][1];
    for (int32_t j = 0; j < LevelDeflectors(); ++j) {
        BOB& d = DeflectorBobs[j];
        if (d.x == CELL_SIZE * ox && d.y == CELL_SIZE * oy) SetBobVelocity(&d, vx, vy);
    }
    Board[ox][oy] = CELL_EMPTY;
    Board[nx][ny] = CELL_DEFLECTOR_PAIR;
}

void SetShotDirection(int32_t shot, int32_t direction) {
    ShotXV[shot] = SHOT_SPEED * DIR_STEP[direction - 1][0];
    ShotYV[shot] = SHOT_SPEED * DIR_STEP[direction - 1][1];
    ShotBobs[shot].currFrame = direction - 1;
}

void PushSingle(int32_t deflector, int32_t ox, int32_t oy, int32_t direction, int32_t shot) {
    BOB& d = DeflectorBobs[deflector];
    const int32_t o = d.currFrame;
    if (o < 0 || o > 3) return;
    const Move move = SINGLE_RULE[o][direction - 1];
    int32_t tx = ox, ty = oy;
    if (move == PUSH) {
        ShotActive[shot] = 0;
        tx += DIR_STEP[direction - 1][0];
        ty += DIR_STEP[direction - 1][1];
        SetBobVelocity(&d, SHOT_SPEED * DIR_STEP[direction - 1][0], SHOT_SPEED * DIR_STEP[direction - 1][1]);
    } else {
        SetShotDirection(shot, DIR_LEFT + (move - TURN_LEFT));
        SetBobVelocity(&d, 0, 0);
    }
    const int32_t target = CellAt(tx, ty);
    if (target == CELL_EMPTY) {
        Board[ox][oy] = CELL_EMPTY;
        Board[tx][ty] = CELL_DEFLECTOR_0 + o;
    } else if (target >= CELL_DEFLECTOR_0 && target <= CELL_DEFLECTOR_3 &&
               DeflectorsInterlock(DeflectorOrientationAt(ox, oy), target - CELL_DEFLECTOR_0)) {
        Board[ox][oy] = CELL_EMPTY;
        Board[tx][ty] = CELL_DEFLECTOR_PAIR;
    } else {
        SetBobVelocity(&d, 0, 0);
    }
}

}  // namespace

bool DeflectorsInterlock(int32_t a, int32_t b) {
    return (a == 0 && b == 2) || (a == 2 && b == 0) || (a == 1 && b == 3) || (a == 3 && b == 1);
}

void PushDeflector(int32_t deflector, int32_t shot) {
    if (deflector < 0 || deflector >= LevelDeflectors() || shot < 0 || shot >= MAX_SHOTS) return;
    const BOB& d = DeflectorBobs[deflector];
    const int32_t direction = DirectionOf(ShotBobs[shot].xv, ShotBobs[shot].yv);
    const int32_t ox = d.x / CELL_SIZE, oy = d.y / CELL_SIZE;
    if (direction == 0 || !InsideBoard(ox, oy)) return;
    if (Board[ox][oy] == CELL_DEFLECTOR_PAIR)
        PushPair(ox, oy, direction, shot);
    else
        PushSingle(deflector, ox, oy, direction, shot);
}

void UpdateShot(int32_t slot) {
    if (slot < 0 || slot >= MAX_SHOTS) return;
    BOB* shot = &ShotBobs[slot];
    shot->xv = ShotXV[slot];
    shot->yv = ShotYV[slot];
    // Keep the shot on its row or column.
    if (shot->xv == 0) shot->x = SnapDown(shot->x);
    if (shot->yv == 0) shot->y = SnapDown(shot->y);
    if (shot->x < 0 || shot->x > FIELD_MAX || shot->y < 0 || shot->y > FIELD_MAX) ShotActive[slot] = 0;

    const int32_t direction = DirectionOf(shot->xv, shot->yv);
    const int32_t sx = direction ? DIR_STEP[direction - 1][0] : 0;
    const int32_t sy = direction ? DIR_STEP[direction - 1][1] : 0;
    if (ShotHitsBlock(slot)) {
        ImpactEffectActive = 1;
        SetBobPosition(&ImpactBob, shot->x + 24 * sx, shot->y + 24 * sy);
        ShotActive[slot] = 0;
    }

    const int32_t deflector = FindDeflectorAhead(slot);
    if (deflector != -1 && ShotActive[slot]) {
        shot->x = SnapDown(shot->x);
        shot->y = SnapDown(shot->y);
        const BOB& d = DeflectorBobs[deflector];
        const int32_t o = DeflectorOrientationAt(d.x / CELL_SIZE, d.y / CELL_SIZE);
        // Centred on the face struck: the cell boundary for a straight face
        // or a pair, the wedge's own cell for a slanted one.
        int32_t ix = shot->x + 24 * sx, iy = shot->y + 24 * sy;
        switch (direction) {
        case DIR_RIGHT:
            if (o == 1 || o == 2) ix = shot->x;
            break;
        case DIR_DOWN:
            if (o == 2 || o == 3) iy = shot->y;
            break;
        case DIR_LEFT:
            if (o == 0 || o == 3) ix = shot->x - CELL_SIZE, ShotDrawEnabled = 0;
            break;
        case DIR_UP:
            if (o == 0 || o == 1) iy = shot->y - CELL_SIZE, ShotDrawEnabled = 0;
            break;
        default:
            break;
        }
        ImpactEffectActive = 1;
        SetBobPosition(&ImpactBob, ix, iy);
        PushDeflector(deflector, slot);
        PlaySoundEffect(SoundPop, 0);
    }

    if (HitBalloon(slot)) {
        const int32_t balloon = FindBalloonAtShot(slot);
        if (balloon != -1) PopEffectPending[balloon] = 1;
        PlaySoundEffect(SoundThump, 0);
    }

    MoveBob(shot);
    // A shot turned left or up still lies in the cell beside the wedge this
    // frame; it shows again once it has moved onto the wedge's line.
    if (ShotDrawEnabled)
        DrawBob(shot, BackSurface);
    else
        ShotDrawEnabled = 1;
}

void StepDeflectors(bool draw) {
    for (int32_t d = 0; d < LevelDeflectors(); ++d) {
        BOB* bob = &DeflectorBobs[d];
        // A wedge at rest stays put; only sliding ones need the move (the
        // solver runs this millions of times).
        if (bob->xv != 0 || bob->yv != 0) MoveBob(bob);
        if (draw) DrawBob(bob, BackSurface);
        if (bob->x % CELL_SIZE == 0 && bob->y % CELL_SIZE == 0) SetBobVelocity(bob, 0, 0);
    }
}

bool PlayInMotion() {
    for (int32_t i = 0; i < MAX_SHOTS; ++i)
        if (ShotActive[i]) return true;
    for (int32_t d = 0; d < LevelDeflectors(); ++d)
        if (DeflectorBobs[d].xv != 0 || DeflectorBobs[d].yv != 0) return true;
    return false;
}
