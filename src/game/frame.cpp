#include "game/frame.h"

#include "game/board.h"
#include "game/history.h"
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
uint8_t KeyReleased = 1;
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

void RewindImpact() {
    ImpactBob.animIndex = -1;
    ImpactBob.animState = 0;
    ImpactBob.currFrame = 0;
}

void Fire(int32_t direction, int32_t sequence) {
    if (TankFiring || !KeyReleased) return;
    NoteShotFired();
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
    default: break;
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
    for (int32_t k = FIRST_INNER; k <= LAST_INNER; ++k) DrawAt(&BorderBobs[1], CELL_SIZE * k, 0);
    for (int32_t k = FIRST_INNER; k <= LAST_INNER; ++k) DrawAt(&BorderBobs[3], FIELD_MAX, CELL_SIZE * k);
    for (int32_t k = FIRST_INNER; k <= LAST_INNER; ++k) DrawAt(&BorderBobs[5], CELL_SIZE * k, FIELD_MAX);
    for (int32_t k = FIRST_INNER; k <= LAST_INNER; ++k) DrawAt(&BorderBobs[7], 0, CELL_SIZE * k);
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
    if (GetClock() - WinStartTick > FINISHED_DELAY_MS && LevelPlayed == LAST_LEVEL && !FinishedPlayed && !OwnLevel) {
        PlaySoundEffect(SoundFinished, 0);
        FinishedPlayed = 1;
    }
    if (WinFrameHook) WinFrameHook();
}

}  // namespace

void RunPiecesFrame() {
    for (int32_t cx = 0; cx < BOARD_CELLS; ++cx)
        for (int32_t cy = 0; cy < BOARD_CELLS; ++cy)
            if (Board[cx][cy] == CELL_BLOCK) DrawAt(&BlockBob, CELL_SIZE * cx, CELL_SIZE * cy);
    for (int32_t b = 0; b < BalloonCount; ++b)
        if (BalloonAlive[b]) DrawAt(&BalloonBobs[b], Play.balloonX[b], Play.balloonY[b]);
    for (int32_t b = 0; b < MAX_BALLOONS; ++b)
        if (Play.popPending[b]) DrawBalloonPop(b);
    PlayReport report;
    StepPlay(Play, &report);
    for (int32_t k = 0; k < LevelDeflectors(Play); ++k) {
        const Deflector& d = Play.deflectors[k];
        DeflectorBobs[k].currFrame = d.orientation;
        DrawAt(&DeflectorBobs[k], d.x, d.y);
    }
    for (int32_t i = 0; i < MAX_SHOTS; ++i)
        if (report.shotShown[i]) {
            ShotBobs[i].currFrame = Play.shotFrame[i];
            DrawAt(&ShotBobs[i], Play.shotX[i], Play.shotY[i]);
        }
    ApplyPlayReport(report);
    if (Play.impactActive) {
        SetBobPosition(&ImpactBob, Play.impactX, Play.impactY);
        AnimateBob(&ImpactBob);
        DrawBob(&ImpactBob, BackSurface);
        if (ImpactBob.animState & 1) {
            Play.impactActive = 0;
            RewindImpact();
        }
    }
}

void FireShot(int32_t direction) {
    if (!KeyReleased) return;
    FireShot(Play, direction, TankBob.x, TankBob.y);
    KeyReleased = 0;
}

void ApplyPlayReport(const PlayReport& report) {
    static const int32_t* const sounds[] = {&SoundHit, &SoundPop, &SoundBifald, &SoundThump};  // by PlayEvent
    for (int32_t i = 0; i < report.eventCount; ++i) PlaySoundEffect(*sounds[report.events[i]], 0);
    // A board of the player's own leads nowhere.
    if (report.won && CurrentLevel < LAST_LEVEL && !OwnLevel) ++CurrentLevel;
}

void DrawBalloonPop(int32_t balloon) {
    if (balloon < 0 || balloon >= MAX_BALLOONS) return;
    static const int32_t offsets[5][2] = {{-20, -20}, {20, -20}, {20, 5}, {5, 20}, {-10, 10}};
    const int32_t bx = Play.balloonX[balloon], by = Play.balloonY[balloon];
    for (int32_t piece = 0; piece < 5; ++piece) {
        PopBob.currFrame = piece;
        SetBobPosition(&PopBob, bx + offsets[piece][0], by + offsets[piece][1]);
        MoveBob(&PopBob);
        DrawBob(&PopBob, BackSurface);
    }
}

void StartLevel() {
    LevelWon = 0;
    FinishedPlayed = 0;
    if (OwnLevel) {
        for (int32_t i = 0; i < LEVEL_FILE_SIZE; ++i) LevelBuffer[i] = OwnLevelBytes[i];
    } else {
        LoadLevelFile(static_cast<int32_t>(CurrentLevel));
    }
    ClearBoard();
    PlaceBlocks();
    PlaceBalloons();
    PlaceDeflectors();
    ResetTank();
    // Nothing from the old board may act on the new one, and the next
    // impact plays its whole sequence.
    ClearPlayEffects(Play);
    RewindImpact();
    ClearHistory();
    HintDirection = 0;
    LostNoticeShown = 0;
}

void ResetLevel() { StartLevel(); }

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

// U, Y and H act once per press, however long they are held.
void ReadComfortKeys() {
    static uint8_t wasDown[3];
    const int keys[3] = {DIK_U, DIK_Y, DIK_H};
    // With Ctrl they are the menu's accelerators (Ctrl+Y), which act on their own.
    const bool ctrl = KeyState[DIK_LCONTROL] || KeyState[DIK_RCONTROL];
    for (int i = 0; i < 3; ++i) {
        const bool down = KeyState[keys[i]] != 0;
        if (down && !wasDown[i] && !ctrl) {
            if (i == 0) RequestHistoryAction(ACTION_UNDO);
            else if (i == 1) RequestHistoryAction(ACTION_REDO);
            else HintAsked = 1;
        }
        wasDown[i] = down;
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
    ReadComfortKeys();
    SettleHistory();
    // The editor takes over from the next frame on.
    const int result = KeyState[DIK_D] ? PLAY_FRAME_OPEN_EDITOR : PLAY_FRAME_DONE;
    // Asked again: R may just have put the tank back on its corner.
    if (TankAligned()) DecideTank();
    DrawFloorAndBorder();
    RunPiecesFrame();
    WatchRest();
    MoveTank();
    RunWinSequence();
    DrawNotices();
    PresentFrame();
    return result;
}
