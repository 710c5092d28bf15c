#include "solver/analyse.h"

#include <initializer_list>

#include "solver/cellsolver.h"

namespace solver {

namespace {

using cellsolver::Cells;
using cellsolver::Key;
using cellsolver::Search;

constexpr uint32_t FAR = 0xFFFFFFFFu;
constexpr uint32_t NONE = 0xFFFFFFFFu;

// Shots to a win from every board, by a search back from the won boards.
void ShotsToWin(const Search& s, const Grow<uint32_t>& predStart, const Grow<uint32_t>& preds, Grow<uint32_t>* toWin) {
    const uint32_t n = s.set.count;
    toWin->assign(n, FAR);
    Grow<uint32_t> queue;
    for (uint32_t i = 0; i < n; ++i)
        if (s.won[i]) (*toWin)[i] = 0, queue.push_back(i);
    for (size_t q = 0; q < queue.size(); ++q)
        for (uint32_t k = predStart[queue[q]]; k < predStart[queue[q] + 1]; ++k)
            if ((*toWin)[preds[k]] == FAR) (*toWin)[preds[k]] = (*toWin)[queue[q]] + 1, queue.push_back(preds[k]);
}

uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

bool HasCell(const Key& k, int cell) {
    for (uint16_t p : k.piece)
        if (p != cellsolver::NO_PIECE && (p >> 3) == cell) return true;
    return false;
}

bool HasPiece(const Key& k, uint16_t piece) {
    for (uint16_t p : k.piece)
        if (p == piece) return true;
    return false;
}

// The hash of what a shot from board a to board b does, read from the two
// keys: the balloons gone, the cell a piece left and the cell it came to.
uint64_t EffectHash(const Key& a, const Key& b) {
    const uint64_t popped = a.alive & ~b.alive;
    int from = -1, to = -1;
    for (uint16_t p : a.piece)
        if (p != cellsolver::NO_PIECE && !HasCell(b, p >> 3)) from = p >> 3;
    for (uint16_t p : b.piece)
        if (p != cellsolver::NO_PIECE && !HasPiece(a, p)) to = p >> 3;
    return Mix(popped | uint64_t(from + 1) << 16 | uint64_t(to + 1) << 32);
}

// The boards of the shortest solutions and the shots between them, in the
// search's order (by depth), with their own numbers.
struct Paths {
    Grow<uint32_t> board;        // the search's board of each
    Grow<uint32_t> start, next;  // successors on the paths: next[start[i] .. start[i + 1])
    Grow<uint32_t> of;           // a search board's number here, or NONE
};

void FindPaths(const Search& s, const Grow<uint32_t>& toWin, int par, Paths* p) {
    const uint32_t n = s.set.count;
    auto on = [&](uint32_t i) { return toWin[i] != FAR && s.set.depth[i] + toWin[i] == uint32_t(par); };
    p->of.assign(n, NONE);
    for (uint32_t i = 0; i < n; ++i)
        if (on(i)) p->of[i] = static_cast<uint32_t>(p->board.size()), p->board.push_back(i);
    for (uint32_t u : p->board) {
        p->start.push_back(static_cast<uint32_t>(p->next.size()));
        for (uint32_t k = s.edgeStart[u]; k < s.edgeStart[u + 1]; ++k) {
            const uint32_t v = s.edges[k];
            if (p->of[v] != NONE && s.set.depth[v] == s.set.depth[u] + 1) p->next.push_back(p->of[v]);
        }
    }
    p->start.push_back(static_cast<uint32_t>(p->next.size()));
}

// What one shot did, as the trace tells it: the cells it met and the
// kind of shot it was. A turn counts only when a pop or a push comes after
// it; a pop counts as straight when no turn came before it.
struct ShotWatch {
    const Cells* board = nullptr;
    uint64_t touched[cellsolver::CELLS / 64] = {};
    bool turnedYet = false;
    bool straight = false, turned = false, pushed = false, snapped = false;

