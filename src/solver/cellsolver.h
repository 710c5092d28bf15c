// The solver's search: breadth-first over a level's boards at rest, one
// move a shot from one of the game's 48 entries. A shot is traced cell by
// cell on a compact board of its own instead of frame by frame through
// StepPlay. It touches no global, so the boards of one depth are expanded
// on two threads.
//
// Why a cell trace is exact: with one shot in flight and everything else at
// rest, nothing slides while the shot flies (a push always spends the shot)
// and the board changes only where the shot pops a balloon. So what the
// frame step does at each 8-pixel position can be decided once per cell:
//   - a block stops the shot in the cell before it or on entering it, which
//     comes to the same: nothing happens in between;
//   - flying right or down, on reaching a cell's corner: a wedge in the cell
//     whose slanted face looks back turns the shot there; a wedge or a pair
//     in the next cell is pushed from here; then a balloon here pops;
//   - flying left or up, on entering a cell: any wedge or pair in the next
//     cell is met now (turned or pushed); a balloon in this cell pops (the
//     frame step snaps the shot onto its corner for that);
//   - a turned shot leaves from the wedge's own cell.
// tests/levels/trace_check.cpp proves it against the frame-exact reference
// search (tests/framesearch) on random boards, and the --stats figures against the recorded ones.
#pragma once
#include <atomic>
#include <cstdint>
#include <cstring>

#include "game/board.h"
#include "game/entries.h"
#include "game/play.h"
#include "game/wedges.h"
#include "lib/grow.h"
#include "solver/solver.h"

