#include "solver/tables.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files/files.h"
#include "platform/memory/memory.h"
#include "platform/platform.h"
#include "platform/worker/worker.h"
#include "solver/wintable.h"

namespace {

// As the worker's search: more than any shipped level reaches.
constexpr uint32_t MAX_STATES = 4000000;
constexpr uint64_t LOW = (1ull << WIN_BITS) - 1;

int Find(const WinTable& t, const cellsolver::Key& k) {
    const uint64_t h = cellsolver::HashKey(k) & ~LOW;
    // The first board not below h.
    size_t lo = 0, hi = t.boards.size();
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (t.boards[mid] < h) lo = mid + 1;
        else hi = mid;
    }
    if (lo == t.boards.size() || (t.boards[lo] & ~LOW) != h) return -1;
    return static_cast<int>(t.boards[lo] & LOW);
}

// Sorts in place: the C library's qsort would take a second table's room
// for a while, at the moment the search's room is largest.
void Sort(uint64_t* v, size_t n) {
    while (n > 16) {
        // The median of three as the pivot, then the smaller side first, so
        // that the stack stays shallow.
        const uint64_t a = v[0], b = v[n / 2], c = v[n - 1];
        const uint64_t pivot = a < b ? (b < c ? b : a < c ? c : a) : (a < c ? a : b < c ? c : b);
        size_t i = 0, j = n - 1;
        for (;;) {
            while (v[i] < pivot) ++i;
            while (v[j] > pivot) --j;
            if (i >= j) break;
            const uint64_t t = v[i];
            v[i++] = v[j];
            v[j--] = t;
        }
        const size_t left = j + 1;
        if (left < n - left) {
            Sort(v, left);
            v += left, n -= left;
        } else {
            Sort(v + left, n - left);
            n = left;
        }
    }
    for (size_t i = 1; i < n; ++i) {
        const uint64_t t = v[i];
        size_t k = i;
        for (; k > 0 && v[k - 1] > t; --k) v[k] = v[k - 1];
        v[k] = t;
    }
}

}  // namespace

bool MakeWinTable(const uint8_t bytes[LEVEL_FILE_SIZE], WinTable* t, const std::atomic<bool>* cancel) {
    std::memcpy(t->bytes, bytes, LEVEL_FILE_SIZE);
    PlayState play;
    solver::SetUpLevel(&play, bytes);
    cellsolver::Search s;
    const solver::Result r = cellsolver::ExploreFrom(play, MAX_STATES, true, &s, cellsolver::NO_DEADLINE, cancel);
    if (r.status == solver::BOUND_HIT || r.status == solver::BROKEN) return false;
    t->level = s.level;
    const uint32_t n = s.set.count;
    // The boards' hashes now, so that the boards themselves can go before
    // the graph is turned round: the two never need the room at once. What
    // the hashes do not need goes first.
    s.set.table.release();
    s.set.parent = cellsolver::Pages<uint32_t>{};
    s.set.entry = cellsolver::Pages<uint8_t>{};
    s.set.depth = cellsolver::Pages<uint16_t>{};
    t->boards.resize(n);
    for (uint32_t i = 0; i < n; ++i) t->boards[i] = cellsolver::HashKey(s.set.keys[i]) & ~LOW;
    s.set = cellsolver::KeySet{};
    // Freed is not yet given back: the graph's turning round would then
    // come on top of the boards' room.
    ReleaseFreeMemory();
    // Shots to a win: a breadth-first search back from every won board.
    Grow<uint32_t> predStart, preds;
    cellsolver::Predecessors(s, &predStart, &preds);
    s.edges = cellsolver::Pages<uint32_t>{};
    s.edgeStart = cellsolver::Pages<uint32_t>{};
    constexpr uint32_t FAR = 0xFFFFFFFFu;
    Grow<uint32_t> shots, queue;
    shots.assign(n, FAR);
    for (uint32_t i = 0; i < n; ++i)
        if (s.won[i]) shots[i] = 0, queue.push_back(i);
    for (size_t q = 0; q < queue.size(); ++q)
        for (uint32_t k = predStart[queue[q]]; k < predStart[queue[q] + 1]; ++k)
            if (shots[preds[k]] == FAR) shots[preds[k]] = shots[queue[q]] + 1, queue.push_back(preds[k]);
    for (uint32_t i = 0; i < n; ++i) {
        // A win too long for the bits is left to the search.
        t->boards[i] |= shots[i] == FAR ? WIN_LOST : shots[i] < WIN_LOST ? shots[i] : WIN_CLASH;
    }
    Sort(t->boards.data(), n);
    // Two boards with one hash cannot be told apart: both go to the search.
    for (uint32_t i = 1; i < n; ++i)
        if ((t->boards[i] & ~LOW) == (t->boards[i - 1] & ~LOW))
            t->boards[i] |= WIN_CLASH, t->boards[i - 1] |= WIN_CLASH;
    return true;
}

