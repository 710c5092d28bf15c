// A shot: firing it, what it meets (blocks, deflectors, balloons) and its step.
#include "game/shots.h"

#include "game/deflect.h"

namespace {

bool ShotSlotValid(int32_t slot) { return slot >= 0 && slot < MAX_SHOTS; }

int32_t SnapDown(int32_t v) { return v / CELL_SIZE * CELL_SIZE; }

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
