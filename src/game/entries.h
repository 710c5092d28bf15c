// The 48 ways into the field a shot can take, numbered for the hint, the
// solver and the tools. Entries 0..11 fire right along rows 1..12 from the
// left column, 12..23 left from the right column, 24..35 down columns 1..12
// from the top row, 36..47 up from the bottom row.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int ENTRIES = 48;

// The direction code (DIR_LEFT..DIR_DOWN) the entry's shot flies in.
int32_t EntryDirection(int entry);
// The row or column the entry's shot flies along.
int EntryLine(int entry);
// The tank's place on the border ring that fires the entry's shot.
void EntryTank(int entry, int32_t* x, int32_t* y);

// "right 5", "up 12": the way the shot flies and its row or column.
constexpr size_t ENTRY_NAME_SIZE = 24;
void EntryName(int entry, char out[ENTRY_NAME_SIZE]);
// The entry a name stands for, or -1.
int EntryOfName(const char* name);
