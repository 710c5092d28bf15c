#include "game/win.h"

#include "game/board.h"
#include "game/session.h"
#include "game/sprites.h"
#include "lib/display.h"
#include "lib/sound.h"

void RunWinSequence() {
    if (!Now.Live.play.won) {
        Now.WinStartTick = GetClock();
        Now.LevelPlayed = CurrentLevel;
        return;
    }
    if (GetClock() - Now.WinStartTick > BANNER_DELAY_MS) DrawLevelBanner();
    // The fanfare crowns the last level only: winning level 11 also leaves
    // CurrentLevel at 12, so the level that was played decides.
    if (GetClock() - Now.WinStartTick > FINISHED_DELAY_MS && Now.LevelPlayed == LAST_LEVEL && !Now.FinishedPlayed &&
        !Now.OwnLevel) {
        PlaySoundEffect(SoundFinished, 0);
        Now.FinishedPlayed = 1;
    }
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
