// The level code: a board as a short printable text that a player can
// paste anywhere, URL-safe. "1" (the version), then the 144 interior cells,
// row by row from the top, as a bit string in 6-bit characters of
// A-Z a-z 0-9 - _, then one check character.
//   empty 0, block 10, balloon 110, deflector 111 and its orientation in 2 bits
// so a board of a dozen pieces takes about 30 characters and the fullest
// board play can hold 60. The check is the sum of every character before it
// times an odd weight (1, 3, 5, ...), plus 17 times their count, modulo 64:
// any one character mistyped changes it, and so do two neighbours swapped
// unless they lie 32 apart. A character dropped or added is caught by the
// check or by the cells not filling the board exactly, all but about once
// in 64.
#pragma once
#include <cstddef>
#include <cstdint>

#include "game/board.h"

namespace gen {

// Room for any code and its end.
constexpr size_t LEVEL_CODE_SIZE = 64;
// Room for the reason a board or a code is refused.
constexpr size_t LEVEL_CODE_ERROR_SIZE = 256;

// False, with the reason, for a board that holds a code play never meets
// or more pieces than play can hold.
bool EncodeLevel(const uint8_t bytes[LEVEL_FILE_SIZE], char code[LEVEL_CODE_SIZE], char* error, size_t errorSize);
// The level file bytes of a code; false, with the reason, for any code that
// is not exactly one a board was encoded to. Spaces around it are ignored.
bool DecodeLevel(const char* code, uint8_t bytes[LEVEL_FILE_SIZE], char* error, size_t errorSize);

}  // namespace gen
