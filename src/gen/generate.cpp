#include "gen/generate.h"

#include <cstring>

#include "game/leveltext.h"
#include "game/wedges.h"
#include "platform/worker/worker.h"

namespace gen {

namespace {

using leveltext::ByteIndex;
using leveltext::GRID;

constexpr int64_t UNUSABLE = int64_t{1} << 40;

// How a grade's search starts and how far it may look.
struct Plan {
    int balloonsMin, balloonsMax;
    int deflectorsMin, deflectorsMax;
    int blocksMin, blocksMax;
    uint32_t maxStates;    // a candidate reaching more boards is dropped unmeasured
    uint32_t freshStates;  // the same for a fresh start board
    uint32_t growStates;   // a candidate may always reach this many, whatever it changes
    int64_t startCost;     // a fresh board farther from the band is dropped at once
    uint32_t patience;     // candidates without a better one before starting afresh
    int railProduct;       // the most a rails start's wedge starts may multiply to
    uint32_t walk;         // candidates tried inside the band once there
};

// A search that starts small stays small: a candidate reaches at most half
// again the boards of the one it changes, and a small board is measured
// quickly. A start that reaches more is dropped after only that many
// boards' work. A search that stalls seldom recovers, and an easy start far
// from its band seldom gets there: both are cheaper to draw again, which
// keeps the slowest levels nearer the typical ones. (Dropping far medium
// starts too was quicker still, but the near ones are few in kind, and
// different seeds then made equal levels.)
//
// Searches from different seeds can meet on the same board: the pieces
// that do no work go, and what is left of two starts can be alike. So the
// first board inside the band is not the level: the search walks on inside
// the band for a fixed number of candidates, taking every change that stays
// in it, and each seed's walk takes its own way.
//
// Two rails never reach too many boards; three are drawn again when their
// wedges' starts multiply to more than 400 (over a third of those left reach
// 12,000 boards at most, against one in seven of all).
constexpr Plan PLANS[GRADES] = {
    {3, 5, 0, 2, 2, 8, 3100, 300, 500, 200, 20, 0, 8},
    {3, 5, 2, 4, 14, 30, 30000, 5000, 6000, UNUSABLE, 5, 12 * 12, 12},
    {4, 6, 3, 6, 20, 40, 50000, 12000, 4000, UNUSABLE, 15, 400, 12},
};

uint32_t Min(uint32_t a, uint32_t b) { return a < b ? a : b; }
uint32_t Max(uint32_t a, uint32_t b) { return a > b ? a : b; }

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
    std::memset(b, 0, LEVEL_FILE_SIZE);
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
void FreshRails(Random* r, int rails, int twoDoors, int maxProduct, uint8_t* b) {
    std::memset(b, 0, LEVEL_FILE_SIZE);
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
    // A wedge can stand anywhere from its start to the rail's end, and the
    // rails act apart from each other, so the boards a start reaches grow
    // about as the product of the wedges' starts: a start whose product is
    // too large would reach too many to search, and is drawn again at once.
    int doorsOf[3], doorAt[3][2], startOf[3];
    for (int product = maxProduct + 1; product > maxProduct;) {
        product = 1;
        for (int k = 0; k < rails; ++k) {
            doorsOf[k] = k < twoDoors ? 2 : 1 + Below(r, 2);
            doorAt[k][0] = 4 + Below(r, 6);
            doorAt[k][1] = doorAt[k][0] - 2 - Below(r, 2);
            const int after = doorAt[k][0] + 1 + Below(r, 2);
            startOf[k] = after < GRID ? after : GRID;
            product *= startOf[k];
        }
    }
    // Rails lie four rows apart or more, a door's pocket and the block
    // above it between them; three fill the board, fewer may lie anywhere.
    int slack = 8 - 4 * (rails - 1), line = up ? 3 : 2;
    for (int k = 0; k < rails; ++k) {
        const int shift = Below(r, slack + 1);
        line += shift;
        slack -= shift;
        const int start = startOf[k];
        for (int d = 0; d < doorsOf[k]; ++d) {
            const int door = doorAt[k][d];
            put(door - 1, line + side, CELL_BLOCK);
            put(door + 1, line + side, CELL_BLOCK);
            put(door, line + side, CELL_BALLOON);
            put(door, line + 2 * side, CELL_BLOCK);
            put(door, line - side, CELL_BLOCK);
        }
        put(start, line, wedge);
        line += 4;
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
void Mutate(Random* r, const IdleList& idle, uint8_t* b) {
    int balloons = 0, deflectors = 0;
    Count(b, &balloons, &deflectors);
    for (;;) {
        int x = 0, y = 0;
        // Half the changes take idle pieces away: each costs as much as a
        // figure out of the band, and most go without changing the figures.
        switch (idle.count > 0 && Below(r, 2) ? Below(r, 2) : Below(r, 10)) {
        case 9:
            if (!Shield(r, b)) break;
            return;
        case 0:
            if (idle.count == 0) break;
            for (int k = 0; k < idle.count; ++k) b[idle.at[k]] = CELL_EMPTY;
            return;
        case 1:
            if (idle.count == 0) break;
            b[idle.at[Below(r, idle.count)]] = CELL_EMPTY;
            // A piece idle in the solution may still hold a figure in the
            // band: half the time another change goes with it.
            if (Below(r, 2)) Mutate(r, IdleList{}, b);
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
int64_t Cost(const Band& band, const Figures& f, int idle, const uint8_t* b) {
    int64_t cost = 0;
    const int dead = DeadPermille(f);
    // Dead ends come from balloons that need a deflector: while there are
    // too few, every balloon open to the border pulls a little.
    if (dead < band.deadMin) cost += 30 * OpenLines(b);
    if (f.par < band.parMin) cost += 100 * (band.parMin - f.par);
    if (f.par > band.parMax) cost += 100 * (f.par - band.parMax);
    if (dead < band.deadMin) cost += band.deadMin - dead;
    if (dead > band.deadMax) cost += dead - band.deadMax;
    for (uint32_t s = f.states; s < band.statesMin; s *= 2) cost += 50;
    for (uint32_t s = band.statesMax; s < f.states; s *= 2) cost += 50;
    if (f.carelessFirst > band.carelessFirstMax) cost += 30 * (f.carelessFirst - band.carelessFirstMax);
    cost += 40 * static_cast<int64_t>(idle);
    return cost;
}

// FNV-1a over the interior: the rest of a candidate's bytes are zero.
uint64_t BoardHash(const uint8_t* b) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (int i = 0; i < LEVEL_FILE_SIZE; ++i) h = (h ^ b[i]) * 0x100000001B3ull;
    return h;
}

// The slot that holds the board, or the free slot where it would go.
uint32_t& SlotOf(MeasuredSet* set, const uint8_t* b) {
    const size_t mask = set->slots.size() - 1;
    for (size_t at = BoardHash(b) & mask;; at = (at + 1) & mask) {
        uint32_t& slot = set->slots[at];
        if (!slot || std::memcmp(set->boards[slot - 1].board, b, LEVEL_FILE_SIZE) == 0) return slot;
    }
}

const Measured* FindMeasured(MeasuredSet* set, const uint8_t* b) {
    const uint32_t slot = SlotOf(set, b);
    return slot ? &set->boards[slot - 1] : nullptr;
}

// Keeps what measuring the board gave, in place of anything kept before.
void KeepMeasured(MeasuredSet* set, const Measured& m, const Grow<int>& solution) {
    if (2 * (set->boards.size() + 1) > set->slots.size()) {
        // Half full at most, so that probes stay short.
        set->slots.assign(set->slots.size() * 2, 0);
        for (uint32_t i = 0; i < set->boards.size(); ++i) SlotOf(set, set->boards[i].board) = i + 1;
    }
    uint32_t& slot = SlotOf(set, m.board);
    if (!slot) {
        set->boards.push_back(m);
        slot = static_cast<uint32_t>(set->boards.size());
    }
    Measured& kept = set->boards[slot - 1];
    kept = m;
    kept.solutionAt = static_cast<uint32_t>(set->shots.size());
    kept.solutionSize = static_cast<uint32_t>(solution.size());
    for (int e : solution) set->shots.push_back(static_cast<uint8_t>(e));
}

void SolutionOf(const MeasuredSet& set, const Measured& m, Grow<int>* solution) {
    solution->clear();
    for (uint32_t k = 0; k < m.solutionSize; ++k) solution->push_back(set.shots[m.solutionAt + k]);
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
    g->haveCurrent = g->measuring = g->walking = false;
    g->walkTried = g->walkTaken = 0;
    g->currentCost = UNUSABLE;
    g->currentIdle.count = 0;
    g->candidates = g->sinceBetter = g->round = 0;
    g->measured.boards.clear();
    g->measured.shots.clear();
    g->measured.slots.assign(1024, 0);
}

bool ContinueGeneration(Generation* g, cellsolver::Micros sliceEnd, const std::atomic<bool>* cancel) {
    const Plan& plan = PLANS[g->grade];
    const Band& band = BandOf(g->grade);
    while (g->status == GENERATING) {
        Measured known{};
        Grow<int>& solution = g->knownSolution;
        if (!g->measuring && cancel && *cancel) {
            g->status = GENERATION_CANCELLED;  // boards met again need no search that would see it
            break;
        }
        if (!g->measuring) {
            if (!g->walking && (!g->haveCurrent || g->sinceBetter >= plan.patience)) {
                if (g->grade == EASY) FreshBoard(&g->rng, plan, g->candidate);
                else
                    FreshRails(&g->rng, g->grade == HARD ? 3 : 2, g->grade == HARD ? 2 : 0, plan.railProduct,
                               g->candidate);
                g->haveCurrent = false;
                g->currentCost = UNUSABLE;
                g->sinceBetter = 0;
                ++g->round;
            } else {
                std::memcpy(g->candidate, g->current, LEVEL_FILE_SIZE);
                Mutate(&g->rng, g->currentIdle, g->candidate);
            }
            ++g->candidates;
            // A candidate may reach half again the boards of the one it
            // changes, no more: most that would reach far more are worse, and
            // measuring them is what costs the time.
            uint32_t bound = g->haveCurrent ? plan.maxStates : plan.freshStates;
            if (g->haveCurrent) bound = Min(bound, Max(g->currentStates + g->currentStates / 2, plan.growStates));
            // The search meets many boards again; a search that ended within
            // a bound ends alike within any bound it fits, and beyond it is
            // too big.
            const Measured* seen = FindMeasured(&g->measured, g->candidate);
            if (seen && (seen->status != TOO_BIG || bound <= seen->bound)) {
                known = *seen;
                SolutionOf(g->measured, known, &solution);
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
            std::memcpy(known.board, g->candidate, LEVEL_FILE_SIZE);
            known.status = m.status;
            known.bound = m.x.maxStates;
            known.figures = m.figures;
            if (m.status == UNSOLVABLE) known.figures.states = m.x.result.states;
            solution = m.solution;
            KeepMeasured(&g->measured, known, solution);
        }
        g->measuring = false;
        ++g->sinceBetter;
        if (known.status == MEASURED && known.figures.par >= 2) {
            IdleList& idle = g->candidateIdle;
            IdlePieces(g->candidate, solution, &idle);
            const int64_t cost = Cost(band, known.figures, idle.count, g->candidate);
            if (cost <= g->currentCost && (g->haveCurrent || cost <= plan.startCost)) {
                if (cost < g->currentCost) g->sinceBetter = 0;
                std::memcpy(g->current, g->candidate, LEVEL_FILE_SIZE);
                g->currentCost = cost;
                g->currentIdle = idle;
                g->currentStates = known.figures.states;
                g->haveCurrent = true;
                if (cost == 0) {
                    // Inside the band: this board is the level unless the walk finds another.
                    MadeLevel& out = g->level;
                    std::memcpy(out.bytes, g->current, LEVEL_FILE_SIZE);
                    out.grade = g->grade;
                    out.seed = g->seed;
                    out.figures = known.figures;
                    out.solution = solution;
                    g->walkTaken += g->walking;
                    g->walking = true;
                }
            }
        }
        // The walk ends after its candidates, or, while it has taken no
        // change, up to four times as many: a small board seldom stays in
        // the band when changed, and unchanged it is the likeliest to be
        // met from another seed.
        if (g->walking && g->walkTried++ >= plan.walk && (g->walkTaken > 0 || g->walkTried > 4 * plan.walk)) {
            g->level.candidates = g->candidates;
            g->status = MADE;
            break;
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

void LevelName(Grade grade, uint64_t seed, char out[LEVEL_NAME_SIZE]) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + seed % 10);
        seed /= 10;
    } while (seed);
    size_t at = 0;
    for (const char* c = GradeName(grade); *c; ++c) out[at++] = *c;
    out[0] = static_cast<char>(out[0] - 'a' + 'A');
    out[at++] = ' ';
    out[at++] = '#';
    while (n > 0) out[at++] = digits[--n];
    out[at] = '\0';
}

}  // namespace gen
