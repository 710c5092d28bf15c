#include <cerrno>
#include <cstring>

#include "game/frame.h"
#include "game/sprites.h"
#include "lib/display.h"
#include "lib/input.h"
#include "lib/sound.h"
#include "shell/shell.h"

namespace {

constexpr int32_t SPRITE = 48;

void Create(BOB* bob, int32_t frames, uint32_t attr) { CreateBob(bob, 0, 0, SPRITE, SPRITE, frames, attr, 0); }

void Cut(BOB* bob, int32_t frame, int32_t cx, int32_t cy) { LoadBobFrame(bob, &SpriteSheet, frame, cx, cy, 0); }

void BuildTank() {
    Create(&TankBob, 8, BOB_VISIBLE | BOB_SEQUENCE);
    for (int32_t k = 0; k < 8; ++k) Cut(&TankBob, k, k, 4);
    // Sequences 0..3 fire left, right, up, down: nine firing frames, then
    // the resting frame of the side the tank fires from.
    const int32_t firing[4] = {6, 4, 5, 7};
    const int32_t resting[4] = {2, 0, 1, 3};
    for (int32_t s = 0; s < 4; ++s) {
        int32_t seq[10];
        for (int32_t i = 0; i < 9; ++i) seq[i] = firing[s];
        seq[9] = resting[s];
        LoadBobAnimation(&TankBob, s, 10, seq);
    }
    SetBobAnimSpeed(&TankBob, 1);
}

}  // namespace

int InitGame() {
    WinFrameHook = OnWinFrame;
    PlatformRemoveStaleFiles();
    InitDisplay(1024, 768, 32);
    if (!InitInput()) PlatformBeep();
    if (!InitKeyboard()) PlatformBeep();
    if (!InitMouse()) PlatformBeep();
    if (!InitSound()) PlatformBeep();

    SoundPop = LoadWav("pop.wav", 0);
    SoundHit = LoadWav("hit.wav", 0);
    SoundShot = LoadWav("shot.wav", 0);
    SoundThump = LoadWav("thump.wav", 0);
    SoundStart = LoadWav("start.wav", 0);
    SoundBifald = LoadWav("bifald.wav", 0);
    SoundFinished = LoadWav("finished.wav", 0);
    PlaySoundEffect(SoundStart, 0);
    StopSoundEffect(SoundStart);

    // Without the sheet every picture stays empty and the game still runs.
    errno = 0;
    if (!LoadBitmapFile(&SpriteSheet, "pieces.bmp"))
        ShowFileError("Ingen pieces", "pieces.bmp", errno ? std::strerror(errno) : "not a picture the game reads");

    const uint32_t still = BOB_VISIBLE | BOB_ONE_FRAME;
    const uint32_t cycle = BOB_VISIBLE | BOB_FRAME_CYCLE;

    Create(&EmptyCellBob, 2, cycle);
    Cut(&EmptyCellBob, 0, 0, 0);
    Cut(&EmptyCellBob, 1, 1, 0);

    for (BOB& bob : BorderBobs) Create(&bob, 1, still);
    for (int32_t j = 0; j < 8; ++j) Cut(&BorderBobs[j], 0, j, 1);

    Create(&DeflectorBobs[0], 4, cycle);
    for (int32_t k = 0; k < 4; ++k) Cut(&DeflectorBobs[0], k, k + 4, 0);
    for (int32_t d = 1; d < MAX_DEFLECTORS; ++d) CloneBob(&DeflectorBobs[0], &DeflectorBobs[d]);

    Create(&ShotBobs[0], 4, cycle);
    for (int32_t k = 0; k < 4; ++k) Cut(&ShotBobs[0], k, k, 3);
    for (int32_t i = 1; i < MAX_SHOTS; ++i) CloneBob(&ShotBobs[0], &ShotBobs[i]);

    Create(&ImpactBob, 3, BOB_VISIBLE | BOB_SEQUENCE | BOB_PLAY_ONCE);
    for (int32_t k = 0; k < 3; ++k) Cut(&ImpactBob, k, k + 4, 3);
    const int32_t impact[5] = {0, 1, 2, 1, 0};
    LoadBobAnimation(&ImpactBob, 0, 5, impact);
    SetBobAnimSpeed(&ImpactBob, 1);
    // Rewound like after every impact, so the first one shows its whole sequence.
    ImpactBob.animIndex = -1;

    Create(&BlockBob, 1, still);
    Cut(&BlockBob, 0, 3, 0);

    for (BOB& bob : BalloonBobs) {
        Create(&bob, 1, still);
        Cut(&bob, 0, 7, 2);
    }

    Create(&PopBob, 5, cycle);
    for (int32_t k = 0; k < 5; ++k) Cut(&PopBob, k, k, 5);

    BuildTank();

    for (int32_t j = 0; j < 7; ++j) {
        Create(&BannerBobs[j], 1, still);
        Cut(&BannerBobs[j], 0, j, 2);
    }

    // The editor's own pictures: drawing the board never moves the level's sprites.
    CloneBob(&BalloonBobs[0], &EditorBalloonBob);
    CloneBob(&DeflectorBobs[0], &EditorDeflectorBob);
    return 1;
}

int ShutdownGame() {
    DestroyBob(&EmptyCellBob);
    DestroyBob(&BlockBob);
    for (BOB& bob : BorderBobs) DestroyBob(&bob);
    for (BOB& bob : BalloonBobs) DestroyBob(&bob);
    DestroyBob(&PopBob);
    for (BOB& bob : DeflectorBobs) DestroyBob(&bob);
    for (BOB& bob : ShotBobs) DestroyBob(&bob);
    DestroyBob(&ImpactBob);
    for (BOB& bob : BannerBobs) DestroyBob(&bob);
    DestroyBob(&TankBob);
    DestroyBob(&EditorBalloonBob);
    DestroyBob(&EditorDeflectorBob);
    UnloadBitmapFile(&SpriteSheet);
    ReleaseKeyboard();
    ReleaseMouse();
    ShutdownInput();
    const int32_t sounds[] = {SoundPop, SoundHit, SoundShot, SoundThump, SoundStart, SoundBifald, SoundFinished};
    for (int32_t id : sounds) DeleteSoundEffect(id);
    ShutdownSound();
    ShutdownDisplay();
    return 1;
}
