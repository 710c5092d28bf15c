// Breadth-first search over a level's boards at rest. A move is one shot
// from one of the 48 entry points, after which the game's own rules step
// (StepPlay) runs on a copy of the play state until every shot has stopped
// and every deflector rests, so the solver's moves are exactly the game's.
// No globals are touched: searches may run side by side.
//
// The state is the board's interior: blocks never move, a balloon is alive
// exactly while its cell holds a balloon, and a single deflector's
// orientation is its cell code. The two wedges of a pair never act apart,
// so which two orientations make it up does not matter. Deflector slots are
// interchangeable at rest, so they are handed out in scan order when a
// state is set up again.
//
// A shot caught in a closed loop of deflectors would fly for ever. It is
// followed until its position and heading repeat with no balloon popped in
// between; the move then counts as the board at that point, and is counted
// as a looping move so that a level can be checked for needing one.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/play.h"
#include "game/shots.h"

namespace solver {

constexpr int ENTRIES = 48;
constexpr int INNER = LAST_INNER - FIRST_INNER + 1;
constexpr int WORDS = 9;  // 144 cells of 4 bits

// Entries 0..11 fire right along rows 1..12 from the left column, 12..23
// left from the right column, 24..35 down columns 1..12 from the top row,
// 36..47 up from the bottom row.
inline int32_t EntryDirection(int entry) {
    static const int32_t dirs[4] = {DIR_RIGHT, DIR_LEFT, DIR_DOWN, DIR_UP};
    return dirs[entry / INNER];
}
inline int EntryLine(int entry) { return entry % INNER + FIRST_INNER; }
inline void EntryTank(int entry, int32_t* x, int32_t* y) {
    const int32_t at = CELL_SIZE * EntryLine(entry);
    switch (EntryDirection(entry)) {
    case DIR_RIGHT: *x = 0, *y = at; break;
    case DIR_LEFT: *x = FIELD_MAX, *y = at; break;
    case DIR_DOWN: *x = at, *y = 0; break;
    default: *x = at, *y = FIELD_MAX; break;
    }
}
// "right 5", "up 12": the way the shot flies and its row or column.
inline std::string EntryName(int entry) {
    static const char* names[4] = {"right", "left", "down", "up"};
    return std::string(names[entry / INNER]) + " " + std::to_string(EntryLine(entry));
}
// The entry a name stands for, or -1.
inline int EntryOfName(const std::string& name) {
    for (int e = 0; e < ENTRIES; ++e)
        if (EntryName(e) == name) return e;
    return -1;
}

struct State {
    uint64_t w[WORDS];
};

inline int Nibble(int32_t code) {
    switch (code) {
    case CELL_EMPTY: return 0;
    case CELL_BLOCK: return 1;
    case CELL_BALLOON: return 2;
    case CELL_DEFLECTOR_PAIR: return 3;
    case CELL_DEFLECTOR_0:
    case CELL_DEFLECTOR_1:
    case CELL_DEFLECTOR_2:
    case CELL_DEFLECTOR_3: return 4 + (code - CELL_DEFLECTOR_0);
    default: return 15;  // play never leaves anything else at rest
    }
}
inline int32_t CodeOfNibble(int n) {
    static const int32_t codes[8] = {CELL_EMPTY,       CELL_BLOCK,       CELL_BALLOON,     CELL_DEFLECTOR_PAIR,
                                     CELL_DEFLECTOR_0, CELL_DEFLECTOR_1, CELL_DEFLECTOR_2, CELL_DEFLECTOR_3};
    return n >= 0 && n < 8 ? codes[n] : CELL_NONE;
}

inline void CaptureState(const PlayState& p, State* s) {
    std::memset(s->w, 0, sizeof s->w);
    int i = 0;
    for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy, ++i)
            s->w[i / 16] |= static_cast<uint64_t>(Nibble(p.board[cx][cy])) << (4 * (i % 16));
}

