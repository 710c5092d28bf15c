// Boards of the player's own: a level file opened by name, or the editor's
// board played with P. They play like a level, but the progress stays.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/leveltext.h"
#include "platform/platform.h"
#include "shell/comforts.h"
#include "shell/shell.h"

char OwnName[48];
int32_t OwnPar;
bool OwnTabled;

int32_t LevelPar() {
    if (OwnLevel) return OwnPar;
    return LevelPars[CurrentLevel];
}

void PlayOwnBoard(const uint8_t bytes[LEVEL_FILE_SIZE], const char* name) {
    std::memcpy(OwnLevelBytes, bytes, LEVEL_FILE_SIZE);
    CopyName(OwnName, sizeof OwnName, name && *name ? name : "Your board");
    OwnPar = 0;
    OwnTabled = false;
    CopyName(OwnSource, sizeof OwnSource, "own");
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