bool WinTableAdvice(const WinTable& t, const PlayState& board, Advice* out) {
    cellsolver::Cells now, check;
    cellsolver::LevelFromPlay(board, &now);
    const cellsolver::Key k = cellsolver::MakeKey(t.level, now);
    // A board the key does not describe whole is not one of this level's.
    cellsolver::MakeCells(t.level, k, &check);
    if (std::memcmp(now.c, check.c, sizeof now.c) != 0) return false;
    const int code = Find(t, k);
    if (code < 0 || code == static_cast<int>(WIN_CLASH)) return false;
    if (code == static_cast<int>(WIN_LOST)) {
        *out = Advice{1, -1, -1};
        return true;
    }
    if (code == 0) {
        *out = Advice{0, -1, 0};
        return true;
    }
    // The search's shortest win is the first in entry order, so its first
    // shot is the lowest entry that leaves one shot fewer to go.
    for (int e = 0; e < solver::ENTRIES; ++e) {
        cellsolver::Cells after = now;
        const cellsolver::Change ch = cellsolver::TraceShot(t.level, &after, e);
        if (ch.popped == 0 && ch.from < 0) continue;
        if (Find(t, cellsolver::NextKey(k, after, ch)) == code - 1) {
            *out = Advice{0, static_cast<int8_t>(e), static_cast<int16_t>(code)};
            return true;
        }
    }
    return false;
}

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
// A page without threads cannot make a table off the frame.
void PrepareWinTables(const uint8_t*, int32_t) {}
bool TableAdvice(const PlayState&, Advice*) { return false; }
void StopWinTables() {}
#else
namespace {

struct Bytes {
    uint8_t b[LEVEL_FILE_SIZE];
};

// Guards everything below; its condition wakes the maker.
Monitor* Lock() {
    static Monitor* m = CreateMonitor();
    return m;
}
constexpr size_t KEPT = LAST_LEVEL;
// The tables' maker and what it shares with the game, one value.
struct TableWork {
    WorkerThread* Maker;
    bool MakerRunning, Quit;
    std::atomic<bool> Cancel{false};
    bool HaveCurrent, HaveNext, Making;
    Bytes Current, Next, Made;  // Made: the level being made
    int32_t NextRead;           // the level number Next was read for
    // Newest last; a few levels are kept, so that going back and forth is free.
    // A table is read only under the lock, so the maker may drop the oldest.
    WinTable* Tables[KEPT];
    size_t TableCount;
    Grow<Bytes> Failed;  // too big or broken: not tried again
    bool StopsAtExit;    // StopWinTables is registered to run at exit
};
TableWork Tabling;

bool Same(const Bytes& a, const uint8_t* b) { return std::memcmp(a.b, b, LEVEL_FILE_SIZE) == 0; }

bool Settled(const Bytes& b) {
    for (size_t i = 0; i < Tabling.TableCount; ++i)
        if (Same(b, Tabling.Tables[i]->bytes)) return true;
    for (const Bytes& f : Tabling.Failed)
        if (Same(b, f.b)) return true;
    return false;
}

// The level in play first, then the next one.
bool Pick(Bytes* want) {
    if (Tabling.HaveCurrent && !Settled(Tabling.Current)) return *want = Tabling.Current, true;
    if (Tabling.HaveNext && !Settled(Tabling.Next)) return *want = Tabling.Next, true;
    return false;
}

void Work(void*) {
    Enter(Lock());
    for (;;) {
        Bytes want;
        while (!Tabling.Quit && !Pick(&want)) Wait(Lock());
        if (Tabling.Quit) break;
        Tabling.Made = want;
        Tabling.Making = true;
        Tabling.Cancel = false;
        Leave(Lock());
        WinTable* table = new WinTable;
        const bool ok = MakeWinTable(want.b, table, &Tabling.Cancel);
        if (!ok) {
            delete table;
            table = nullptr;
        }
        // The search behind the table is gone: its room goes back.
        ReleaseFreeMemory();
        Enter(Lock());
        Tabling.Making = false;
        if (ok) {
            if (Tabling.TableCount == KEPT) {
                delete Tabling.Tables[0];
                std::memmove(Tabling.Tables, Tabling.Tables + 1, (KEPT - 1) * sizeof Tabling.Tables[0]);
                --Tabling.TableCount;
            }
            Tabling.Tables[Tabling.TableCount++] = table;
        } else if (!Tabling.Cancel) {
            Tabling.Failed.push_back(want);
        }
    }
    Leave(Lock());
}

// The shipped file as it lies, or false.
bool ReadLevel(int32_t level, Bytes* out) {
    char name[32];
    LevelFileName(level, name, sizeof name);
    FileBytes bytes;
    if (ReadFileByName(name, sizeof out->b, &bytes, READ_START).error || bytes.size != sizeof out->b) return false;
    std::memcpy(out->b, bytes.data, bytes.size);
    return true;
}

}  // namespace