inline int32_t CellOf(const State& s, int cx, int cy) {
    const int i = (cx - FIRST_INNER) * INNER + (cy - FIRST_INNER);
    return CodeOfNibble(static_cast<int>((s.w[i / 16] >> (4 * (i % 16))) & 15));
}

inline bool SameState(const State& a, const State& b) { return std::memcmp(a.w, b.w, sizeof a.w) == 0; }

inline uint64_t HashState(const State& s) {
    uint64_t h = 0x9E3779B97F4A7C15ull;
    for (uint64_t w : s.w) {
        h ^= w;
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    return h;
}

// The level as the game's level start builds it from the file bytes.
inline void SetUpLevel(PlayState* p, const uint8_t bytes[LEVEL_FILE_SIZE]) { SetUpPlay(*p, bytes); }

// Puts `p`, set up for the level, in the state `s`; false if the state does
// not fit the level (a fault in the caller or the rules).
inline bool RestoreState(const State& s, PlayState* p) {
    int j = 0;
    for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy) {
            const int32_t code = CellOf(s, cx, cy);
            p->board[cx][cy] = code;
            const int members = code == CELL_DEFLECTOR_PAIR ? 2 : (code >= CELL_DEFLECTOR_0 ? 1 : 0);
            for (int m = 0; m < members; ++m, ++j) {
                if (j >= p->deflectorCount) return false;
                Deflector& d = p->deflectors[j];
                d.x = CELL_SIZE * cx;
                d.y = CELL_SIZE * cy;
                d.xv = d.yv = 0;
                d.orientation = code == CELL_DEFLECTOR_PAIR ? 2 * m : code - CELL_DEFLECTOR_0;
            }
        }
    if (j != p->deflectorCount) return false;
    p->balloonsLeft = 0;
    for (int k = 0; k < p->balloonCount; ++k) {
        p->balloonAlive[k] = p->board[p->balloonX[k] / CELL_SIZE][p->balloonY[k] / CELL_SIZE] == CELL_BALLOON;
        p->balloonsLeft += p->balloonAlive[k];
    }
    p->won = 0;
    ClearPlayEffects(*p);
    return true;
}

// True when the state agrees with its board at rest: every deflector of
// the level rests on a corner of a cell that holds a deflector.
inline bool RestsConsistently(const PlayState& p) {
    for (int j = 0; j < p.deflectorCount; ++j) {
        const Deflector& d = p.deflectors[j];
        if (d.xv || d.yv || d.x % CELL_SIZE || d.y % CELL_SIZE) return false;
        const int32_t code = CellAt(p, d.x / CELL_SIZE, d.y / CELL_SIZE);
        if (code != CELL_DEFLECTOR_PAIR && code != CELL_DEFLECTOR_0 + d.orientation) return false;
    }
    return true;
}

// What became of a move.
enum Outcome { SETTLED, LOOPED };

// Where a flying shot has been since the last balloon popped: a stamp per
// position and heading, so that nothing needs clearing between moves.
struct LoopGuard {
    static constexpr int SPAN = 96;  // positions -16..744 in steps of 8
    uint32_t stamp[SPAN * SPAN * 4] = {};
    uint32_t generation = 0;
};

constexpr long MAX_FRAMES_PER_MOVE = 200000;

// Fires one shot from the entry and runs the rules until all rests.
inline Outcome PlayMove(PlayState* p, int entry, LoopGuard* guard) {
    for (uint8_t& active : p->shotActive) active = 0;
    int32_t x = 0, y = 0;
    EntryTank(entry, &x, &y);
    FireShot(*p, EntryDirection(entry), x, y);
    ++guard->generation;
    int32_t left = p->balloonsLeft;
    PlayReport report;
    for (long frame = 0; PlayInMotion(*p); ++frame) {
        StepPlay(*p, &report);
        if (p->balloonsLeft != left) {
            left = p->balloonsLeft;
            ++guard->generation;
        }
        for (int32_t i = 0; i < MAX_SHOTS; ++i) {
            if (!p->shotActive[i]) continue;
            const int gx = (p->shotX[i] + 16) / 8, gy = (p->shotY[i] + 16) / 8;
            if (gx < 0 || gx >= LoopGuard::SPAN || gy < 0 || gy >= LoopGuard::SPAN) continue;
            const int heading = p->shotXV[i] < 0 ? 0 : p->shotYV[i] < 0 ? 1 : p->shotXV[i] > 0 ? 2 : 3;
            uint32_t& seen = guard->stamp[(gx * LoopGuard::SPAN + gy) * 4 + heading];
            if (seen == guard->generation || frame > MAX_FRAMES_PER_MOVE) {
                for (uint8_t& active : p->shotActive) active = 0;
                return LOOPED;
            }
            seen = guard->generation;
        }
    }
    return SETTLED;
}

