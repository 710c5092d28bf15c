#include "game/frame.h"

#include "game/board.h"
#include "game/deflect.h"
#include "game/shots.h"
#include "game/sprites.h"
#include "lib/display.h"
#include "lib/input.h"
#include "lib/sound.h"

int32_t HeldDirection;
uint8_t TankMoving;
int32_t TankStepX, TankStepY;
uint8_t TankFiring;
uint32_t WinStartTick;
uint8_t LevelPlayed;
uint8_t EditorMode;
uint8_t EditorClearPending;
void (*WinFrameHook)();

namespace {

constexpr int32_t TANK_SEQ_FIRE_LEFT = 0;
constexpr int32_t TANK_SEQ_FIRE_RIGHT = 1;
constexpr int32_t TANK_SEQ_FIRE_UP = 2;
constexpr int32_t TANK_SEQ_FIRE_DOWN = 3;

void DrawAt(BOB* bob, int32_t x, int32_t y) {
    SetBobPosition(bob, x, y);
    DrawBob(bob, BackSurface);
}

void Fire(int32_t direction, int32_t sequence) {
    if (TankFiring || !KeyReleased) return;
    FireShot(direction);
    PlaySoundEffect(SoundShot, 0);
    TankFiring = 1;
    KeyReleased = 0;
    SetBobAnimation(&TankBob, sequence);
}

// The arrows along the tank's side move it; the arrows across it fire.
void DecideTank() {
    TankStepX = 0;
    TankStepY = 0;
    TankMoving = 0;
    const int32_t x = TankBob.x, y = TankBob.y;
    const bool onRow = y == 0 || y == FIELD_MAX;
    const bool onColumn = x == 0 || x == FIELD_MAX;
    switch (HeldDirection) {
    case DIR_LEFT:
        if (onRow) TankStepX = -SHOT_SPEED, TankMoving = 1;
        else Fire(DIR_LEFT, TANK_SEQ_FIRE_LEFT);
        break;
    case DIR_UP:
        if (onColumn) TankStepY = -SHOT_SPEED, TankMoving = 1;
        else Fire(DIR_UP, TANK_SEQ_FIRE_UP);
        break;
    case DIR_RIGHT:
        if (onRow) TankStepX = SHOT_SPEED, TankMoving = 1;
        else Fire(DIR_RIGHT, TANK_SEQ_FIRE_RIGHT);
        break;
    case DIR_DOWN:
        if (onColumn) TankStepY = SHOT_SPEED, TankMoving = 1;
        else Fire(DIR_DOWN, TANK_SEQ_FIRE_DOWN);
        break;
    default:
        break;
    }
}

int32_t Clamp(int32_t v) { return v < 0 ? 0 : (v > FIELD_MAX ? FIELD_MAX : v); }

void MoveTank() {
    if (TankMoving) {
        TankBob.x = Clamp(TankBob.x + TankStepX);
        TankBob.y = Clamp(TankBob.y + TankStepY);
    }
    const int32_t x = TankBob.x, y = TankBob.y;
    const bool inside = 0 < y && y < FIELD_MAX;
    const bool across = 0 < x && x < FIELD_MAX;
    if (x == 0 && inside) TankBob.currFrame = 0;
    if (x == FIELD_MAX && inside) TankBob.currFrame = 2;
    if (y == 0 && across) TankBob.currFrame = 3;
    if (y == FIELD_MAX && across) TankBob.currFrame = 1;
    if (TankFiring) {
        AnimateBob(&TankBob);
        if (TankBob.animIndex == TANK_FIRE_SEQ_LEN) TankFiring = 0;
    }
    DrawBob(&TankBob, BackSurface);
}

void DrawFloorAndBorder() {
    for (int32_t cx = 0; cx < BOARD_CELLS; ++cx)
        for (int32_t cy = 0; cy < BOARD_CELLS; ++cy) {
            EmptyCellBob.currFrame = (cx + cy) % 2;
            DrawAt(&EmptyCellBob, CELL_SIZE * cx, CELL_SIZE * cy);
        }
    DrawAt(&BorderBobs[0], 0, 0);
    DrawAt(&BorderBobs[2], FIELD_MAX, 0);
    DrawAt(&BorderBobs[4], FIELD_MAX, FIELD_MAX);
    DrawAt(&BorderBobs[6], 0, FIELD_MAX);
    for (int32_t k = 1; k <= 12; ++k) DrawAt(&BorderBobs[1], CELL_SIZE * k, 0);
    for (int32_t k = 1; k <= 12; ++k) DrawAt(&BorderBobs[3], FIELD_MAX, CELL_SIZE * k);
    for (int32_t k = 1; k <= 12; ++k) DrawAt(&BorderBobs[5], CELL_SIZE * k, FIELD_MAX);
    for (int32_t k = 1; k <= 12; ++k) DrawAt(&BorderBobs[7], 0, CELL_SIZE * k);
}

void DrawPieces() {
    for (int32_t cx = 0; cx < BOARD_CELLS; ++cx)
        for (int32_t cy = 0; cy < BOARD_CELLS; ++cy)
            if (Board[cx][cy] == CELL_BLOCK) DrawAt(&BlockBob, CELL_SIZE * cx, CELL_SIZE * cy);
    for (int32_t b = 0; b < BalloonCount; ++b)
        if (BalloonAlive[b]) DrawBob(&BalloonBobs[b], BackSurface);
    for (int32_t b = 0; b < MAX_BALLOONS; ++b)
        if (PopEffectPending[b]) DrawBalloonPop(b);
    StepDeflectors(true);
    for (int32_t i = 0; i < MAX_SHOTS; ++i)
        if (ShotActive[i]) UpdateShot(i);
    if (ImpactEffectActive) {
        AnimateBob(&ImpactBob);
        DrawBob(&ImpactBob, BackSurface);
        if (ImpactBob.animState & 1) {
            ImpactEffectActive = 0;
            ImpactBob.animState &= ~1;
            ImpactBob.currFrame = 0;
            ImpactBob.animIndex = -1;
        }
    }
}

void RunWinSequence() {
    if (!LevelWon) {
        WinStartTick = GetClock();
        LevelPlayed = CurrentLevel;
        return;
    }
    if (GetClock() - WinStartTick > BANNER_DELAY_MS) DrawLevelBanner();
    // The fanfare crowns the last level only: winning level 11 also leaves
    // CurrentLevel at 12, so the level that was played decides.
    if (GetClock() - WinStartTick > FINISHED_DELAY_MS && LevelPlayed == LAST_LEVEL && !FinishedPlayed) {
        PlaySoundEffect(SoundFinished, 0);
        FinishedPlayed = 1;
    }
    if (WinFrameHook) WinFrameHook();
}

}  // namespace

