#include "solver/advice.h"

#include <cstdlib>

#include "platform/memory/memory.h"
#include "platform/platform.h"
#include "platform/worker/worker.h"
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

// The thread that answers.
struct AdviceWorker {
    WorkerThread* Thread;
    bool Running, Quit;
    bool StopsAtExit;  // StopAdvice is registered to run at exit
};

// What the game asks and the solver answers, and who answers: one value.
struct Exchange {
    PlayState Question;
    uint32_t QuestionBudget;
    uint64_t Asked, Answered;  // question serials
    Advice Answer;
    std::atomic<bool> Cancel{false};
    std::atomic<bool> BudgetInBoards{false};
    AdviceWorker Worker;
};
Exchange Ask;

#ifndef TARNO_ADVICE_SLICED
// Guards the question, the answer and the flags below; its condition
// wakes the worker for a question and the waiters for an answer.
Monitor* Lock() {
    static Monitor* m = CreateMonitor();
    return m;
}

void Work(void*) {
    Enter(Lock());
    for (;;) {
        while (!Ask.Worker.Quit && Ask.Answered == Ask.Asked) Wait(Lock());
        if (Ask.Worker.Quit) break;
        const uint64_t serial = Ask.Asked;
        const PlayState board = Ask.Question;
        const uint32_t budget = Ask.QuestionBudget;
        Ask.Cancel = false;
        Leave(Lock());
        const Advice a = ComputeAdvice(board, budget);
        Enter(Lock());
        // A newer question has come meanwhile: its turn now.
        if (serial != Ask.Asked) continue;
        Ask.Answer = a;
        Ask.Answered = serial;
        NotifyAll(Lock());
    }
    Leave(Lock());
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

void CountAdviceBudgetInBoards(bool inBoards) { Ask.BudgetInBoards = inBoards; }

namespace {

Advice SearchAdvice(const PlayState& board, uint32_t budgetMs) {
    cellsolver::Search search;
    if (Ask.BudgetInBoards) {
        const uint64_t boards = static_cast<uint64_t>(budgetMs) * ADVICE_BOARDS_PER_MS;
        const uint32_t bound = boards < MAX_STATES ? static_cast<uint32_t>(boards) : MAX_STATES;
        return FromResult(cellsolver::ExploreFrom(board, bound, false, &search, cellsolver::NO_DEADLINE, &Ask.Cancel));
    }
    const cellsolver::Micros deadline = SteadyMicros() + static_cast<uint64_t>(budgetMs) * 1000;
    return FromResult(cellsolver::ExploreFrom(board, MAX_STATES, false, &search, deadline, &Ask.Cancel));
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
    Ask.Question = board;
    ClearPlayEffects(Ask.Question);
    Ask.QuestionBudget = budgetMs;
    ++Ask.Asked;
    // The old search's boards are let go before the new one starts.
    Searching = cellsolver::Exploration{};
    Searched = cellsolver::Search{};
    cellsolver::StartExploration(&Searching, Ask.Question, MAX_STATES, false, &Searched);
    SpentMs = 0;
}

void PumpAdvice(uint32_t sliceMs) {
    if (Ask.Answered == Ask.Asked || sliceMs == 0) return;
    const uint64_t start = SteadyMicros();
    const double left = Ask.QuestionBudget - SpentMs;
    const double sliceLength = sliceMs < left ? sliceMs : left;
    const cellsolver::Micros sliceEnd = start + static_cast<uint64_t>(sliceLength > 0 ? sliceLength * 1000 : 0);
    const bool done = cellsolver::ContinueExploration(&Searching, sliceEnd);
    SpentMs += (SteadyMicros() - start) / 1000.0;
    if (!done && SpentMs < Ask.QuestionBudget) return;
    Ask.Answer = done ? FromResult(Searching.result) : Advice{ADVICE_UNKNOWN, -1, -1};
    Ask.Answered = Ask.Asked;
    Searching = cellsolver::Exploration{};
    Searched = cellsolver::Search{};
}

bool TakeAdvice(Advice* out) {
    if (Ask.Answered != Ask.Asked) return false;
    *out = Ask.Answer;
    return true;
}

void WaitAdvice() {
    // One slice past the budget: it ends the search either way.
    while (Ask.Answered != Ask.Asked) PumpAdvice(Ask.QuestionBudget + 1);
}

void StopAdvice() {
    Searching = cellsolver::Exploration{};
    Searched = cellsolver::Search{};
    Ask.Answered = Ask.Asked;
}

#else
void AskAdvice(const PlayState& board, uint32_t budgetMs) {
    Hold hold(Lock());
    if (!Ask.Worker.Running) {
        Ask.Worker.Thread = StartThread(Work, nullptr);
        Ask.Worker.Running = Ask.Worker.Thread != nullptr;
        // A program that exits without StopAdvice (a tool's error exit) must
        // not meet a running worker in the thread's destructor.
        if (!Ask.Worker.StopsAtExit) Ask.Worker.StopsAtExit = std::atexit(StopAdvice) == 0;
    }
    Ask.Question = board;
    ClearPlayEffects(Ask.Question);
    Ask.QuestionBudget = budgetMs;
    ++Ask.Asked;
    if (!Ask.Worker.Running) {
        // No thread to be had: the answer comes at once, late rather than never.
        Ask.Answer = ComputeAdvice(Ask.Question, budgetMs);
        Ask.Answered = Ask.Asked;
        return;
    }
    Ask.Cancel = true;
    NotifyAll(Lock());
}

// The worker needs no help from the frames.
void PumpAdvice(uint32_t) {}

bool TakeAdvice(Advice* out) {
    Hold hold(Lock());
    if (Ask.Answered != Ask.Asked) return false;
    *out = Ask.Answer;
    return true;
}

void WaitAdvice() {
    Hold hold(Lock());
    while (Ask.Answered != Ask.Asked) Wait(Lock());
}

void StopAdvice() {
    {
        Hold hold(Lock());
        if (!Ask.Worker.Running) return;
        Ask.Worker.Quit = true;
        Ask.Cancel = true;
        NotifyAll(Lock());
    }
    JoinThread(Ask.Worker.Thread);
    Ask.Worker.Thread = nullptr;
    Hold hold(Lock());
    Ask.Worker.Running = false;
    Ask.Worker.Quit = false;
    Ask.Answered = Ask.Asked;
}

#endif
