// BOB sprites: frames cut from a sheet, drawing with the field clip,
// animation, movement, clones and their release.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "lib/bob.h"
#include "lib/display.h"
#include "pixels.h"
#include "platform/headless/headless.h"

namespace {

constexpr uint32_t BACK = 0x00777777;

// A sheet of 3 by 2 cells of 48 pixels on the one-pixel grid, each pixel
// telling its own sheet position (never black).
struct Sheet {
    static constexpr int32_t W = 3 * 49 + 1, H = 2 * 49 + 1;
    std::vector<uint8_t> bytes = std::vector<uint8_t>(W * H * 3);
    BitmapFile file{};
    Sheet() {
        for (int32_t i = 0; i < W * H; ++i) {
            const uint32_t v = Pixel(i % W, i / W);
            for (int k = 0; k < 3; ++k) bytes[i * 3 + k] = static_cast<uint8_t>(v >> (8 * k));
        }
        file.infoHeader.biWidth = W;
        file.infoHeader.biHeight = H;
        file.pixels = bytes.data();
    }
    static uint32_t Pixel(int32_t x, int32_t y) {
        return static_cast<uint32_t>(x & 0xFF) | static_cast<uint32_t>(y & 0xFF) << 8 |
               static_cast<uint32_t>(1 + (x >> 8)) << 16;
    }
};

// Pixels of the back surface that are no longer the background.
int Drawn() { return FIELD_SIZE * FIELD_SIZE - CountPixels(BackSurface, BACK); }

class BobTest : public ::testing::Test {
protected:
    void SetUp() override {
        HeadlessReset();
        ASSERT_EQ(InitDisplay(1024, 768, 32), 1);
        FillSurface(BackSurface, BACK);
    }
    void TearDown() override {
        DestroyBob(&bob);
        ShutdownDisplay();
    }
    // A visible 48 by 48 one-frame BOB holding sheet cell (0, 0).
    void MakeCellBob() {
        ASSERT_EQ(CreateBob(&bob, 0, 0, 48, 48, 1, BOB_VISIBLE | BOB_ONE_FRAME, 0), 1);
        ASSERT_EQ(LoadBobFrame(&bob, &sheet.file, 0, 0, 0, 0), 1);
    }
    Sheet sheet;
    BOB bob{};
};

}  // namespace

TEST_F(BobTest, AMissingSheetOrACellOffItLeavesAnEmptyFrame) {
    ASSERT_EQ(CreateBob(&bob, 0, 0, 48, 48, 1, BOB_VISIBLE, 0), 1);
    // Cell column 3, cell row 2 and column -1 lie past this sheet's edges, as
    // does pixel column 200; so does every cell of a sheet that failed to load.
    BitmapFile none{};
    const struct {
        const BitmapFile* sheet;
        int32_t cx, cy, mode;
    } off[] = {{&sheet.file, 3, 0, 0},   {&sheet.file, 0, 2, 0}, {&sheet.file, -1, 0, 0},
               {&sheet.file, 200, 0, 1}, {&none, 0, 0, 0},       {nullptr, 0, 0, 0}};
    for (const auto& o : off) {
        ASSERT_EQ(LoadBobFrame(&bob, &sheet.file, 0, 1, 1, 0), 1);
        EXPECT_EQ(LoadBobFrame(&bob, o.sheet, 0, o.cx, o.cy, o.mode), 0) << o.cx << "," << o.cy;
        EXPECT_EQ(CountPixels(bob.frames[0], 0), 48 * 48) << o.cx << "," << o.cy;
    }
    // A frame index the BOB does not have; more frames than it has slots.
    EXPECT_EQ(LoadBobFrame(&bob, &sheet.file, 1, 0, 0, 0), 0);
    EXPECT_EQ(LoadBobFrame(&bob, &sheet.file, -1, 0, 0, 0), 0);
    BOB tooMany{};
    EXPECT_EQ(CreateBob(&tooMany, 0, 0, 8, 8, BOB_FRAME_SLOTS + 1, 0, 0), 0);
    EXPECT_EQ(tooMany.frames[0], nullptr);
}