// Every state met, its parent and the shot that led to it, found by hash.
struct StateSet {
    std::vector<uint64_t> words;
    std::vector<uint32_t> parent;
    std::vector<uint8_t> entry;
    std::vector<uint16_t> depth;
    std::vector<uint32_t> table;  // index + 1, 0 for free
    uint32_t count = 0;

    State At(uint32_t i) const {
        State s;
        std::memcpy(s.w, &words[static_cast<size_t>(i) * WORDS], sizeof s.w);
        return s;
    }
    // The index of s, adding it if new (*added tells which).
    uint32_t Find(const State& s, bool* added) {
        if (static_cast<uint64_t>(count) * 2 >= table.size()) Grow();
        const size_t mask = table.size() - 1;
        for (size_t h = HashState(s) & mask;; h = (h + 1) & mask) {
            if (table[h] == 0) {
                table[h] = count + 1;
                words.insert(words.end(), s.w, s.w + WORDS);
                parent.push_back(0);
                entry.push_back(0);
                depth.push_back(0);
                *added = true;
                return count++;
            }
            const uint32_t i = table[h] - 1;
            if (std::memcmp(&words[static_cast<size_t>(i) * WORDS], s.w, sizeof s.w) == 0) {
                *added = false;
                return i;
            }
        }
    }
    void Grow() {
        std::vector<uint32_t> bigger(table.empty() ? 1024 : table.size() * 2, 0);
        const size_t mask = bigger.size() - 1;
        for (uint32_t i = 0; i < count; ++i) {
            size_t h = HashState(At(i)) & mask;
            while (bigger[h]) h = (h + 1) & mask;
            bigger[h] = i + 1;
        }
        table.swap(bigger);
    }
};

enum Status { SOLVED, UNSOLVABLE, BOUND_HIT, BROKEN };

struct Result {
    Status status = UNSOLVABLE;
    uint32_t states = 0;         // states met
    uint64_t moves = 0;          // shots simulated
    uint64_t loopingMoves = 0;   // shots that ended in a closed loop
    std::vector<int> solution;   // entries, first shot first
    bool solutionLoops = false;  // a shot of the solution loops
};

inline bool IsWon(const State& s) {
    for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy)
            if (CellOf(s, cx, cy) == CELL_BALLOON) return false;
    return true;
}

// The search itself. With `edges`, it explores everything reachable and
// records, per state, its distinct successors (edgeStart[i]..edgeStart[i+1]).
struct Search {
    StateSet set;
    LoopGuard guard;
    std::vector<uint32_t> edgeStart, edges;
    std::vector<uint8_t> won;
};

inline std::vector<int> PathTo(const StateSet& set, uint32_t i) {
    std::vector<int> path;
    while (i != 0) {
        path.insert(path.begin(), set.entry[i]);
        i = set.parent[i];
    }
    return path;
}