namespace cellsolver {

constexpr int SIDE = BOARD_CELLS;
constexpr int STRIDE = 16;  // the board with a ring of cells beyond the field
constexpr int CELLS = STRIDE * STRIDE;
constexpr uint8_t CELL_OUT = 0xFF;  // beyond the field: acts as CELL_NONE, ends a shot
constexpr uint16_t NO_PIECE = 0xFFFF;
constexpr int PAIR_KIND = 4;

// A board at rest: the game's cell codes, column by column like the game's.
struct Cells {
    uint8_t c[CELLS];
};
inline int Index(int cx, int cy) { return (cx + 1) * STRIDE + cy + 1; }

// What never changes in a level: the blocks and the border, and which
// balloon each balloon cell is.
struct Level {
    Cells base;               // balloons and deflectors taken out
    int8_t balloonOf[CELLS];  // balloon number of a cell, -1 for none
    int balloonCell[MAX_BALLOONS];
    int balloons = 0;
};

// A board as a search key: the balloons alive and the deflector pieces in
// scan order, (cell << 3) | kind, kind 0..3 a single wedge, 4 a pair. The
// two wedges of a pair never act apart, so what made the pair is not kept.
struct Key {
    uint16_t piece[MAX_DEFLECTORS];
    uint16_t alive;
};
static_assert(sizeof(Key) == 32, "a key fills four words");

inline bool SameKey(const Key& a, const Key& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
uint64_t HashKey(const Key& k);

inline bool IsSingle(int code) { return code >= CELL_DEFLECTOR_0 && code <= CELL_DEFLECTOR_3; }
inline bool IsDeflector(int code) { return IsSingle(code) || code == CELL_DEFLECTOR_PAIR; }

// The pieces a key holds, the ones that move but balloons, and their kinds:
// 0..3 a single wedge, PAIR_KIND a pair; kinds 5..7 are free.
inline bool InKey(int code) { return IsDeflector(code); }
inline uint16_t KeyPiece(int cell, int code) {
    return static_cast<uint16_t>(cell << 3 | (code == CELL_DEFLECTOR_PAIR ? PAIR_KIND : code - CELL_DEFLECTOR_0));
}
inline int KeyPieceCell(uint16_t piece) { return piece >> 3; }
inline uint8_t KeyPieceCode(uint16_t piece) {
    const int kind = piece & 7;
    return static_cast<uint8_t>(kind == PAIR_KIND ? CELL_DEFLECTOR_PAIR : CELL_DEFLECTOR_0 + kind);
}

// A growing array kept in pages: it grows without copying what it holds,
// so a search never needs twice its room at the moment it grows, nor
// holds room it has not used.
template <class T>
class Pages {
public:
    static constexpr size_t PAGE = size_t(1) << 16;

    void push_back(const T& v) {
        if (pages_.empty() || pages_.back().size() == PAGE) {
            pages_.resize(pages_.size() + 1);
            pages_.back().reserve(PAGE);
        }
        pages_.back().push_back(v);
        ++size_;
    }
    T& operator[](size_t i) { return pages_[i / PAGE][i % PAGE]; }
    const T& operator[](size_t i) const { return pages_[i / PAGE][i % PAGE]; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    bool operator==(const Pages& o) const { return pages_ == o.pages_; }

private:
    Grow<Grow<T> > pages_;
    size_t size_ = 0;
};

// The keys of a search: sixteen bytes each when a level has at most
// NARROW_PIECES deflector pieces (a board's pieces only ever merge into
// pairs, so the start's count holds throughout), else the whole key.
constexpr int NARROW_PIECES = 8;
struct NarrowKey {
    uint64_t lo, hi;
    bool operator==(const NarrowKey& o) const { return lo == o.lo && hi == o.hi; }
};
NarrowKey Narrow(const Key& k);
Key Widen(const NarrowKey& n);

class KeyStore {
public:
    // Before the first key: whether every key will fit a NarrowKey.
    void SetNarrow(bool narrow) {
        if (size() == 0) narrow_ = narrow;
    }
    bool narrow() const { return narrow_; }
    void push_back(const Key& k) {
        if (narrow_) narrowKeys_.push_back(Narrow(k));
        else wholeKeys_.push_back(k);
    }
    Key operator[](size_t i) const { return narrow_ ? Widen(narrowKeys_[i]) : wholeKeys_[i]; }
    // Whether key i is k, whose narrow form is n (when the store is narrow).
    bool Holds(size_t i, const Key& k, const NarrowKey& n) const {
        return narrow_ ? narrowKeys_[i] == n : SameKey(wholeKeys_[i], k);
    }
    size_t size() const { return narrow_ ? narrowKeys_.size() : wholeKeys_.size(); }

private:
    bool narrow_ = false;
    Pages<NarrowKey> narrowKeys_;
    Pages<Key> wholeKeys_;
};

void MakeCells(const Level& lv, const Key& k, Cells* out);
Key MakeKey(const Level& lv, const Cells& cells);

// The level from the game's play state at its level start, and the board
// it starts on, so that both searches start alike.
Level LevelFromPlay(const PlayState& p, Cells* start);

// Puts a board at rest into a play state set up for its level: the cells,
// the balloons alive, and the deflectors in scan order (a pair as wedges 0
// and 2, which act as any pair does); false if the board does not fit.
bool PutInPlay(const Cells& cells, PlayState* p);

// Directions 0 left, 1 up, 2 right, 3 down (the game's codes minus 1).
constexpr int STEP[4] = {-STRIDE, -1, STRIDE, 1};
constexpr int TURN_NONE = -1;

// What one shot did to the board.
struct Change {
    uint16_t popped = 0;  // balloon bits
    int16_t from = -1;    // the deflector (or pair) that moved, -1 for none
    int16_t to = -1;
    bool looped = false;  // caught in a closed loop of wedges
};

// Fires from the entry (the game's entry numbering) and plays the shot and
// any slide to rest on `b`.
Change TraceShot(const Level& lv, Cells* b, int entry);

// What a trace tells a watcher as it goes, for those that want to know
// which pieces did the work (the level generator): the shot stops at a
// block's cell, is turned by the deflector at `at`, or is spent on the
// deflector at `from`, which moves to `to` if `moves` (called before the
// board changes, so b->c[to] is still what it pushes against).
struct NoWatch {
    void Stopped(int /*at*/, int /*dir*/) {}
    void Turned(int /*at*/) {}
    void Spent(int /*from*/, int /*to*/, bool /*moves*/) {}
};

// A watcher that also wants every cell the shot flies through (the
// analyser) has Passed(int at); the others need not say they do not.
template <typename Watch>
auto TellPassed(Watch* w, int at, int) -> decltype(w->Passed(at)) {
    w->Passed(at);
}
template <typename Watch>
void TellPassed(Watch*, int, long) {}

// TraceShot, telling `w` what happens. TraceShot is this with NoWatch,
// which the compiler drops, so the search pays nothing for it.
//
// The shot's way is fixed by its cell and direction while the board stays
// as it is, so a shot that takes more steps than there are cells and
// directions without popping has repeated one: it flies in a closed loop
// for ever, and the board is what it is now. (Turning wedges act as
// mirrors, so a shot from the border finds its way out again; the check
// only makes certain that the trace ends.)
template <typename Watch>
Change TraceShotWatched(const Level& lv, Cells* b, int entry, Watch* w) {
    Change ch;
    int32_t tx = 0, ty = 0;
    EntryTank(entry, &tx, &ty);
    int p = Index(tx / CELL_SIZE, ty / CELL_SIZE), dir = EntryDirection(entry) - 1;
    for (int steps = 0;; ++steps) {
        const int own = b->c[p];
        TellPassed(w, p, 0);
        // The frame step meets a block one cell early when the shot's own
        // cell is empty, but nothing else can happen in between.
        if (own == CELL_BLOCK) w->Stopped(p, dir);
        if (own == CELL_OUT || own == CELL_BLOCK) return ch;
        if (steps > 4 * CELLS) {
            ch.looped = true;
            return ch;
        }
        const int n = p + STEP[dir];
        const int next = b->c[n];
        int q = -1;  // the deflector the shot meets here
        if (dir >= 2) {
            // Flying right, wedges 1 and 2 turn it in their own cell; 0, 3
            // and pairs are met at the edge. Flying down, 2 and 3; 0, 1.
            const int turnA = dir == 2 ? CELL_DEFLECTOR_1 : CELL_DEFLECTOR_2;
            if (own == turnA || own == turnA + 1) q = p;
            else if (IsDeflector(next)) q = n;
        } else if (IsDeflector(next)) {
            q = n;
        }
        bool spent = false;
        if (q >= 0) {
            const int code = b->c[q];
            const int turn = code == CELL_DEFLECTOR_PAIR ? TURN_NONE : WEDGE_TURN[code - CELL_DEFLECTOR_0][dir] - 1;
            if (turn == TURN_NONE) {
                spent = true;
                const int m = q + STEP[dir];
                const int target = b->c[m];
                int becomes = -1;
                if (target == CELL_EMPTY) becomes = code;
                else if (code != CELL_DEFLECTOR_PAIR && IsSingle(target) && (code - target == 2 || target - code == 2))
                    becomes = CELL_DEFLECTOR_PAIR;  // opposite wedges interlock
                w->Spent(q, m, becomes >= 0);
                if (becomes >= 0) {
                    b->c[q] = CELL_EMPTY;
                    b->c[m] = static_cast<uint8_t>(becomes);
                    ch.from = static_cast<int16_t>(q);
                    ch.to = static_cast<int16_t>(m);
                }
            } else {
                w->Turned(q);
                dir = turn;
            }
        }
        if (own == CELL_BALLOON && lv.balloonOf[p] >= 0) {
            b->c[p] = CELL_EMPTY;
            ch.popped |= static_cast<uint16_t>(1u << lv.balloonOf[p]);
            steps = 0;
        }
        if (spent) return ch;
        p = q >= 0 ? q : n;  // a turned shot leaves from the wedge's cell
    }
}

// The key after a shot, from the key before it and what the shot did.
Key NextKey(const Key& k, const Cells& after, const Change& ch);

// Every key met, with the board it came from and the shot that led to it.
// A slot of the table holds the key's index + 1 (0 for free) in its low
// INDEX_BITS and, above them, the top of its hash, so that most probes need
// not read the key.
struct KeySet {
    KeyStore keys;
    Pages<uint32_t> parent;
    Pages<uint8_t> entry;
    Pages<uint16_t> depth;
    Grow<uint32_t> table;
    uint32_t count = 0;

    static constexpr int INDEX_BITS = 22;
    static constexpr uint32_t MAX_KEYS = (1u << INDEX_BITS) - 2;  // a search holds no more

    KeySet() { table.resize(1024); }
    // The index of k, or -1.
    int64_t Lookup(const Key& k) const;
    uint32_t Add(const Key& k, uint32_t from, int e, uint16_t d);
    void GrowTable();
};

Grow<int> PathTo(const KeySet& set, uint32_t i);

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
constexpr int WORKERS = 1;  // a page without threads searches on its own
#else
constexpr int WORKERS = 2;
#endif
constexpr uint32_t BLOCK = 512;  // boards a worker takes at a time
constexpr uint32_t NEW_KEY = 0x80000000u;

// One shot from one board, as a worker found it: the successor's index if
// it was known before this depth, else NEW_KEY | its place in newKeys.
struct Edge {
    uint32_t from;
    uint32_t to;
    uint8_t entry;
    uint8_t looped;
};
struct BlockOut {
    Grow<Edge> edges;
    Grow<Key> newKeys;
};

struct Search {
    Level level;
    KeySet set;
    Pages<uint32_t> edgeStart, edges;  // with everything: distinct successors per board
    Pages<uint8_t> won;
    // With everything and countShots: how many of the 48 shots lead along
    // each edge (the analyser's random player needs it; the tables do not).
    bool countShots = false;
    Pages<uint8_t> edgeShots;
};

// What a search that stops at the first win holds per board it has met,
// at most, and the bound the game's searches keep to.
constexpr uint32_t SEARCH_BYTES_PER_BOARD = 56;
constexpr uint32_t SEARCH_MEMORY_BOUND = 64u << 20;

// Deadlines are in microseconds of SteadyMicros() (platform/worker).
using Micros = uint64_t;
constexpr Micros NO_DEADLINE = ~Micros(0);

// Expands boards [from, to) of the set into `o`, which it adds to.
void ExpandBoards(const Search& s, uint32_t from, uint32_t to, bool everything, BlockOut* o);

// Expands boards [begin, end) of the set on both cores. Only what the merge
// needs is kept: every shot with `everything`, else new boards and loops.
// Past the deadline the workers stop and false is returned.
bool ExpandDepth(const Search& s, uint32_t begin, uint32_t end, bool everything, Grow<BlockOut>* out,
                 Micros deadline = NO_DEADLINE, const std::atomic<bool>* cancel = nullptr);

// The breadth-first search, depth by depth: the merge takes the
// shots in the order a one-thread search fires them, so states are numbered
// alike and the same shortest solution is found.
//
// It can stop between pieces of work and go on later from the same place,
// so that a page without threads runs it a few milliseconds a frame; the
// pieces are the same blocks either way, so the answer is too.
struct Exploration {
    Search* s = nullptr;
    uint32_t maxStates = 0;
    bool everything = false;
    bool done = false;
    solver::Result result;
    int64_t goal = -1;
    uint32_t begin = 0, end = 0;       // the depth in hand: boards [begin, end)
    uint32_t chunk = 0, chunkEnd = 0;  // its boards in hand: [chunk, chunkEnd)
    uint32_t expanded = 0;             // the chunk's boards before this one are expanded
    size_t merged = 0;                 // the chunk's blocks merged so far
    uint32_t board = 0;                // the board whose shots are being merged
    size_t firstEdge = 0;
    Grow<BlockOut> out;
    Grow<uint32_t> newIndex;
};

// Boards of a depth expanded before their shots are merged: what the
// workers find waits in memory only this long.
constexpr uint32_t CHUNK_BOARDS = 8 * BLOCK;
// Boards expanded between looks at the clock when the search runs in slices.
constexpr uint32_t SLICE_BOARDS = 32;

// It starts from `play`, a board at rest: a level's start or any board met in play.
void StartExploration(Exploration* x, const PlayState& play, uint32_t maxStates, bool everything, Search* s);

// Goes on with the search until it ends (true; the answer is in
// x->result) or `sliceEnd` passes (false; call again to go on). Without a
// slice end a depth is expanded on both cores at once. Past the deadline, or
// once `cancel` is set, it gives up as if the bound were hit.
bool ContinueExploration(Exploration* x, Micros sliceEnd = NO_DEADLINE, Micros deadline = NO_DEADLINE,
                         const std::atomic<bool>* cancel = nullptr);

solver::Result ExploreFrom(const PlayState& play, uint32_t maxStates, bool everything, Search* s,
                           Micros deadline = NO_DEADLINE, const std::atomic<bool>* cancel = nullptr);
solver::Result Explore(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates, bool everything, Search* s);

// Plays shots from the level's start; true if any of them loops.
bool PlayShots(const Search& s, const Grow<int>& shots, Cells* cells);

// The least shots and one shortest solution.
solver::Result Solve(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates);

// The search's successor lists turned round: the boards one shot leads to
// board j from are preds[predStart[j] .. predStart[j + 1]).
void Predecessors(const Search& s, Grow<uint32_t>* predStart, Grow<uint32_t>* preds);

// The figures of a level's whole board graph: its dead ends, careless
// first and second shots, and depth.
solver::Stats ComputeStats(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates);
// The same figures, but `result`, of a finished search of everything.
void ReckonStats(const Search& s, solver::Stats* st);

}  // namespace cellsolver
