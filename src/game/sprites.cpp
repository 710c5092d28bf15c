#include "game/sprites.h"

#include "game/sheet.h"
#include "lib/display.h"

BitmapFile SpriteSheet;
BOB EmptyCellBob;
BOB BorderBobs[8];
BOB BalloonBobs[MAX_BALLOONS];
BOB DeflectorBobs[MAX_DEFLECTORS];
BOB ShotBobs[MAX_SHOTS];
BOB PopBob;
BOB ImpactBob;
BOB TankBob;
BOB BannerBobs[7];
BOB PieceBobs[PIECE_KINDS];
Surface* FloorPicture = nullptr;

namespace {

void Create(BOB* bob, int32_t frames, uint32_t attr) { CreateBob(bob, 0, 0, SHEET_CELL, SHEET_CELL, frames, attr, 0); }

// Picture `k` of a strip into frame `frame`.
void Cut(BOB* bob, int32_t frame, SheetStrip strip, int32_t k) {
    LoadBobFrame(bob, &SpriteSheet, frame, strip.cx + k, strip.cy, 0);
}

// A sprite whose frames are the strip's pictures in order.
void CreateFromStrip(BOB* bob, SheetStrip strip, uint32_t attr) {
    Create(bob, strip.count, attr);
    for (int32_t k = 0; k < strip.count; ++k) Cut(bob, k, strip, k);
}

void BuildTank() {
    CreateFromStrip(&TankBob, SHEET_TANK, BOB_VISIBLE | BOB_SEQUENCE);
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

void DrawAt(BOB* bob, int32_t x, int32_t y, Surface* dest) {
    SetBobPosition(bob, x, y);
    DrawBob(bob, dest);
}

// The frame blits the picture keyed, as it did each piece: layered keyed
// blits leave a pixel alone only where every layer is transparent, and so
// does one keyed blit of the layers drawn onto a transparent (black) picture.
// So the frame's pixels stay exactly as before, the sheet missing or not.
void MakeFloorPicture() {
    PlatformDestroySurface(FloorPicture);
    FloorPicture = PlatformCreateSurface(FIELD_SIZE, FIELD_SIZE);
    if (FloorPicture) DrawFloorAndBorder(FloorPicture);
    // The back surface has none of it yet.
    MarkAllDrawn();
}

}  // namespace

void DrawFloorAndBorder(Surface* dest) {
    for (int32_t cx = 0; cx < BOARD_CELLS; ++cx)
        for (int32_t cy = 0; cy < BOARD_CELLS; ++cy) {
            EmptyCellBob.currFrame = (cx + cy) % 2;
            DrawAt(&EmptyCellBob, CELL_SIZE * cx, CELL_SIZE * cy, dest);
        }
    DrawAt(&BorderBobs[0], 0, 0, dest);
    DrawAt(&BorderBobs[2], FIELD_MAX, 0, dest);
    DrawAt(&BorderBobs[4], FIELD_MAX, FIELD_MAX, dest);
    DrawAt(&BorderBobs[6], 0, FIELD_MAX, dest);
    for (int32_t k = FIRST_INNER; k <= LAST_INNER; ++k) DrawAt(&BorderBobs[1], CELL_SIZE * k, 0, dest);
    for (int32_t k = FIRST_INNER; k <= LAST_INNER; ++k) DrawAt(&BorderBobs[3], FIELD_MAX, CELL_SIZE * k, dest);
    for (int32_t k = FIRST_INNER; k <= LAST_INNER; ++k) DrawAt(&BorderBobs[5], CELL_SIZE * k, FIELD_MAX, dest);
    for (int32_t k = FIRST_INNER; k <= LAST_INNER; ++k) DrawAt(&BorderBobs[7], 0, CELL_SIZE * k, dest);
}

void MakeSprites() {
    const uint32_t still = BOB_VISIBLE | BOB_ONE_FRAME;
    const uint32_t cycle = BOB_VISIBLE | BOB_FRAME_CYCLE;

    CreateFromStrip(&EmptyCellBob, SHEET_FLOOR, cycle);

    static_assert(sizeof BorderBobs / sizeof BorderBobs[0] == SHEET_BORDER.count, "a sprite per border piece");
    for (int32_t j = 0; j < SHEET_BORDER.count; ++j) {
        Create(&BorderBobs[j], 1, still);
        Cut(&BorderBobs[j], 0, SHEET_BORDER, j);
    }

    CreateFromStrip(&DeflectorBobs[0], SHEET_DEFLECTOR, cycle);
    for (int32_t d = 1; d < MAX_DEFLECTORS; ++d) CloneBob(&DeflectorBobs[0], &DeflectorBobs[d]);

    CreateFromStrip(&ShotBobs[0], SHEET_SHOT, cycle);
    for (int32_t i = 1; i < MAX_SHOTS; ++i) CloneBob(&ShotBobs[0], &ShotBobs[i]);

    CreateFromStrip(&ImpactBob, SHEET_IMPACT, BOB_VISIBLE | BOB_SEQUENCE | BOB_PLAY_ONCE);
    const int32_t impact[5] = {0, 1, 2, 1, 0};
    LoadBobAnimation(&ImpactBob, 0, 5, impact);
    SetBobAnimSpeed(&ImpactBob, 1);
    // Rewound like after every impact, so the first one shows its whole sequence.
    ImpactBob.animIndex = -1;

    for (BOB& bob : BalloonBobs) CreateFromStrip(&bob, SHEET_BALLOON, still);

    CreateFromStrip(&PopBob, SHEET_POP, cycle);

    BuildTank();

    static_assert(sizeof BannerBobs / sizeof BannerBobs[0] == SHEET_BANNER.count, "a sprite per banner letter");
    for (int32_t j = 0; j < SHEET_BANNER.count; ++j) {
        Create(&BannerBobs[j], 1, still);
        Cut(&BannerBobs[j], 0, SHEET_BANNER, j);
    }

    for (int32_t i = 0; i < PIECE_KINDS; ++i)
        if (PIECES[i].picture.count) CreateFromStrip(&PieceBobs[i], PIECES[i].picture, still);

    MakeFloorPicture();
}

void FreeSprites() {
    PlatformDestroySurface(FloorPicture);
    FloorPicture = nullptr;
    DestroyBob(&EmptyCellBob);
    for (BOB& bob : BorderBobs) DestroyBob(&bob);
    for (BOB& bob : BalloonBobs) DestroyBob(&bob);
    DestroyBob(&PopBob);
    for (BOB& bob : DeflectorBobs) DestroyBob(&bob);
    for (BOB& bob : ShotBobs) DestroyBob(&bob);
    DestroyBob(&ImpactBob);
    for (BOB& bob : BannerBobs) DestroyBob(&bob);
    DestroyBob(&TankBob);
    for (BOB& bob : PieceBobs) DestroyBob(&bob);
    UnloadBitmapFile(&SpriteSheet);
}
