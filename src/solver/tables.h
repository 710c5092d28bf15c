// The shipped levels' win tables (solver/wintable.h), made once per level
// on a thread of their own, so that the answer after a shot is ready at
// once even on the levels where a search takes a third of a second.
#pragma once
#include <cstdint>

#include "game/board.h"
#include "solver/advice.h"

// Starts making the table of the level in play and then the next level's
// ("level<next>.dat"), so that a level is usually ready before it starts.
void PrepareWinTables(const uint8_t current[LEVEL_FILE_SIZE], int32_t next);
// The answer from a finished table of the level in play, if one holds the board.
bool TableAdvice(const PlayState& board, Advice* out);
void StopWinTables();
