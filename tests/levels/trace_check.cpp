// Proves the solver's cell-by-cell shot trace against the game's frame step:
// for COUNT random (board, entry) pairs both must leave the same board at
// rest (cells, balloons alive, every deflector on the corner of a cell that
// holds it) and agree on whether the shot loops.
//   tarno-trace-check COUNT LEVEL_SOURCE_DIR [SEED]
// Boards come from random walks: half from the shipped levels, half from
// random levels, some crowded with wedges so that shots turn often. No shot
// from the border loops (turning wedges act as mirrors), so both must agree
// that none does.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "framesearch.h"
#include "game/leveltext_strings.h"
#include "solver/cellsolver.h"
#include "solver/solver_strings.h"

namespace {

using cellsolver::Cells;

struct Tally {
    long pairs = 0, loops = 0, pushes = 0, interlocks = 0, pairPushes = 0, pops = 0;
};

// The frame step's answer: a play state set to `before`, one shot fired,
// and StepPlay run until all rests.
bool FrameShot(const Cells& before, int entry, PlayState* p, solver::LoopGuard* guard, bool* looped) {
    if (!cellsolver::PutInPlay(before, p)) return false;
    *looped = solver::PlayMove(p, entry, guard) == solver::LOOPED;
    return true;
}

std::string Picture(const Cells& c) {
    std::string out;
    for (int cy = 1; cy <= leveltext::GRID; ++cy) {
        for (int cx = 1; cx <= leveltext::GRID; ++cx) {
            const int code = c.c[cellsolver::Index(cx, cy)];
            out += code == CELL_DEFLECTOR_PAIR ? 'X' : leveltext::CharOfCode(code) ? leveltext::CharOfCode(code) : '?';
        }
        out += '\n';
    }
    return out;
}

// What the game's tables hold after the frame step, against the trace.
std::string Compare(const PlayState& p, const cellsolver::Level& lv, const Cells& traced, bool tracedLoop,
                    bool frameLoop) {
    if (tracedLoop != frameLoop) return frameLoop ? "only the frame step loops" : "only the trace loops";
    for (int cx = 0; cx < BOARD_CELLS; ++cx)
        for (int cy = 0; cy < BOARD_CELLS; ++cy)
            if (p.board[cx][cy] != traced.c[cellsolver::Index(cx, cy)])
                return "cell (" + std::to_string(cx) + ", " + std::to_string(cy) + ") is " +
                       std::to_string(p.board[cx][cy]) + " after the frames, " +
                       std::to_string(traced.c[cellsolver::Index(cx, cy)]) + " after the trace";
    for (int k = 0; k < p.balloonCount; ++k) {
        const int cell = cellsolver::Index(p.balloonX[k] / CELL_SIZE, p.balloonY[k] / CELL_SIZE);
        if (p.balloonAlive[k] != (traced.c[cell] == CELL_BALLOON) || lv.balloonOf[cell] != k)
            return "balloon " + std::to_string(k) + " differs";
    }
    if (!solver::RestsConsistently(p)) return "a deflector is off its corner or its cell";
    int members[cellsolver::CELLS] = {}, orientations[cellsolver::CELLS] = {};
    for (int j = 0; j < p.deflectorCount; ++j) {
        const Deflector& d = p.deflectors[j];
        const int i = cellsolver::Index(d.x / CELL_SIZE, d.y / CELL_SIZE);
        ++members[i];
        orientations[i] += d.orientation;
    }
    for (int i = 0; i < cellsolver::CELLS; ++i) {
        const int code = traced.c[i];
        const int want = code == CELL_DEFLECTOR_PAIR ? 2 : cellsolver::IsSingle(code) ? 1 : 0;
        if (members[i] != want)
            return "cell " + std::to_string(i) + " holds " + std::to_string(members[i]) + " deflectors";
        // Interlocking wedges are 0 and 2 or 1 and 3: their sum is even.
        if (want == 2 && orientations[i] % 2) return "the pair in cell " + std::to_string(i) + " does not interlock";
    }
    return "";
}

// A random level: blocks, balloons and wedges at densities of its own.
void RandomLevel(std::mt19937_64& rng, uint8_t bytes[LEVEL_FILE_SIZE]) {
    std::uniform_real_distribution<double> unit(0, 1);
    const double wedges = 0.05 + 0.45 * unit(rng), blocks = 0.25 * unit(rng), balloons = 0.05 + 0.15 * unit(rng);
    for (int i = 0; i < LEVEL_FILE_SIZE; ++i) bytes[i] = 0;
    for (int cx = 1; cx <= leveltext::GRID; ++cx)
        for (int cy = 1; cy <= leveltext::GRID; ++cy) {
            const double r = unit(rng);
            int code = CELL_EMPTY;
            if (r < wedges) code = CELL_DEFLECTOR_0 + static_cast<int>(rng() % 4);
            else if (r < wedges + blocks) code = CELL_BLOCK;
            else if (r < wedges + blocks + balloons) code = CELL_BALLOON;
            bytes[leveltext::ByteIndex(cx, cy)] = static_cast<uint8_t>(code);
        }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tarno-trace-check COUNT LEVEL_SOURCE_DIR [SEED]\n");
        return 2;
    }
    const long count = std::atol(argv[1]);
    const uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1;
    std::vector<std::vector<uint8_t>> shipped;
    for (int n = 1; n <= LAST_LEVEL; ++n) {
        uint8_t bytes[LEVEL_FILE_SIZE];
        std::string name, error;
        std::vector<std::string> warnings;
        const std::string path = std::string(argv[2]) + "/level" + std::to_string(n) + ".txt";
        if (!leveltext::LoadAnyLevel(path, bytes, &name, &error, &warnings)) {
            std::fprintf(stderr, "tarno-trace-check: %s\n", error.c_str());
            return 2;
        }
        shipped.emplace_back(bytes, bytes + LEVEL_FILE_SIZE);
    }

