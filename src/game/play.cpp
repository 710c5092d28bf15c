// The rules' frame step, and what is asked of a whole state: motion, the
// level set up, effects cleared, settling on a board.
#include "game/play.h"

#include <cstring>

#include "game/deflect.h"
#include "game/shots.h"

void StepPlay(PlayState& s, PlayReport* report) {
    std::memset(report, 0, sizeof *report);
    // Shown for one frame only: the frame driver has drawn them before the step.
    for (uint8_t& pending : s.popPending) pending = 0;
    StepDeflectors(s, report);
    for (int32_t i = 0; i < MAX_SHOTS; ++i)
        if (s.shotActive[i]) UpdateShot(s, i, report);
}

bool PlayInMotion(const PlayState& s) {
    for (int32_t i = 0; i < MAX_SHOTS; ++i)
        if (s.shotActive[i]) return true;
    for (int32_t k = 0; k < LevelDeflectors(s); ++k)
        if (s.deflectors[k].xv != 0 || s.deflectors[k].yv != 0) return true;
    return false;
}

void SetUpPlay(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]) {
    s = PlayState{};
    ClearBoard(s);
    PlaceStillPieces(s, level);
    PlaceBalloons(s, level);
    PlaceDeflectors(s, level);
}

void ClearPlayEffects(PlayState& s) {
    for (uint8_t& active : s.shotActive) active = 0;
    for (uint8_t& pending : s.popPending) pending = 0;
    s.impactActive = 0;
    for (Deflector& d : s.deflectors) d.xv = d.yv = 0;
}

bool SettleOnBoard(PlayState& s) {
    int j = 0;
    for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy) {
            const int32_t code = s.board[cx][cy];
            const int members = code == CELL_DEFLECTOR_PAIR                            ? 2
                                : code >= CELL_DEFLECTOR_0 && code <= CELL_DEFLECTOR_3 ? 1
                                                                                       : 0;
            for (int m = 0; m < members; ++m, ++j) {
                if (j >= s.deflectorCount) return false;
                Deflector& d = s.deflectors[j];
                d.x = CELL_SIZE * cx;
                d.y = CELL_SIZE * cy;
                d.xv = d.yv = 0;
                d.orientation = code == CELL_DEFLECTOR_PAIR ? 2 * m : code - CELL_DEFLECTOR_0;
            }
        }
    if (j != s.deflectorCount) return false;
    s.balloonsLeft = 0;
    for (int k = 0; k < s.balloonCount; ++k) {
        s.balloonAlive[k] = s.board[s.balloonX[k] / CELL_SIZE][s.balloonY[k] / CELL_SIZE] == CELL_BALLOON;
        s.balloonsLeft += s.balloonAlive[k];
    }
    s.won = 0;
    ClearPlayEffects(s);
    return true;
}
