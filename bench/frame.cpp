// Measures one play frame (keyboard, rules and all drawing, headless) on a
// busy board, and the peak memory of tarno-demo on a long demo (its own, read at its exit).
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "demo_memory.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/leveltext_strings.h"
#include "game/session.h"
#include "game/sprites.h"
#include "lib/input.h"
#include "platform/headless/headless.h"
#include "shell/shell.h"

namespace {

// Blocks, balloons and deflectors spread over the board, so shots turn,
// push and pop all the time.
const char* BUSY[12] = {
    "o..#..1..o..", ".2....#...3.", "...o..0.....", "#..1....2..#", "..o...#...o.", ".0..3....1..",
    "....#..o..2.", ".3.....1....", "..#..o....#.", ".1..2...0...", "o....#....3.", "...0....o...",
};

void PlaceBusyBoard() {
    for (int cy = 1; cy <= 12; ++cy)
        for (int cx = 1; cx <= 12; ++cx) {
            const int code = leveltext::CodeOfChar(BUSY[cy - 1][cx - 1]);
            Now.LevelBuffer[cx * BOARD_CELLS + cy] = static_cast<uint8_t>(code);
        }
    ClearBoard();
    PlaceStillPieces();
    PlaceBalloons();
    PlaceDeflectors();
}

double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

void MeasureFrames() {
    HeadlessReset();
    OnCreate();
    StartGame();
    PlaceBusyBoard();
    const int frames = 6000;
    std::vector<double> times;
    times.reserve(frames);
    int shots = 0;
    for (int f = 0; f < frames; ++f) {
        // Walk down the left column and fire right at every cell: a shot in
        // flight almost all the time, often several.
        const bool fire = (f / 6) % 2 == 1;
        HeadlessSetKey(DIK_DOWN, !fire);
        HeadlessSetKey(DIK_RIGHT, fire);
        OnKeyUp();
        if (Now.Live.tank.y >= FIELD_MAX) Now.Live.tank.y = 0;
        // Re-placed before the win's banner comes up: it is measured on its own.
        if (f % 50 == 0) PlaceBusyBoard();
        const double t0 = ThreadSeconds();
        RunFrame();
        times.push_back(ThreadSeconds() - t0);
        shots += Now.Live.tank.firing && TankBob.animIndex == 1;
    }
    std::sort(times.begin(), times.end());
    std::printf("play frame, busy board, %d frames, %d shots fired:\n", frames, shots);
    std::printf("  median %.4f ms   p90 %.4f ms   p99 %.4f ms   (target: median <= 0.1 ms)\n", times[frames / 2] * 1e3,
                times[frames * 9 / 10] * 1e3, times[frames * 99 / 100] * 1e3);
    ShutdownGame();
}

void MeasureDemoMemory(const char* self) {
    char dir[] = "/tmp/tarno-bench-XXXXXX";
    if (!mkdtemp(dir)) return;
    const std::string script = std::string(dir) + "/long.demo";
    std::ofstream out(script);
    for (int round = 0; round < 200; ++round)
        out << "keys down\nwait 30\nkeys\nkeys right\nwait 20\nkeys\nkeys up\nwait 30\nkeys\nreset\n";
    out << "dump\n";
    out.close();
    const bench::Run run = bench::RunDemo(self, script.c_str());
    if (run.peakKiB > 0)
        std::printf("tarno-demo, 22000 frames: its own peak memory %.1f MB (exit %d)\n", run.peakKiB / 1024.0,
                    run.exitCode);
    else std::printf("tarno-demo: %s\n", run.note.c_str());
    std::remove(script.c_str());
    rmdir(dir);
}

}  // namespace

int main(int, char** argv) {
    char self[4096];
    if (!realpath(argv[0], self)) self[0] = '\0';
    if (chdir(TARNO_RUN_DIR) != 0) std::printf("no run folder; drawing empty pictures\n");
    MeasureFrames();
    MeasureDemoMemory(self);
    return 0;
}
