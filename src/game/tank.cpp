#include "game/tank.h"

#include "game/history.h"
#include "game/session.h"
#include "game/shots.h"
#include "game/sprites.h"
#include "lib/display.h"
#include "lib/input.h"
#include "lib/sound.h"

uint8_t KeyReleased = 1;

void DropPointerOrders() {
    Now.Orders.GoalX = Now.Orders.GoalY = -1;
    Now.Orders.ShotAsked = false;
}

namespace {

bool OnRing(int32_t cx, int32_t cy) { return cx == 0 || cy == 0 || cx == BOARD_CELLS - 1 || cy == BOARD_CELLS - 1; }

// The ring's cells numbered clockwise from the top-left corner.
constexpr int32_t RING_LENGTH = 4 * (BOARD_CELLS - 1);
int32_t RingIndex(int32_t cx, int32_t cy) {
    const int32_t last = BOARD_CELLS - 1;
    if (cy == 0) return cx;
    if (cx == last) return last + cy;
    if (cy == last) return 2 * last + (last - cx);
    return 3 * last + (last - cy);
}

// The arrow that moves the tank one cell along the ring from (cx, cy),
// clockwise or not; on a corner it takes the side it turns into.
int32_t RingArrow(int32_t cx, int32_t cy, bool clockwise) {
    const int32_t last = BOARD_CELLS - 1;
    if (clockwise) {
        if (cy == 0 && cx < last) return DIR_RIGHT;
        if (cx == last && cy < last) return DIR_DOWN;
        if (cy == last && cx > 0) return DIR_LEFT;
        return DIR_UP;
    }
    if (cx == 0 && cy < last) return DIR_DOWN;
    if (cy == last && cx < last) return DIR_RIGHT;
    if (cx == last && cy > 0) return DIR_UP;
    return DIR_LEFT;
}

// The arrow across the tank's side, toward the board; 0 on a corner, where
// no arrow fires.
int32_t ArrowIntoBoard(const Tank& t) {
    const bool atEnd = (t.x == 0 || t.x == FIELD_MAX) && (t.y == 0 || t.y == FIELD_MAX);
    if (atEnd) return 0;
    if (t.x == 0) return DIR_RIGHT;
    if (t.x == FIELD_MAX) return DIR_LEFT;
    if (t.y == 0) return DIR_DOWN;
    return DIR_UP;
}

constexpr int32_t TANK_SEQ_FIRE_LEFT = 0;
constexpr int32_t TANK_SEQ_FIRE_RIGHT = 1;
constexpr int32_t TANK_SEQ_FIRE_UP = 2;
constexpr int32_t TANK_SEQ_FIRE_DOWN = 3;

void Fire(int32_t direction, int32_t sequence) {
    Tank& t = Now.Live.tank;
    if (t.firing || !KeyReleased) return;
    NoteShotFired();
    FireShot(direction);
    PlaySoundEffect(SoundShot, 0);
    t.firing = 1;
    KeyReleased = 0;
    SetBobAnimation(&TankBob, sequence);
}

int32_t Clamp(int32_t v) { return v < 0 ? 0 : (v > FIELD_MAX ? FIELD_MAX : v); }

}  // namespace

void ReadTankArrows(Tank& t) {
    t.direction = 0;
    if (KeyState[DIK_LEFT]) t.direction = DIR_LEFT;
    if (KeyState[DIK_UP]) t.direction = DIR_UP;
    if (KeyState[DIK_RIGHT]) t.direction = DIR_RIGHT;
    if (KeyState[DIK_DOWN]) t.direction = DIR_DOWN;
}

void DecideTank() {
    Tank& t = Now.Live.tank;
    t.stepX = 0;
    t.stepY = 0;
    t.moving = 0;
    const bool onRow = t.y == 0 || t.y == FIELD_MAX;
    const bool onColumn = t.x == 0 || t.x == FIELD_MAX;
    switch (t.direction) {
    case DIR_LEFT:
        if (onRow) t.stepX = -SHOT_SPEED, t.moving = 1;
        else Fire(DIR_LEFT, TANK_SEQ_FIRE_LEFT);
        break;
    case DIR_UP:
        if (onColumn) t.stepY = -SHOT_SPEED, t.moving = 1;
        else Fire(DIR_UP, TANK_SEQ_FIRE_UP);
        break;
    case DIR_RIGHT:
        if (onRow) t.stepX = SHOT_SPEED, t.moving = 1;
        else Fire(DIR_RIGHT, TANK_SEQ_FIRE_RIGHT);
        break;
    case DIR_DOWN:
        if (onColumn) t.stepY = SHOT_SPEED, t.moving = 1;
        else Fire(DIR_DOWN, TANK_SEQ_FIRE_DOWN);
        break;
    default: break;
    }
}

