// What the shell's comforts share among their files: the level index's
// names and pars, the name of a board of one's own, and the advice's state.
#pragma once
#include <cstddef>
#include <cstdint>

#include "game/board.h"

extern char LevelNames[LAST_LEVEL + 1][48];
extern int32_t LevelPars[LAST_LEVEL + 1];  // 0 when the index does not say
extern char OwnName[48];
extern int32_t OwnPar;
// A made or coded board gets a win table at its start, as a shipped level does.
extern bool OwnTabled;

// A name made printable (lib/text.h) and cut to fit on a whole UTF-8
// character, never inside one.
void CopyName(char* dst, size_t size, const char* src);
// The Levels menu marks the level in play; none while a board of one's own is.
void MarkLevelMenu();
// True once the solver has answered about the board at rest.
bool AdviceKnown();
// Counts down the editor's file note; once per editor frame, after the
// comforts have had their turn.
void TickEditorNote();
// The level being made: "Making a hard level…" while it is, else null.
const char* MakingLevelNote();
void UpdateMaking();
void PumpMaking(uint32_t sliceMs);
void StopMaking();
void CopyLevelCode();
void AskLevelCode();
