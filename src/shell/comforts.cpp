// What the shell adds around play: the solver's answer after each shot, the
// hint, par from the level index, boards of the player's own, and the
// status line that tells the player where they are.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/history.h"
#include "game/leveltext.h"
#include "game/notices.h"
#include "game/shots.h"
#include "game/win.h"
#include "platform/files/files.h"
#include "platform/platform.h"
#include "resource.h"
#include "shell/shell.h"
#include "solver/advice.h"
#include "solver/solver.h"
#include "solver/tables.h"

namespace {

// The shipped levels are answered well inside this; a board of the
// player's own may need longer, and past it the answer is "unknown".
constexpr uint32_t ADVICE_BUDGET_MS = 2000;
// How long "Saved level.dat" stays up, in frames.
constexpr int32_t NOTE_FRAMES = 180;
// The index holds twelve short lines; what goes past these is not an index.
constexpr int INDEX_LIMIT = 64 * 1024;
constexpr size_t INDEX_LINE_LIMIT = 200;
constexpr long long MAX_PAR = 99;

char LevelNames[LAST_LEVEL + 1][48];
int32_t LevelPars[LAST_LEVEL + 1];  // 0 when the index does not say
char OwnName[48];
int32_t OwnPar;

uint32_t AskedSerial;  // the RestSerial last asked about
bool Asked, Known;
PlayState AskedBoard;
Advice Latest;
int32_t NoteFrames;
uint8_t Note;
char NoteReason[sizeof EditorFileReason];

void Copy(char* dst, size_t size, const char* src) { std::snprintf(dst, size, "%s", src); }

// A name cut to fit ends on a whole UTF-8 character, never inside one.
void CopyName(char* dst, size_t size, const char* src) {
    Copy(dst, size, src);
    size_t length = std::strlen(dst);
    if (length == std::strlen(src)) return;
    size_t start = length;
    while (start > 0 && (static_cast<uint8_t>(dst[start - 1]) & 0xC0) == 0x80) --start;
    if (start > 0 && static_cast<uint8_t>(dst[start - 1]) >= 0xC0) {
        const uint8_t lead = static_cast<uint8_t>(dst[start - 1]);
        const size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (length - (start - 1) < need) dst[start - 1] = '\0';
    }
}

// "N PAR NAME": two whole numbers, then the name (which may be empty).
bool ParseIndexLine(const std::string& line, long long* n, long long* par, std::string* name) {
    const char* p = line.c_str();
    for (long long* value : {n, par}) {
        while (*p == ' ' || *p == '\t') ++p;
        char* end = nullptr;
        errno = 0;
        *value = std::strtoll(p, &end, 10);
        if (end == p || errno == ERANGE || (*end && *end != ' ' && *end != '\t')) return false;
        p = end;
    }
    while (*p == ' ' || *p == '\t') ++p;
    *name = p;
    while (!name->empty() && (name->back() == ' ' || name->back() == '\t')) name->pop_back();
    return true;
}

// Turns the answer into what shows: the notice, and the marker once asked.
void ShowAdvice() {
    LostNoticeShown = Known && Latest.lost == 1;
    HintDirection = 0;
    if (!HintAsked || !Known || Latest.lost != 0 || Latest.entry < 0) return;
    int32_t x = 0, y = 0;
    solver::EntryTank(Latest.entry, &x, &y);
    HintCellX = x / CELL_SIZE;
    HintCellY = y / CELL_SIZE;
    HintDirection = solver::EntryDirection(Latest.entry);
}

// The status line is built in place: parts three spaces apart, cut short
// rather than overrun.
char Line[512];

void Append(const char* text) {
    const size_t used = std::strlen(Line);
    std::snprintf(Line + used, sizeof Line - used, "%s%s", used ? "   " : "", text);
}

}  // namespace