void PrepareWinTables(const uint8_t current[LEVEL_FILE_SIZE], int32_t next) {
    Bytes nextBytes{};
    bool haveNext = false;
    if (next != Tabling.NextRead) haveNext = next > 0 && ReadLevel(next, &nextBytes);
    Hold hold(Lock());
    if (next != Tabling.NextRead) Tabling.NextRead = next, Tabling.HaveNext = haveNext, Tabling.Next = nextBytes;
    std::memcpy(Tabling.Current.b, current, LEVEL_FILE_SIZE);
    Tabling.HaveCurrent = true;
    // The level in play goes before one made in advance.
    if (Tabling.Making && !Same(Tabling.Made, current) && !Settled(Tabling.Current)) Tabling.Cancel = true;
    if (!Tabling.MakerRunning) {
        Tabling.Maker = StartThread(Work, nullptr);
        Tabling.MakerRunning = Tabling.Maker != nullptr;  // without a thread the search answers alone
        if (!Tabling.StopsAtExit) Tabling.StopsAtExit = std::atexit(StopWinTables) == 0;
    }
    NotifyAll(Lock());
}

bool TableAdvice(const PlayState& board, Advice* out) {
    // A lookup is quick: the maker waits for it at most a moment.
    Hold hold(Lock());
    if (!Tabling.HaveCurrent) return false;
    const WinTable* table = nullptr;
    for (size_t i = 0; i < Tabling.TableCount; ++i)
        if (Same(Tabling.Current, Tabling.Tables[i]->bytes)) table = Tabling.Tables[i];
    return table && WinTableAdvice(*table, board, out);
}

void StopWinTables() {
    {
        Hold hold(Lock());
        if (!Tabling.MakerRunning) return;
        Tabling.Quit = true;
        Tabling.Cancel = true;
        NotifyAll(Lock());
    }
    JoinThread(Tabling.Maker);
    Tabling.Maker = nullptr;
    Hold hold(Lock());
    Tabling.MakerRunning = false;
    Tabling.Quit = false;
}
#endif