TEST_F(BobTest, DrawClipsToTheFieldAndLeavesBlackOut) {
    MakeCellBob();
    const struct {
        int32_t x, y, firstX, firstY, sheetX, sheetY, drawn;
    } cases[] = {
        {-10, 20, 0, 20, 11, 1, 38 * 48},   // source (10, 0, 48, 48) into (0, 20, 38, 68)
        {640, 0, 640, 0, 1, 1, 32 * 48},    // source (0, 0, 32, 48) into (640, 0, 672, 48)
        {650, -40, 650, 0, 1, 41, 22 * 8},  // both corners off at once
    };
    for (const auto& c : cases) {
        FillSurface(BackSurface, BACK);
        SetBobPosition(&bob, c.x, c.y);
        EXPECT_EQ(DrawBob(&bob, BackSurface), 1);
        EXPECT_EQ(PixelAt(BackSurface, c.firstX, c.firstY), Sheet::Pixel(c.sheetX, c.sheetY)) << c.x << "," << c.y;
        EXPECT_EQ(Drawn(), c.drawn) << c.x << "," << c.y;
    }
    // A black pixel is transparent.
    PixelAt(bob.frames[0], 0, 0) = 0;
    FillSurface(BackSurface, BACK);
    SetBobPosition(&bob, 48, 96);
    EXPECT_EQ(DrawBob(&bob, BackSurface), 1);
    EXPECT_EQ(PixelAt(BackSurface, 48, 96), BACK);
    EXPECT_EQ(PixelAt(BackSurface, 49, 96), Sheet::Pixel(2, 1));
}

TEST_F(BobTest, DrawOutsideTheFieldOrInvisibleDrawsNothing) {
    MakeCellBob();
    for (auto pos : {std::pair<int, int>{672, 0}, {0, 672}, {-48, 0}, {0, -48}, {-5000, 90000}, {INT32_MAX, 0}}) {
        SetBobPosition(&bob, pos.first, pos.second);
        EXPECT_EQ(DrawBob(&bob, BackSurface), 1);
    }
    SetBobPosition(&bob, 100, 100);
    bob.attr &= ~BOB_VISIBLE;
    EXPECT_EQ(DrawBob(&bob, BackSurface), 1);
    EXPECT_EQ(DrawBobScaled(&bob, 100, 100, BackSurface), 1);
    EXPECT_EQ(Drawn(), 0);
    // Without a destination or a frame it fails rather than draws.
    bob.attr |= BOB_VISIBLE;
    EXPECT_EQ(DrawBob(&bob, nullptr), 0);
    bob.currFrame = 1;  // never created
    EXPECT_EQ(DrawBob(&bob, BackSurface), 0);
    bob.currFrame = BOB_FRAME_SLOTS;
    EXPECT_EQ(DrawBob(&bob, BackSurface), 0);
    EXPECT_EQ(DrawBobScaled(&bob, 10, 10, BackSurface), 0);
}

namespace {
// The frames shown by n calls of AnimateBob.
std::vector<int32_t> Animate(BOB& b, int n) {
    std::vector<int32_t> seen;
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(AnimateBob(&b), 1);
        seen.push_back(b.currFrame);
    }
    return seen;
}
using Frames = std::vector<int32_t>;
}  // namespace

TEST(BobAnimation, SequencesLoopOrStopOnTheirLastElement) {
    BOB b{};
    b.attr = BOB_SEQUENCE;
    const int32_t loop[] = {5, 6, 7};
    ASSERT_EQ(LoadBobAnimation(&b, 0, 3, loop), 1);
    SetBobAnimation(&b, 0);
    EXPECT_EQ(Animate(b, 7), (Frames{6, 7, 5, 6, 7, 5, 6}));

    b.attr = BOB_SEQUENCE | BOB_PLAY_ONCE;
    const int32_t once[] = {0, 1, 2, 1, 0};
    ASSERT_EQ(LoadBobAnimation(&b, 15, 5, once), 1);
    SetBobAnimation(&b, 15);
    EXPECT_EQ(Animate(b, 4), (Frames{1, 2, 1, 0}));
    EXPECT_EQ(b.animState, 0);
    EXPECT_EQ(Animate(b, 2), (Frames{0, 0}));
    EXPECT_EQ(b.animState, 1);
    // Replayed from its first element with animIndex -1.
    b.animState = 0;
    b.animIndex = -1;
    EXPECT_EQ(Animate(b, 2), (Frames{0, 1}));

    // Slots past the table are refused; a slot never loaded, or holding an
    // empty sequence, leaves the frame alone.
    EXPECT_EQ(LoadBobAnimation(&b, BOB_SEQUENCE_SLOTS, 5, once), 0);
    EXPECT_EQ(LoadBobAnimation(&b, -1, 5, once), 0);
    ASSERT_EQ(LoadBobAnimation(&b, 1, 0, nullptr), 1);
    b.currFrame = 9;
    for (int32_t slot : {1, 2}) {
        SetBobAnimation(&b, slot);
        EXPECT_EQ(Animate(b, 2), (Frames{9, 9}));
    }
    DestroyBob(&b);
}

