// Boards of the player's own: a level file opened by name, or the editor's
// board played with P. They play like a level, but the progress stays.
#include <cstdio>
#include <cstring>

#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/leveltext.h"
#include "lib/text.h"
#include "platform/platform.h"
#include "shell/comforts.h"
#include "shell/shell.h"

OwnBoard Own;

int32_t LevelPar() {
    if (OwnLevel) return Own.par;
    return LevelPars[CurrentLevel];
}

void PlayOwnBoard(const uint8_t bytes[LEVEL_FILE_SIZE], const char* name) {
    std::memcpy(OwnLevelBytes, bytes, LEVEL_FILE_SIZE);
    CopyName(Own.name, sizeof Own.name, name && *name ? name : "Your board");
    Own.par = 0;
    Own.tabled = false;
    CopyName(OwnSource, sizeof OwnSource, "own");
    OwnLevel = 1;
    EditorMode = 0;
    EditorClearPending = 0;
    LeftClickPending = RightClickPending = 0;
    StartLevel();
}

namespace {

// What the level compiler would warn about is told, as it would be.
void TellWarning(const char* warning, void*) { std::fprintf(stderr, "tarno: warning: %s\n", warning); }

}  // namespace

bool PlayLevelFile(const char* path) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    char name[sizeof Own.name * 4];  // cut to Own.name's size, on a whole character, as it is played
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

void LeaveOwnBoard() { OwnLevel = 0; }
