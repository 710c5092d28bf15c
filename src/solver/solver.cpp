#include "solver/solver.h"

#include "game/shots.h"

namespace solver {

void SetUpLevel(PlayState* p, const uint8_t bytes[LEVEL_FILE_SIZE]) { SetUpPlay(*p, bytes); }

}  // namespace solver
