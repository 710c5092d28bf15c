// The rules' frame step over the play state, and what is asked of a whole
// state: motion, the level set up, effects cleared, settling on a board.
#pragma once
#include <cstdint>

#include "game/playstate.h"

// Advances the state by one frame: pops shown last frame are done, each
// deflector slides (stopping on a corner), then each flying shot takes its
// step in slot order.
void StepPlay(PlayState& s, PlayReport* report);
// True while any shot flies or any deflector slides.
bool PlayInMotion(const PlayState& s);
// Ends every shot, pending pop and impact, and every slide: a level starts at rest.
void ClearPlayEffects(PlayState& s);
// The level's pieces from level file bytes, at rest, nothing flying.
void SetUpPlay(PlayState& s, const uint8_t level[LEVEL_FILE_SIZE]);
// Brings the pieces in line with a board at rest already written into the
// state: the deflectors in scan order (a pair as wedges 0 and 2, which act
// as any pair does), the balloons alive, nothing moving. False when the
// board holds more or fewer deflectors than the level.
bool SettleOnBoard(PlayState& s);
