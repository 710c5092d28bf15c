#include "game/tank.h"

#include "game/history.h"
#include "game/sprites.h"
#include "lib/display.h"
#include "lib/input.h"
#include "lib/sound.h"

uint8_t KeyReleased = 1;

namespace {

constexpr int32_t TANK_SEQ_FIRE_LEFT = 0;
constexpr int32_t TANK_SEQ_FIRE_RIGHT = 1;
constexpr int32_t TANK_SEQ_FIRE_UP = 2;
constexpr int32_t TANK_SEQ_FIRE_DOWN = 3;

void Fire(int32_t direction, int32_t sequence) {
    Tank& t = Live.tank;
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
    Tank& t = Live.tank;
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
    Tank& t = Live.tank;
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
    FireShot(Live.play, direction, Live.tank.x, Live.tank.y);
    KeyReleased = 0;
}

// A firing under way plays on: only the place, the picture and the orders go.
void ResetTank() {
    Tank& t = Live.tank;
    t.x = t.y = t.frame = 0;
    t.direction = 0;
    t.moving = 0;
    t.stepX = t.stepY = 0;
}