    void Mark(int at) { touched[at / 64] |= uint64_t{1} << (at % 64); }
    // A balloon in the shot's cell always pops there.
    void Passed(int at) {
        Mark(at);
        if (board->c[at] != CELL_BALLOON) return;
        if (turnedYet) turned = true;
        else straight = true;
    }
    void Stopped(int at, int /*dir*/) { Mark(at); }
    void Turned(int at) {
        Mark(at);
        turnedYet = true;
    }
    void Spent(int from, int to, bool moves) {
        Mark(from);
        Mark(to);
        if (!moves) return;
        turned |= turnedYet;
        if (cellsolver::IsSingle(board->c[to])) snapped = true;
        else pushed = true;
    }
    bool Trick() const { return turned || pushed || snapped; }
};

// The fewest shots that turn, push or snap, and the fewest snaps, on any
// shortest solution: every shot from a board of the paths is traced, and
// a step between two boards is as plain as the plainest shot that makes it.
void FewestTricks(const Search& s, const Paths& p, int* tricks, int* snaps) {
    const size_t m = p.board.size();
    Grow<uint8_t> trick, snap;
    trick.assign(p.next.size(), 1);
    snap.assign(p.next.size(), 1);
    Cells cells, after;
    for (size_t i = 0; i < m; ++i) {
        if (p.start[i] == p.start[i + 1]) continue;
        const Key& k = s.set.keys[p.board[i]];
        cellsolver::MakeCells(s.level, k, &cells);
        for (int e = 0; e < ENTRIES; ++e) {
            after = cells;
            ShotWatch w;
            w.board = &after;
            const cellsolver::Change ch = cellsolver::TraceShotWatched(s.level, &after, e, &w);
            if (ch.popped == 0 && ch.from < 0) continue;
            const int64_t j = s.set.Lookup(cellsolver::NextKey(k, after, ch));
            if (j < 0) continue;
            for (uint32_t q = p.start[i]; q < p.start[i + 1]; ++q)
                if (p.board[p.next[q]] == static_cast<uint32_t>(j)) {
                    if (!w.Trick()) trick[q] = 0;
                    if (!w.snapped) snap[q] = 0;
                }
        }
    }
    Grow<int> leastTricks, leastSnaps;
    leastTricks.assign(m, 0);
    leastSnaps.assign(m, 0);
    for (size_t i = m; i-- > 0;) {
        if (p.start[i] == p.start[i + 1]) continue;
        int t = 1 << 20, n = 1 << 20;
        for (uint32_t q = p.start[i]; q < p.start[i + 1]; ++q) {
            const int viaT = trick[q] + leastTricks[p.next[q]], viaS = snap[q] + leastSnaps[p.next[q]];
            if (viaT < t) t = viaT;
            if (viaS < n) n = viaS;
        }
        leastTricks[i] = t;
        leastSnaps[i] = n;
    }
    *tricks = leastTricks[0];
    *snaps = leastSnaps[0];
}

// Forced steps: each path weighs alike, so a board weighs the paths into
// it times the paths out of it.
double ForcedShare(const Paths& p, int par) {
    const size_t m = p.board.size();
    Grow<double> into, out;
    into.assign(m, 0.0);
    out.assign(m, 0.0);
    into[0] = 1;
    for (size_t i = 0; i < m; ++i)
        for (uint32_t k = p.start[i]; k < p.start[i + 1]; ++k) into[p.next[k]] += into[i];
    for (size_t i = m; i-- > 0;) {
        if (p.start[i] == p.start[i + 1]) out[i] = 1;  // a won board: a path ends here
        for (uint32_t k = p.start[i]; k < p.start[i + 1]; ++k) out[i] += out[p.next[k]];
    }
    double forced = 0;
    for (size_t i = 0; i < m; ++i)
        if (p.start[i + 1] - p.start[i] == 1) forced += into[i] * out[i];
    return par > 0 && out[0] > 0 ? forced / (out[0] * par) : 0;
}

void SortUnique(Grow<uint64_t>* v) {
    // Shell sort: the lists are short, and the core keeps to its own lists.
    const size_t n = v->size();
    uint64_t* a = v->data();
    for (size_t gap = n / 2; gap > 0; gap = gap == 2 ? 1 : gap * 5 / 11)
        for (size_t i = gap; i < n; ++i) {
            const uint64_t t = a[i];
            size_t j = i;
            for (; j >= gap && a[j - gap] > t; j -= gap) a[j] = a[j - gap];
            a[j] = t;
        }
    size_t kept = 0;
    for (size_t i = 0; i < n; ++i)
        if (kept == 0 || a[kept - 1] != a[i]) a[kept++] = a[i];
    v->resize(kept);
}

// Each board carries the effect sets of the ways into it; a board with
// MANY_SOLUTIONS of them already proves as many solutions.
uint64_t EssentialSolutions(const Search& s, const Paths& p) {
    const size_t m = p.board.size();
    Grow<Grow<uint64_t> > sets;
    sets.resize(m);
    sets[0].push_back(0);
    Grow<uint64_t> ends;
    for (size_t i = 0; i < m; ++i) {
        Grow<uint64_t>& mine = sets[i];
        SortUnique(&mine);
        if (mine.size() >= MANY_SOLUTIONS) return MANY_SOLUTIONS;
        if (p.start[i] == p.start[i + 1]) {
            for (uint64_t h : mine) ends.push_back(h);
        } else {
            const Key from = s.set.keys[p.board[i]];
            for (uint32_t k = p.start[i]; k < p.start[i + 1]; ++k) {
                const uint64_t effect = EffectHash(from, s.set.keys[p.board[p.next[k]]]);
                Grow<uint64_t>& theirs = sets[p.next[k]];
                for (uint64_t h : mine) theirs.push_back(h + effect);
            }
        }
        mine.release();
    }
    SortUnique(&ends);
    return ends.size() < MANY_SOLUTIONS ? ends.size() : MANY_SOLUTIONS;
}

// The random player's chance from every board: each component of boards
// that lead round to each other is settled after every component it leads
// to (Tarjan's order), a lone board at once, a circle by Gauss-Seidel
// sweeps from 0, which rise to the chance.
double RandomWin(const Search& s) {
    const uint32_t n = s.set.count;
    Grow<double> chance;
    chance.assign(n, 0.0);
    auto settle = [&](uint32_t u) {
        if (s.won[u]) return 1.0;
        double sum = 0;
        uint32_t shots = 0;
        for (uint32_t k = s.edgeStart[u]; k < s.edgeStart[u + 1]; ++k) {
            sum += s.edgeShots[k] * chance[s.edges[k]];
            shots += s.edgeShots[k];
        }
        return shots ? sum / shots : 0.0;
    };
    // Tarjan's components without recursion: a frame is a board and the
    // next of its edges to look at.
    Grow<uint32_t> order, low, stack, members;
    Grow<uint8_t> onStack;
    order.assign(n, NONE);
    low.assign(n, 0);
    onStack.assign(n, 0);
    struct Frame {
        uint32_t board, edge;
    };
    Grow<Frame> frames;
    uint32_t counter = 0;
    for (uint32_t root = 0; root < n; ++root) {
        if (order[root] != NONE) continue;
        frames.push_back(Frame{root, s.edgeStart[root]});
        order[root] = low[root] = counter++;
        stack.push_back(root);
        onStack[root] = 1;
        while (!frames.empty()) {
            Frame& f = frames.back();
            const uint32_t u = f.board;
            if (f.edge < s.edgeStart[u + 1]) {
                const uint32_t v = s.edges[f.edge++];
                if (order[v] == NONE) {
                    order[v] = low[v] = counter++;
                    stack.push_back(v);
                    onStack[v] = 1;
                    frames.push_back(Frame{v, s.edgeStart[v]});
                } else if (onStack[v] && order[v] < low[u]) {
                    low[u] = order[v];
                }
                continue;
            }
            frames.pop_back();
            if (!frames.empty() && low[u] < low[frames.back().board]) low[frames.back().board] = low[u];
            if (low[u] != order[u]) continue;
            members.clear();
            uint32_t v;
            do {
                v = stack.back();
                stack.pop_back();
                onStack[v] = 0;
                members.push_back(v);
            } while (v != u);
            if (members.size() == 1) {
                chance[u] = settle(u);
                continue;
            }
            for (int sweep = 0; sweep < 10000; ++sweep) {
                double change = 0;
                for (uint32_t w : members) {
                    const double c = settle(w);
                    if (c - chance[w] > change) change = c - chance[w];
                    chance[w] = c;
                }
                if (change < 1e-15) break;
            }
        }
    }
    return chance[0];
}

struct ShotCells {
    uint64_t touched[cellsolver::CELLS / 64];
    uint64_t changed[cellsolver::CELLS / 64];
};

bool Meet(const uint64_t a[], const uint64_t b[]) {
    for (int w = 0; w < cellsolver::CELLS / 64; ++w)
        if (a[w] & b[w]) return true;
    return false;
}

uint32_t Root(Grow<uint32_t>* up, uint32_t i) {
    while ((*up)[i] != i) i = (*up)[i] = (*up)[(*up)[i]];
    return i;
}

// Replays the solution: the kinds of its shots and their groups.
void ReadSolution(const Search& s, const Grow<int>& solution, Analysis* a) {
    Cells cells;
    cellsolver::MakeCells(s.level, s.set.keys[0], &cells);
    Grow<ShotCells> shots;
    for (int e : solution) {
        ShotWatch w;
        w.board = &cells;
        const cellsolver::Change ch = cellsolver::TraceShotWatched(s.level, &cells, e, &w);
        ShotCells c = {};
        for (int b = 0; b < s.level.balloons; ++b)
            if (ch.popped >> b & 1)
                c.changed[s.level.balloonCell[b] / 64] |= uint64_t{1} << (s.level.balloonCell[b] % 64);
        for (int at : {int(ch.from), int(ch.to)})
            if (at >= 0) c.changed[at / 64] |= uint64_t{1} << (at % 64);
        for (int k = 0; k < cellsolver::CELLS / 64; ++k) c.touched[k] = w.touched[k] | c.changed[k];
        shots.push_back(c);
        a->straight += w.straight;
        a->turns += w.turned;
        a->pushes += w.pushed;
        a->snaps += w.snapped;
    }
    const uint32_t n = static_cast<uint32_t>(shots.size());
    Grow<uint32_t> up;
    for (uint32_t i = 0; i < n; ++i) up.push_back(i);
    for (uint32_t i = 0; i < n; ++i)
        for (uint32_t j = i + 1; j < n; ++j)
            if (Meet(shots[i].changed, shots[j].touched) || Meet(shots[j].changed, shots[i].touched))
                up[Root(&up, i)] = Root(&up, j);
    Grow<uint32_t> size;
    size.assign(n, 0);
    uint32_t largest = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t r = Root(&up, i);
        a->groups += size[r] == 0;
        if (++size[r] > largest) largest = size[r];
    }
    a->largestGroupShare = n ? static_cast<double>(largest) / n : 0;
}

}  // namespace

