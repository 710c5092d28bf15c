// The status line under the field: where the player is and what to do
// next, and in the editor what its keys did.
#include <cstdio>
#include <cstring>

#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/notices.h"
#include "game/shots.h"
#include "game/win.h"
#include "shell/comforts.h"
#include "shell/shell.h"

namespace {

// How long "Saved level.dat" stays up, in frames.
constexpr int32_t NOTE_FRAMES = 180;

int32_t NoteFrames;
uint8_t Note;
char NoteReason[sizeof EditorFileReason];

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
        Note = EditorFileNote, NoteFrames = NOTE_FRAMES, EditorFileNote = 0;
        Copy(NoteReason, sizeof NoteReason, EditorFileReason);
    }
    if (NoteFrames > 0) --NoteFrames;
}

void TellEditorFile(EditorFileFailure failure, const char* reason) {
    if (!EditorMode) return;
    Note = failure == FILE_NOT_KEPT ? EDITOR_KEEP_FAILED : EDITOR_LOAD_FAILED;
    NoteFrames = NOTE_FRAMES;
    Copy(NoteReason, sizeof NoteReason, reason ? reason : "");
    std::fprintf(stderr, "tarno: level.dat could not be %s: %s\n", failure == FILE_NOT_KEPT ? "kept" : "read",
                 NoteReason);
}

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
        } else if (NoteFrames > 0 && Note == EDITOR_LOADED_SHORT) {
            std::snprintf(buf, sizeof buf, "level.dat has %.12s %s; a level has %d: the rest of the board is unchanged",
                          NoteReason, std::strcmp(NoteReason, "1") == 0 ? "byte" : "bytes",
                          static_cast<int>(LEVEL_FILE_SIZE));
            Append(buf);
        } else if (NoteFrames > 0) {
            const char* what = Note == EDITOR_SAVE_FAILED ? "saved" : Note == EDITOR_KEEP_FAILED ? "kept" : "read";
            std::snprintf(buf, sizeof buf, "level.dat could not be %s: %s", what, NoteReason);
            Append(buf);
        } else Append("S saves, L loads, P plays, Enter returns");
        return Line;
    }
    if (const char* making = MakingLevelNote()) Append(making);
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
    } else if (LostNoticeShown) {
        Append(HintAsked ? "The board is lost: no shot can win it. U undoes, R restarts"
                         : "No way to win from here: U undoes, R restarts");
    } else if (HintAsked && HintDirection) {
        static const char* ways[5] = {"", "left along row", "up column", "right along row", "down column"};
        const int32_t lineNo = HintDirection == DIR_LEFT || HintDirection == DIR_RIGHT ? HintCellY : HintCellX;
        std::snprintf(buf, sizeof buf, "Hint: fire %s %d", ways[HintDirection], static_cast<int>(lineNo));
        Append(buf);
    } else if (HintAsked && AdviceKnown()) {
        Append("Hint: the search ran out of time");
    } else if (HintAsked) {
        Append("Hint: thinking...");
    }
    return Line;
}
