#include "solver/advice.h"

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "solver/cellsolver.h"

namespace {

// Boards a lost board can still reach are searched to the end, so the bound
// is the largest a shipped level reaches, with room to spare.
constexpr uint32_t MAX_STATES = 4000000;

std::mutex Lock;
std::condition_variable Wake, Done;
std::thread Worker;
bool WorkerRunning, Quit;
PlayState Question;
uint32_t QuestionBudget;
uint64_t Asked, Answered;  // question serials
Advice Answer;
std::atomic<bool> Cancel{false};

[[maybe_unused]] void Work() {
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

}  // namespace

Advice ComputeAdvice(const PlayState& board, uint32_t budgetMs) {
    Advice a{ADVICE_UNKNOWN, -1, -1};
    cellsolver::Search search;
    const auto deadline = cellsolver::Clock::now() + std::chrono::milliseconds(budgetMs);
    const solver::Result r = cellsolver::ExploreFrom(board, MAX_STATES, false, &search, deadline, &Cancel);
    if (r.status == solver::SOLVED) {
        a.lost = 0;
        a.shotsToWin = static_cast<int16_t>(r.solution.size());
        if (!r.solution.empty()) a.entry = static_cast<int8_t>(r.solution[0]);
    } else if (r.status == solver::UNSOLVABLE) {
        a.lost = 1;
    }
    return a;
}

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
// A page without threads has no worker, and a search on the frame would
// stall it: the answer stays unknown there.
void AskAdvice(const PlayState&, uint32_t) {
    Answer = Advice{ADVICE_UNKNOWN, -1, -1};
    Answered = ++Asked;
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

#endif

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