AnalyseStatus AnalyseLevel(const uint8_t bytes[LEVEL_FILE_SIZE], uint32_t maxStates, Analysis* out) {
    Search s;
    s.countShots = true;
    PlayState play;
    SetUpLevel(&play, bytes);
    const Result r = cellsolver::ExploreFrom(play, maxStates, true, &s);
    return AnalyseExplored(bytes, s, r, out);
}

AnalyseStatus AnalyseExplored(const uint8_t bytes[LEVEL_FILE_SIZE], const Search& s, const Result& r, Analysis* out) {
    Analysis& a = *out;
    a = Analysis{};
    a.symmetry = BoardSymmetry(bytes);
    if (r.status == BOUND_HIT) return ANALYSE_TOO_BIG;
    if (r.status == BROKEN) return ANALYSE_BROKEN;
    Stats st;
    cellsolver::ReckonStats(s, &st);
    a.states = s.set.count;
    a.deadEnds = st.deadEnds;
    a.deadShare = a.states ? static_cast<double>(a.deadEnds) / a.states : 0;
    a.carelessFirst = st.firstShotsDead;
    a.carelessSecond = st.secondShotsDead;
    a.secondTried = st.secondShotsTried;
    if (r.status != SOLVED) return ANALYSE_UNSOLVABLE;
    a.par = static_cast<int>(r.solution.size());
    a.randomWin = s.edgeShots.size() == s.edges.size() ? RandomWin(s) : -1;
    ReadSolution(s, r.solution, &a);
    Grow<uint32_t> predStart, preds, toWin;
    cellsolver::Predecessors(s, &predStart, &preds);
    ShotsToWin(s, predStart, preds, &toWin);
    predStart.release();
    preds.release();
    Paths p;
    FindPaths(s, toWin, a.par, &p);
    a.forcedShare = ForcedShare(p, a.par);
    FewestTricks(s, p, &a.fewestTricks, &a.fewestSnaps);
    a.essentialSolutions = EssentialSolutions(s, p);
    return ANALYSED;
}

}  // namespace solver
