#include "game/frame.h"

#include "game/board.h"
#include "game/game.h"
#include "game/history.h"
#include "game/notices.h"
#include "game/session.h"
#include "game/sprites.h"
#include "game/tank.h"
#include "game/win.h"
#include "lib/display.h"
#include "lib/input.h"
#include "lib/sound.h"

namespace {

void DrawAt(BOB* bob, int32_t x, int32_t y) {
    SetBobPosition(bob, x, y);
    DrawBob(bob, BackSurface);
}

void RewindImpact() {
    ImpactBob.animIndex = -1;
    ImpactBob.animState = 0;
    ImpactBob.currFrame = 0;
}

void DrawFloor() {
    if (FloorPicture) PutBackWhereDrawn(FloorPicture);
    else DrawFloorAndBorder(BackSurface);
}

// U, Y and H act once per press, however long they are held.
void ReadComfortKeys() {
    const int keys[3] = {DIK_U, DIK_Y, DIK_H};
    // With Ctrl they are the menu's accelerators (Ctrl+Y), which act on their own.
    const bool ctrl = KeyState[DIK_LCONTROL] || KeyState[DIK_RCONTROL];
    for (int i = 0; i < 3; ++i) {
        const bool down = KeyState[keys[i]] != 0;
        if (down && !Now.ComfortKeysDown[i] && !ctrl) {
            if (i == 0) RequestHistoryAction(ACTION_UNDO);
            else if (i == 1) RequestHistoryAction(ACTION_REDO);
            else Now.Notice.HintAsked = 1;
        }
        Now.ComfortKeysDown[i] = down;
    }
}

}  // namespace

void RunPiecesFrame() {
    const PlayState& s = Now.Live.play;
    for (int32_t cx = 0; cx < BOARD_CELLS; ++cx)
        for (int32_t cy = 0; cy < BOARD_CELLS; ++cy)
            if (const int32_t piece = PieceIndex(s.board[cx][cy]); piece >= 0 && PIECES[piece].still)
                DrawAt(&PieceBobs[piece], CELL_SIZE * cx, CELL_SIZE * cy);
    for (int32_t b = 0; b < s.balloonCount; ++b)
        if (s.balloonAlive[b]) DrawAt(&BalloonBobs[b], s.balloonX[b], s.balloonY[b]);
    for (int32_t b = 0; b < MAX_BALLOONS; ++b)
        if (s.popPending[b]) DrawBalloonPop(b);
    PlayReport report;
    StepPlay(Now.Live.play, &report);
    for (int32_t k = 0; k < LevelDeflectors(s); ++k) {
        const Deflector& d = s.deflectors[k];
        DeflectorBobs[k].currFrame = d.orientation;
        DrawAt(&DeflectorBobs[k], d.x, d.y);
    }
    for (int32_t i = 0; i < MAX_SHOTS; ++i)
        if (report.shotShown[i]) {
            ShotBobs[i].currFrame = s.shotFrame[i];
            DrawAt(&ShotBobs[i], s.shotX[i], s.shotY[i]);
        }
    ApplyPlayReport(report);
    if (s.impactActive) {
        SetBobPosition(&ImpactBob, s.impactX, s.impactY);
        AnimateBob(&ImpactBob);
        DrawBob(&ImpactBob, BackSurface);
        if (ImpactBob.animState & 1) {
            Now.Live.play.impactActive = 0;
            RewindImpact();
        }
    }
}

void ApplyPlayReport(const PlayReport& report) {
    static const int32_t* const sounds[] = {&SoundHit, &SoundPop, &SoundBifald, &SoundThump};  // by PlayEvent
    for (int32_t i = 0; i < report.eventCount; ++i) PlaySoundEffect(*sounds[report.events[i]], 0);
    if (report.won) DropPointerOrders();
    // A board of the player's own leads nowhere.
    if (report.won && CurrentLevel < LAST_LEVEL && !Now.OwnLevel) ++CurrentLevel;
}

void DrawBalloonPop(int32_t balloon) {
    if (balloon < 0 || balloon >= MAX_BALLOONS) return;
    static const int32_t offsets[5][2] = {{-20, -20}, {20, -20}, {20, 5}, {5, 20}, {-10, 10}};
    const int32_t bx = Now.Live.play.balloonX[balloon], by = Now.Live.play.balloonY[balloon];
    for (int32_t piece = 0; piece < 5; ++piece) {
        PopBob.currFrame = piece;
        SetBobPosition(&PopBob, bx + offsets[piece][0], by + offsets[piece][1]);
        MoveBob(&PopBob);
        DrawBob(&PopBob, BackSurface);
    }
}

namespace {

// The level's board from its file, at rest, the tank on its corner.
void SetUpLevel() {
    Now.Live.play.won = 0;
    Now.FinishedPlayed = 0;
    if (Now.OwnLevel) {
        for (int32_t i = 0; i < LEVEL_FILE_SIZE; ++i) Now.LevelBuffer[i] = Now.OwnLevelBytes[i];
    } else {
        LoadLevelFile(static_cast<int32_t>(CurrentLevel));
    }
    ClearBoard();
    PlaceStillPieces();
    PlaceBalloons();
    PlaceDeflectors();
    ResetTank();
    // Nothing from the old board may act on the new one, and the next
    // impact plays its whole sequence.
    ClearPlayEffects(Now.Live.play);
    RewindImpact();
    Now.Notice.HintDirection = 0;
    Now.Notice.LostNoticeShown = 0;
}

}  // namespace

void StartLevel() {
    SetUpLevel();
    ClearHistory();
}

void ResetLevel() { StartLevel(); }

void RestartLevel() {
    // A won level is over: R goes on to the next one, with a history of its own.
    if (Now.Live.play.won) {
        ResetLevel();
        return;
    }
    KeepForRestart();
    SetUpLevel();
}

int RunPlayFrame(bool restart) {
    if (PlatformKeyDownNow(VK_ESCAPE_KEY)) PlatformRequestQuit();
    if (TankAligned(Now.Live.tank)) {
        if (!ReadKeyboard()) ShowError("No keyboard!");
        ReadTankArrows(Now.Live.tank);
        SteerTank(Now.Live.tank);
    }
    if (KeyState[DIK_R] || restart) RestartLevel();
    ReadComfortKeys();
    SettleHistory();
    // The editor takes over from the next frame on.
    const int result = KeyState[DIK_D] ? PLAY_FRAME_OPEN_EDITOR : PLAY_FRAME_DONE;
    // Asked again: R may just have put the tank back on its corner.
    if (TankAligned(Now.Live.tank)) DecideTank();
    DrawFloor();
    RunPiecesFrame();
    WatchRest();
    MoveTank();
    RunWinSequence();
    DrawNotices();
    PresentFrame();
    return result;
}
