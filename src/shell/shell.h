// Start-up, shutdown, saved progress and the handlers a platform's window calls.
#pragma once
#include <cstdint>

constexpr uint8_t SAVED_LEVEL_DEFAULT = 1;
// The saved level is one byte, kept by the platform as the small named value
// of this name beside the player's other values.
constexpr const char* SAVED_LEVEL_SETTING = "level";

uint8_t ReadSavedLevel();
// Null when stored, otherwise where and why it failed.
const char* WriteSavedLevel(uint8_t level);
void EnableLevelMenu(int32_t n);
// The frame's hook while a level stands won: unlock the menu, raise the saved
// level (tried once per win; a failure is shown once).
void OnWinFrame();

int InitGame();
// InitGame's parts in its order, for a platform that returns to its page
// between them: the display, input and sound devices; the sounds; the pictures.
void InitDevices();
void LoadSounds();
void LoadPictures();
int ShutdownGame();
// Start-up as one call, after the window exists: InitGame, then the first
// level. 0 when there is no display to draw on (the reason has been shown).
int StartGame();

// What the window's creation does: read the saved level, unlock the menu.
void OnCreate();

// Every event a player makes reaches the game as one command, through one
// door. The keyboard state stays the platform's: the play frame reads it at
// cell corners, so a key going down only tells the shell.
enum CommandKind : int32_t {
    COMMAND_KEY_DOWN,      // code: PC set-1 scan code
    COMMAND_KEY_UP,        // code: the same, 0 when the platform cannot tell
    COMMAND_TAP,           // x, y in field pixels: a left click, a pen, a tap
    COMMAND_RIGHT_CLICK,   // x, y: the right button
    COMMAND_TOUCH_DOWN,    // x, y: a finger down; a second one while the first is down is a right click
    COMMAND_TOUCH_HELD,    // the platform's timer: the finger stayed LONG_PRESS_MS, a right click
    COMMAND_TOUCH_UP,      // the finger lifted: a tap, unless it already was a right click
    COMMAND_TOUCH_CANCEL,  // the finger was taken away (the system's gesture): nothing
    COMMAND_MENU,          // code: a menu id
    COMMAND_BUTTON,        // code: a button beside the status line, its place in COMFORT_BUTTONS
};
struct Command {
    CommandKind kind;
    int32_t code;
    int32_t x, y;
};
// False for what the game has no entry for (a menu id of no menu item of the
// game's table, a button that is not there): the window's own handling keeps it.
bool OnCommand(const Command& command);
// A finger has no right button: one held this long is the right click.
constexpr uint32_t LONG_PRESS_MS = 500;
// Tests and the front ends' walk of their own menus: while on, commands are
// counted, not carried out. CommandsMissed then names every menu item and
// button of the shared tables that never arrived ("" when all did).
void SetCommandProbe(bool on);
const char* CommandsMissed();
void OnMenuCommand(int32_t id);
void OnKeyUp();
void OnLeftButtonDown(int32_t x, int32_t y);
void OnRightButtonDown(int32_t x, int32_t y);
// A tap or a left click on the field (field pixels), by mouse, pen or
// finger: the designed click, and in play the tank drives or fires.
void OnFieldTap(int32_t x, int32_t y);
// A level start from the shell: level 1 is always on the menu.
void StartShellLevel();
// The level index made at build time: one line per shipped level, its
// number, par and name.
constexpr const char* LEVEL_INDEX_FILE = "levels.idx";
void ReadLevelIndex();
// The least shots of the level in play, 0 while not known.
int32_t LevelPar();
// Plays a level file (.dat or a level source) as a board of the player's
// own; false, with a message shown, when it cannot be read.
bool PlayLevelFile(const char* path);
void PlayOwnBoard(const uint8_t bytes[300], const char* name);
void LeaveOwnBoard();
// Levels made on the spot (grade 0 easy, 1 medium, 2 hard), played as boards
// of one's own. The generator works off the frame; the level starts once
// made. A date is "YYYY-MM-DD", or null for today's. False, with a message
// shown, for a date or a code that cannot be read.
void StartNewLevel(int32_t grade);
void StartNewLevel(int32_t grade, uint64_t seed);
bool StartDailyLevel(const char* date);
bool StartCodeLevel(const char* code);
// File -> New level: a new level of the grade last chosen (easy at first).
void StartNewLevelAgain();
// The made level in play (new or daily): its grade, else -1.
int32_t MadeGrade();
// The way on once a level is won, for a button of its own beside the
// others: "Next level" after a shipped level, "Another hard level" after a
// made one; null while there is none. The button sends IDM_NEXT.
const char* NextStepText();
// Whether Undo or Redo (IDM_UNDO, IDM_REDO) would do anything now: a front
// end greys them when not. Every other id reads as available.
bool CommandAvailable(int32_t id);
// The desktops' first-run tip, shown beside the status line until the
// player's first shot ever (then remembered as the setting "shot"); null
// once shot. The page words its own for touch.
constexpr const char* FIRST_RUN_TIP = "Arrow keys or a click on the border drive, a click on the tank fires";
const char* FirstRunTip();
// A front end on a touch screen, which has no keys to name: the status
// line then names the buttons ("tap Undo or Restart") where it would name
// keys ("U undoes, R restarts").
void SetTapWords(bool on);
// The level code of the board in play; false for a board that has none.
bool LevelCode(char* buf, int32_t size);
// Where the board of one's own comes from, as the demo dump shows it:
// "new hard 83412", "daily 2026-12-07 hard", "code 1Q...", "own".
const char* OwnBoardSource();
// `tarno FILE`, `tarno --new GRADE [--seed N]`, `tarno --daily [DATE]`,
// `tarno --code CODE`: false for arguments that are none of these.
bool StartFromCommandLine(int argc, char** argv);
// Whether the arguments have one of those shapes: a front end refuses any
// other before its window opens, with the usage and status 2.
bool CommandLineFits(int argc, char** argv);
constexpr const char* COMMAND_LINE_USAGE =
    "usage: tarno [FILE | --new GRADE [--seed N] | --daily [YYYY-MM-DD] | --code CODE]";
