// What the shell's comforts share among their files: the level index, read
// once at start-up, and the shell's part of the session as one value
// (Comfort): the board of one's own, the advice, the commands left pending,
// the status line's notes and the line last shown, the save tried, the
// records and the sound key. It sits beside the part the frame shares (Now,
// game/session.h), which the rooms below the shell see; they cannot see the
// shell's records.
#pragma once
#include <cstddef>
#include <cstdint>

#include "game/board.h"
#include "game/playstate.h"
#include "game/session.h"
#include "menu_table.h"
#include "shell/shell.h"
#include "solver/advice.h"

// The board of one's own in play: its name, its par (0 while not known),
// whether a made or coded board has had its win table made at its start, as
// a shipped level does, and where it comes from (OwnBoardSource, shell.h).
struct OwnBoard {
    char name[48];
    int32_t par;
    bool tabled;
};

// The level index (levels.idx): each shipped level's name and par (0 when
// the index does not say), and the level the Levels menu marks. The game's
// data and the menu's, not the session's: a fresh session keeps them.
struct LevelIndex {
    char Names[LAST_LEVEL + 1][48];
    int32_t Pars[LAST_LEVEL + 1];
    int32_t Marked;
};
extern LevelIndex Levels;

// The solver's answer about the board at rest, and what was asked.
struct AdviceState {
    uint32_t AskedSerial;  // the RestSerial last asked about
    bool Asked, Known;
    PlayState AskedBoard;
    Advice Latest;
};

constexpr int32_t BUTTON_COUNT = sizeof COMFORT_BUTTONS / sizeof COMFORT_BUTTONS[0];
constexpr int32_t MENU_COUNT = sizeof MENU_TABLE / sizeof MENU_TABLE[0];

// A finger on the field: down, and whether it has already been a right click.
struct Finger {
    bool down, decided;
    int32_t x, y;
};

// What the commands leave for later: the finger on the field, the Restart
// button's press, and a walk of a front end's menus and buttons (on, what
// has come, and what never did).
struct Commands {
    Finger finger;
    bool restartAsked;
    bool probing;
    bool menuSeen[MENU_COUNT];
    bool buttonSeen[BUTTON_COUNT];
    char missed[512];
};

// What the status line remembers between frames.
struct StatusNotes {
    // The editor's file note: which, why, and for how many frames more.
    int32_t NoteFrames;
    uint8_t Note;
    char NoteReason[sizeof EditorState::FileReason];
    char News[160];  // "Level code copied: ...", and when it came
    uint32_t NewsSince;
    char Next[32];  // the way on after a made level's win
    int TipState;   // the first-run tip: 0 not yet read, 1 shown, 2 gone
    bool TapWords;  // a touch screen's: the way on named by its buttons, not its keys
};

// The status line a front end was last given.
struct ShownLine {
    char Shown[512];
    bool AnyShown;
};

// The win the save was last tried for, known by the tick it began on: each
// win is saved once, so a failing save neither repeats its sync every frame
// nor tells the player more than once.
struct WinSave {
    bool SaveTried;
    uint32_t SaveTriedWin;
};

// Twelve levels and thirty days: well under this.
constexpr int32_t RECORDS_TEXT_MAX = 4096;

struct LevelRecord {
    int32_t shots;  // 0 while never won
    bool inPar;
};

struct RecordSet {
    LevelRecord levels[LAST_LEVEL + 1];
    DailyRecord dailies[MAX_DAILY_RECORDS];  // newest first
    int32_t dailyCount;
};

// Everything the records keep between calls.
struct RecordsState {
    // What this game shows and keeps, and what another copy of the game may
    // have stored since this one last read it.
    RecordSet Mine, Stored;
    // Set when the stored records could not be read nor set aside: this run
    // then keeps its records to itself rather than write over them.
    bool Held, WriteTold;
    // The win that beat its level's record, known by the tick it began on;
    // the wins already tried, a level's and a daily level's.
    bool NewRecord, Tried, DailyTried;
    uint32_t NewRecordWin, TriedWin, DailyTriedWin;
    char Text[RECORDS_TEXT_MAX];
    // What to tell once the records are no longer locked: a message box must
    // not hold another copy of the game waiting.
    char Pending[2][700];
    int32_t PendingCount;
    bool SoundKeyDown;  // M as it was last frame: the switch flips once a press
};

struct Comforts {
    OwnBoard Own;
    char OwnSource[64];
    AdviceState Adv;
    Commands Pending;
    StatusNotes Noted;
    char Line[512];  // the status line, built in place
    ShownLine Status;
    WinSave Saving;
    RecordsState Rec;
};
extern Comforts Comfort;

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
