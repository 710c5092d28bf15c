// What the search says about the board in play: can it still be won, and
// with which shot first. Asked after each shot comes to rest and answered on
// a worker thread, or in the page by slices of its frames' slack, so that a
// frame never waits for a search.
#pragma once
#include <cstdint>

#include "game/play.h"

constexpr int8_t ADVICE_UNKNOWN = -1;

struct Advice {
    int8_t lost;         // 1 lost, 0 winnable, ADVICE_UNKNOWN past the budget
    int8_t entry;        // the first shot of a shortest win (solver entry numbering), -1 for none
    int16_t shotsToWin;  // the length of that win, -1 when not known
};

// The worker starts on the first question and ends here.
void StopAdvice();
// Asks about a board at rest, within a time budget. A newer question
// replaces an older one, whose search is abandoned.
void AskAdvice(const PlayState& board, uint32_t budgetMs);
// True, with the answer, once the latest question has been answered.
bool TakeAdvice(Advice* out);
// Searches for up to sliceMs on the calling thread: the page, which has no
// worker, calls it after each frame. Elsewhere it does nothing.
void PumpAdvice(uint32_t sliceMs);
// Blocks until the latest question has been answered (the demo player and
// tests, which must see the same answer every run).
void WaitAdvice();
// The same search on the calling thread.
Advice ComputeAdvice(const PlayState& board, uint32_t budgetMs);
// The demo player counts a question's budget in boards searched
// (ADVICE_BOARDS_PER_MS for each millisecond) instead of time, so that its
// answers are the same on a slow machine as on a fast one. Only a player
// waiting at the screen needs the wall clock.
constexpr uint32_t ADVICE_BOARDS_PER_MS = 1000;
void CountAdviceBudgetInBoards(bool inBoards);
