#include "solver/cellsolver.h"

#include "game/entries.h"
#include "game/shots.h"
#include "game/wedges.h"
#include "platform/worker/worker.h"

namespace cellsolver {

namespace {

uint32_t Least(uint32_t a, uint32_t b) { return a < b ? a : b; }

template <class T, size_t N>
void FillWith(T (&items)[N], T v) {
    for (T& item : items) item = v;
}

}  // namespace

uint64_t HashKey(const Key& k) {
    uint64_t w[4];
    std::memcpy(w, &k, sizeof w);
    uint64_t h = 0x9E3779B97F4A7C15ull;
    for (uint64_t x : w) {
        h ^= x;
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    return h;
}

void MakeCells(const Level& lv, const Key& k, Cells* out) {
    *out = lv.base;
    for (int b = 0; b < lv.balloons; ++b)
        if (k.alive >> b & 1) out->c[lv.balloonCell[b]] = CELL_BALLOON;
    for (uint16_t p : k.piece) {
        if (p == NO_PIECE) break;
        out->c[KeyPieceCell(p)] = KeyPieceCode(p);
    }
}

Key MakeKey(const Level& lv, const Cells& cells) {
    Key k;
    FillWith(k.piece, NO_PIECE);
    k.alive = 0;
    int n = 0;
    for (int i = 0; i < CELLS; ++i) {
        const int code = cells.c[i];
        if (code == CELL_BALLOON && lv.balloonOf[i] >= 0) k.alive |= static_cast<uint16_t>(1u << lv.balloonOf[i]);
        if (InKey(code) && n < MAX_DEFLECTORS) k.piece[n++] = KeyPiece(i, code);
    }
    return k;
}

// The level from the game's play state at its level start, and the board
// it starts on, so that both searches start alike.
Level LevelFromPlay(const PlayState& p, Cells* start) {
    Level lv;
    FillWith(lv.balloonOf, int8_t(-1));
    FillWith(lv.base.c, CELL_OUT);
    *start = lv.base;
    for (int cx = 0; cx < SIDE; ++cx)
        for (int cy = 0; cy < SIDE; ++cy) {
            const int32_t code = p.board[cx][cy];
            start->c[Index(cx, cy)] = static_cast<uint8_t>(code);
            const bool moves = code == CELL_BALLOON || InKey(code);
            lv.base.c[Index(cx, cy)] = static_cast<uint8_t>(moves ? CELL_EMPTY : code);
        }
    for (int k = 0; k < p.balloonCount && k < MAX_BALLOONS; ++k) {
        lv.balloonCell[k] = Index(p.balloonX[k] / CELL_SIZE, p.balloonY[k] / CELL_SIZE);
        lv.balloonOf[lv.balloonCell[k]] = static_cast<int8_t>(k);
        lv.balloons = k + 1;
    }
    return lv;
}

// Puts a board at rest into a play state set up for its level; false if
// the board does not fit.
bool PutInPlay(const Cells& cells, PlayState* p) {
    for (int cx = 0; cx < SIDE; ++cx)
        for (int cy = 0; cy < SIDE; ++cy) p->board[cx][cy] = cells.c[Index(cx, cy)];
    return SettleOnBoard(*p);
}

Change TraceShot(const Level& lv, Cells* b, int entry) {
    NoWatch none;
    return TraceShotWatched(lv, b, entry, &none);
}

// The key after a shot, from the key before it and what the shot did.
Key NextKey(const Key& k, const Cells& after, const Change& ch) {
    Key n = k;
    n.alive = static_cast<uint16_t>(k.alive & ~ch.popped);
    if (ch.from < 0) return n;
    const uint16_t moved = KeyPiece(ch.to, after.c[ch.to]);
    // Take the mover out, then put it (or the pair it made) in order.
    int len = 0;
    for (int i = 0; i < MAX_DEFLECTORS && k.piece[i] != NO_PIECE; ++i)
        if (KeyPieceCell(k.piece[i]) != ch.from && KeyPieceCell(k.piece[i]) != ch.to) n.piece[len++] = k.piece[i];
    for (int i = len; i < MAX_DEFLECTORS; ++i) n.piece[i] = NO_PIECE;
    int at = len;
    while (at > 0 && n.piece[at - 1] > moved) {
        n.piece[at] = n.piece[at - 1];
        --at;
    }
    n.piece[at] = moved;
    return n;
}

namespace {

// A slot: the key's index + 1 in its low bits, the top of its hash above.
constexpr uint32_t INDEX_MASK = (1u << KeySet::INDEX_BITS) - 1;

uint32_t Tag(uint64_t h) { return static_cast<uint32_t>(h >> 32) & ~INDEX_MASK; }

void Place(Grow<uint32_t>* t, uint64_t h, uint32_t i) {
    const size_t mask = t->size() - 1;
    size_t at = h & mask;
    while ((*t)[at]) at = (at + 1) & mask;
    (*t)[at] = Tag(h) | (i + 1u);
}

}  // namespace

// A piece in eleven bits: its cell below 256, its kind below 8; 0x7FF for none.
constexpr uint64_t NARROW_NONE = 0x7FF;

NarrowKey Narrow(const Key& k) {
    uint64_t bits[2] = {k.alive, 0};
    for (int i = 0; i < NARROW_PIECES; ++i) {
        const uint64_t p = k.piece[i] == NO_PIECE ? NARROW_NONE : k.piece[i];
        const int at = i < 4 ? 16 + 11 * i : 11 * (i - 4);
        bits[i < 4 ? 0 : 1] |= p << at;
    }
    return NarrowKey{bits[0], bits[1]};
}

Key Widen(const NarrowKey& n) {
    Key k;
    FillWith(k.piece, NO_PIECE);
    k.alive = static_cast<uint16_t>(n.lo);
    for (int i = 0; i < NARROW_PIECES; ++i) {
        const uint64_t p = ((i < 4 ? n.lo : n.hi) >> (i < 4 ? 16 + 11 * i : 11 * (i - 4))) & NARROW_NONE;
        if (p != NARROW_NONE) k.piece[i] = static_cast<uint16_t>(p);
    }
    return k;
}

int64_t KeySet::Lookup(const Key& k) const {
    const uint64_t h = HashKey(k);
    const NarrowKey n = keys.narrow() ? Narrow(k) : NarrowKey{0, 0};
    const size_t mask = table.size() - 1;
    for (size_t at = h & mask;; at = (at + 1) & mask) {
        const uint32_t slot = table[at];
        if (slot == 0) return -1;
        if ((slot & ~INDEX_MASK) == Tag(h) && keys.Holds((slot & INDEX_MASK) - 1, k, n)) return (slot & INDEX_MASK) - 1;
    }
}

uint32_t KeySet::Add(const Key& k, uint32_t from, int e, uint16_t d) {
    // Three quarters full at most: the tags keep the probes cheap.
    if (static_cast<uint64_t>(count + 1) * 4 >= table.size() * 3) GrowTable();
    Place(&table, HashKey(k), count);
    keys.push_back(k);
    parent.push_back(from);
    entry.push_back(static_cast<uint8_t>(e));
    depth.push_back(d);
    return count++;
}

void KeySet::GrowTable() {
    Grow<uint32_t> bigger;
    bigger.resize(table.size() * 2);
    for (uint32_t i = 0; i < count; ++i) Place(&bigger, HashKey(keys[i]), i);
    table.swap(bigger);
}

Grow<int> PathTo(const KeySet& set, uint32_t i) {
    Grow<int> backwards, path;
    for (; i != 0; i = set.parent[i]) backwards.push_back(set.entry[i]);
    for (size_t k = backwards.size(); k-- > 0;) path.push_back(backwards[k]);
    return path;
}

// Expands boards [from, to) of the set into `o`, which it adds to.
void ExpandBoards(const Search& s, uint32_t from, uint32_t to, bool everything, BlockOut* o) {
    Cells cells, after;
    for (uint32_t i = from; i < to; ++i) {
        if (s.won[i]) continue;  // the level is over
        const Key& k = s.set.keys[i];
        MakeCells(s.level, k, &cells);
        for (int e = 0; e < ENTRIES; ++e) {
            after = cells;
            const Change ch = TraceShot(s.level, &after, e);
            // Most shots change nothing: no board to look up.
            const bool same = ch.popped == 0 && ch.from < 0;
            if (same && !ch.looped) continue;
            const Key n = NextKey(k, after, ch);
            const int64_t j = same ? i : s.set.Lookup(n);
            if (j >= 0 && !everything && !ch.looped) continue;
            Edge edge{i, static_cast<uint32_t>(j), static_cast<uint8_t>(e), ch.looped};
            if (j < 0) {
                edge.to = NEW_KEY | static_cast<uint32_t>(o->newKeys.size());
                o->newKeys.push_back(n);
            }
            o->edges.push_back(edge);
        }
    }
}

// Expands boards [begin, end) of the set on both cores. Only what the merge
// needs is kept: every shot with `everything`, else new boards and loops.
// Past the deadline the workers stop and false is returned.
namespace {

// What the workers of one depth share.
struct DepthWork {
    const Search* s;
    uint32_t begin, end, blocks;
    bool everything, timed;
    Grow<BlockOut>* out;
    Micros deadline;
    const std::atomic<bool>* cancel;
    std::atomic<uint32_t> nextBlock{0};
    std::atomic<bool> late{false};
};

void ExpandBlocks(void* arg) {
    DepthWork& w = *static_cast<DepthWork*>(arg);
    for (uint32_t blk; (blk = w.nextBlock.fetch_add(1)) < w.blocks;) {
        if (w.timed && (w.late || (w.cancel && *w.cancel) || SteadyMicros() > w.deadline)) {
            w.late = true;
            return;
        }
        BlockOut& o = (*w.out)[blk];
        o.edges.clear();
        o.newKeys.clear();
        ExpandBoards(*w.s, w.begin + blk * BLOCK, Least(w.end, w.begin + (blk + 1) * BLOCK), w.everything, &o);
    }
}

}  // namespace

bool ExpandDepth(const Search& s, uint32_t begin, uint32_t end, bool everything, Grow<BlockOut>* out, Micros deadline,
                 const std::atomic<bool>* cancel) {
    DepthWork w;
    w.s = &s;
    w.begin = begin;
    w.end = end;
    w.blocks = (end - begin + BLOCK - 1) / BLOCK;
    w.everything = everything;
    w.timed = deadline != NO_DEADLINE || cancel;
    w.out = out;
    w.deadline = deadline;
    w.cancel = cancel;
    out->resize(w.blocks);
    RunTogether(w.blocks > 1 ? WORKERS : 1, ExpandBlocks, &w);
    return !w.late;
}

// It starts from `play`, a board at rest: a level's start or any board met in play.
void StartExploration(Exploration* x, const PlayState& play, uint32_t maxStates, bool everything, Search* s) {
    *x = Exploration{};
    x->s = s;
    x->maxStates = maxStates;
    x->everything = everything;
    Cells start;
    s->level = LevelFromPlay(play, &start);
    const Key startKey = MakeKey(s->level, start);
    s->set.keys.SetNarrow(startKey.piece[NARROW_PIECES] == NO_PIECE);
    s->set.Add(startKey, 0, 0, 0);
    s->won.push_back(startKey.alive == 0);
    s->edgeStart.push_back(0);
    x->goal = s->won[0] ? 0 : -1;
    x->end = 0;  // the first depth starts at once
}

namespace {

void Finish(Exploration* x, solver::Status status, uint32_t states) {
    x->done = true;
    x->result.status = status;
    x->result.states = states;
    if (status == solver::SOLVED) x->result.solution = PathTo(x->s->set, static_cast<uint32_t>(x->goal));
}

// Boards of the depth up to `upTo` have had all their shots merged.
void FinishBoards(Exploration* x, uint32_t upTo) {
    Search* s = x->s;
    for (; x->board < upTo; ++x->board) {
        x->result.moves += s->won[x->board] ? 0 : ENTRIES;
        if (x->everything) {
            s->edgeStart.push_back(static_cast<uint32_t>(s->edges.size()));
            x->firstEdge = s->edges.size();
        }
    }
}

// Takes one block's shots into the set, in firing order; false once the search has ended.
bool MergeBlock(Exploration* x, const BlockOut& o) {
    Search* s = x->s;
    x->newIndex.assign(o.newKeys.size(), NEW_KEY);
    for (const Edge& edge : o.edges) {
        FinishBoards(x, edge.from);
        x->result.loopingMoves += edge.looped;
        uint32_t j = edge.to;
        if (j & NEW_KEY) {
            const uint32_t n = j & ~NEW_KEY;
            if (x->newIndex[n] == NEW_KEY) {
                const Key& key = o.newKeys[n];
                const int64_t known = s->set.Lookup(key);
                if (known >= 0) {
                    x->newIndex[n] = static_cast<uint32_t>(known);
                } else {
                    if (s->set.count >= x->maxStates || s->set.count >= KeySet::MAX_KEYS) {
                        Finish(x, solver::BOUND_HIT, s->set.count + 1);
                        return false;
                    }
                    x->newIndex[n] =
                        s->set.Add(key, edge.from, edge.entry, static_cast<uint16_t>(s->set.depth[edge.from] + 1));
                    s->won.push_back(key.alive == 0);
                    if (key.alive == 0 && x->goal < 0) {
                        x->goal = x->newIndex[n];
                        if (!x->everything) {
                            x->result.moves += edge.entry + 1u;
                            Finish(x, solver::SOLVED, s->set.count);
                            return false;
                        }
                    }
                }
            }
            j = x->newIndex[n];
        }
        if (x->everything && j != edge.from) {
            size_t k = x->firstEdge;
            while (k < s->edges.size() && s->edges[k] != j) ++k;
            if (k == s->edges.size()) {
                s->edges.push_back(j);
                if (s->countShots) s->edgeShots.push_back(1);
            } else if (s->countShots) {
                ++s->edgeShots[k];
            }
        }
    }
    return true;
}

}  // namespace

// Goes on with the search until it ends (true; the answer is in
// x->result) or `sliceEnd` passes (false; call again to go on). Without a
// slice end a depth is expanded on both cores at once. Past the deadline, or
// once `cancel` is set, it gives up as if the bound were hit.
bool ContinueExploration(Exploration* x, Micros sliceEnd, Micros deadline, const std::atomic<bool>* cancel) {
    Search* s = x->s;
    const bool sliced = sliceEnd != NO_DEADLINE;
    while (!x->done) {
        if (x->merged == x->out.size() && x->expanded == x->chunkEnd) {
            if (x->chunkEnd == x->end) {
                // The depth in hand is over: on to the next, if there is one.
                if (x->end > 0) {
                    FinishBoards(x, x->end);
                    x->begin = x->end;
                }
                if (x->begin >= s->set.count || (!x->everything && x->goal >= 0)) {
                    Finish(x, x->goal >= 0 ? solver::SOLVED : solver::UNSOLVABLE, s->set.count);
                    break;
                }
                x->end = s->set.count;
                x->chunk = x->board = x->begin;
                x->firstEdge = s->edges.size();
            } else {
                x->chunk = x->chunkEnd;
            }
            x->chunkEnd = Least(x->end, x->chunk + CHUNK_BOARDS);
            x->expanded = x->chunk;
            x->merged = 0;
            // Blocks keep their room from chunk to chunk; each is cleared as it is begun.
            x->out.resize((x->chunkEnd - x->chunk + BLOCK - 1) / BLOCK);
        }
        if (x->expanded < x->chunkEnd) {
            if (!sliced) {
                if (!ExpandDepth(*s, x->chunk, x->chunkEnd, x->everything, &x->out, deadline, cancel)) {
                    Finish(x, solver::BOUND_HIT, s->set.count);
                    break;
                }
                x->expanded = x->chunkEnd;
                continue;
            }
            const uint32_t blk = (x->expanded - x->chunk) / BLOCK;
            const uint32_t blockEnd = Least(x->chunkEnd, x->chunk + (blk + 1) * BLOCK);
            BlockOut& o = x->out[blk];
            if (x->expanded == x->chunk + blk * BLOCK) o.edges.clear(), o.newKeys.clear();
            ExpandBoards(*s, x->expanded, Least(blockEnd, x->expanded + SLICE_BOARDS), x->everything, &o);
            x->expanded = Least(blockEnd, x->expanded + SLICE_BOARDS);
        } else {
            if (!MergeBlock(x, x->out[x->merged])) break;
            ++x->merged;
            if (!sliced) continue;
        }
        const Micros now = SteadyMicros();
        if (now > deadline || (cancel && *cancel)) {
            Finish(x, solver::BOUND_HIT, s->set.count);
            break;
        }
        if (now >= sliceEnd) return false;
    }
    return true;
}

solver::Result ExploreFrom(const PlayState& play, uint32_t maxStates, bool everything, Search* s, Micros deadline,
                           const std::atomic<bool>* cancel) {
    Exploration x;
    StartExploration(&x, play, maxStates, everything, s);
    ContinueExploration(&x, NO_DEADLINE, deadline, cancel);
    return static_cast<solver::Result&&>(x.result);
}

solver::Result Explore(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates, bool everything, Search* s) {
    PlayState play;
    solver::SetUpLevel(&play, bytes);
    return ExploreFrom(play, maxStates, everything, s);
}

// Plays shots from the level's start; true if any of them loops.
bool PlayShots(const Search& s, const Grow<int>& shots, Cells* cells) {
    bool looped = false;
    for (int e : shots) looped |= TraceShot(s.level, cells, e).looped;
    return looped;
}

// The least shots and one shortest solution, as solver::Solve gives them.
solver::Result Solve(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates) {
    Search s;
    solver::Result r = Explore(bytes, maxStates, false, &s);
    if (r.status == solver::SOLVED) {
        Cells cells;
        MakeCells(s.level, s.set.keys[0], &cells);
        r.solutionLoops = PlayShots(s, r.solution, &cells);
    }
    return r;
}

// The search's successor lists turned round: the boards one shot leads to
// board j from are preds[predStart[j] .. predStart[j + 1]).
void Predecessors(const Search& s, Grow<uint32_t>* predStart, Grow<uint32_t>* preds) {
    const uint32_t n = static_cast<uint32_t>(s.edgeStart.size() - 1);  // the set may be gone
    predStart->assign(n + 1, 0);
    preds->assign(s.edges.size(), 0);
    for (size_t k = 0; k < s.edges.size(); ++k) ++(*predStart)[s.edges[k] + 1];
    for (uint32_t i = 0; i < n; ++i) (*predStart)[i + 1] += (*predStart)[i];
    Grow<uint32_t> fill;
    for (uint32_t i = 0; i < n; ++i) fill.push_back((*predStart)[i]);
    for (uint32_t i = 0; i < n; ++i)
        for (uint32_t k = s.edgeStart[i]; k < s.edgeStart[i + 1]; ++k) (*preds)[fill[s.edges[k]]++] = i;
}

solver::Stats ComputeStats(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates) {
    solver::Stats st;
    Search s;
    st.result = Explore(bytes, maxStates, true, &s);
    if (st.result.status == solver::BOUND_HIT || st.result.status == solver::BROKEN) return st;
    ReckonStats(s, &st);
    return st;
}

void ReckonStats(const Search& s, solver::Stats* out) {
    solver::Stats& st = *out;
    const uint32_t n = s.set.count;
    // Successors turned round, then everything that can reach a won board.
    Grow<uint32_t> predStart, preds;
    Predecessors(s, &predStart, &preds);
    Grow<uint8_t> alive;
    alive.resize(n);
    Grow<uint32_t> queue;
    for (uint32_t i = 0; i < n; ++i)
        if (s.won[i]) alive[i] = 1, queue.push_back(i), ++st.wonStates;
    for (size_t q = 0; q < queue.size(); ++q)
        for (uint32_t k = predStart[queue[q]]; k < predStart[queue[q] + 1]; ++k)
            if (!alive[preds[k]]) alive[preds[k]] = 1, queue.push_back(preds[k]);
    for (uint32_t i = 0; i < n; ++i) {
        st.winnable += alive[i];
        if (s.set.depth[i] > st.maxDepth) st.maxDepth = s.set.depth[i];
    }
    st.deadEnds = n - st.winnable;

    // Careless first and second shots from the start.
    Cells start, first, second;
    MakeCells(s.level, s.set.keys[0], &start);
    for (int e1 = 0; e1 < ENTRIES; ++e1) {
        first = start;
        const Key k1 = NextKey(s.set.keys[0], first, TraceShot(s.level, &first, e1));
        const int64_t a = s.set.Lookup(k1);
        if (a < 0) continue;
        if (!alive[a]) {
            ++st.firstShotsDead;
            continue;
        }
        if (s.won[a]) continue;
        for (int e2 = 0; e2 < ENTRIES; ++e2) {
            second = first;
            const int64_t b = s.set.Lookup(NextKey(k1, second, TraceShot(s.level, &second, e2)));
            if (b < 0) continue;
            ++st.secondShotsTried;
            if (!alive[b]) ++st.secondShotsDead;
        }
    }
}

}  // namespace cellsolver
