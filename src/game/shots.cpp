// The shot pool, the collision queries of the shot step, balloons and the win.
#include "game/shots.h"

#include "game/board.h"
#include "game/sprites.h"
#include "lib/display.h"
#include "lib/sound.h"

uint8_t ShotActive[MAX_SHOTS];
int32_t ShotXV[MAX_SHOTS];
int32_t ShotYV[MAX_SHOTS];
uint8_t KeyReleased = 1;
uint8_t ShotDrawEnabled = 1;
uint8_t PopEffectPending[MAX_BALLOONS];
uint8_t ImpactEffectActive;

namespace {

bool ShotSlotValid(int32_t slot) { return slot >= 0 && slot < MAX_SHOTS; }

bool IsSingleDeflector(int32_t code) { return code >= CELL_DEFLECTOR_0 && code <= CELL_DEFLECTOR_3; }

// The cell a shot tests ahead: the first of up to two cells whose code is in
// its list decides.
struct AheadTest {
    int32_t dx, dy;
    int32_t codes[5];
    int32_t count;
};

bool CodeListed(const AheadTest& test, int32_t code) {
    for (int32_t i = 0; i < test.count; ++i)
        if (test.codes[i] == code) return true;
    return false;
}

// Flying right or down, a wedge whose slanted face meets the shot is met in
// the middle of its own cell, one with a straight face (or a pair) at the
// cell's edge. Flying left or up, every deflector is met one cell early.
const AheadTest RIGHT_OWN = {0, 0, {21, 22}, 2};
const AheadTest RIGHT_NEXT = {1, 0, {20, 23, 19}, 3};
const AheadTest DOWN_OWN = {0, 0, {22, 23}, 2};
const AheadTest DOWN_NEXT = {0, 1, {20, 21, 19}, 3};
const AheadTest LEFT_NEXT = {-1, 0, {19, 20, 21, 22, 23}, 5};
const AheadTest UP_NEXT = {0, -1, {19, 20, 21, 22, 23}, 5};

}  // namespace

int32_t CellAt(int32_t cx, int32_t cy) {
    if (cx < 0 || cx >= BOARD_CELLS || cy < 0 || cy >= BOARD_CELLS) return CELL_NONE;
    return Board[cx][cy];
}

void FireShot(int32_t direction) {
    if (!KeyReleased) return;
    int32_t slot = 0;  // all ten busy: the oldest slot gives way
    for (int32_t i = 0; i < MAX_SHOTS; ++i)
        if (!ShotActive[i]) {
            slot = i;
            break;
        }
    static const int32_t velocity[4][2] = {{-SHOT_SPEED, 0}, {0, -SHOT_SPEED}, {SHOT_SPEED, 0}, {0, SHOT_SPEED}};
    if (direction >= DIR_LEFT && direction <= DIR_DOWN) {
        ShotXV[slot] = velocity[direction - 1][0];
        ShotYV[slot] = velocity[direction - 1][1];
        BOB* bob = &ShotBobs[slot];
        bob->currFrame = direction - 1;
        bob->x = TankBob.x;
        bob->y = TankBob.y;
        ShotActive[slot] = 1;
    }
    KeyReleased = 0;
}

bool ShotHitsBlock(int32_t slot) {
    if (!ShotSlotValid(slot)) return false;
    const BOB& shot = ShotBobs[slot];
    int32_t cx = shot.x / CELL_SIZE, cy = shot.y / CELL_SIZE;
    // Flying right or down over an empty cell, the shot's front edge already
    // touches the next cell; otherwise it tests the cell it is in.
    if (shot.xv == 0 && shot.yv > 0 && CellAt(cx, cy) == CELL_EMPTY) ++cy;
    if (shot.yv == 0 && shot.xv > 0 && CellAt(cx, cy) == CELL_EMPTY) ++cx;
    if (CellAt(cx, cy) != CELL_BLOCK) return false;
    PlaySoundEffect(SoundHit, 0);
    return true;
}

