// Boards of the player's own: a level file opened by name, or the editor's
// board played with P. They play like a level, but the progress stays.
#include <cstdio>
#include <cstring>

#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/leveltext.h"
#include "game/session.h"
#include "lib/text.h"
#include "platform/platform.h"
#include "shell/comforts.h"
#include "shell/shell.h"

const char* OwnBoardSource() { return Comfort.OwnSource; }

int32_t LevelPar() {
    if (Now.OwnLevel) return Comfort.Own.par;
    return Levels.Pars[CurrentLevel];
}

void PlayOwnBoard(const uint8_t bytes[LEVEL_FILE_SIZE], const char* name) {
    std::memcpy(Now.OwnLevelBytes, bytes, LEVEL_FILE_SIZE);
    CopyName(Comfort.Own.name, sizeof Comfort.Own.name, name && *name ? name : "Your board");
    Comfort.Own.par = 0;
    Comfort.Own.tabled = false;
    CopyName(Comfort.OwnSource, sizeof Comfort.OwnSource, "own");
    Now.OwnLevel = 1;
    Now.Editor.Mode = 0;
    Now.Editor.ClearPending = 0;
    Now.Editor.LeftClickPending = Now.Editor.RightClickPending = 0;
    StartLevel();
}

namespace {

// What the level compiler would warn about is told, as it would be.
void TellWarning(const char* warning, void*) { std::fprintf(stderr, "tarno: warning: %s\n", warning); }

}  // namespace

bool PlayLevelFile(const char* path) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    char
        name[sizeof Comfort.Own.name * 4];  // cut to the own board's name's size, on a whole character, as it is played
    char error[leveltext::ERROR_SIZE];
    error[0] = '\0';
    const bool loaded =
        path && leveltext::LoadAnyLevel(path, bytes, name, sizeof name, error, sizeof error, TellWarning, nullptr);
    if (!loaded) {
        if (!error[0]) std::snprintf(error, sizeof error, "Cannot read that level.");
        char shown[sizeof error];
        PrintableText(error, shown, sizeof shown, true);
        std::fprintf(stderr, "tarno: %s\n", shown);
        PlatformShowMessage(shown);
        return false;
    }
    PlayOwnBoard(bytes, name);
    return true;
}

void LeaveOwnBoard() { Now.OwnLevel = 0; }
