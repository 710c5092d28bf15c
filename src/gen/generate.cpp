#include "gen/generate.h"

#include "game/wedges.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "game/leveltext.h"
#include "game/leveltext_strings.h"
#include "platform/worker/worker.h"

namespace gen {

namespace {

using leveltext::ByteIndex;
using leveltext::GRID;

// How a grade's search starts and how far it may look.
struct Plan {
    int balloonsMin, balloonsMax;
    int deflectorsMin, deflectorsMax;
    int blocksMin, blocksMax;
    uint32_t maxStates;  // a candidate reaching more boards is dropped unmeasured
    uint32_t patience;   // candidates without a better one before starting afresh
};

constexpr Plan PLANS[GRADES] = {
    {3, 5, 0, 2, 2, 8, 6000, 60},
    {3, 5, 2, 4, 14, 30, 60000, 15},
    {4, 6, 3, 6, 20, 40, 50000, 15},
};

constexpr int64_t UNUSABLE = int64_t{1} << 40;

int CodeAt(const uint8_t* b, int cx, int cy) { return b[ByteIndex(cx, cy)]; }
void Put(uint8_t* b, int cx, int cy, int code) { b[ByteIndex(cx, cy)] = static_cast<uint8_t>(code); }

// A random empty interior cell, or false after a few misses.
bool EmptyCell(Random* r, const uint8_t* b, int* cx, int* cy) {
    for (int tries = 0; tries < 64; ++tries) {
        *cx = 1 + Below(r, GRID);
        *cy = 1 + Below(r, GRID);
        if (CodeAt(b, *cx, *cy) == CELL_EMPTY) return true;
    }
    return false;
}

// A random cell holding one of the piece kinds asked for, or false.
bool PieceCell(Random* r, const uint8_t* b, bool blocks, bool balloons, bool deflectors, int* cx, int* cy) {
    int cells[GRID * GRID], n = 0;
    for (int x = 1; x <= GRID; ++x)
        for (int y = 1; y <= GRID; ++y) {
            const int c = CodeAt(b, x, y);
            if ((blocks && c == CELL_BLOCK) || (balloons && c == CELL_BALLOON) || (deflectors && IsSingleDeflector(c)))
                cells[n++] = ByteIndex(x, y);
        }
    if (n == 0) return false;
    const int at = cells[Below(r, n)];
    *cx = at / BOARD_CELLS;
    *cy = at % BOARD_CELLS;
    return true;
}

void Count(const uint8_t* b, int* balloons, int* deflectors) { leveltext::CountPieces(b, balloons, deflectors); }

int RandomDeflector(Random* r) { return CELL_DEFLECTOR_0 + Below(r, 4); }

void FreshBoard(Random* r, const Plan& p, uint8_t* b) {
    std::fill(b, b + LEVEL_FILE_SIZE, uint8_t{0});
    for (int x = 1; x <= GRID; ++x)
        for (int y = 1; y <= GRID; ++y) Put(b, x, y, CELL_EMPTY);
    // Blocks come in short walls, which make rooms and rails.
    const int blocks = p.blocksMin + Below(r, p.blocksMax - p.blocksMin + 1);
    for (int placed = 0; placed < blocks;) {
        int x = 0, y = 0;
        if (!EmptyCell(r, b, &x, &y)) break;
        const int len = 1 + Below(r, 4), dir = Below(r, 4);
        static const int DX[4] = {1, 0, -1, 0}, DY[4] = {0, 1, 0, -1};
        for (int k = 0; k < len && placed < blocks; ++k, x += DX[dir], y += DY[dir]) {
            if (x < 1 || x > GRID || y < 1 || y > GRID || CodeAt(b, x, y) != CELL_EMPTY) break;
            Put(b, x, y, CELL_BLOCK);
            ++placed;
        }
    }
    const int balloons = p.balloonsMin + Below(r, p.balloonsMax - p.balloonsMin + 1);
    const int deflectors = p.deflectorsMin + Below(r, p.deflectorsMax - p.deflectorsMin + 1);
    int x = 0, y = 0;
    for (int k = 0; k < balloons && EmptyCell(r, b, &x, &y); ++k) Put(b, x, y, CELL_BALLOON);
    for (int k = 0; k < deflectors && EmptyCell(r, b, &x, &y); ++k) Put(b, x, y, RandomDeflector(r));
}

// Rails: the start of a medium or hard board. Each rail is a clear line
// across the board with a wedge on it; under the rail lie one or two doors,
// balloons in pockets of block that only a shot turned down by the wedge
// standing right above can reach. Shots along the rail push the wedge one
// way only, so a wedge pushed past a door it has not served has lost that
// door: the dead ends the harder grades need, and each rail multiplies them.
// The search then reworks the board from there.
// The first `twoDoors` rails have two doors, the others one or two.
void FreshRails(Random* r, int rails, int twoDoors, uint8_t* b) {
    std::fill(b, b + LEVEL_FILE_SIZE, uint8_t{0});
    for (int x = 1; x <= GRID; ++x)
        for (int y = 1; y <= GRID; ++y) Put(b, x, y, CELL_EMPTY);
    const bool vertical = Below(r, 2), flipU = Below(r, 2), up = Below(r, 2);
    const int side = up ? -1 : 1;
    // The rail's way along (u grows) and the doors' side, as directions.
    const int along = vertical ? (flipU ? 1 : 3) : (flipU ? 0 : 2);
    const int towards = vertical ? (up ? 0 : 2) : (up ? 1 : 3);
    int wedge = CELL_DEFLECTOR_0;
    for (int o = 0; o < 4; ++o)
        if (WEDGE_TURN[o][along] - 1 == towards) wedge = CELL_DEFLECTOR_0 + o;
    auto put = [&](int u, int line, int code) {
        if (u < 1 || u > GRID || line < 1 || line > GRID) return;
        const int x = flipU ? GRID + 1 - u : u;
        if (vertical) Put(b, line, x, code);
        else Put(b, x, line, code);
    };
    static const int LINES[2][3] = {{2, 6, 10}, {3, 7, 11}};
    const int first = Below(r, 4 - rails);
    for (int k = 0; k < rails; ++k) {
        const int line = LINES[up][first + k];
        const int doors = k < twoDoors ? 2 : 1 + Below(r, 2);
        int door[2];
        door[0] = 4 + Below(r, 6);
        door[1] = door[0] - 2 - Below(r, 2);
        const int start = std::min(GRID, door[0] + 1 + Below(r, 2));
        for (int d = 0; d < doors; ++d) {
            put(door[d] - 1, line + side, CELL_BLOCK);
            put(door[d] + 1, line + side, CELL_BLOCK);
            put(door[d], line + side, CELL_BALLOON);
            put(door[d], line + 2 * side, CELL_BLOCK);
            put(door[d], line - side, CELL_BLOCK);
        }
        put(start, line, wedge);
    }
}

// Straight lines from a balloon to the border with nothing but balloons in
// the way: a balloon open to one needs no deflector and loses nothing.
int OpenLines(const uint8_t* b) {
    static const int DX[4] = {1, 0, -1, 0}, DY[4] = {0, 1, 0, -1};
    int open = 0;
    for (int x = 1; x <= GRID; ++x)
        for (int y = 1; y <= GRID; ++y) {
            if (CodeAt(b, x, y) != CELL_BALLOON) continue;
            for (int d = 0; d < 4; ++d) {
                int cx = x + DX[d], cy = y + DY[d];
                while (cx >= 1 && cx <= GRID && cy >= 1 && cy <= GRID &&
                       (CodeAt(b, cx, cy) == CELL_EMPTY || CodeAt(b, cx, cy) == CELL_BALLOON))
                    cx += DX[d], cy += DY[d];
                open += cx < 1 || cx > GRID || cy < 1 || cy > GRID;
            }
        }
    return open;
}

// A block on an open line of a balloon.
bool Shield(Random* r, uint8_t* b) {
    int x = 0, y = 0;
    if (!PieceCell(r, b, false, true, false, &x, &y)) return false;
    static const int DX[4] = {1, 0, -1, 0}, DY[4] = {0, 1, 0, -1};
    const int d = Below(r, 4), steps = 1 + Below(r, GRID);
    int cx = x, cy = y;
    for (int k = 0; k < steps; ++k) {
        const int nx = cx + DX[d], ny = cy + DY[d];
        if (nx < 1 || nx > GRID || ny < 1 || ny > GRID) break;
        const int c = CodeAt(b, nx, ny);
        if (c != CELL_EMPTY && c != CELL_BALLOON) return false;
        cx = nx, cy = ny;
    }
    if (CodeAt(b, cx, cy) != CELL_EMPTY) return false;
    Put(b, cx, cy, CELL_BLOCK);
    return true;
}

// One small change to the board. An idle piece is the likeliest to go.
void Mutate(Random* r, const std::vector<int>& idle, uint8_t* b) {
    int balloons = 0, deflectors = 0;
    Count(b, &balloons, &deflectors);
    for (;;) {
        int x = 0, y = 0;
        // Half the changes take idle pieces away: each costs as much as a
        // figure out of the band, and most go without changing the figures.
        switch (!idle.empty() && Below(r, 2) ? Below(r, 2) : Below(r, 10)) {
        case 9:
            if (!Shield(r, b)) break;
            return;
        case 0:
            if (idle.empty()) break;
            for (int at : idle) b[at] = CELL_EMPTY;
            return;
        case 1:
            if (idle.empty()) break;
            b[idle[static_cast<size_t>(Below(r, static_cast<int>(idle.size())))]] = CELL_EMPTY;
            return;
        case 2:
            if (balloons >= MAX_BALLOONS || !EmptyCell(r, b, &x, &y)) break;
            Put(b, x, y, CELL_BALLOON);
            return;
        case 3:
            if (deflectors >= MAX_DEFLECTORS || !EmptyCell(r, b, &x, &y)) break;
            Put(b, x, y, RandomDeflector(r));
            return;
        case 4:
            if (!EmptyCell(r, b, &x, &y)) break;
            Put(b, x, y, CELL_BLOCK);
            return;
        case 5:
            if (!PieceCell(r, b, true, balloons > 1, true, &x, &y)) break;
            Put(b, x, y, CELL_EMPTY);
            return;
        case 6:
            if (!PieceCell(r, b, false, false, true, &x, &y)) break;
            Put(b, x, y, CELL_DEFLECTOR_0 + (CodeAt(b, x, y) - CELL_DEFLECTOR_0 + 1 + Below(r, 3)) % 4);
            return;
        default: {
            // A piece steps to a free cell nearby.
            if (!PieceCell(r, b, true, true, true, &x, &y)) break;
            const int nx = x + Below(r, 5) - 2, ny = y + Below(r, 5) - 2;
            if (nx < 1 || nx > GRID || ny < 1 || ny > GRID || CodeAt(b, nx, ny) != CELL_EMPTY) break;
            Put(b, nx, ny, CodeAt(b, x, y));
            Put(b, x, y, CELL_EMPTY);
            return;
        }
        }
    }
}

// How far the measured board lies from the grade's band, in rough units of
// one shot; 0 inside it. Every figure pulls, not only the least shots: a
// long level is not a hard one, and dead ends are what make a level tricky.
int64_t Cost(const Band& band, const Figures& f, size_t idle, const uint8_t* b) {
    int64_t cost = 0;
    // Dead ends come from balloons that need a deflector: while there are
    // too few, every balloon open to the border pulls a little.
    if (DeadPermille(f) < band.deadMin) cost += 30 * OpenLines(b);
    if (f.par < band.parMin) cost += 100 * (band.parMin - f.par);
    if (f.par > band.parMax) cost += 100 * (f.par - band.parMax);
    const int dead = DeadPermille(f);
    if (dead < band.deadMin) cost += band.deadMin - dead;
    if (dead > band.deadMax) cost += dead - band.deadMax;
    for (uint32_t s = f.states; s < band.statesMin; s *= 2) cost += 50;
    for (uint32_t s = band.statesMax; s < f.states; s *= 2) cost += 50;
    if (f.carelessFirst > band.carelessFirstMax) cost += 30 * (f.carelessFirst - band.carelessFirstMax);
    cost += 40 * static_cast<int64_t>(idle);
    return cost;
}

}  // namespace

void StartGeneration(Generation* g, Grade grade, uint64_t seed) {
    g->status = GENERATING;
    g->level = MadeLevel{};
    g->grade = grade;
    g->seed = seed;
    // The grade goes into the seed too, so that the grades of one seed differ.
    uint64_t mix = seed ^ (0x6A09E667F3BCC909ull * (static_cast<uint64_t>(grade) + 1));
    g->rng = Seeded(SplitMix64(&mix));
    g->haveCurrent = g->measuring = false;
    g->currentCost = UNUSABLE;
    g->currentIdle.clear();
    g->candidates = g->sinceBetter = g->round = 0;
    g->measured.clear();
}

bool ContinueGeneration(Generation* g, cellsolver::Micros sliceEnd, const std::atomic<bool>* cancel) {
    const Plan& plan = PLANS[g->grade];
    const Band& band = BandOf(g->grade);
    while (g->status == GENERATING) {
        Measured known;
        if (!g->measuring && cancel && *cancel) {
            g->status = GENERATION_CANCELLED;  // boards met again need no search that would see it
            break;
        }
        if (!g->measuring) {
            if (!g->haveCurrent || g->sinceBetter >= plan.patience) {
                if (g->grade == EASY) FreshBoard(&g->rng, plan, g->candidate);
                else FreshRails(&g->rng, g->grade == HARD ? 3 : 2, g->grade == HARD ? 2 : 0, g->candidate);
                g->haveCurrent = false;
                g->currentCost = UNUSABLE;
                g->sinceBetter = 0;
                ++g->round;
            } else {
                std::copy(g->current, g->current + LEVEL_FILE_SIZE, g->candidate);
                Mutate(&g->rng, g->currentIdle, g->candidate);
            }
            ++g->candidates;
            // A candidate may reach half again the boards of the one it
            // changes, no more: most that would reach far more are worse, and
            // measuring them is what costs the time.
            uint32_t bound = plan.maxStates;
            if (g->haveCurrent)
                bound = std::min(bound, std::max<uint32_t>(g->currentStates + g->currentStates / 2, 4000));
            // The search meets many boards again; a search that ended within
            // a bound ends alike within any bound it fits, and beyond it is
            // too big.
            const auto seen = g->measured.find(std::string(g->candidate, g->candidate + LEVEL_FILE_SIZE));
            if (seen != g->measured.end() && (seen->second.status != TOO_BIG || bound <= seen->second.bound)) {
                known = seen->second;
                if (known.status != TOO_BIG && known.figures.states > bound) known.status = TOO_BIG;
            } else {
                StartMeasure(&g->measure, g->candidate, bound);
                g->measuring = true;
            }
        }
        if (g->measuring) {
            if (!ContinueMeasure(&g->measure, sliceEnd, cancel)) return false;
            const Measure& m = g->measure;
            if (m.status == CANCELLED) {
                g->status = GENERATION_CANCELLED;
                break;
            }
            known.status = m.status;
            known.bound = m.x.maxStates;
            known.figures = m.figures;
            if (m.status == UNSOLVABLE) known.figures.states = m.x.result.states;
            known.solution = m.solution;
            g->measured[std::string(g->candidate, g->candidate + LEVEL_FILE_SIZE)] = known;
        }
        g->measuring = false;
        ++g->sinceBetter;
        if (known.status == MEASURED && known.figures.par >= 2) {
            std::vector<int> idle = IdlePieces(g->candidate, known.solution);
            const int64_t cost = Cost(band, known.figures, idle.size(), g->candidate);
            if (cost <= g->currentCost) {
                if (cost < g->currentCost) g->sinceBetter = 0;
                std::copy(g->candidate, g->candidate + LEVEL_FILE_SIZE, g->current);
                g->currentCost = cost;
                g->currentIdle = idle;
                g->currentStates = known.figures.states;
                g->haveCurrent = true;
                if (cost == 0) {
                    MadeLevel& out = g->level;
                    std::copy(g->current, g->current + LEVEL_FILE_SIZE, out.bytes);
                    out.grade = g->grade;
                    out.seed = g->seed;
                    out.figures = known.figures;
                    out.solution = known.solution;
                    out.candidates = g->candidates;
                    g->status = MADE;
                    break;
                }
            }
        }
        if (SteadyMicros() >= sliceEnd) return false;
    }
    return true;
}

bool Generate(Grade grade, uint64_t seed, MadeLevel* out, const std::atomic<bool>* cancel) {
    Generation* g = new Generation;
    StartGeneration(g, grade, seed);
    ContinueGeneration(g, cellsolver::NO_DEADLINE, cancel);
    const bool made = g->status == MADE;
    if (made) *out = g->level;
    delete g;
    return made;
}

std::string LevelName(Grade grade, uint64_t seed) {
    std::string name = GradeName(grade);
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name + " #" + std::to_string(seed);
}

std::string LevelSource(const MadeLevel& level, const std::string& name) {
    const Figures& f = level.figures;
    std::vector<std::string> ignored;
    std::string grid = leveltext::LevelToText(level.bytes, name, &ignored);
    const size_t firstRow = grid.find('\n') + 1;
    std::string out = grid.substr(0, firstRow);
    out += "# grade: " + std::string(GradeName(level.grade)) + "\n";
    out += "# seed: " + std::to_string(level.seed) + "\n";
    out += "# least shots: " + std::to_string(f.par) + "\n";
    out += "# reachable states: " + std::to_string(f.states) + "\n";
    out += "# dead ends: " + std::to_string(f.deadEnds) + "\n";
    out +=
        "# careless first shots: " + std::to_string(f.carelessFirst) + " of " + std::to_string(solver::ENTRIES) + "\n";
    out +=
        "# careless second shots: " + std::to_string(f.carelessSecond) + " of " + std::to_string(f.secondTried) + "\n";
    return out + grid.substr(firstRow);
}

}  // namespace gen