TEST_F(BobTest, ClonesShareThePicturesTheOwnerReleases) {
    MakeCellBob();
    const int32_t seq[] = {1, 0};
    LoadBobAnimation(&bob, 0, 2, seq);
    BOB clone{};
    ASSERT_EQ(CloneBob(&bob, &clone), 1);
    EXPECT_EQ(clone.frames[0], bob.frames[0]);
    EXPECT_EQ(clone.animations[0], bob.animations[0]);
    // Destroying the clone releases nothing: the owner still draws.
    EXPECT_EQ(DestroyBob(&clone), 1);
    EXPECT_EQ(clone.frames[0], nullptr);
    EXPECT_EQ(DrawBob(&bob, BackSurface), 1);
    EXPECT_EQ(PixelAt(BackSurface, 0, 0), Sheet::Pixel(1, 1));
    // The owner's release clears its references, so a second one is harmless,
    // as is releasing a blank record.
    EXPECT_EQ(DestroyBob(&bob), 1);
    EXPECT_EQ(bob.frames[0], nullptr);
    EXPECT_EQ(bob.animations[0], nullptr);
    EXPECT_EQ(DestroyBob(&bob), 1);
    BOB blank{};
    EXPECT_EQ(DestroyBob(&blank), 1);
}

namespace {

// Row y of a field-sized surface.
uint32_t* FieldRow(Surface* s, int32_t y) {
    int32_t pitch = 0;
    uint32_t* pixels = PlatformLockSurface(s, &pitch);  // sets the pitch first
    return pixels + y * (pitch / 4);
}

bool SameField(Surface* a, Surface* b) {
    for (int32_t y = 0; y < FIELD_SIZE; ++y)
        if (std::memcmp(FieldRow(a, y), FieldRow(b, y), FIELD_SIZE * 4) != 0) return false;
    return true;
}

}  // namespace

// The floor goes back only where something was drawn, and a present names
// every tile that changed: frames of sprites drawn anywhere, on and off the
// field, end exactly as if the floor had been blitted whole each time.
TEST_F(BobTest, TheFloorIsPutBackAndShownWhereverSomethingWasDrawn) {
    MakeCellBob();
    Surface* floor = PlatformCreateSurface(FIELD_SIZE, FIELD_SIZE);
    Surface* whole = PlatformCreateSurface(FIELD_SIZE, FIELD_SIZE);  // the same frames, the floor blitted whole
    Surface* shown = PlatformCreateSurface(FIELD_SIZE, FIELD_SIZE);  // as the last present showed the field
    ASSERT_TRUE(floor && whole && shown);
    // Transparent here and there, so the frame before shows through.
    for (int32_t y = 0; y < FIELD_SIZE; ++y)
        for (int32_t x = 0; x < FIELD_SIZE; ++x)
            FieldRow(floor, y)[x] = (x * 7 + y * 3) % 11 == 0 ? 0 : 0x00400000u | (y & 0xFF) << 8 | (x & 0xFF);
    FillSurface(whole, BACK);
    MarkAllDrawn();  // filled by hand, not drawn
    std::mt19937 random(18);
    const auto at = [&random] { return static_cast<int32_t>(random() % 800) - 64; };
    for (int frame = 0; frame < 60; ++frame) {
        PutBackWhereDrawn(floor);
        PlatformBlit(whole, nullptr, floor, nullptr, true);
        for (int k = 0; k < 3; ++k) {
            SetBobPosition(&bob, at(), at());
            DrawBob(&bob, BackSurface);
            DrawBob(&bob, whole);
        }
        const int32_t side = 1 + static_cast<int32_t>(random() % 150);
        DrawBobScaled(&bob, side, side / 2 + 1, BackSurface);
        DrawBobScaled(&bob, side, side / 2 + 1, whole);
        ASSERT_TRUE(SameField(BackSurface, whole)) << "frame " << frame;
        PresentFrame();
        const FieldTiles& drawn = HeadlessPresentedTiles();
        for (int32_t y = 0; y < FIELD_SIZE; ++y)
            for (int32_t x = 0; x < FIELD_SIZE; ++x)
                if (!(drawn.rows[y / FIELD_TILE] >> (x / FIELD_TILE) & 1)) {
                    ASSERT_EQ(FieldRow(BackSurface, y)[x], FieldRow(shown, y)[x])
                        << x << "," << y << " frame " << frame;
                }
        PlatformBlit(shown, nullptr, BackSurface, nullptr, false);
    }
    PlatformDestroySurface(floor);
    PlatformDestroySurface(whole);
    PlatformDestroySurface(shown);
}
