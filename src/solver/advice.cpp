#include "solver/advice.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/memory/memory.h"
#include "platform/platform.h"
#include "solver/cellsolver.h"

namespace {

// Boards a lost board can still reach are searched to the end, so the bound
// must hold the most a shipped level reaches (level 12: some 950,000), or a
// lost board there would be "unknown". It also bounds the search's memory
// to cellsolver::SEARCH_MEMORY_BOUND, whatever board the player makes; past
// it the answer is "unknown", as past the time budget.
constexpr uint32_t MAX_STATES = cellsolver::SEARCH_MEMORY_BOUND / cellsolver::SEARCH_BYTES_PER_BOARD;

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define TARNO_ADVICE_SLICED 1
#endif

PlayState Question;
uint32_t QuestionBudget;
uint64_t Asked, Answered;  // question serials
Advice Answer;
std::atomic<bool> Cancel{false};
std::atomic<bool> BudgetInBoards{false};

#ifndef TARNO_ADVICE_SLICED
std::mutex Lock;
std::condition_variable Wake, Done;
std::thread Worker;
bool WorkerRunning, Quit;

void Work() {
    std::unique_lock<std::mutex> hold(Lock);
    for (;;) {
        Wake.wait(hold, [] { return Quit || Answered != Asked; });
        if (Quit) return;
        const uint64_t serial = Asked;
        const PlayState board = Question;
        const uint32_t budget = QuestionBudget;
        Cancel = false;
        hold.unlock();
        const Advice a = ComputeAdvice(board, budget);
        hold.lock();
        // A newer question has come meanwhile: its turn now.
        if (serial != Asked) continue;
        Answer = a;
        Answered = serial;
        Done.notify_all();
    }
}
#endif

Advice FromResult(const solver::Result& r) {
    Advice a{ADVICE_UNKNOWN, -1, -1};
    if (r.status == solver::SOLVED) {
        a.lost = 0;
        a.shotsToWin = static_cast<int16_t>(r.solution.size());
        if (!r.solution.empty()) a.entry = static_cast<int8_t>(r.solution[0]);
    } else if (r.status == solver::UNSOLVABLE) {
        a.lost = 1;
    }
    return a;
}

}  // namespace

void CountAdviceBudgetInBoards(bool inBoards) { BudgetInBoards = inBoards; }

namespace {

Advice SearchAdvice(const PlayState& board, uint32_t budgetMs) {
    cellsolver::Search search;
    if (BudgetInBoards) {
        const uint64_t boards = static_cast<uint64_t>(budgetMs) * ADVICE_BOARDS_PER_MS;
        const uint32_t bound = boards < MAX_STATES ? static_cast<uint32_t>(boards) : MAX_STATES;
        return FromResult(cellsolver::ExploreFrom(board, bound, false, &search, cellsolver::NO_DEADLINE, &Cancel));
    }
    const auto deadline = cellsolver::Clock::now() + std::chrono::milliseconds(budgetMs);
    return FromResult(cellsolver::ExploreFrom(board, MAX_STATES, false, &search, deadline, &Cancel));
}

}  // namespace

Advice ComputeAdvice(const PlayState& board, uint32_t budgetMs) {
    Advice a = SearchAdvice(board, budgetMs);
    // A large search's room goes back once it is over.
    ReleaseFreeMemory();
    return a;
}

#ifdef TARNO_ADVICE_SLICED
// A page without threads searches in slices of its frames' slack
// (PumpAdvice). The budget counts the time spent searching, not the time
// since the question, so a busy or hidden page still gets its answer.
namespace {
cellsolver::Search Searched;
cellsolver::Exploration Searching;
double SpentMs;
}  // namespace

void AskAdvice(const PlayState& board, uint32_t budgetMs) {
    Question = board;
    ClearPlayEffects(Question);
    QuestionBudget = budgetMs;
    ++Asked;
    // The old search's boards are let go before the new one starts.
    Searching = cellsolver::Exploration{};
    Searched = cellsolver::Search{};
    cellsolver::StartExploration(&Searching, Question, MAX_STATES, false, &Searched);
    SpentMs = 0;
}

void PumpAdvice(uint32_t sliceMs) {
    if (Answered == Asked || sliceMs == 0) return;
    const auto start = cellsolver::Clock::now();
    const double left = QuestionBudget - SpentMs;
    const auto sliceEnd =
        start + std::chrono::microseconds(static_cast<int64_t>(std::min<double>(sliceMs, left) * 1000));
    const bool done = cellsolver::ContinueExploration(&Searching, sliceEnd);
    SpentMs += std::chrono::duration<double, std::milli>(cellsolver::Clock::now() - start).count();
    if (!done && SpentMs < QuestionBudget) return;
    Answer = done ? FromResult(Searching.result) : Advice{ADVICE_UNKNOWN, -1, -1};
    Answered = Asked;
    Searching = cellsolver::Exploration{};
    Searched = cellsolver::Search{};
}

bool TakeAdvice(Advice* out) {
    if (Answered != Asked) return false;
    *out = Answer;
    return true;
}

void WaitAdvice() {
    // One slice past the budget: it ends the search either way.
    while (Answered != Asked) PumpAdvice(QuestionBudget + 1);
}

void StopAdvice() {
    Searching = cellsolver::Exploration{};
    Searched = cellsolver::Search{};
    Answered = Asked;
}

#else
void AskAdvice(const PlayState& board, uint32_t budgetMs) {
    std::lock_guard<std::mutex> hold(Lock);
    if (!WorkerRunning) {
        Worker = std::thread(Work);
        WorkerRunning = true;
        // A program that exits without StopAdvice (a tool's error exit) must
        // not meet a running worker in the thread's destructor.
        static bool stopAtExit = std::atexit(StopAdvice) == 0;
        (void)stopAtExit;
    }
    Question = board;
    ClearPlayEffects(Question);
    QuestionBudget = budgetMs;
    ++Asked;
    Cancel = true;
    Wake.notify_all();
}

// The worker needs no help from the frames.
void PumpAdvice(uint32_t) {}

bool TakeAdvice(Advice* out) {
    std::lock_guard<std::mutex> hold(Lock);
    if (Answered != Asked) return false;
    *out = Answer;
    return true;
}

void WaitAdvice() {
    std::unique_lock<std::mutex> hold(Lock);
    Done.wait(hold, [] { return Answered == Asked; });
}

void StopAdvice() {
    {
        std::lock_guard<std::mutex> hold(Lock);
        if (!WorkerRunning) return;
        Quit = true;
        Cancel = true;
        Wake.notify_all();
    }
    Worker.join();
    std::lock_guard<std::mutex> hold(Lock);
    WorkerRunning = false;
    Quit = false;
    Answered = Asked;
}

#endif
