#include "framesearch.h"

#include <cstring>

#include "game/shots.h"

namespace solver {

namespace {

int Nibble(int32_t code) {
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
int32_t CodeOfNibble(int n) {
    static const int32_t codes[8] = {CELL_EMPTY,       CELL_BLOCK,       CELL_BALLOON,     CELL_DEFLECTOR_PAIR,
                                     CELL_DEFLECTOR_0, CELL_DEFLECTOR_1, CELL_DEFLECTOR_2, CELL_DEFLECTOR_3};
    return n >= 0 && n < 8 ? codes[n] : CELL_NONE;
}

void CaptureState(const PlayState& p, State* s) {
    std::memset(s->w, 0, sizeof s->w);
    int i = 0;
    for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy, ++i)
            s->w[i / 16] |= static_cast<uint64_t>(Nibble(p.board[cx][cy])) << (4 * (i % 16));
}

int32_t CellOf(const State& s, int cx, int cy) {
    const int i = (cx - FIRST_INNER) * INNER + (cy - FIRST_INNER);
    return CodeOfNibble(static_cast<int>((s.w[i / 16] >> (4 * (i % 16))) & 15));
}

uint64_t HashState(const State& s) {
    uint64_t h = 0x9E3779B97F4A7C15ull;
    for (uint64_t w : s.w) {
        h ^= w;
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    return h;
}

// Puts `p`, set up for the level, in the state `s`; false if the state does
// not fit the level (a fault in the caller or the rules).
bool RestoreState(const State& s, PlayState* p) {
    for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy) p->board[cx][cy] = CellOf(s, cx, cy);
    return SettleOnBoard(*p);
}

}  // namespace

// True when the state agrees with its board at rest: every deflector of
// the level rests on a corner of a cell that holds a deflector.
bool RestsConsistently(const PlayState& p) {
    for (int j = 0; j < p.deflectorCount; ++j) {
        const Deflector& d = p.deflectors[j];
        if (d.xv || d.yv || d.x % CELL_SIZE || d.y % CELL_SIZE) return false;
        const int32_t code = CellAt(p, d.x / CELL_SIZE, d.y / CELL_SIZE);
        if (code != CELL_DEFLECTOR_PAIR && code != CELL_DEFLECTOR_0 + d.orientation) return false;
    }
    return true;
}

// Fires one shot from the entry and runs the rules until all rests.
Outcome PlayMove(PlayState* p, int entry, LoopGuard* guard) {
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

namespace {

bool IsWon(const State& s) {
    for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
        for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy)
            if (CellOf(s, cx, cy) == CELL_BALLOON) return false;
    return true;
}

std::vector<int> PathTo(const StateSet& set, uint32_t i) {
    std::vector<int> path;
    while (i != 0) {
        path.insert(path.begin(), set.entry[i]);
        i = set.parent[i];
    }
    return path;
}

}  // namespace

Result Explore(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates, bool everything, Search* search) {
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
        for (int e : PathTo(search->set, static_cast<uint32_t>(goal))) result.solution.push_back(e);
    }
    return result;
}

// The least shots and one shortest solution.
Result Solve(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates) {
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

Stats ComputeStats(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates) {
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

State StateSet::At(uint32_t i) const {
    State s;
    std::memcpy(s.w, &words[static_cast<size_t>(i) * WORDS], sizeof s.w);
    return s;
}
uint32_t StateSet::Find(const State& s, bool* added) {
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
void StateSet::Grow() {
    std::vector<uint32_t> bigger(table.empty() ? 1024 : table.size() * 2, 0);
    const size_t mask = bigger.size() - 1;
    for (uint32_t i = 0; i < count; ++i) {
        size_t h = HashState(At(i)) & mask;
        while (bigger[h]) h = (h + 1) & mask;
        bigger[h] = i + 1;
    }
    table.swap(bigger);
}

}  // namespace solver
