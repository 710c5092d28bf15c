// Sprite records: position, velocity, up to 64 frame pictures and 16
// animation sequences. Free functions on caller-owned records; each returns
// 1 for success, 0 for failure and 0 at once for a null record.
#pragma once
#include <cstdint>

#include "lib/bitmap.h"
#include "platform/platform.h"

constexpr uint32_t BOB_ONE_FRAME = 0x01;
constexpr uint32_t BOB_FRAME_CYCLE = 0x02;
constexpr uint32_t BOB_SEQUENCE = 0x04;
constexpr uint32_t BOB_PLAY_ONCE = 0x08;
constexpr uint32_t BOB_VISIBLE = 0x10;
constexpr uint32_t BOB_BOUNCE = 0x20;
constexpr uint32_t BOB_WRAP = 0x40;
constexpr uint32_t BOB_CLONE = 0x100;

constexpr int BOB_FRAME_SLOTS = 64;
constexpr int BOB_SEQUENCE_SLOTS = 16;
constexpr int32_t SEQUENCE_END = -1;

// MoveBob's fixed clip rectangle (the display mode less one) and DrawBob's
// field square.
constexpr int32_t ClipMinX = 0, ClipMaxX = 1023, ClipMinY = 0, ClipMaxY = 767;
constexpr int32_t DRAW_CLIP_SIZE = 672;

struct BOB {
    int32_t animState;
    uint32_t attr;
    int32_t x, y;
    int32_t xv, yv;
    int32_t width, height;
    int32_t widthFill;
    int32_t currFrame;
    int32_t numFrames;
    int32_t currAnimation;
    int32_t animCounter;
    int32_t animIndex;
    int32_t animSpeed;
    int32_t* animations[BOB_SEQUENCE_SLOTS];
    Surface* frames[BOB_FRAME_SLOTS];
};

int CreateBob(BOB* bob, int32_t x, int32_t y, int32_t width, int32_t height, int32_t numFrames, uint32_t attr,
              uint32_t extraCaps);
int LoadBobFrame(BOB* bob, const BitmapFile* bitmap, int32_t frame, int32_t cx, int32_t cy, int32_t mode);
int DestroyBob(BOB* bob);

int LoadBobAnimation(BOB* bob, int32_t index, int32_t count, const int32_t* elements);
int DrawBob(BOB* bob, Surface* dest);
int DrawBobScaled(BOB* bob, int32_t width, int32_t height, Surface* dest);
int AnimateBob(BOB* bob);
int MoveBob(BOB* bob);
int CloneBob(const BOB* source, BOB* dest);
int SetBobPosition(BOB* bob, int32_t x, int32_t y);
int SetBobVelocity(BOB* bob, int32_t xv, int32_t yv);
int SetBobAnimSpeed(BOB* bob, int32_t speed);
int SetBobAnimation(BOB* bob, int32_t index);