void ReadLevelIndex() {
    for (int32_t n = 0; n <= LAST_LEVEL; ++n) {
        std::snprintf(LevelNames[n], sizeof LevelNames[n], "Level %d", static_cast<int>(n));
        LevelPars[n] = 0;
    }
    std::vector<uint8_t> bytes;
    const FileRead read = ReadFileByName(LEVEL_INDEX_FILE, INDEX_LIMIT, &bytes, READ_START);
    if (read.error) {
        std::fprintf(stderr, "tarno: %s: %s; the levels go without names and pars\n", LEVEL_INDEX_FILE, read.reason);
        return;
    }
    if (read.longer)
        std::fprintf(stderr, "tarno: %s: larger than %d bytes; the rest is ignored\n", LEVEL_INDEX_FILE, INDEX_LIMIT);
    const std::string text(bytes.begin(), bytes.end());
    int lineNo = 0;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        const char* why = nullptr;
        long long n = 0, par = 0;
        std::string name;
        if (line.size() > INDEX_LINE_LIMIT) why = "line too long";
        else if (!ParseIndexLine(line, &n, &par, &name)) why = "not \"LEVEL PAR NAME\"";
        else if (n < 1 || n > LAST_LEVEL) why = "no such level";
        else if (par < 0 || par > MAX_PAR) why = "par out of range (0 to 99)";
        if (why) {
            std::fprintf(stderr, "tarno: %s:%d: %s; ignored\n", LEVEL_INDEX_FILE, lineNo, why);
            continue;
        }
        if (!name.empty()) CopyName(LevelNames[n], sizeof LevelNames[n], name.c_str());
        LevelPars[n] = static_cast<int32_t>(par);
    }
}

int32_t LevelPar() {
    if (OwnLevel) return OwnPar;
    return LevelPars[CurrentLevel];
}

void PlayOwnBoard(const uint8_t bytes[LEVEL_FILE_SIZE], const char* name) {
    std::memcpy(OwnLevelBytes, bytes, LEVEL_FILE_SIZE);
    CopyName(OwnName, sizeof OwnName, name && *name ? name : "Your board");
    OwnPar = 0;
    OwnLevel = 1;
    EditorMode = 0;
    EditorClearPending = 0;
    LeftClickPending = RightClickPending = 0;
    StartLevel();
}

bool PlayLevelFile(const char* path) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    std::string name, error;
    std::vector<std::string> warnings;
    const bool loaded = path && leveltext::LoadAnyLevel(path, bytes, &name, &error, &warnings);
    // What the level compiler would warn about is told, as it would be.
    for (const std::string& w : warnings) std::fprintf(stderr, "tarno: warning: %s\n", w.c_str());
    if (!loaded) {
        if (error.empty()) error = "Cannot read that level.";
        std::fprintf(stderr, "tarno: %s\n", error.c_str());
        PlatformShowMessage(error.c_str());
        return false;
    }
    PlayOwnBoard(bytes, name.c_str());
    return true;
}

void LeaveOwnBoard() { OwnLevel = 0; }

namespace {

// The Levels menu marks the level in play; none while a board of one's own is.
void MarkLevelMenu() {
    static int32_t marked;
    const int32_t want = OwnLevel ? 0 : IDM_LEVEL1 - 1 + CurrentLevel;
    if (want == marked) return;
    if (marked) PlatformCheckMenuItem(marked, false);
    if (want) PlatformCheckMenuItem(want, true);
    marked = want;
}

}  // namespace

