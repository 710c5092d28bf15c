// Any bytes as a level file, then shots fired into the level built from it:
// nothing may be read or written outside the tables, and the board must stay
// in step with the pieces whatever the shots do.
//
// Input: byte 0 picks the level number (bit 7: leave the file missing; bit 6:
// save "level.dat" afterwards), byte 1 the file's length in pairs of bytes,
// then the file, then the shots: per shot a byte for the place and direction
// and a byte for the frames to run before the next one.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/board.h"
#include "game/deflect.h"
#include "game/shots.h"
#include "game/sprites.h"
#include "lib/display.h"
#include "platform/headless/headless.h"

namespace {

constexpr int MAX_FRAMES = 600;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "rules broken: %s\n", what);
    std::abort();
}

char ScratchFolder[] = "/tmp/tarno-fuzz-level-XXXXXX";
char HomeFolder[4096];

void SetUpOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    Check(mkdtemp(ScratchFolder) != nullptr, "scratch folder");
    // Real surfaces for the shots and pops, which are drawn partly off the
    // field; deflectors stay blank, which keeps the runs fast.
    InitDisplay(1024, 768, 32);
    CreateBob(&ShotBobs[0], 0, 0, 48, 48, 4, BOB_VISIBLE | BOB_FRAME_CYCLE, 0);
    for (int i = 1; i < MAX_SHOTS; ++i) CloneBob(&ShotBobs[0], &ShotBobs[i]);
    CreateBob(&PopBob, 0, 0, 48, 48, 5, BOB_VISIBLE | BOB_FRAME_CYCLE, 0);
}

bool OnCorner(const BOB& b) { return b.x % CELL_SIZE == 0 && b.y % CELL_SIZE == 0; }

void CheckRules(uint8_t highestLevel) {
    int singles = 0, pairs = 0, balloons = 0;
    for (int cx = 0; cx < BOARD_CELLS; ++cx)
        for (int cy = 0; cy < BOARD_CELLS; ++cy) {
            const int32_t code = Board[cx][cy];
            if (cx == 0 || cy == 0 || cx == 13 || cy == 13) {
                Check(code == CELL_NONE, "border cell written");
                continue;
            }
            if (code >= CELL_DEFLECTOR_0 && code <= CELL_DEFLECTOR_3) ++singles;
            else if (code == CELL_DEFLECTOR_PAIR) ++pairs;
            else if (code == CELL_BALLOON) ++balloons;
            else Check(code == CELL_EMPTY || code == CELL_BLOCK, "unknown code in play");
        }
    Check(DeflectorCount >= 0 && DeflectorCount <= MAX_DEFLECTORS, "deflector count");
    Check(BalloonCount >= 0 && BalloonCount <= MAX_BALLOONS, "balloon count");
    Check(singles + 2 * pairs == DeflectorCount, "board and deflectors out of step");
    Check(balloons == BalloonsLeft && BalloonsLeft <= BalloonCount, "board and balloons out of step");
    Check(CurrentLevel <= highestLevel, "level advanced too far");

    const bool resting = !PlayInMotion();
    for (int d = 0; d < DeflectorCount; ++d) {
        const BOB& b = DeflectorBobs[d];
        const bool still = b.xv == 0 && b.yv == 0;
        Check(still || ((b.xv == 0) != (b.yv == 0) && (b.xv + b.yv == 8 || b.xv + b.yv == -8)), "velocity");
        Check(b.x >= CELL_SIZE && b.x <= 12 * CELL_SIZE && b.y >= CELL_SIZE && b.y <= 12 * CELL_SIZE,
              "deflector left the interior");
        if (!resting) continue;
        Check(OnCorner(b), "deflector at rest between corners");
        const int32_t code = Board[b.x / CELL_SIZE][b.y / CELL_SIZE];
        if (code == CELL_DEFLECTOR_PAIR) {
            int members = 0;
            for (int e = 0; e < DeflectorCount; ++e)
                if (DeflectorBobs[e].x == b.x && DeflectorBobs[e].y == b.y) {
                    ++members;
                    if (e != d) Check(DeflectorsInterlock(b.currFrame, DeflectorBobs[e].currFrame), "pair");
                }
            Check(members == 2, "pair without two members");
        } else {
            Check(code == CELL_DEFLECTOR_0 + b.currFrame, "deflector not on its cell");
        }
    }
}

void RunFrame() {
    for (int32_t b = 0; b < MAX_BALLOONS; ++b)
        if (PopEffectPending[b]) DrawBalloonPop(b);
    StepDeflectors(true);
    for (int32_t i = 0; i < MAX_SHOTS; ++i)
        if (ShotActive[i]) UpdateShot(i);
}

void RunInput(const uint8_t* data, size_t size) {
    HeadlessReset();
    std::memset(Board, 0, sizeof Board);
    std::memset(LevelBuffer, 0, sizeof LevelBuffer);

    const int32_t level = data[0] & 0x0F;  // 0 names "level.dat"; 13 to 15 name no shipped level
    char name[32];
    LevelFileName(level, name, sizeof name);
    std::remove(name);
    size_t pos = 2;
    const size_t fileSize = static_cast<size_t>(data[1]) * 2 < size - pos ? static_cast<size_t>(data[1]) * 2 : size - pos;
    if (!(data[0] & 0x80)) {
        FILE* f = std::fopen(name, "wb");
        Check(f != nullptr, "level file");
        if (fileSize) std::fwrite(data + pos, 1, fileSize, f);
        std::fclose(f);
    }
    pos += fileSize;

    CurrentLevel = static_cast<uint8_t>(level);
    StartLevel();
    const uint8_t highest = CurrentLevel < LAST_LEVEL ? LAST_LEVEL : CurrentLevel;
    CheckRules(highest);

    int frames = 0;
    while (pos + 1 < size && frames < MAX_FRAMES) {
        // A place on the border ring and any of the four directions.
        const uint8_t shot = data[pos], wait = data[pos + 1];
        pos += 2;
        const int32_t along = CELL_SIZE * ((shot >> 2) % BOARD_CELLS);
        const int32_t side = shot & 3;
        const int32_t x = side == 0 ? 0 : side == 1 ? FIELD_MAX : along;
        const int32_t y = side == 2 ? 0 : side == 3 ? FIELD_MAX : along;
        SetBobPosition(&TankBob, x, y);
        KeyReleased = 1;
        FireShot(1 + ((shot >> 6) & 3));
        for (int n = 0; n <= (wait & 0x1F) && frames < MAX_FRAMES; ++n, ++frames) {
            RunFrame();
            CheckRules(highest);
        }
    }
    // Shots turned round a ring of wedges circle for ever: bounded, not awaited.
    for (int n = 0; n < 200 && PlayInMotion(); ++n) {
        RunFrame();
        CheckRules(highest);
    }

    if (data[0] & 0x40) SaveLevelFile();
}

}  // namespace

// The game opens its files by bare name: each run works in a scratch folder
// and comes back, so the fuzzer's own relative paths keep working.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetUpOnce();
    if (size < 2) return 0;
    Check(getcwd(HomeFolder, sizeof HomeFolder) != nullptr && chdir(ScratchFolder) == 0, "scratch folder");
    RunInput(data, size);
    Check(chdir(HomeFolder) == 0, "home folder");
    return 0;
}