inline Result Explore(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates, bool everything, Search* search) {
    Result result;
    PlayState level;
    SetUpLevel(&level, bytes);
    State start;
    CaptureState(level, &start);
    bool added = false;
    search->set.Find(start, &added);
    search->won.push_back(IsWon(start));
    search->edgeStart.push_back(0);
    int64_t goal = search->won[0] ? 0 : -1;
    PlayState at = level, move = level;
    for (uint32_t i = 0; i < search->set.count; ++i) {
        if (!everything && goal >= 0) break;
        if (search->won[i]) {
            if (everything) search->edgeStart.push_back(static_cast<uint32_t>(search->edges.size()));
            continue;  // the level is over
        }
        at = level;
        if (!RestoreState(search->set.At(i), &at)) {
            result.status = BROKEN;
            return result;
        }
        const size_t firstEdge = search->edges.size();
        for (int e = 0; e < ENTRIES; ++e) {
            move = at;
            if (PlayMove(&move, e, &search->guard) == LOOPED) ++result.loopingMoves;
            ++result.moves;
            if (!RestsConsistently(move)) {
                result.status = BROKEN;
                return result;
            }
            State next;
            CaptureState(move, &next);
            const uint32_t before = search->set.count;
            const uint32_t j = search->set.Find(next, &added);
            if (added) {
                if (before >= maxStates) {
                    result.status = BOUND_HIT;
                    result.states = search->set.count;
                    return result;
                }
                search->set.parent[j] = i;
                search->set.entry[j] = static_cast<uint8_t>(e);
                search->set.depth[j] = static_cast<uint16_t>(search->set.depth[i] + 1);
                search->won.push_back(move.balloonsLeft == 0);
                if (move.balloonsLeft == 0 && goal < 0) {
                    goal = j;
                    if (!everything) break;
                }
            }
            if (everything && j != i) {
                bool known = false;
                for (size_t k = firstEdge; k < search->edges.size() && !known; ++k) known = search->edges[k] == j;
                if (!known) search->edges.push_back(j);
            }
        }
        if (everything) search->edgeStart.push_back(static_cast<uint32_t>(search->edges.size()));
    }
    result.states = search->set.count;
    if (goal >= 0) {
        result.status = SOLVED;
        result.solution = PathTo(search->set, static_cast<uint32_t>(goal));
    }
    return result;
}

// The least shots and one shortest solution.
inline Result Solve(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates) {
    Search search;
    Result r = Explore(bytes, maxStates, false, &search);
    if (r.status == SOLVED) {
        // Replay the solution to learn whether any of its shots loops.
        PlayState p;
        SetUpLevel(&p, bytes);
        LoopGuard guard;
        for (int e : r.solution)
            if (PlayMove(&p, e, &guard) == LOOPED) r.solutionLoops = true;
    }
    return r;
}

struct Stats {
    Result result;          // status, states, the shortest solution
    uint32_t winnable = 0;  // states from which the level can still be won
    uint32_t deadEnds = 0;  // reachable states from which it cannot
    uint32_t wonStates = 0;
    int firstShotsDead = 0;   // of the 48 first shots
    int secondShotsDead = 0;  // of the second shots after a first shot that still wins
    int secondShotsTried = 0;
    int maxDepth = 0;
};

