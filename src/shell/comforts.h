// What the shell's comforts share among their files: the level index's
// names and pars, the name of a board of one's own, and the advice's state.
#pragma once
#include <cstddef>
#include <cstdint>

#include "game/board.h"

extern char LevelNames[LAST_LEVEL + 1][48];
extern int32_t LevelPars[LAST_LEVEL + 1];  // 0 when the index does not say
// The board of one's own in play: its name, its par (0 while not known),
// and whether a made or coded board has had its win table made at its start,
// as a shipped level does. One value.
struct OwnBoard {
    char name[48];
    int32_t par;
    bool tabled;
};
extern OwnBoard Own;

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
// Edit -> Copy level code: the board in play's code on the clipboard, and in
// `code`; false, after telling why, when the board has none.
bool CopyLevelCode(char* code, int32_t size);
// Edit -> Share this level: the page shares the board's link (false); a
// desktop copies "tarno --code CODE", into `text` too (true). False, after
// telling why, when the board has no code.
bool ShareLevel(char* text, int32_t size);
// A few seconds of news at the status line's end ("Level code copied: ...").
void ShowStatusNote(const char* text);
// The Restart button: the restart R makes, at the play frame's next cell
// corner. True once for a press, when the tank is on one.
bool TakeRestart();
// Nothing pending: no finger down, no press, no walk.
void ForgetCommands();
void AskLevelCode();
