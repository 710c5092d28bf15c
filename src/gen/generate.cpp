#include "gen/generate.h"

#include <cstdio>
#include <cstring>

#include "game/leveltext.h"
#include "game/wedges.h"
#include "platform/worker/worker.h"

namespace gen {

namespace {

using leveltext::ByteIndex;
using leveltext::GRID;

constexpr int64_t UNUSABLE = int64_t{1} << 40;

// How a search starts, how far it may look and what it wants beyond its
// band.
struct Plan {
    uint32_t maxStates;        // a candidate reaching more boards is dropped unmeasured
    uint32_t freshStates;      // the same for a fresh start board
    uint32_t growStates;       // a candidate may always reach this many, whatever it changes
    uint32_t patience;         // candidates without a better one before starting afresh
    uint32_t walk;             // candidates tried inside the band once there
    int balloons, deflectors;  // the most the searched board may hold
    bool analyse;              // measure the designer's figures of every candidate
};

// What a grade asks of a level beyond its band, from the shipped ramp:
// easy levels 3 and 4 teach turning and pushing and can be lost; levels 5,
// 6 and 12 need two wedges snapped into a square; the hard levels have one
// essential solution in each half and are seldom won by firing at random.
struct Wants {
    bool trick = false;        // a shot that turns or pushes, on every shortest solution
    bool deadEnd = false;      // a board from which it cannot be won
    bool snap = false;         // a snap, on every shortest solution
    bool oneSolution = false;  // one essential solution
    double randomWinMax = 1;   // the random player's chance at most
};

// A search that starts small stays small: a candidate reaches at most half
// again the boards of the one it changes, and a small board is measured
// quickly. A search that stalls seldom recovers, and is cheaper to start
// afresh.
//
// Searches from different seeds can meet on the same board: the pieces
// that do no work go, and what is left of two starts can be alike. So the
// first board inside the band is not the level: the search walks on inside
// the band for a fixed number of candidates, taking every change that stays
// in it, and each seed's walk takes its own way.
//
// A mirrored family is searched as a half: its whole reaches about the
// square of the half's boards, its dead ends leave about the square of the
// half's live share, its least shots are twice the half's and its random
// player's chance the square of the half's. So a half of a few hundred
// boards, measured in a millisecond, makes a whole of tens of thousands.
// A whole board's search: easy levels.
constexpr Plan EASY_PLAN = {3100, 3100, 1000, 20, 48, MAX_BALLOONS, MAX_DEFLECTORS, true};
// A half's search: medium and hard levels.
constexpr Plan MEDIUM_HALF_PLAN = {400, 400, 200, 15, 128, MAX_BALLOONS / 2, MAX_DEFLECTORS / 2, true};
constexpr Plan HARD_HALF_PLAN = {1500, 1500, 800, 20, 32, MAX_BALLOONS / 2, MAX_DEFLECTORS / 2, true};
// The half's band: medium wholes of 2,000 to 30,000 boards with at least
// 0.8 of them lost, hard wholes of 40,000 to a few hundred thousand with at
// least 0.92 lost (levels 9-12: 0.90 to 0.97).
constexpr Band MEDIUM_HALF_BAND = {3, 5, 45, 173, 560, 1000, 1};
constexpr Band HARD_HALF_BAND = {5, 8, 200, 450, 720, 1000, 1};

const Plan& PlanOf(Grade g) { return g == EASY ? EASY_PLAN : g == MEDIUM ? MEDIUM_HALF_PLAN : HARD_HALF_PLAN; }

// The band the search aims at: the grade's for a whole board, a half's for a mirrored one.
const Band& SearchBandOf(Grade g) { return g == EASY ? BandOf(g) : g == MEDIUM ? MEDIUM_HALF_BAND : HARD_HALF_BAND; }

// What the searched board wants: for a mirrored grade, what its half wants.
Wants WantsOf(Grade g, Family f) {
    Wants w;
    if (g == EASY) w.trick = w.deadEnd = true;
    if (g != EASY && (f == SNAP_ROW || (f == TWIN_ROOMS && g == HARD))) w.snap = true;
    if (g == HARD) w.oneSolution = true, w.randomWinMax = 0.17;
    return w;
}

uint32_t Min(uint32_t a, uint32_t b) { return a < b ? a : b; }
uint32_t Max(uint32_t a, uint32_t b) { return a > b ? a : b; }

int CodeAt(const uint8_t* b, int cx, int cy) { return b[ByteIndex(cx, cy)]; }
void Put(uint8_t* b, int cx, int cy, int code) { b[ByteIndex(cx, cy)] = static_cast<uint8_t>(code); }

// A random empty cell the search may use, or false after a few misses.
bool EmptyCell(Random* r, const Layout& l, const uint8_t* b, int* cx, int* cy) {
    for (int tries = 0; tries < 64; ++tries) {
        *cx = 1 + Below(r, GRID);
        *cy = 1 + Below(r, GRID);
        if (l.region[ByteIndex(*cx, *cy)] && CodeAt(b, *cx, *cy) == CELL_EMPTY) return true;
    }
    return false;
}

// A random cell the search may change holding one of the piece kinds asked for, or false.
bool PieceCell(Random* r, const Layout& l, const uint8_t* b, bool blocks, bool balloons, bool deflectors, int* cx,
               int* cy) {
    int cells[GRID * GRID], n = 0;
    for (int x = 1; x <= GRID; ++x)
        for (int y = 1; y <= GRID; ++y) {
            const int c = CodeAt(b, x, y), at = ByteIndex(x, y);
            if (!l.region[at] || l.fixed[at]) continue;
            if ((blocks && c == CELL_BLOCK) || (balloons && c == CELL_BALLOON) || (deflectors && IsSingleDeflector(c)))
                cells[n++] = at;
        }
    if (n == 0) return false;
    const int at = cells[Below(r, n)];
    *cx = at / BOARD_CELLS;
    *cy = at % BOARD_CELLS;
    return true;
}

void Count(const uint8_t* b, int* balloons, int* deflectors) { leveltext::CountPieces(b, balloons, deflectors); }

int RandomDeflector(Random* r) { return CELL_DEFLECTOR_0 + Below(r, 4); }

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
bool Shield(Random* r, const Layout& l, uint8_t* b) {
    int x = 0, y = 0;
    if (!PieceCell(r, l, b, false, true, false, &x, &y)) return false;
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
    if (CodeAt(b, cx, cy) != CELL_EMPTY || !l.region[ByteIndex(cx, cy)]) return false;
    Put(b, cx, cy, CELL_BLOCK);
    return true;
}

// One small change to the board. An idle piece is the likeliest to go.
void Mutate(Random* r, const Plan& p, const Layout& l, const IdleList& idle, uint8_t* b) {
    int balloons = 0, deflectors = 0;
    Count(b, &balloons, &deflectors);
    for (;;) {
        int x = 0, y = 0;
        // Half the changes take idle pieces away: each costs as much as a
        // figure out of the band, and most go without changing the figures.
        switch (idle.count > 0 && Below(r, 2) ? Below(r, 2) : Below(r, 10)) {
        case 9:
            if (!Shield(r, l, b)) break;
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
            if (Below(r, 2)) Mutate(r, p, l, IdleList{}, b);
            return;
        case 2:
            if (balloons >= p.balloons || !EmptyCell(r, l, b, &x, &y)) break;
            Put(b, x, y, CELL_BALLOON);
            return;
        case 3:
            if (deflectors >= p.deflectors || !EmptyCell(r, l, b, &x, &y)) break;
            Put(b, x, y, RandomDeflector(r));
            return;
        case 4:
            if (!EmptyCell(r, l, b, &x, &y)) break;
            Put(b, x, y, CELL_BLOCK);
            return;
        case 5:
            if (!PieceCell(r, l, b, true, balloons > 1, true, &x, &y)) break;
            Put(b, x, y, CELL_EMPTY);
            return;
        case 6:
            if (!PieceCell(r, l, b, false, false, true, &x, &y)) break;
            Put(b, x, y, CELL_DEFLECTOR_0 + (CodeAt(b, x, y) - CELL_DEFLECTOR_0 + 1 + Below(r, 3)) % 4);
            return;
        default: {
            // A piece steps to a free cell nearby.
            if (!PieceCell(r, l, b, true, true, true, &x, &y)) break;
            const int nx = x + Below(r, 5) - 2, ny = y + Below(r, 5) - 2;
            if (nx < 1 || nx > GRID || ny < 1 || ny > GRID || CodeAt(b, nx, ny) != CELL_EMPTY ||
                !l.region[ByteIndex(nx, ny)])
                break;
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

// What the designer's figures lack, in the same units: a missing trick
// weighs as a shot and a half of par.
int64_t WantsCost(const Wants& w, const Figures& f, const solver::Analysis& a) {
    int64_t cost = 0;
    if (w.trick && a.fewestTricks == 0) cost += 150;
    if (w.deadEnd && f.deadEnds == 0) cost += 150;
    if (w.snap && a.fewestSnaps == 0) cost += 150;
    if (w.oneSolution && a.essentialSolutions > 1)
        cost += 60 * static_cast<int64_t>(a.essentialSolutions < 6 ? a.essentialSolutions - 1 : 5);
    if (a.randomWin > w.randomWinMax) cost += static_cast<int64_t>(1000 * (a.randomWin - w.randomWinMax));
    return cost;
}

// Keeps only the idle pieces the search may take away: the frame stays.
void MovableIdle(const Layout& l, IdleList* idle) {
    int kept = 0;
    for (int k = 0; k < idle->count; ++k)
        if (l.region[idle->at[k]] && !l.fixed[idle->at[k]]) idle->at[kept++] = idle->at[k];
    idle->count = kept;
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
    g->family = FamilyOf(grade, seed);
    g->seed = seed;
    // The grade goes into the seed too, so that the grades of one seed differ.
    uint64_t mix = seed ^ (0x6A09E667F3BCC909ull * (static_cast<uint64_t>(grade) + 1));
    g->rng = Seeded(SplitMix64(&mix));
    g->haveCurrent = g->measuring = g->walking = g->composing = g->apartLeft = g->apartTooBig = false;
    g->walkTried = g->walkTaken = 0;
    g->currentCost = UNUSABLE;
    g->currentIdle.count = 0;
    g->candidates = g->sinceBetter = g->round = 0;
    g->measured.boards.clear();
    g->measured.shots.clear();
    g->measured.slots.assign(1024, 0);
}

namespace {

// The next candidate is a new start of the family.
void StartAfresh(Generation* g) {
    g->walkTried = g->walkTaken = 0;
    g->walking = g->haveCurrent = false;
}

// The whole of a mirrored level, measured: the level, or a fresh start.
void Composed(Generation* g) {
    const Measure& m = g->measure;
    g->composing = false;
    g->measuring = false;
    if (m.status == MEASURED) {
        IdleList idle;
        IdlePieces(g->whole, m.solution, &idle);
        int idleWedges = 0;
        for (int k = 0; k < idle.count; ++k) idleWedges += IsSingleDeflector(g->whole[idle.at[k]]);
        if (Cost(BandOf(g->grade), m.figures, idleWedges, g->whole) == 0) {
            MadeLevel& out = g->level;
            std::memcpy(out.bytes, g->whole, LEVEL_FILE_SIZE);
            out.figures = m.figures;
            out.solution = m.solution;
            out.candidates = g->candidates;
            g->status = MADE;
            return;
        }
    }
    if (g->apartLeft && !g->apartTooBig) {
        // The seam with every block some shot meets: the halves apart.
        g->apartLeft = false;
        std::memcpy(g->whole, g->apartWhole, LEVEL_FILE_SIZE);
        StartMeasure(&g->measure, g->whole, g->wholeBound);
        g->composing = true;
        return;
    }
    g->apartLeft = false;
    // The halves reach into each other: a change in the walk seldom parts
    // them, so the search starts afresh.
    StartAfresh(g);
}

}  // namespace

bool ContinueGeneration(Generation* g, cellsolver::Micros sliceEnd, const std::atomic<bool>* cancel) {
    // A mirrored family searches a half and measures the whole once.
    const bool half = Mirrored(g->grade);
    const Plan& plan = PlanOf(g->grade);
    const Band& band = SearchBandOf(g->grade);
    const Wants wants = WantsOf(g->grade, g->family);
    while (g->status == GENERATING) {
        if (g->composing) {
            if (!ContinueMeasure(&g->measure, sliceEnd, cancel)) return false;
            if (g->measure.status == CANCELLED) {
                g->status = GENERATION_CANCELLED;
                break;
            }
            Composed(g);
            continue;
        }
        Measured known{};
        Grow<int>& solution = g->knownSolution;
        if (!g->measuring && cancel && *cancel) {
            g->status = GENERATION_CANCELLED;  // boards met again need no search that would see it
            break;
        }
        if (!g->measuring) {
            if (!g->walking && (!g->haveCurrent || g->sinceBetter >= plan.patience)) {
                FreshStart(&g->rng, g->grade, g->family, g->candidate, &g->layout);
                g->haveCurrent = false;
                g->currentCost = UNUSABLE;
                g->sinceBetter = 0;
                ++g->round;
            } else {
                std::memcpy(g->candidate, g->current, LEVEL_FILE_SIZE);
                Mutate(&g->rng, plan, g->layout, g->currentIdle, g->candidate);
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
                StartMeasure(&g->measure, g->candidate, bound, plan.analyse);
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
            known.analysis = m.analysis;
            if (m.status == UNSOLVABLE) known.figures.states = m.x.result.states;
            solution = m.solution;
            KeepMeasured(&g->measured, known, solution);
        }
        g->measuring = false;
        ++g->sinceBetter;
        if (known.status == MEASURED && known.figures.par >= 2) {
            IdleList& idle = g->candidateIdle;
            IdlePieces(g->candidate, solution, &idle);
            MovableIdle(g->layout, &idle);
            int64_t cost = Cost(band, known.figures, idle.count, g->candidate);
            if (plan.analyse) cost += WantsCost(wants, known.figures, known.analysis);
            if (cost <= g->currentCost) {
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
                    out.family = g->family;
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
            if (half) {
                // The half the walk ended on, with only the seam's blocks
                // that some shot meets, and its image: measured as one
                // board, the proof of the whole. First with only the
                // blocks that turned shots and pushed wedges meet: the
                // seam is then as light as it can be, and a straight shot
                // may cross into the other half. If that whole leaves its
                // band, with every block some shot meets.
                std::memcpy(g->whole, g->level.bytes, LEVEL_FILE_SIZE);
                std::memcpy(g->apartWhole, g->level.bytes, LEVEL_FILE_SIZE);
                StartMeasure(&g->measure, g->whole, plan.maxStates);
                g->measure.seam = g->layout.seam;
                ContinueMeasure(&g->measure);
                // Halves apart are counted in the half, exactly: a whole of
                // them past the band is refused without being measured.
                g->apartTooBig = g->measure.postWinApart && ApartBoards(g->measure) > BandOf(g->grade).statesMax;
                for (int at = 0; at < LEVEL_FILE_SIZE; ++at) {
                    if (g->layout.seam[at] && !g->measure.seamWorked[at]) g->whole[at] = CELL_EMPTY;
                    if (g->layout.seam[at] && !g->measure.seamUsed[at]) g->apartWhole[at] = CELL_EMPTY;
                }
                Compose(g->whole, g->layout, g->whole);
                Compose(g->apartWhole, g->layout, g->apartWhole);
                g->apartLeft = std::memcmp(g->whole, g->apartWhole, LEVEL_FILE_SIZE) != 0;
                if (g->apartTooBig && !g->apartLeft) {
                    // The lighter seam is the one apart, and that whole is refused.
                    StartAfresh(g);
                    continue;
                }
                // Halves apart reach the square of the half's boards; far
                // more means they reach into each other, and is cut short.
                const uint64_t apart = uint64_t{g->level.figures.states} * g->level.figures.states;
                const uint32_t most = BandOf(g->grade).statesMax;
                g->wholeBound = apart * 3 < most ? static_cast<uint32_t>(apart * 3) : most;
                StartMeasure(&g->measure, g->whole, g->wholeBound);
                g->composing = true;
                continue;
            }
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
    std::snprintf(out, LEVEL_NAME_SIZE, "%s, %s #%llu", FamilyName(FamilyOf(grade, seed)), GradeName(grade),
                  static_cast<unsigned long long>(seed));
}

void DailyName(const Date& date, char out[LEVEL_NAME_SIZE]) {
    Grade grade = EASY;
    uint64_t seed = 0;
    DailyLevel(date, &grade, &seed);
    char text[DATE_TEXT_SIZE];
    DateText(date, text);
    std::snprintf(out, LEVEL_NAME_SIZE, "Daily %s, %s, %s", text, FamilyName(FamilyOf(grade, seed)), GradeName(grade));
}

}  // namespace gen
