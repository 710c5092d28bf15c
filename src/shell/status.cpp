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
#include "game/session.h"
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

void Copy(char* dst, size_t size, const char* src) { std::snprintf(dst, size, "%s", src); }

// The status line is built in place: parts three spaces apart, cut short
// rather than overrun.

void Append(const char* text) {
    const size_t used = std::strlen(Comfort.Line);
    std::snprintf(Comfort.Line + used, sizeof Comfort.Line - used, "%s%s", used ? "   " : "", text);
}

}  // namespace

void TickEditorNote() {
    if (Now.Editor.FileNote) {
        Comfort.Noted.Note = Now.Editor.FileNote, Comfort.Noted.NoteFrames = NOTE_FRAMES, Now.Editor.FileNote = 0;
        Copy(Comfort.Noted.NoteReason, sizeof Comfort.Noted.NoteReason, Now.Editor.FileReason);
    }
    if (Comfort.Noted.NoteFrames > 0) --Comfort.Noted.NoteFrames;
}

void TellEditorFile(EditorFileFailure failure, const char* reason) {
    if (!Now.Editor.Mode) return;
    Comfort.Noted.Note = failure == FILE_NOT_KEPT ? EDITOR_KEEP_FAILED : EDITOR_LOAD_FAILED;
    Comfort.Noted.NoteFrames = NOTE_FRAMES;
    Copy(Comfort.Noted.NoteReason, sizeof Comfort.Noted.NoteReason, reason ? reason : "");
    std::fprintf(stderr, "tarno: level.dat could not be %s: %s\n", failure == FILE_NOT_KEPT ? "kept" : "read",
                 Comfort.Noted.NoteReason);
}

void ShowStatusNote(const char* text) {
    Copy(Comfort.Noted.News, sizeof Comfort.Noted.News, text);
    Comfort.Noted.NewsSince = PlatformTicks();
}

const char* NextStepText() {
    if (Now.Editor.Mode || !Now.Live.play.won) return nullptr;
    if (const int32_t grade = MadeGrade(); grade >= 0) {
        std::snprintf(Comfort.Noted.Next, sizeof Comfort.Noted.Next, "Another %s level",
                      gen::GradeName(static_cast<gen::Grade>(grade)));
        return Comfort.Noted.Next;
    }
    return Now.OwnLevel || Now.LevelPlayed >= LAST_LEVEL ? nullptr : TEXT_NEXT_LEVEL;
}

void SetTapWords(bool on) { Comfort.Noted.TapWords = on; }

const char* FirstRunTip() {
    int& state = Comfort.Noted.TipState;
    if (state == 0) {
        char seen[4];
        int32_t length = 0;
        state = PlatformReadSetting("shot", SETTING_TEXT, seen, sizeof seen, &length) && length > 0 ? 2 : 1;
    }
    if (state == 1 && Now.Live.shotsFired > 0 && !Now.Editor.Mode) {
        state = 2;
        // A write that fails only brings the tip back next time.
        PlatformWriteSetting("shot", SETTING_TEXT, "1", 1);
    }
    return state == 1 ? FIRST_RUN_TIP : nullptr;
}

bool CommandAvailable(int32_t id) {
    // A won level is over: its board stays as it was won.
    const bool play = !Now.Editor.Mode && !Now.Live.play.won;
    if (id == IDM_UNDO) return play && UndoDepth() > 0;
    if (id == IDM_REDO) return play && RedoDepth() > 0;
    return true;
}

namespace {

void AppendNote() {
    if (Comfort.Noted.News[0] && PlatformTicks() - Comfort.Noted.NewsSince < STATUS_NOTE_MS) Append(Comfort.Noted.News);
}

}  // namespace