int32_t FindDeflectorAhead(int32_t slot) {
    if (!ShotSlotValid(slot)) return -1;
    const BOB& shot = ShotBobs[slot];
    const AheadTest* tests[2] = {nullptr, nullptr};
    if (shot.xv > 0 && shot.yv == 0) {
        tests[0] = &RIGHT_OWN;
        tests[1] = &RIGHT_NEXT;
    } else if (shot.xv < 0 && shot.yv == 0) {
        tests[0] = &LEFT_NEXT;
    } else if (shot.yv > 0 && shot.xv == 0) {
        tests[0] = &DOWN_OWN;
        tests[1] = &DOWN_NEXT;
    } else if (shot.yv < 0 && shot.xv == 0) {
        tests[0] = &UP_NEXT;
    }
    const int32_t cx = shot.x / CELL_SIZE, cy = shot.y / CELL_SIZE;
    for (const AheadTest* test : tests) {
        if (!test) break;
        const int32_t tx = cx + test->dx, ty = cy + test->dy;
        if (CodeListed(*test, CellAt(tx, ty))) return FindDeflectorAt(tx, ty);
    }
    return -1;
}

// Only the level's own deflectors, and only those at rest: a slot left from
// an earlier level, or one pushed earlier in this very frame (still on its
// old corner, already on its way), is not there any more.
int32_t FindDeflectorAt(int32_t cx, int32_t cy) {
    const int32_t count = DeflectorCount < MAX_DEFLECTORS ? DeflectorCount : MAX_DEFLECTORS;
    for (int32_t k = 0; k < count; ++k) {
        const BOB& d = DeflectorBobs[k];
        if (d.x == CELL_SIZE * cx && d.y == CELL_SIZE * cy && d.xv == 0 && d.yv == 0) return k;
    }
    return -1;
}

int32_t DeflectorOrientationAt(int32_t cx, int32_t cy) {
    const int32_t code = CellAt(cx, cy);
    return IsSingleDeflector(code) ? code - CELL_DEFLECTOR_0 : -1;
}

bool HitBalloon(int32_t slot) {
    if (!ShotSlotValid(slot)) return false;
    const BOB& shot = ShotBobs[slot];
    for (int32_t k = 0; k < MAX_BALLOONS; ++k) {
        BOB& balloon = BalloonBobs[k];
        if (!BalloonAlive[k] || balloon.x != shot.x || balloon.y != shot.y) continue;
        BalloonAlive[k] = 0;
        --BalloonsLeft;
        if (BalloonsLeft == 0) {
            PlaySoundEffect(SoundBifald, 0);
            LevelWon = 1;
            if (CurrentLevel < LAST_LEVEL) ++CurrentLevel;
        }
        const int32_t cx = balloon.x / CELL_SIZE, cy = balloon.y / CELL_SIZE;
        if (cx >= 0 && cx < BOARD_CELLS && cy >= 0 && cy < BOARD_CELLS) Board[cx][cy] = CELL_EMPTY;
        return true;
    }
    return false;
}

int32_t FindBalloonAtShot(int32_t slot) {
    if (!ShotSlotValid(slot)) return -1;
    const BOB& shot = ShotBobs[slot];
    for (int32_t k = 0; k < MAX_BALLOONS; ++k)
        if (BalloonBobs[k].x == shot.x && BalloonBobs[k].y == shot.y) return k;
    return -1;
}

void DrawBalloonPop(int32_t balloon) {
    if (balloon < 0 || balloon >= MAX_BALLOONS) return;
    static const int32_t offsets[5][2] = {{-20, -20}, {20, -20}, {20, 5}, {5, 20}, {-10, 10}};
    const int32_t bx = BalloonBobs[balloon].x, by = BalloonBobs[balloon].y;
    for (int32_t piece = 0; piece < 5; ++piece) {
        PopBob.currFrame = piece;
        SetBobPosition(&PopBob, bx + offsets[piece][0], by + offsets[piece][1]);
        MoveBob(&PopBob);
        DrawBob(&PopBob, BackSurface);
    }
    PopEffectPending[balloon] = 0;
}

void ClearPlayEffects() {
    for (int32_t i = 0; i < MAX_SHOTS; ++i) ShotActive[i] = 0;
    for (uint8_t& pending : PopEffectPending) pending = 0;
    ShotDrawEnabled = 1;
    ImpactEffectActive = 0;
    // Rewound so that the next impact plays its whole sequence.
    ImpactBob.animIndex = -1;
    ImpactBob.animState = 0;
    ImpactBob.currFrame = 0;
    for (BOB& d : DeflectorBobs) SetBobVelocity(&d, 0, 0);
}
