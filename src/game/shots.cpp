// The shot's collision queries, balloons and firing.
#include "game/shots.h"

uint8_t (&ShotActive)[MAX_SHOTS] = Play.shotActive;
int32_t (&ShotXV)[MAX_SHOTS] = Play.shotXV;
int32_t (&ShotYV)[MAX_SHOTS] = Play.shotYV;
uint8_t (&PopEffectPending)[MAX_BALLOONS] = Play.popPending;
uint8_t& ImpactEffectActive = Play.impactActive;

namespace {

bool ShotSlotValid(int32_t slot) { return slot >= 0 && slot < MAX_SHOTS; }

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
const AheadTest RIGHT_OWN = {0, 0, {CELL_DEFLECTOR_1, CELL_DEFLECTOR_2}, 2};
const AheadTest RIGHT_NEXT = {1, 0, {CELL_DEFLECTOR_0, CELL_DEFLECTOR_3, CELL_DEFLECTOR_PAIR}, 3};
const AheadTest DOWN_OWN = {0, 0, {CELL_DEFLECTOR_2, CELL_DEFLECTOR_3}, 2};
const AheadTest DOWN_NEXT = {0, 1, {CELL_DEFLECTOR_0, CELL_DEFLECTOR_1, CELL_DEFLECTOR_PAIR}, 3};
const AheadTest LEFT_NEXT = {
    -1, 0, {CELL_DEFLECTOR_PAIR, CELL_DEFLECTOR_0, CELL_DEFLECTOR_1, CELL_DEFLECTOR_2, CELL_DEFLECTOR_3}, 5};
const AheadTest UP_NEXT = {
    0, -1, {CELL_DEFLECTOR_PAIR, CELL_DEFLECTOR_0, CELL_DEFLECTOR_1, CELL_DEFLECTOR_2, CELL_DEFLECTOR_3}, 5};

}  // namespace

void AddPlayEvent(PlayReport* report, PlayEvent event) {
    if (report->eventCount < PlayReport::MAX_EVENTS) report->events[report->eventCount++] = event;
}

int32_t CellAt(const PlayState& s, int32_t cx, int32_t cy) {
    if (cx < 0 || cx >= BOARD_CELLS || cy < 0 || cy >= BOARD_CELLS) return CELL_NONE;
    return s.board[cx][cy];
}

void FireShot(PlayState& s, int32_t direction, int32_t x, int32_t y) {
    if (direction < DIR_LEFT || direction > DIR_DOWN) return;
    int32_t slot = 0;  // all ten busy: the oldest slot gives way
    for (int32_t i = 0; i < MAX_SHOTS; ++i)
        if (!s.shotActive[i]) {
            slot = i;
            break;
        }
    static const int32_t velocity[4][2] = {{-SHOT_SPEED, 0}, {0, -SHOT_SPEED}, {SHOT_SPEED, 0}, {0, SHOT_SPEED}};
    s.shotXV[slot] = velocity[direction - 1][0];
    s.shotYV[slot] = velocity[direction - 1][1];
    s.shotFrame[slot] = direction - 1;
    s.shotX[slot] = x;
    s.shotY[slot] = y;
    s.shotActive[slot] = 1;
}

bool ShotHitsBlock(const PlayState& s, int32_t slot) {
    if (!ShotSlotValid(slot)) return false;
    const int32_t xv = s.shotXV[slot], yv = s.shotYV[slot];
    int32_t cx = s.shotX[slot] / CELL_SIZE, cy = s.shotY[slot] / CELL_SIZE;
    // Flying right or down over an empty cell, the shot's front edge already
    // touches the next cell; otherwise it tests the cell it is in.
    if (xv == 0 && yv > 0 && CellAt(s, cx, cy) == CELL_EMPTY) ++cy;
    if (yv == 0 && xv > 0 && CellAt(s, cx, cy) == CELL_EMPTY) ++cx;
    return CellAt(s, cx, cy) == CELL_BLOCK;
}

int32_t FindDeflectorAhead(const PlayState& s, int32_t slot) {
    if (!ShotSlotValid(slot)) return -1;
    const int32_t xv = s.shotXV[slot], yv = s.shotYV[slot];
    const AheadTest* tests[2] = {nullptr, nullptr};
    if (xv > 0 && yv == 0) {
        tests[0] = &RIGHT_OWN;
        tests[1] = &RIGHT_NEXT;
    } else if (xv < 0 && yv == 0) {
        tests[0] = &LEFT_NEXT;
    } else if (yv > 0 && xv == 0) {
        tests[0] = &DOWN_OWN;
        tests[1] = &DOWN_NEXT;
    } else if (yv < 0 && xv == 0) {
        tests[0] = &UP_NEXT;
    }
    const int32_t cx = s.shotX[slot] / CELL_SIZE, cy = s.shotY[slot] / CELL_SIZE;
    for (const AheadTest* test : tests) {
        if (!test) break;
        const int32_t tx = cx + test->dx, ty = cy + test->dy;
        if (CodeListed(*test, CellAt(s, tx, ty))) return FindDeflectorAt(s, tx, ty);
    }
    return -1;
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

int32_t HitBalloon(PlayState& s, int32_t slot, PlayReport* report) {
    if (!ShotSlotValid(slot)) return -1;
    for (int32_t k = 0; k < MAX_BALLOONS; ++k) {
        if (!s.balloonAlive[k] || s.balloonX[k] != s.shotX[slot] || s.balloonY[k] != s.shotY[slot]) continue;
        s.balloonAlive[k] = 0;
        --s.balloonsLeft;
        if (s.balloonsLeft == 0) {
            s.won = 1;
            report->won = true;
            AddPlayEvent(report, EVENT_WIN);
        }
        const int32_t cx = s.balloonX[k] / CELL_SIZE, cy = s.balloonY[k] / CELL_SIZE;
        if (cx >= 0 && cx < BOARD_CELLS && cy >= 0 && cy < BOARD_CELLS) s.board[cx][cy] = CELL_EMPTY;
        return k;
    }
    return -1;
}

void ClearPlayEffects(PlayState& s) {
    for (uint8_t& active : s.shotActive) active = 0;
    for (uint8_t& pending : s.popPending) pending = 0;
    s.impactActive = 0;
    for (Deflector& d : s.deflectors) d.xv = d.yv = 0;
}
