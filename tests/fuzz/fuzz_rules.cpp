// A level's 300 bytes, then shots: two bytes each, the entry point (0..47,
// as the solver numbers them) and the frames to wait before the next one.
// They run through the game's own shot and deflector steps, without drawing,
// and the rules' invariants are checked after every shot.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/board.h"
#include "game/deflect.h"
#include "game/frame.h"
#include "game/shots.h"
#include "game/sprites.h"

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

// One frame of the rules, in the play frame's order.
void RulesFrame() {
    StepDeflectors(false);
    for (int32_t i = 0; i < MAX_SHOTS; ++i)
        if (ShotActive[i]) UpdateShot(i);
}

void SetUp(const uint8_t* bytes) {
    std::memcpy(LevelBuffer, bytes, LEVEL_FILE_SIZE);
    LevelWon = 0;
    ClearBoard();
    PlaceBlocks();
    PlaceBalloons();
    PlaceDeflectors();
    ResetTank();
    ClearPlayEffects();
}

// The tank's place on the border for an entry, like a player who drove there.
void Fire(int entry) {
    const int32_t at = CELL_SIZE * (entry % 12 + 1);
    static const int32_t dirs[4] = {DIR_RIGHT, DIR_LEFT, DIR_DOWN, DIR_UP};
    const int32_t dir = dirs[entry / 12];
    TankBob.x = dir == DIR_RIGHT ? 0 : dir == DIR_LEFT ? FIELD_MAX : at;
    TankBob.y = dir == DIR_DOWN ? 0 : dir == DIR_UP ? FIELD_MAX : (dir == DIR_RIGHT || dir == DIR_LEFT ? at : 0);
    KeyReleased = 1;
    FireShot(dir);
}

bool PlayCode(int32_t code) {
    return code == CELL_EMPTY || code == CELL_BLOCK || code == CELL_BALLOON || code == CELL_DEFLECTOR_PAIR ||
           (code >= CELL_DEFLECTOR_0 && code <= CELL_DEFLECTOR_3);
}

void CheckInvariants() {
    int32_t alive = 0;
    for (int32_t b = 0; b < BalloonCount; ++b) {
        if (!BalloonAlive[b]) continue;
        ++alive;
        const BOB& bob = BalloonBobs[b];
        if (bob.x % CELL_SIZE || bob.y % CELL_SIZE || CellAt(bob.x / CELL_SIZE, bob.y / CELL_SIZE) != CELL_BALLOON)
            Fail("an alive balloon off a balloon cell");
    }
    if (alive != BalloonsLeft) Fail("balloons left differs from the balloons alive");
    for (int32_t cx = 0; cx < BOARD_CELLS; ++cx)
        for (int32_t cy = 0; cy < BOARD_CELLS; ++cy) {
            const bool border = cx == 0 || cy == 0 || cx == BOARD_CELLS - 1 || cy == BOARD_CELLS - 1;
            if (border ? Board[cx][cy] != CELL_NONE : !PlayCode(Board[cx][cy])) Fail("a cell code play cannot leave");
        }
    const int32_t x = TankBob.x, y = TankBob.y;
    const bool ring = (x == 0 || x == FIELD_MAX || y == 0 || y == FIELD_MAX) && x >= 0 && x <= FIELD_MAX &&
                      y >= 0 && y <= FIELD_MAX;
    if (!ring) Fail("the tank off the border ring");
}

struct Motion {
    int32_t active[MAX_SHOTS];
    int32_t x[MAX_SHOTS], y[MAX_SHOTS], xv[MAX_SHOTS], yv[MAX_SHOTS];
};

void Capture(Motion* m) {
    std::memset(m, 0, sizeof *m);
    for (int32_t i = 0; i < MAX_SHOTS; ++i) {
        if (!(m->active[i] = ShotActive[i])) continue;
        m->x[i] = ShotBobs[i].x, m->y[i] = ShotBobs[i].y, m->xv[i] = ShotXV[i], m->yv[i] = ShotYV[i];
    }
}

// After the last shot everything comes to rest in bounded time, or what
// still moves is shots going round a loop: no deflector slides, and the
// shots come back to where they were with the board unchanged.
void CheckSettles() {
    for (int n = 0; n < SETTLE_FRAMES && PlayInMotion(); ++n) RulesFrame();
    if (!PlayInMotion()) return;
    for (int32_t d = 0; d < DeflectorCount; ++d)
        if (DeflectorBobs[d].xv || DeflectorBobs[d].yv) Fail("a deflector still sliding");
    static int32_t board[BOARD_CELLS][BOARD_CELLS];
    std::memcpy(board, Board, sizeof Board);
    Motion start, now;
    Capture(&start);
    for (int n = 0; n < LOOP_FRAMES; ++n) {
        RulesFrame();
        Capture(&now);
        if (std::memcmp(&start, &now, sizeof start) == 0 && std::memcmp(board, Board, sizeof Board) == 0) return;
    }
    Fail("shots that neither stop nor go round a loop");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < LEVEL_FILE_SIZE) return 0;
    SetUp(data);
    CheckInvariants();
    const uint8_t* shots = data + LEVEL_FILE_SIZE;
    const size_t count = (size - LEVEL_FILE_SIZE) / 2;
    for (size_t s = 0; s < count && s < MAX_SHOTS_FIRED; ++s) {
        Fire(shots[2 * s] % 48);
        // Nothing changes while all rests, so the rest of a wait is skipped.
        for (int n = 0; n < shots[2 * s + 1] + 1 && PlayInMotion(); ++n) RulesFrame();
        CheckInvariants();
    }
    CheckSettles();
    CheckInvariants();
    return 0;
}
