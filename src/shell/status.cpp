// The status line under the field: where the player is and what to do
// next, and in the editor what its keys did.
#include <cstdio>
#include <cstring>

#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/history.h"
#include "game/notices.h"
#include "game/shots.h"
#include "game/win.h"
#include "gen/grade.h"
#include "platform/platform.h"
#include "resource.h"
#include "shell/comforts.h"
#include "shell/shell.h"

namespace {

// How long "Saved level.dat" stays up, in frames.
constexpr int32_t NOTE_FRAMES = 180;

// News for the player, shown for a few seconds wherever they are.
constexpr uint32_t STATUS_NOTE_MS = 5000;

// What the status line remembers between frames: one value.
struct StatusNotes {
    // The editor's file note: which, why, and for how many frames more.
    int32_t NoteFrames;
    uint8_t Note;
    char NoteReason[sizeof EditorFileReason];
    char News[160];  // "Level code copied: ...", and when it came
    uint32_t NewsSince;
    char Next[32];  // the way on after a made level's win
    int TipState;   // the first-run tip: 0 not yet read, 1 shown, 2 gone
};
StatusNotes Noted;

void Copy(char* dst, size_t size, const char* src) { std::snprintf(dst, size, "%s", src); }

// The status line is built in place: parts three spaces apart, cut short
// rather than overrun.
char Line[512];

void Append(const char* text) {
    const size_t used = std::strlen(Line);
    std::snprintf(Line + used, sizeof Line - used, "%s%s", used ? "   " : "", text);
}

}  // namespace

void TickEditorNote() {
    if (EditorFileNote) {
        Noted.Note = EditorFileNote, Noted.NoteFrames = NOTE_FRAMES, EditorFileNote = 0;
        Copy(Noted.NoteReason, sizeof Noted.NoteReason, EditorFileReason);
    }
    if (Noted.NoteFrames > 0) --Noted.NoteFrames;
}

void TellEditorFile(EditorFileFailure failure, const char* reason) {
    if (!EditorMode) return;
    Noted.Note = failure == FILE_NOT_KEPT ? EDITOR_KEEP_FAILED : EDITOR_LOAD_FAILED;
    Noted.NoteFrames = NOTE_FRAMES;
    Copy(Noted.NoteReason, sizeof Noted.NoteReason, reason ? reason : "");
    std::fprintf(stderr, "tarno: level.dat could not be %s: %s\n", failure == FILE_NOT_KEPT ? "kept" : "read",
                 Noted.NoteReason);
}

void ShowStatusNote(const char* text) {
    Copy(Noted.News, sizeof Noted.News, text);
    Noted.NewsSince = PlatformTicks();
}

const char* NextStepText() {
    if (EditorMode || !Live.play.won) return nullptr;
    if (const int32_t grade = MadeGrade(); grade >= 0) {
        std::snprintf(Noted.Next, sizeof Noted.Next, "Another %s level",
                      gen::GradeName(static_cast<gen::Grade>(grade)));
        return Noted.Next;
    }
    return OwnLevel || LevelPlayed >= LAST_LEVEL ? nullptr : TEXT_NEXT_LEVEL;
}

const char* FirstRunTip() {
    int& state = Noted.TipState;
    if (state == 0) {
        char seen[4];
        int32_t length = 0;
        state = PlatformReadSetting("shot", SETTING_TEXT, seen, sizeof seen, &length) && length > 0 ? 2 : 1;
    }
    if (state == 1 && Live.shotsFired > 0 && !EditorMode) {
        state = 2;
        // A write that fails only brings the tip back next time.
        PlatformWriteSetting("shot", SETTING_TEXT, "1", 1);
    }
    return state == 1 ? FIRST_RUN_TIP : nullptr;
}

bool CommandAvailable(int32_t id) {
    // A won level is over: its board stays as it was won.
    const bool play = !EditorMode && !Live.play.won;
    if (id == IDM_UNDO) return play && UndoDepth() > 0;
    if (id == IDM_REDO) return play && RedoDepth() > 0;
    return true;
}

namespace {

void AppendNote() {
    if (Noted.News[0] && PlatformTicks() - Noted.NewsSince < STATUS_NOTE_MS) Append(Noted.News);
}

}  // namespace

const char* StatusLine() {
    Line[0] = '\0';
    char buf[160];
    if (EditorMode) {
        // A piece off the round (a block) stays as it is: the line names the empty cell then.
        const int32_t next = PieceIndex(EditorNextPiece());
        const PieceKind& piece = next >= 0 && PIECES[next].rightClick ? PIECES[next] : PIECES[PieceIndex(CELL_EMPTY)];
        std::snprintf(buf, sizeof buf, "Editor: a right click places %s next", piece.name);
        Append(buf);
        if (Noted.NoteFrames > 0 && (Noted.Note == EDITOR_SAVED || Noted.Note == EDITOR_LOADED)) {
            Append(Noted.Note == EDITOR_SAVED ? "Saved level.dat" : "Loaded level.dat");
        } else if (Noted.NoteFrames > 0 && Noted.Note == EDITOR_LOADED_SHORT) {
            std::snprintf(buf, sizeof buf, "level.dat has %.12s %s; a level has %d: the rest of the board is unchanged",
                          Noted.NoteReason, std::strcmp(Noted.NoteReason, "1") == 0 ? "byte" : "bytes",
                          static_cast<int>(LEVEL_FILE_SIZE));
            Append(buf);
        } else if (Noted.NoteFrames > 0) {
            const char* what = Noted.Note == EDITOR_SAVE_FAILED   ? "saved"
                               : Noted.Note == EDITOR_KEEP_FAILED ? "kept"
                                                                  : "read";
            std::snprintf(buf, sizeof buf, "level.dat could not be %s: %s", what, Noted.NoteReason);
            Append(buf);
        } else Append("S saves, L loads, P plays, Enter returns");
        AppendNote();
        return Line;
    }
    if (const char* making = MakingLevelNote()) Append(making);
    const int32_t par = LevelPar();
    if (OwnLevel) Append(Own.name);
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
    if (const int32_t best = BestOnScreen()) {
        std::snprintf(buf, sizeof buf, "Best %d", static_cast<int>(best));
        Append(buf);
    }
    if (Live.play.won) {
        if (shownPar > 0 && Live.shotsFired <= shownPar) Append("Won in par!");
        else Append("Won!");
        if (NewRecordShown()) Append("New record!");
        if (OwnLevel) Append("press R to play it again");
        else if (LevelPlayed == LAST_LEVEL) Append("every level is won");
        else Append("press R for the next level");
    } else if (Notice.LostNoticeShown) {
        Append(Notice.HintAsked ? "The board is lost: no shot can win it. U undoes, R restarts"
                                : "No way to win from here: U undoes, R restarts");
    } else if (Notice.HintAsked && Notice.HintDirection) {
        static const char* const ways[5] = {"", "left along row", "up column", "right along row", "down column"};
        const int32_t lineNo =
            Notice.HintDirection == DIR_LEFT || Notice.HintDirection == DIR_RIGHT ? Notice.HintCellY : Notice.HintCellX;
        std::snprintf(buf, sizeof buf, "Hint: fire %s %d", ways[Notice.HintDirection], static_cast<int>(lineNo));
        Append(buf);
    } else if (Notice.HintAsked && AdviceKnown()) {
        Append("Hint: the search ran out of time");
    } else if (Notice.HintAsked) {
        Append("Hint: thinking...");
    }
    AppendNote();
    return Line;
}
