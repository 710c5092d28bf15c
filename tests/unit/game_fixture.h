// Shared set-up for the rules tests: a fresh folder, real sounds, levels
// written as files, and frames run in the frame driver's order.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "game/board.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/session.h"
#include "game/shots.h"
#include "game/sprites.h"
#include "game/tank.h"
#include "lib/sound.h"
#include "platform/headless/headless.h"
#include "scratch.h"
#include "shell/shell.h"

// A piece of a level: its cell and its code in the file.
struct Piece {
    int32_t cx, cy, code;
};
constexpr int32_t BLOCK = CELL_BLOCK, BALLOON = CELL_BALLOON;
constexpr int32_t Wedge(int32_t o) { return CELL_DEFLECTOR_0 + o; }

class GameTest : public ::testing::Test {
protected:
    ScratchDir scratch;

    void SetUp() override {
        HeadlessReset();
        ShutdownSound();
        InitSound();
        for (int i = 0; i < SOUND_COUNT; ++i) {
            const char name[] = {static_cast<char>('a' + i), '.', 'w', 'a', 'v', 0};
            WriteWav(name, static_cast<uint8_t>(i));
            Sounds[i] = LoadWav(name, 0);
            ASSERT_EQ(Sounds[i], i);
        }
        // The whole session afresh, whatever the last case left.
        StartFreshSession();
    }
    void TearDown() override {
        ShutdownSound();
        Sounds.fill(-1);
    }

    static void WriteWav(const char* name, uint8_t sample) {
        const uint8_t wav[] = {'R', 'I', 'F', 'F', 40, 0, 0,   0,   'W',  'A',  'V', 'E', 'f',  'm',  't',    ' ',
                               18,  0,   0,   0,   1,  0, 1,   0,   0x11, 0x2B, 0,   0,   0x11, 0x2B, 0,      0,
                               1,   0,   8,   0,   0,  0, 'd', 'a', 't',  'a',  2,   0,   0,    0,    sample, sample};
        WriteFileBytes(name, wav, sizeof wav);
    }

    // Times a sound was started since the last HeadlessReset.
    static int Plays(int32_t id) {
        int n = 0;
        for (const HeadlessSoundEvent& e : HeadlessSoundLog())
            if (e.kind == HeadlessSoundEvent::PLAY && e.buffer == SoundTable[id].buffer) ++n;
        return n;
    }

    // Writes a level file whose interior is empty but for the pieces, and starts it.
    static void StartWith(const Piece* pieces, int count, int32_t level = 1) {
        uint8_t bytes[LEVEL_FILE_SIZE] = {};
        for (int cx = FIRST_INNER; cx <= LAST_INNER; ++cx)
            for (int cy = FIRST_INNER; cy <= LAST_INNER; ++cy) bytes[cx * BOARD_CELLS + cy] = CELL_EMPTY;
        for (int i = 0; i < count; ++i)
            bytes[pieces[i].cx * BOARD_CELLS + pieces[i].cy] = static_cast<uint8_t>(pieces[i].code);
        char name[32];
        LevelFileName(level, name, sizeof name);
        WriteFileBytes(name, bytes, sizeof bytes);
        CurrentLevel = static_cast<uint8_t>(level);
        StartLevel();
    }
    static void StartWith(std::initializer_list<Piece> pieces, int32_t level = 1) {
        StartWith(pieces.begin(), static_cast<int>(pieces.size()), level);
    }

    // The play frame's part that belongs to the pieces, as the game runs it.
    static void Frame() { RunPiecesFrame(); }
    static void Frames(int n) {
        for (int i = 0; i < n; ++i) Frame();
    }
    // Runs frames until nothing moves; returns how many ran.
    static int RunToRest(int limit = 400) {
        int n = 0;
        while (PlayInMotion(Now.Live.play) && n < limit) Frame(), ++n;
        return n;
    }

    // Fires from a point (the tank's place), the key released first.
    static void FireAt(int32_t x, int32_t y, int32_t direction) {
        Now.Live.tank.x = x, Now.Live.tank.y = y;
        KeyReleased = 1;
        FireShot(direction);
    }
    // The same, and runs that frame; returns the slot.
    static int32_t FireFrom(int32_t x, int32_t y, int32_t direction) {
        int32_t slot = 0;
        while (slot < MAX_SHOTS && Now.Live.play.shotActive[slot]) ++slot;
        FireAt(x, y, direction);
        Frame();
        return slot % MAX_SHOTS;
    }
    // Fires along row or column `line` from the border the direction starts at.
    static int32_t FireAlong(int32_t line, int32_t direction) {
        const int32_t p = CELL_SIZE * line;
        switch (direction) {
        case DIR_RIGHT: return FireFrom(0, p, direction);
        case DIR_LEFT: return FireFrom(FIELD_MAX, p, direction);
        case DIR_DOWN: return FireFrom(p, 0, direction);
        default: return FireFrom(p, FIELD_MAX, direction);
        }
    }

    static bool DeflectorAt(int32_t slot, int32_t cx, int32_t cy) {
        const Deflector& d = Now.Live.play.deflectors[slot];
        return d.x == CELL_SIZE * cx && d.y == CELL_SIZE * cy;
    }
    static bool Resting(int32_t slot) {
        return Now.Live.play.deflectors[slot].xv == 0 && Now.Live.play.deflectors[slot].yv == 0;
    }
};
