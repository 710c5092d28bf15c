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
// The level code of the board in play; false for a board that has none.
bool LevelCode(char* buf, int32_t size);
// Where the board of one's own comes from, as the demo dump shows it:
// "new hard 83412", "daily 2026-12-07 hard", "code 1Q...", "own".
extern char OwnSource[64];
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
// Takes in what another copy of the game stored since (the page hears of a
// write in another tab); a win measures itself against it anyway.
void RefreshRecords();
// View -> Sound and M: nothing plays while off; remembered.
void ToggleSound();
void ReadSoundKey();

// One pass of the main loop while the game window is active: one frame of
// play or of the editor.
void RunFrame();
