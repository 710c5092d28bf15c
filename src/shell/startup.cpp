#include "game/frame.h"
#include "game/sprites.h"
#include "game/win.h"
#include "lib/display.h"
#include "lib/input.h"
#include "lib/sound.h"
#include "shell/comforts.h"
#include "shell/shell.h"
#include "solver/advice.h"
#include "solver/tables.h"

void InitDevices() {
    RemoveStaleLevelSaves();
    ReadLevelIndex();
    InitDisplay(1024, 768, 32);
    if (!InitInput()) PlatformBeep();
    if (!InitKeyboard()) PlatformBeep();
    if (!InitMouse()) PlatformBeep();
    if (!InitSound()) PlatformBeep();
}

void LoadSounds() {
    for (int32_t id = 0; id < SOUND_COUNT; ++id) Sounds[id] = LoadWav(SOUND_FILES[id], 0);
    PlaySoundEffect(SoundStart, 0);
    StopSoundEffect(SoundStart);
}

void LoadPictures() {
    // Without the sheet every picture stays empty and the game still runs.
    const char* why = nullptr;
    if (!LoadBitmapFile(&SpriteSheet, "pieces.bmp", &why)) ShowFileError("Ingen pieces", "pieces.bmp", why);
    MakeSprites();
}

int InitGame() {
    InitDevices();
    LoadSounds();
    LoadPictures();
    return 1;
}

int StartGame() {
    InitGame();
    if (!DisplayReady) return 0;
    StartShellLevel();
    return 1;
}

int ShutdownGame() {
    StopMaking();
    StopAdvice();
    StopWinTables();
    FreeSprites();
    ReleaseKeyboard();
    ReleaseMouse();
    ShutdownInput();
    // Forgotten as well as freed: a later sound may take the slot.
    for (int32_t& id : Sounds) {
        DeleteSoundEffect(id);
        id = -1;
    }
    ShutdownSound();
    ShutdownDisplay();
    return 1;
}