const char* StatusLine() {
    Comfort.Line[0] = '\0';
    char buf[160];
    if (Now.Editor.Mode) {
        // A piece off the round (a block) stays as it is: the line names the empty cell then.
        const int32_t next = PieceIndex(EditorNextPiece());
        const PieceKind& piece = next >= 0 && PIECES[next].rightClick ? PIECES[next] : PIECES[PieceIndex(CELL_EMPTY)];
        std::snprintf(buf, sizeof buf, "Editor: a right click places %s next", piece.name);
        Append(buf);
        if (Comfort.Noted.NoteFrames > 0 &&
            (Comfort.Noted.Note == EDITOR_SAVED || Comfort.Noted.Note == EDITOR_LOADED)) {
            Append(Comfort.Noted.Note == EDITOR_SAVED ? "Saved level.dat" : "Loaded level.dat");
        } else if (Comfort.Noted.NoteFrames > 0 && Comfort.Noted.Note == EDITOR_LOADED_SHORT) {
            std::snprintf(buf, sizeof buf, "level.dat has %.12s %s; a level has %d: the rest of the board is unchanged",
                          Comfort.Noted.NoteReason, std::strcmp(Comfort.Noted.NoteReason, "1") == 0 ? "byte" : "bytes",
                          static_cast<int>(LEVEL_FILE_SIZE));
            Append(buf);
        } else if (Comfort.Noted.NoteFrames > 0) {
            const char* what = Comfort.Noted.Note == EDITOR_SAVE_FAILED   ? "saved"
                               : Comfort.Noted.Note == EDITOR_KEEP_FAILED ? "kept"
                                                                          : "read";
            std::snprintf(buf, sizeof buf, "level.dat could not be %s: %s", what, Comfort.Noted.NoteReason);
            Append(buf);
        } else Append("S saves, L loads, P plays, Enter returns");
        AppendNote();
        return Comfort.Line;
    }
    if (const char* making = MakingLevelNote()) Append(making);
    const int32_t par = LevelPar();
    if (Now.OwnLevel) Append(Comfort.Own.name);
    else {
        // After a win CurrentLevel already names the next level.
        const int32_t n = Now.Live.play.won ? Now.LevelPlayed : CurrentLevel;
        std::snprintf(buf, sizeof buf, "Level %d: %s", static_cast<int>(n), Levels.Names[n]);
        Append(buf);
    }
    const int32_t shownPar = Now.Live.play.won && !Now.OwnLevel ? Levels.Pars[Now.LevelPlayed] : par;
    if (shownPar > 0)
        std::snprintf(buf, sizeof buf, "Shots %d, par %d", static_cast<int>(Now.Live.shotsFired),
                      static_cast<int>(shownPar));
    else std::snprintf(buf, sizeof buf, "Shots %d", static_cast<int>(Now.Live.shotsFired));
    Append(buf);
    if (const int32_t best = BestOnScreen()) {
        std::snprintf(buf, sizeof buf, "Best %d", static_cast<int>(best));
        Append(buf);
    }
    // A touch-first screen is told of its buttons, not of keys it has not got.
    const bool tap = Comfort.Noted.TapWords;
    if (Now.Live.play.won) {
        if (shownPar > 0 && Now.Live.shotsFired <= shownPar) Append("Won in par!");
        else Append("Won!");
        if (NewRecordShown()) Append("New record!");
        if (Now.OwnLevel) Append(tap ? "tap Restart to play it again" : "press R to play it again");
        else if (Now.LevelPlayed == LAST_LEVEL) Append("every level is won");
        else Append(tap ? "tap " TEXT_NEXT_LEVEL : "press R for the next level");
    } else if (Now.Notice.LostNoticeShown) {
        if (Now.Notice.HintAsked)
            Append(tap ? "The board is lost: no shot can win it. Tap Undo or Restart"
                       : "The board is lost: no shot can win it. U undoes, R restarts");
        else
            Append(tap ? "No way to win from here: tap Undo or Restart"
                       : "No way to win from here: U undoes, R restarts");
    } else if (Now.Notice.HintAsked && Now.Notice.HintDirection) {
        static const char* const ways[5] = {"", "left along row", "up column", "right along row", "down column"};
        const int32_t lineNo = Now.Notice.HintDirection == DIR_LEFT || Now.Notice.HintDirection == DIR_RIGHT
                                   ? Now.Notice.HintCellY
                                   : Now.Notice.HintCellX;
        std::snprintf(buf, sizeof buf, "Hint: fire %s %d", ways[Now.Notice.HintDirection], static_cast<int>(lineNo));
        Append(buf);
    } else if (Now.Notice.HintAsked && AdviceKnown()) {
        Append("Hint: the search ran out of time");
    } else if (Now.Notice.HintAsked) {
        Append("Hint: thinking...");
    }
    AppendNote();
    return Comfort.Line;
}