// A page's link: "#code=CODE", "#daily", "#daily=DATE", "#new=GRADE[:SEED]".
// False when it names no level or the level cannot be read (said so).
bool StartFromLink(const char* fragment);
// Blocks until the level being made is made and started (demo player).
void WaitForMaking();
// Once per frame: asks the solver about each new board at rest and shows
// its answer (the lost notice, the hint).
void UpdateComforts();
// Blocks until the answer about the board in play has come (demo player).
void WaitForAdvice();
// Lets the solver search for up to sliceMs on the calling thread: a platform
// without threads calls it after each frame. Elsewhere it does nothing.
void PumpComforts(uint32_t sliceMs);
// The answer as the demo dump shows it: 1 lost, 0 not, -1 unknown; the
// hint's entry while a hint shows, else -1.
int8_t AdviceLost();
int32_t AdviceHintEntry();
// The words under the field: where the player is and what to do next.
const char* StatusLine();
// The status line when its words differ from those this last gave, else
// null: a front end shows it only then. Forgotten, it is given again (a new
// window shows it afresh).
const char* ChangedStatusLine();
void ForgetShownStatus();
// A platform that keeps the editor's level.dat elsewhere as well tells, after
// the frame, that keeping it failed or that what it kept cannot be read; the
// status line then says so in the editor, and standard error hears why.
enum EditorFileFailure { FILE_NOT_KEPT, FILE_NOT_READ };
void TellEditorFile(EditorFileFailure failure, const char* reason);

// The player's records beside the progress, and the sound switch: read at
// the window's creation; a records text that cannot be read is set aside
// and told once.
void LoadPlayerSettings();
// Once per win of a shipped level (from the win's frame): the shots on the
// board at the win become the level's record when they are fewer.
void RecordShippedWin();
// A daily level won: its date, grade and shots join the last days' records.
void RecordDailyLevelWin();
// A generated daily level won: the last MAX_DAILY_RECORDS days are kept,
// each with its fewest shots.
constexpr int32_t MAX_DAILY_RECORDS = 30;
struct DailyRecord {
    char date[11];  // YYYY-MM-DD
    int32_t grade;
    int32_t shots;
};
void RecordDailyWin(const char* date, int grade, int shots);
int32_t DailyRecordCount();  // newest first
const DailyRecord& DailyRecordAt(int32_t i);
// A shipped level's fewest shots, 0 while never won; whether within par.
int32_t BestShots(int32_t level);
bool BestInPar(int32_t level);
// The record of the level on screen (after a win the level just won), 0 when
// none or on a board of one's own.
int32_t BestOnScreen();
// True while the win on screen beat an earlier record.
bool NewRecordShown();
// The records panel's text: every level with its name, par and best.
const char* RecordsText();
// The same as a table: a row a line of the text, a cell a part of the line
// (three spaces apart). False past the last row or a row's last cell.
bool RecordsCell(int32_t row, int32_t column, char* buf, int32_t size);
// Where a sheet cell (as the "How to play" lines name their pictures) lies
// in pieces.bmp: its top-left pixel and its side.
struct SheetSpot {
    int32_t x, y, side;
};
SheetSpot SheetCellSpot(int32_t cell);
// Takes in what another copy of the game stored since (the page hears of a
// write in another tab); a win measures itself against it anyway.
void RefreshRecords();
// View -> Sound and M: nothing plays while off; remembered.
void ToggleSound();
void ReadSoundKey();

// One pass of the main loop while the game window is active: one frame of
// play or of the editor.
void RunFrame();
// The whole session fresh, in one call: what the frame and the shell share
// (Now: the play Game, undo and redo, the notices, the pointer's orders, the
// level's bytes, the editor's state) and what the shell's comforts keep
// (Comfort: the board of one's own, the advice, the commands left pending,
// the status line, the records), with the level being made stopped and the
// level back at 1. Tests start each case from here, whatever the last one
// left.
void StartFreshSession();