void MoveTank() {
    Tank& t = Now.Live.tank;
    if (t.moving) {
        t.x = Clamp(t.x + t.stepX);
        t.y = Clamp(t.y + t.stepY);
    }
    const bool inside = 0 < t.y && t.y < FIELD_MAX;
    const bool across = 0 < t.x && t.x < FIELD_MAX;
    if (t.x == 0 && inside) t.frame = 0;
    if (t.x == FIELD_MAX && inside) t.frame = 2;
    if (t.y == 0 && across) t.frame = 3;
    if (t.y == FIELD_MAX && across) t.frame = 1;
    // The sprite keeps only the firing sequence's count; where it stands
    // and what it shows come from the value.
    SetBobPosition(&TankBob, t.x, t.y);
    TankBob.currFrame = t.frame;
    if (t.firing) {
        AnimateBob(&TankBob);
        t.frame = TankBob.currFrame;
        if (TankBob.animIndex == TANK_FIRE_SEQ_LEN) t.firing = 0;
    }
    DrawBob(&TankBob, BackSurface);
}

void FireShot(int32_t direction) {
    if (!KeyReleased) return;
    FireShot(Now.Live.play, direction, Now.Live.tank.x, Now.Live.tank.y);
    KeyReleased = 0;
}

// A firing under way plays on: only the place, the picture and the orders go.
void ResetTank() {
    DropPointerOrders();
    Tank& t = Now.Live.tank;
    t.x = t.y = t.frame = 0;
    t.direction = 0;
    t.moving = 0;
    t.stepX = t.stepY = 0;
}

void AimTank(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= BOARD_CELLS * CELL_SIZE || y >= BOARD_CELLS * CELL_SIZE) return;
    // A won level is over for the pointer: a tap there would only spoil the
    // count the win was made with.
    if (Now.Live.play.won) return;
    const Tank& t = Now.Live.tank;
    const int32_t cx = x / CELL_SIZE, cy = y / CELL_SIZE;
    const bool onTank = x >= t.x && x < t.x + CELL_SIZE && y >= t.y && y < t.y + CELL_SIZE;
    bool inFront = false;
    if (TankAligned(t)) {
        const int32_t across = ArrowIntoBoard(t);
        if (across) {
            const int32_t* step = DIR_STEP[across - 1];
            inFront = cx == t.x / CELL_SIZE + step[0] && cy == t.y / CELL_SIZE + step[1];
        }
    }
    // On a corner the tank cannot fire: a tap on it there only stops it.
    const bool onCorner = TankAligned(t) && !ArrowIntoBoard(t);
    if ((onTank || inFront) && !onCorner) {
        // A tap is a press and a release: each one may fire once, and like a
        // key pressed and let go while the tank fires, one then is lost.
        if (t.firing) return;
        DropPointerOrders();
        Now.Orders.ShotAsked = true;
        KeyReleased = 1;
    } else if (OnRing(cx, cy)) {
        DropPointerOrders();
        Now.Orders.GoalX = cx;
        Now.Orders.GoalY = cy;
    }
}

void SteerTank(Tank& t) {
    bool pressed = false;
    for (int i = 0; i < 256; ++i) {
        if (KeyState[i] && !Now.KeysDownBefore[i]) pressed = true;
        Now.KeysDownBefore[i] = KeyState[i];
    }
    if (pressed || t.direction) {
        DropPointerOrders();
        return;
    }
    if (Now.Orders.ShotAsked) {
        // A firing still under way is waited out, as a held arrow would.
        if (t.firing) return;
        Now.Orders.ShotAsked = false;
        t.direction = ArrowIntoBoard(t);
        return;
    }
    if (Now.Orders.GoalX < 0) return;
    const int32_t cx = t.x / CELL_SIZE, cy = t.y / CELL_SIZE;
    const int32_t ahead =
        (RingIndex(Now.Orders.GoalX, Now.Orders.GoalY) - RingIndex(cx, cy) + RING_LENGTH) % RING_LENGTH;
    if (ahead == 0) {
        DropPointerOrders();
        return;
    }
    t.direction = RingArrow(cx, cy, ahead <= RING_LENGTH / 2);
}

bool DriveGoal(int32_t* cx, int32_t* cy) {
    *cx = Now.Orders.GoalX;
    *cy = Now.Orders.GoalY;
    return Now.Orders.GoalX >= 0;
}