bool TankAligned() { return TankBob.x % CELL_SIZE == 0 && TankBob.y % CELL_SIZE == 0; }

void ResetTank() {
    SetBobPosition(&TankBob, 0, 0);
    TankBob.currFrame = 0;
    HeldDirection = 0;
    TankMoving = 0;
    TankStepX = 0;
    TankStepY = 0;
}

void DrawLevelBanner() {
    struct Piece {
        int32_t bob, x, y;
    };
    static const Piece pieces[] = {
        {0, 176, 200}, {1, 266, 200}, {2, 336, 200}, {2, 406, 200}, {3, 152, 300},
        {4, 228, 300}, {5, 312, 300}, {1, 394, 300}, {6, 452, 300},
    };
    for (const Piece& p : pieces) {
        BOB* bob = &BannerBobs[p.bob];
        SetBobPosition(bob, p.x, p.y);
        DrawBobScaled(bob, 100, 100, BackSurface);
    }
}

int RunPlayFrame() {
    if (PlatformKeyDownNow(VK_ESCAPE_KEY)) PlatformRequestQuit();
    const bool aligned = TankAligned();
    if (aligned) {
        HeldDirection = 0;
        if (!ReadKeyboard()) ShowError("No keyboard!");
        if (KeyState[DIK_LEFT]) HeldDirection = DIR_LEFT;
        if (KeyState[DIK_UP]) HeldDirection = DIR_UP;
        if (KeyState[DIK_RIGHT]) HeldDirection = DIR_RIGHT;
        if (KeyState[DIK_DOWN]) HeldDirection = DIR_DOWN;
    }
    if (KeyState[DIK_R]) ResetLevel();
    if (KeyState[DIK_D]) {
        EditorMode = 1;
        EditorClearPending = 1;
    }
    // Asked again: R may just have put the tank back on its corner.
    if (TankAligned()) DecideTank();
    DrawFloorAndBorder();
    DrawPieces();
    MoveTank();
    RunWinSequence();
    PresentFrame();
    return 1;
}