    std::mt19937_64 rng(seed);
    Tally t;
    solver::LoopGuard frameGuard;
    const auto t0 = std::chrono::steady_clock::now();
    while (t.pairs < count) {
        uint8_t bytes[LEVEL_FILE_SIZE];
        const bool random = rng() % 2;
        if (random) RandomLevel(rng, bytes);
        else {
            const std::vector<uint8_t>& level = shipped[rng() % shipped.size()];
            std::copy(level.begin(), level.end(), bytes);
        }
        PlayState start, play;
        solver::SetUpLevel(&start, bytes);
        Cells cells;
        const cellsolver::Level lv = cellsolver::LevelFromPlay(start, &cells);
        // A walk of shots, each one a pair checked.
        const int walk = 1 + static_cast<int>(rng() % 40);
        for (int step = 0; step < walk && t.pairs < count; ++step) {
            const int entry = static_cast<int>(rng() % solver::ENTRIES);
            const Cells before = cells;
            const cellsolver::Key key = cellsolver::MakeKey(lv, before);
            const cellsolver::Change ch = cellsolver::TraceShot(lv, &cells, entry);
            bool frameLoop = false;
            std::string fault;
            play = start;
            if (!FrameShot(before, entry, &play, &frameGuard, &frameLoop))
                fault = "the game's tables cannot hold the board";
            else fault = Compare(play, lv, cells, ch.looped, frameLoop);
            if (fault.empty() &&
                !cellsolver::SameKey(cellsolver::NextKey(key, cells, ch), cellsolver::MakeKey(lv, cells)))
                fault = "the key kept up shot by shot differs from the board's";
            if (!fault.empty()) {
                std::printf("FAIL after %ld pairs (seed %llu): %s\nshot %s into\n%s", t.pairs,
                            static_cast<unsigned long long>(seed), fault.c_str(), solver::EntryName(entry).c_str(),
                            Picture(before).c_str());
                return 1;
            }
            ++t.pairs;
            t.loops += ch.looped;
            t.pushes += ch.from >= 0;
            t.pairPushes += ch.from >= 0 && before.c[ch.from] == CELL_DEFLECTOR_PAIR;
            t.interlocks += ch.from >= 0 && cellsolver::IsSingle(before.c[ch.to]);
            t.pops += ch.popped != 0;
        }
    }
    const std::chrono::duration<double> s = std::chrono::steady_clock::now() - t0;
    std::printf(
        "%ld (board, entry) pairs agree: %ld shots looped, %ld moved a deflector (%ld into a pair, %ld a "
        "pair), %ld popped; %.1f s, %.0f pairs/s\n",
        t.pairs, t.loops, t.pushes, t.interlocks, t.pairPushes, t.pops, s.count(), t.pairs / s.count());
    return 0;
}