inline Stats ComputeStats(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates) {
    Stats st;
    Search search;
    st.result = Explore(bytes, maxStates, true, &search);
    if (st.result.status == BOUND_HIT || st.result.status == BROKEN) return st;
    const StateSet& set = search.set;
    const uint32_t n = set.count;
    // Successors turned round, then everything that can reach a won state.
    std::vector<uint32_t> predStart(n + 1, 0), preds(search.edges.size());
    for (uint32_t j : search.edges) ++predStart[j + 1];
    for (uint32_t i = 0; i < n; ++i) predStart[i + 1] += predStart[i];
    std::vector<uint32_t> fill(predStart.begin(), predStart.end() - 1);
    for (uint32_t i = 0; i < n; ++i)
        for (uint32_t k = search.edgeStart[i]; k < search.edgeStart[i + 1]; ++k) preds[fill[search.edges[k]]++] = i;
    std::vector<uint8_t> alive(n, 0);
    std::vector<uint32_t> queue;
    for (uint32_t i = 0; i < n; ++i)
        if (search.won[i]) alive[i] = 1, queue.push_back(i), ++st.wonStates;
    for (size_t q = 0; q < queue.size(); ++q)
        for (uint32_t k = predStart[queue[q]]; k < predStart[queue[q] + 1]; ++k)
            if (!alive[preds[k]]) alive[preds[k]] = 1, queue.push_back(preds[k]);
    for (uint32_t i = 0; i < n; ++i) {
        st.winnable += alive[i];
        if (set.depth[i] > st.maxDepth) st.maxDepth = set.depth[i];
    }
    st.deadEnds = n - st.winnable;

    // Careless first and second shots: replay them from the start.
    auto lookup = [&](const PlayState& p, uint32_t* index) {
        State s;
        CaptureState(p, &s);
        bool added = false;
        *index = search.set.Find(s, &added);
        return !added;
    };
    PlayState root;
    SetUpLevel(&root, bytes);
    for (int e1 = 0; e1 < ENTRIES; ++e1) {
        PlayState first = root;
        PlayMove(&first, e1, &search.guard);
        uint32_t a = 0;
        if (!lookup(first, &a)) continue;
        if (!alive[a]) {
            ++st.firstShotsDead;
            continue;
        }
        if (search.won[a]) continue;
        for (int e2 = 0; e2 < ENTRIES; ++e2) {
            PlayState second = first;
            PlayMove(&second, e2, &search.guard);
            uint32_t b = 0;
            if (!lookup(second, &b)) continue;
            ++st.secondShotsTried;
            if (!alive[b]) ++st.secondShotsDead;
        }
    }
    return st;
}

// A script for tarno-demo that plays the solution from the level's start:
// the tank walks the border ring the short way to each entry, fires, and
// waits until everything rests.
inline std::string DemoScript(const std::vector<int>& solution, int level) {
    // The ring clockwise from the top-left corner.
    int ringX[52], ringY[52], n = 0;
    for (int c = 0; c < 13; ++c) ringX[n] = c, ringY[n++] = 0;
    for (int r = 0; r < 13; ++r) ringX[n] = 13, ringY[n++] = r;
    for (int c = 13; c > 0; --c) ringX[n] = c, ringY[n++] = 13;
    for (int r = 13; r > 0; --r) ringX[n] = 0, ringY[n++] = r;
    auto ringIndex = [&](int cx, int cy) {
        for (int i = 0; i < 52; ++i)
            if (ringX[i] == cx && ringY[i] == cy) return i;
        return 0;
    };
    std::string out = "# shortest solution, " + std::to_string(solution.size()) + " shots\n";
    if (level > 0) out += "level " + std::to_string(level) + "\n";
    int at = 0;  // the tank starts on the top-left corner
    for (int e : solution) {
        int32_t tx = 0, ty = 0;
        EntryTank(e, &tx, &ty);
        const int to = ringIndex(tx / CELL_SIZE, ty / CELL_SIZE);
        const int cw = (to - at + 52) % 52;
        const int step = cw <= 52 - cw ? 1 : -1;
        out += "# " + EntryName(e) + "\n";
        std::string held;
        int cells = 0;
        for (int i = at; i != to; i = (i + step + 52) % 52) {
            const int j = (i + step + 52) % 52;
            const int dx = ringX[j] - ringX[i], dy = ringY[j] - ringY[i];
            const char* key = dx > 0 ? "right" : dx < 0 ? "left" : dy > 0 ? "down" : "up";
            if (held != key) {
                if (cells) out += "keys " + held + "\nwait " + std::to_string(6 * cells) + "\n";
                held = key;
                cells = 0;
            }
            ++cells;
        }
        if (cells) out += "keys " + held + "\nwait " + std::to_string(6 * cells) + "\n";
        at = to;
        static const char* fireKey[5] = {"", "left", "up", "right", "down"};
        // One frame with the arrow across the side fires; letting go is the
        // key release the next shot needs, and 8 frames end the firing.
        out += std::string("keys ") + fireKey[EntryDirection(e)] + "\nwait 1\nkeys\nwait 8\nrest\n";
    }
    out += "dump\n";
    return out;
}

}  // namespace solver
