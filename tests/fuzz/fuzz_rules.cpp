// A level's 300 bytes, then shots: two bytes each, the entry point (0..47,
// as the solver numbers them) and the frames to wait before the next one.
// They run through the game's own shot and deflector steps on a game value,
// without drawing, and the rules' invariants are checked after every shot.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/board.h"
#include "game/game.h"
#include "game/play.h"
#include "game/shots.h"

namespace {

constexpr size_t MAX_SHOTS_FIRED = 32;
// A slide crosses the board in under 100 frames and a shot in under 200; a
// shot still flying this long after the last one must be going round a loop.
constexpr int SETTLE_FRAMES = 1000;
constexpr int LOOP_FRAMES = 40000;

void Fail(const char* what) {
    std::fprintf(stderr, "rules invariant broken: %s\n", what);
    std::abort();
}

// The game under test, a value like the live one; the rules step works on
// its play state, as the solver's copies do.
Game Under;

// One frame of the rules: the game's own step, nothing drawn or played.
void RulesFrame() {
    PlayReport report;
    StepPlay(Under.play, &report);
}

void SetUp(const uint8_t* bytes) { SetUpPlay(Under.play, bytes); }

// The tank's place on the border for an entry, like a player who drove there.
void Fire(int entry) {
    const int32_t at = CELL_SIZE * (entry % 12 + 1);
    static const int32_t dirs[4] = {DIR_RIGHT, DIR_LEFT, DIR_DOWN, DIR_UP};
    const int32_t dir = dirs[entry / 12];
    Tank& t = Under.tank;
    t.x = dir == DIR_RIGHT ? 0 : dir == DIR_LEFT ? FIELD_MAX : at;
    t.y = dir == DIR_DOWN ? 0 : dir == DIR_UP ? FIELD_MAX : (dir == DIR_RIGHT || dir == DIR_LEFT ? at : 0);
    FireShot(Under.play, dir, t.x, t.y);
    ++Under.shotsFired;
}

// Every piece of the table, the pair that play makes among them.
bool PlayCode(int32_t code) { return PieceIndex(code) >= 0; }

void CheckInvariants() {
    int32_t alive = 0;
    for (int32_t b = 0; b < Under.play.balloonCount; ++b) {
        if (!Under.play.balloonAlive[b]) continue;
        ++alive;
        const int32_t x = Under.play.balloonX[b], y = Under.play.balloonY[b];
        if (x % CELL_SIZE || y % CELL_SIZE || x < 0 || y < 0 || x / CELL_SIZE >= BOARD_CELLS ||
            y / CELL_SIZE >= BOARD_CELLS || Under.play.board[x / CELL_SIZE][y / CELL_SIZE] != CELL_BALLOON)
            Fail("an alive balloon off a balloon cell");
    }
    if (alive != Under.play.balloonsLeft) Fail("balloons left differs from the balloons alive");
    for (int32_t cx = 0; cx < BOARD_CELLS; ++cx)
        for (int32_t cy = 0; cy < BOARD_CELLS; ++cy) {
            const bool border = cx == 0 || cy == 0 || cx == BOARD_CELLS - 1 || cy == BOARD_CELLS - 1;
            const int32_t code = Under.play.board[cx][cy];
            if (border ? code != CELL_NONE : !PlayCode(code)) Fail("a cell code play cannot leave");
        }
    const Tank& t = Under.tank;
    const bool ring = (t.x == 0 || t.x == FIELD_MAX || t.y == 0 || t.y == FIELD_MAX) && t.x >= 0 && t.x <= FIELD_MAX &&
                      t.y >= 0 && t.y <= FIELD_MAX;
    if (!ring) Fail("the tank off the border ring");
}

struct Motion {
    int32_t active[MAX_SHOTS];
    int32_t x[MAX_SHOTS], y[MAX_SHOTS], xv[MAX_SHOTS], yv[MAX_SHOTS];
};

void Capture(Motion* m) {
    std::memset(m, 0, sizeof *m);
    for (int32_t i = 0; i < MAX_SHOTS; ++i) {
        if (!(m->active[i] = Under.play.shotActive[i])) continue;
        m->x[i] = Under.play.shotX[i], m->y[i] = Under.play.shotY[i], m->xv[i] = Under.play.shotXV[i],
        m->yv[i] = Under.play.shotYV[i];
    }
}

// After the last shot everything comes to rest in bounded time, or what
// still moves is shots going round a loop: no deflector slides, and the
// shots come back to where they were with the board unchanged.
void CheckSettles() {
    for (int n = 0; n < SETTLE_FRAMES && PlayInMotion(Under.play); ++n) RulesFrame();
    if (!PlayInMotion(Under.play)) return;
    for (int32_t d = 0; d < Under.play.deflectorCount && d < MAX_DEFLECTORS; ++d)
        if (Under.play.deflectors[d].xv || Under.play.deflectors[d].yv) Fail("a deflector still sliding");
    static int32_t board[BOARD_CELLS][BOARD_CELLS];
    std::memcpy(board, Under.play.board, sizeof board);
    Motion start, now;
    Capture(&start);
    for (int n = 0; n < LOOP_FRAMES; ++n) {
        RulesFrame();
        Capture(&now);
        if (std::memcmp(&start, &now, sizeof start) == 0 && std::memcmp(board, Under.play.board, sizeof board) == 0)
            return;
    }
    Fail("shots that neither stop nor go round a loop");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < LEVEL_FILE_SIZE) return 0;
    Under = Game{};
    SetUp(data);
    CheckInvariants();
    const uint8_t* shots = data + LEVEL_FILE_SIZE;
    const size_t count = (size - LEVEL_FILE_SIZE) / 2;
    for (size_t s = 0; s < count && s < MAX_SHOTS_FIRED; ++s) {
        Fire(shots[2 * s] % 48);
        // Nothing changes while all rests, so the rest of a wait is skipped.
        for (int n = 0; n < shots[2 * s + 1] + 1 && PlayInMotion(Under.play); ++n) RulesFrame();
        CheckInvariants();
    }
    CheckSettles();
    CheckInvariants();
    return 0;
}