void UpdateComforts() {
    MarkLevelMenu();
    if (EditorMode) {
        if (EditorPlayPending) {
            EditorPlayPending = 0;
            uint8_t bytes[LEVEL_FILE_SIZE] = {};
            for (int32_t cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
                for (int32_t cy = FIRST_INNER; cy <= LAST_INNER; ++cy)
                    bytes[cx * BOARD_CELLS + cy] = static_cast<uint8_t>(Live.play.board[cx][cy]);
            PlayOwnBoard(bytes, "Your board");
        } else {
            if (EditorFileNote) {
                Note = EditorFileNote, NoteFrames = NOTE_FRAMES, EditorFileNote = 0;
                Copy(NoteReason, sizeof NoteReason, EditorFileReason);
            }
            if (NoteFrames > 0) --NoteFrames;
            return;
        }
    }
    EditorPlayPending = 0;
    if (!Asked || AskedSerial != RestSerial) {
        // A new board at rest: what was shown was about the old one.
        AskedSerial = RestSerial;
        Asked = true;
        Known = false;
        ShowAdvice();
        if (!PlayInMotion(Live.play)) {
            AskedBoard = Live.play;
            // A shipped level's table answers at once; until it is made,
            // and for boards of one's own, the search does.
            if (!OwnLevel) {
                const int32_t played = Live.play.won ? LevelPlayed : CurrentLevel;
                PrepareWinTables(LevelBuffer, played < LAST_LEVEL ? played + 1 : 0);
            }
            Known = !OwnLevel && TableAdvice(AskedBoard, &Latest);
            if (!Known) AskAdvice(Live.play, ADVICE_BUDGET_MS);
        } else {
            Asked = false;
        }
    }
    if (!Known && Asked && ((!OwnLevel && TableAdvice(AskedBoard, &Latest)) || TakeAdvice(&Latest))) {
        Known = true;
        // The start's answer is the par of a board the index does not know.
        if (OwnLevel && Live.shotsFired == 0 && UndoDepth() == 0 && Latest.shotsToWin >= 0) OwnPar = Latest.shotsToWin;
    }
    ShowAdvice();
}

void TellEditorFile(EditorFileFailure failure, const char* reason) {
    if (!EditorMode) return;
    Note = failure == FILE_NOT_KEPT ? EDITOR_KEEP_FAILED : EDITOR_LOAD_FAILED;
    NoteFrames = NOTE_FRAMES;
    Copy(NoteReason, sizeof NoteReason, reason ? reason : "");
    std::fprintf(stderr, "tarno: level.dat could not be %s: %s\n", failure == FILE_NOT_KEPT ? "kept" : "read",
                 NoteReason);
}

void WaitForAdvice() {
    if (Asked && !Known) {
        WaitAdvice();
        UpdateComforts();
    }
}

void PumpComforts(uint32_t sliceMs) { PumpAdvice(sliceMs); }

int8_t AdviceLost() { return Known ? Latest.lost : ADVICE_UNKNOWN; }
int32_t AdviceHintEntry() { return HintDirection && Known ? Latest.entry : -1; }

const char* StatusLine() {
    Line[0] = '\0';
    char buf[160];
    if (EditorMode) {
        const int32_t next = EditorNextPiece();
        const char* piece = next == CELL_BALLOON      ? "a balloon"
                            : IsSingleDeflector(next) ? "a deflector"
                                                      : "an empty cell";
        std::snprintf(buf, sizeof buf, "Editor: a right click places %s next", piece);
        Append(buf);
        if (NoteFrames > 0 && (Note == EDITOR_SAVED || Note == EDITOR_LOADED)) {
            Append(Note == EDITOR_SAVED ? "Saved level.dat" : "Loaded level.dat");
        } else if (NoteFrames > 0) {
            const char* what = Note == EDITOR_SAVE_FAILED ? "saved" : Note == EDITOR_KEEP_FAILED ? "kept" : "read";
            std::snprintf(buf, sizeof buf, "level.dat could not be %s: %s", what, NoteReason);
            Append(buf);
        } else Append("S saves, L loads, P plays, Enter returns");
        return Line;
    }
    const int32_t par = LevelPar();
    if (OwnLevel) Append(OwnName);
    else {
        // After a win CurrentLevel already names the next level.
        const int32_t n = Live.play.won ? LevelPlayed : CurrentLevel;
        std::snprintf(buf, sizeof buf, "Level %d: %s", static_cast<int>(n), LevelNames[n]);
        Append(buf);
    }
    const int32_t shownPar = Live.play.won && !OwnLevel ? LevelPars[LevelPlayed] : par;
    if (shownPar > 0)
        std::snprintf(buf, sizeof buf, "Shots %d, par %d", static_cast<int>(Live.shotsFired),
                      static_cast<int>(shownPar));
    else std::snprintf(buf, sizeof buf, "Shots %d", static_cast<int>(Live.shotsFired));
    Append(buf);
    if (Live.play.won) {
        if (shownPar > 0 && Live.shotsFired <= shownPar) Append("Won in par!");
        else Append("Won!");
        if (OwnLevel) Append("press R to play it again");
        else if (LevelPlayed == LAST_LEVEL) Append("every level is won");
        else Append("press R for the next level");
    } else if (LostNoticeShown) {
        Append(HintAsked ? "The board is lost: no shot can win it. U undoes, R restarts"
                         : "No way to win from here: U undoes, R restarts");
    } else if (HintAsked && HintDirection) {
        static const char* ways[5] = {"", "left along row", "up column", "right along row", "down column"};
        const int32_t lineNo = HintDirection == DIR_LEFT || HintDirection == DIR_RIGHT ? HintCellY : HintCellX;
        std::snprintf(buf, sizeof buf, "Hint: fire %s %d", ways[HintDirection], static_cast<int>(lineNo));
        Append(buf);
    } else if (HintAsked && Known) {
        Append("Hint: the search ran out of time");
    } else if (HintAsked) {
        Append("Hint: thinking...");
    }
    return Line;
}
