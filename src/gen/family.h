// The level families: the ideas a generated level starts from, each taken
// from the shipped levels, and which grades build a family as a half board
// and its mirror image. A family gives the start's frame (walls, pockets,
// backed wedges), which the search keeps, and its first pieces, which the
// search reworks.
#pragma once
#include <cstdint>

#include "game/board.h"
#include "gen/grade.h"
#include "gen/random.h"

namespace gen {

enum Family { PERISCOPES, SNAP_ROW, VAULT, TWIN_ROOMS, RAILS };
constexpr int FAMILIES = 5;

// "Periscopes", "Snap row", "Vault", "Twin rooms", "Rails".
const char* FamilyName(Family f);
// The family a grade and seed build: seeds in a row take turns round the
// grade's families (easy: periscopes and snap row; medium: those, vault,
// rails and snap row again; hard: all five), so any five seeds in a row
// of a hard level hold every family.
Family FamilyOf(Grade g, uint64_t seed);
// Built as a half board and its mirror image: every medium and hard level.
bool Mirrored(Grade g);

// Where the search may change the board, and what it must keep.
struct Layout {
    bool region[LEVEL_FILE_SIZE];  // cells the search may change
    bool seam[LEVEL_FILE_SIZE];    // a mirrored family's row along the middle: its half is the region and this
    bool fixed[LEVEL_FILE_SIZE];   // the frame: blocks the search keeps and never counts idle
    int mirror;                    // the image taking the region onto the other half; 0 for a whole board
};

// A fresh start of the family on the grade's board: a whole board, or for
// a mirrored family the half the search works in, the other half solid
// block (so that no shot of the half's puzzle leaves it) until Compose.
void FreshStart(Random* r, Grade g, Family f, uint8_t b[LEVEL_FILE_SIZE], Layout* layout);
// The whole board: the half as it is and its mirror image in the other
// half, wedges turned to match.
void Compose(const uint8_t half[LEVEL_FILE_SIZE], const Layout& layout, uint8_t whole[LEVEL_FILE_SIZE]);

}  // namespace gen
