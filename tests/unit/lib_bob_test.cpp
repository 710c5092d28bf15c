// BOB sprites: frames cut from a sheet, drawing with the field clip,
// animation, movement, clones and their release.
#include <gtest/gtest.h>

#include <vector>

#include "lib/bob.h"
#include "lib/display.h"
#include "platform/headless/headless.h"

namespace {

constexpr uint32_t BACK = 0x00777777;

// A sheet of 3 by 2 cells of 48 pixels on the one-pixel grid, each pixel
// telling its own sheet position (never black).
struct Sheet {
    std::vector<uint8_t> bytes;
    BitmapFile file{};
    Sheet(int32_t w = 3 * 49 + 1, int32_t h = 2 * 49 + 1) : bytes(static_cast<size_t>(w) * h * 3) {
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                uint8_t* p = &bytes[(static_cast<size_t>(y) * w + x) * 3];
                p[0] = static_cast<uint8_t>(x);
                p[1] = static_cast<uint8_t>(y);
                p[2] = static_cast<uint8_t>(1 + (x >> 8));
            }
        file.infoHeader.biWidth = w;
        file.infoHeader.biHeight = h;
        file.pixels = bytes.data();
    }
    static uint32_t Pixel(int32_t x, int32_t y) {
        return static_cast<uint32_t>(x & 0xFF) | static_cast<uint32_t>(y & 0xFF) << 8 |
               static_cast<uint32_t>(1 + (x >> 8)) << 16;
    }
};

uint32_t& PixelAt(Surface* s, int32_t x, int32_t y) {
    int32_t pitch = 0;
    uint32_t* p = PlatformLockSurface(s, &pitch);
    return p[y * (pitch / 4) + x];
}

int CountNot(Surface* s, uint32_t v) {
    int n = 0;
    for (int32_t y = 0; y < PlatformSurfaceHeight(s); ++y)
        for (int32_t x = 0; x < PlatformSurfaceWidth(s); ++x) n += PixelAt(s, x, y) != v;
    return n;
}

void FillSurface(Surface* s, uint32_t v) {
    for (int32_t y = 0; y < PlatformSurfaceHeight(s); ++y)
        for (int32_t x = 0; x < PlatformSurfaceWidth(s); ++x) PixelAt(s, x, y) = v;
}

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

TEST_F(BobTest, EveryOperationRefusesANullRecord) {
    EXPECT_EQ(CreateBob(nullptr, 0, 0, 8, 8, 1, 0, 0), 0);
    EXPECT_EQ(LoadBobFrame(nullptr, &sheet.file, 0, 0, 0, 0), 0);
    EXPECT_EQ(DestroyBob(nullptr), 0);
    EXPECT_EQ(LoadBobAnimation(nullptr, 0, 0, nullptr), 0);
    EXPECT_EQ(DrawBob(nullptr, BackSurface), 0);
    EXPECT_EQ(DrawBobScaled(nullptr, 10, 10, BackSurface), 0);
    EXPECT_EQ(AnimateBob(nullptr), 0);
    EXPECT_EQ(MoveBob(nullptr), 0);
    EXPECT_EQ(CloneBob(nullptr, &bob), 0);
    EXPECT_EQ(CloneBob(&bob, nullptr), 0);
    EXPECT_EQ(SetBobPosition(nullptr, 1, 1), 0);
    EXPECT_EQ(SetBobVelocity(nullptr, 1, 1), 0);
    EXPECT_EQ(SetBobAnimSpeed(nullptr, 1), 0);
    EXPECT_EQ(SetBobAnimation(nullptr, 1), 0);
}

TEST_F(BobTest, CreatedFramesAreWholeMultiplesOfEight) {
    ASSERT_EQ(CreateBob(&bob, 5, 6, 50, 20, 3, BOB_VISIBLE, 0), 1);
    EXPECT_EQ(bob.widthFill, 6);
    EXPECT_EQ(bob.numFrames, 3);
    EXPECT_EQ(PlatformSurfaceWidth(bob.frames[2]), 56);
    EXPECT_EQ(PlatformSurfaceHeight(bob.frames[2]), 20);
    EXPECT_EQ(bob.frames[3], nullptr);
    EXPECT_EQ(bob.x, 5);
    EXPECT_EQ(bob.y, 6);
    BOB b48{};
    ASSERT_EQ(CreateBob(&b48, 0, 0, 48, 48, 1, 0, 0), 1);
    EXPECT_EQ(b48.widthFill, 0);
    DestroyBob(&b48);
    // More frames than a BOB has slots is refused before anything is made.
    BOB tooMany{};
    EXPECT_EQ(CreateBob(&tooMany, 0, 0, 8, 8, BOB_FRAME_SLOTS + 1, 0, 0), 0);
    EXPECT_EQ(tooMany.frames[0], nullptr);
}

TEST_F(BobTest, FramesAreCutFromTheCellGrid) {
    ASSERT_EQ(CreateBob(&bob, 0, 0, 48, 48, 2, BOB_VISIBLE, 0), 1);
    ASSERT_EQ(LoadBobFrame(&bob, &sheet.file, 0, 0, 0, 0), 1);
    ASSERT_EQ(LoadBobFrame(&bob, &sheet.file, 1, 2, 1, 0), 1);
    // Cell (0, 0) starts at sheet pixel (1, 1); cell (2, 1) at (99, 50).
    EXPECT_EQ(PixelAt(bob.frames[0], 0, 0), Sheet::Pixel(1, 1));
    EXPECT_EQ(PixelAt(bob.frames[0], 47, 47), Sheet::Pixel(48, 48));
    EXPECT_EQ(PixelAt(bob.frames[1], 0, 0), Sheet::Pixel(99, 50));
    EXPECT_EQ(PixelAt(bob.frames[1], 47, 47), Sheet::Pixel(146, 97));
    // Blue, green, red bytes become one XRGB pixel.
    sheet.bytes[(1 * sheet.file.infoHeader.biWidth + 1) * 3 + 0] = 0x10;
    sheet.bytes[(1 * sheet.file.infoHeader.biWidth + 1) * 3 + 1] = 0x20;
    sheet.bytes[(1 * sheet.file.infoHeader.biWidth + 1) * 3 + 2] = 0x30;
    LoadBobFrame(&bob, &sheet.file, 0, 0, 0, 0);
    EXPECT_EQ(PixelAt(bob.frames[0], 0, 0), 0x00302010u);
    // Any other mode takes a pixel position.
    ASSERT_EQ(LoadBobFrame(&bob, &sheet.file, 1, 7, 3, 1), 1);
    EXPECT_EQ(PixelAt(bob.frames[1], 0, 0), Sheet::Pixel(7, 3));
}

TEST_F(BobTest, AMissingSheetOrACellOffItLeavesAnEmptyFrame) {
    ASSERT_EQ(CreateBob(&bob, 0, 0, 48, 48, 1, BOB_VISIBLE, 0), 1);
    ASSERT_EQ(LoadBobFrame(&bob, &sheet.file, 0, 1, 1, 0), 1);
    ASSERT_NE(CountNot(bob.frames[0], 0), 0);
    // Cell column 3 and cell row 2 lie past this sheet's edges.
    EXPECT_EQ(LoadBobFrame(&bob, &sheet.file, 0, 3, 0, 0), 0);
    EXPECT_EQ(CountNot(bob.frames[0], 0), 0);
    EXPECT_EQ(LoadBobFrame(&bob, &sheet.file, 0, 0, 2, 0), 0);
    EXPECT_EQ(LoadBobFrame(&bob, &sheet.file, 0, -1, 0, 0), 0);
    EXPECT_EQ(LoadBobFrame(&bob, &sheet.file, 0, 0, 0, 1 << 20), 1);
    EXPECT_EQ(LoadBobFrame(&bob, &sheet.file, 0, 200, 0, 1), 0);
    // The sheet failed to load: no pixels at all.
    BitmapFile none{};
    LoadBobFrame(&bob, &sheet.file, 0, 0, 0, 0);
    EXPECT_EQ(LoadBobFrame(&bob, &none, 0, 0, 0, 0), 0);
    EXPECT_EQ(CountNot(bob.frames[0], 0), 0);
    EXPECT_EQ(LoadBobFrame(&bob, nullptr, 0, 0, 0, 0), 0);
    // A frame index the BOB does not have.
    EXPECT_EQ(LoadBobFrame(&bob, &sheet.file, 1, 0, 0, 0), 0);
    EXPECT_EQ(LoadBobFrame(&bob, &sheet.file, -1, 0, 0, 0), 0);
}

TEST_F(BobTest, DrawClipsToTheField) {
    MakeCellBob();
    // x = -10: source (10, 0, 48, 48) into (0, 20, 38, 68).
    SetBobPosition(&bob, -10, 20);
    EXPECT_EQ(DrawBob(&bob, BackSurface), 1);
    EXPECT_EQ(PixelAt(BackSurface, 0, 20), Sheet::Pixel(11, 1));
    EXPECT_EQ(PixelAt(BackSurface, 37, 67), Sheet::Pixel(48, 48));
    EXPECT_EQ(PixelAt(BackSurface, 38, 20), BACK);
    EXPECT_EQ(PixelAt(BackSurface, 0, 19), BACK);
    EXPECT_EQ(PixelAt(BackSurface, 0, 68), BACK);
    EXPECT_EQ(CountNot(BackSurface, BACK), 38 * 48);
    // x = 640: source (0, 0, 32, 48) into (640, 0, 672, 48).
    FillSurface(BackSurface, BACK);
    SetBobPosition(&bob, 640, 0);
    EXPECT_EQ(DrawBob(&bob, BackSurface), 1);
    EXPECT_EQ(PixelAt(BackSurface, 640, 0), Sheet::Pixel(1, 1));
    EXPECT_EQ(PixelAt(BackSurface, 671, 47), Sheet::Pixel(32, 48));
    EXPECT_EQ(CountNot(BackSurface, BACK), 32 * 48);
    // Both corners off at once.
    FillSurface(BackSurface, BACK);
    SetBobPosition(&bob, 650, -40);
    EXPECT_EQ(DrawBob(&bob, BackSurface), 1);
    EXPECT_EQ(PixelAt(BackSurface, 650, 0), Sheet::Pixel(1, 41));
    EXPECT_EQ(CountNot(BackSurface, BACK), 22 * 8);
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
    EXPECT_EQ(CountNot(BackSurface, BACK), 0);
}

TEST_F(BobTest, DrawLeavesBlackPixelsOut) {
    // Sheet pixel (1, 1) black: the frame's corner is transparent.
    sheet.bytes[(sheet.file.infoHeader.biWidth + 1) * 3 + 0] = 0;
    sheet.bytes[(sheet.file.infoHeader.biWidth + 1) * 3 + 1] = 0;
    sheet.bytes[(sheet.file.infoHeader.biWidth + 1) * 3 + 2] = 0;
    MakeCellBob();
    SetBobPosition(&bob, 48, 96);
    EXPECT_EQ(DrawBob(&bob, BackSurface), 1);
    EXPECT_EQ(PixelAt(BackSurface, 48, 96), BACK);
    EXPECT_EQ(PixelAt(BackSurface, 49, 96), Sheet::Pixel(2, 1));
}

TEST_F(BobTest, DrawFailsWithoutAFrameOrDestination) {
    MakeCellBob();
    EXPECT_EQ(DrawBob(&bob, nullptr), 0);
    bob.currFrame = 1;  // never created
    EXPECT_EQ(DrawBob(&bob, BackSurface), 0);
    bob.currFrame = BOB_FRAME_SLOTS;
    EXPECT_EQ(DrawBob(&bob, BackSurface), 0);
    EXPECT_EQ(DrawBobScaled(&bob, 10, 10, BackSurface), 0);
}

TEST_F(BobTest, ScaledDrawStretchesTheWholeFrame) {
    MakeCellBob();
    SetBobPosition(&bob, 100, 200);
    EXPECT_EQ(DrawBobScaled(&bob, 100, 100, BackSurface), 1);
    EXPECT_EQ(PixelAt(BackSurface, 100, 200), Sheet::Pixel(1, 1));
    EXPECT_EQ(PixelAt(BackSurface, 199, 299), Sheet::Pixel(48, 48));
    EXPECT_EQ(CountNot(BackSurface, BACK), 100 * 100);
    // Not clipped to the field, but never outside the surface.
    FillSurface(BackSurface, BACK);
    SetBobPosition(&bob, 622, 622);
    EXPECT_EQ(DrawBobScaled(&bob, 100, 100, BackSurface), 1);
    EXPECT_EQ(CountNot(BackSurface, BACK), 50 * 50);
}

TEST(BobAnimation, FrameCycleStepsEveryNthCall) {
    BOB b{};
    b.attr = BOB_FRAME_CYCLE;
    b.numFrames = 3;
    SetBobAnimSpeed(&b, 2);
    std::vector<int32_t> seen;
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(AnimateBob(&b), 1);
        seen.push_back(b.currFrame);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 1, 1, 2, 2, 0}));
    // One frame wins over cycling, and leaves the counter alone.
    b.attr = BOB_ONE_FRAME | BOB_FRAME_CYCLE;
    b.currFrame = 2;
    b.animCounter = 1;
    AnimateBob(&b);
    EXPECT_EQ(b.currFrame, 0);
    EXPECT_EQ(b.animCounter, 1);
    // Speed 0 steps on every call, as 1 does.
    b.attr = BOB_FRAME_CYCLE;
    SetBobAnimSpeed(&b, 0);
    AnimateBob(&b);
    EXPECT_EQ(b.currFrame, 1);
    // With no animation flag nothing changes.
    b.attr = BOB_VISIBLE;
    AnimateBob(&b);
    EXPECT_EQ(b.currFrame, 1);
}

TEST(BobAnimation, PlayOnceStopsOnItsLastElement) {
    BOB b{};
    b.attr = BOB_VISIBLE | BOB_SEQUENCE | BOB_PLAY_ONCE;
    const int32_t seq[] = {0, 1, 2, 1, 0};
    ASSERT_EQ(LoadBobAnimation(&b, 3, 5, seq), 1);
    SetBobAnimSpeed(&b, 1);
    SetBobAnimation(&b, 3);
    std::vector<int32_t> seen;
    for (int i = 0; i < 4; ++i) {
        AnimateBob(&b);
        seen.push_back(b.currFrame);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 1, 0}));
    EXPECT_EQ(b.animState, 0);
    AnimateBob(&b);
    EXPECT_EQ(b.animState, 1);
    EXPECT_EQ(b.currFrame, 0);
    b.animState = 0;
    AnimateBob(&b);
    EXPECT_EQ(b.animState, 1);
    EXPECT_EQ(b.currFrame, 0);
    // Replayed from its first element with animIndex -1.
    b.animState = 0;
    b.animIndex = -1;
    AnimateBob(&b);
    EXPECT_EQ(b.currFrame, 0);
    AnimateBob(&b);
    EXPECT_EQ(b.currFrame, 1);
    DestroyBob(&b);
}

TEST(BobAnimation, LoopingSequenceStartsAgainAtElementZero) {
    BOB b{};
    b.attr = BOB_SEQUENCE;
    int32_t seq[10];
    for (int i = 0; i < 10; ++i) seq[i] = 10 + i;
    ASSERT_EQ(LoadBobAnimation(&b, 0, 10, seq), 1);
    SetBobAnimation(&b, 0);
    std::vector<int32_t> seen;
    for (int i = 0; i < 20; ++i) {
        AnimateBob(&b);
        seen.push_back(b.currFrame - 10);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}));
    // SetBobAnimation leaves the counter, frame and state alone.
    b.animCounter = 5;
    b.animState = 1;
    SetBobAnimation(&b, 0);
    EXPECT_EQ(b.animCounter, 5);
    EXPECT_EQ(b.currFrame, 10);
    EXPECT_EQ(b.animState, 1);
    DestroyBob(&b);
}

TEST(BobAnimation, SequencesAreStoredWithTheirEnd) {
    BOB b{};
    const int32_t five[] = {4, 3, 2, 1, 0};
    ASSERT_EQ(LoadBobAnimation(&b, 15, 5, five), 1);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(b.animations[15][i], five[i]);
    EXPECT_EQ(b.animations[15][5], SEQUENCE_END);
    ASSERT_EQ(LoadBobAnimation(&b, 1, 0, nullptr), 1);
    EXPECT_EQ(b.animations[1][0], SEQUENCE_END);
    EXPECT_EQ(LoadBobAnimation(&b, 16, 5, five), 0);
    EXPECT_EQ(LoadBobAnimation(&b, -1, 5, five), 0);
    // A sequence BOB with no sequence loaded, or an empty one, stays put.
    b.attr = BOB_SEQUENCE | BOB_PLAY_ONCE;
    b.currFrame = 7;
    SetBobAnimation(&b, 2);
    EXPECT_EQ(AnimateBob(&b), 1);
    EXPECT_EQ(b.currFrame, 7);
    SetBobAnimation(&b, 1);
    AnimateBob(&b);
    AnimateBob(&b);
    EXPECT_EQ(b.currFrame, 7);
    EXPECT_EQ(b.animState, 0);
    DestroyBob(&b);
}

TEST(BobMove, AddsVelocityAndWrapsOrBouncesAtTheDisplayEdge) {
    BOB b{};
    b.width = b.height = 48;
    SetBobVelocity(&b, 8, -3);
    SetBobPosition(&b, 10, 10);
    MoveBob(&b);
    EXPECT_EQ(b.x, 18);
    EXPECT_EQ(b.y, 7);

    b.attr = BOB_WRAP | BOB_BOUNCE;  // wrapping wins
    SetBobPosition(&b, 1020, 500);
    SetBobVelocity(&b, 8, 0);
    MoveBob(&b);
    EXPECT_EQ(b.x, -48);
    SetBobPosition(&b, -41, 500);
    SetBobVelocity(&b, -8, 0);
    MoveBob(&b);
    EXPECT_EQ(b.x, 1023);
    SetBobPosition(&b, -40, 500);
    MoveBob(&b);
    EXPECT_EQ(b.x, -48);
    SetBobPosition(&b, 0, 760);
    SetBobVelocity(&b, 0, 8);
    MoveBob(&b);
    EXPECT_EQ(b.y, -48);
    EXPECT_EQ(b.yv, 8);

    b.attr = BOB_BOUNCE;
    SetBobPosition(&b, 968, 0);
    SetBobVelocity(&b, 8, 0);
    MoveBob(&b);
    EXPECT_EQ(b.x, 976);  // not corrected: the reversed velocity acts next time
    EXPECT_EQ(b.xv, -8);
    SetBobPosition(&b, 967, 10);
    SetBobVelocity(&b, 8, 0);
    MoveBob(&b);
    EXPECT_EQ(b.xv, 8);
    SetBobPosition(&b, 7, 10);
    SetBobVelocity(&b, -8, 0);
    MoveBob(&b);
    EXPECT_EQ(b.x, -1);
    EXPECT_EQ(b.xv, 8);
    SetBobPosition(&b, 10, 712);
    SetBobVelocity(&b, 0, 8);
    MoveBob(&b);
    EXPECT_EQ(b.yv, -8);
}

TEST_F(BobTest, ClonesSharePicturesButNotState) {
    ASSERT_EQ(CreateBob(&bob, 0, 0, 48, 48, 2, BOB_VISIBLE | BOB_FRAME_CYCLE, 0), 1);
    LoadBobFrame(&bob, &sheet.file, 0, 0, 0, 0);
    LoadBobFrame(&bob, &sheet.file, 1, 1, 0, 0);
    const int32_t seq[] = {1, 0};
    LoadBobAnimation(&bob, 0, 2, seq);
    SetBobPosition(&bob, 96, 144);
    bob.currFrame = 1;
    BOB clone{};
    ASSERT_EQ(CloneBob(&bob, &clone), 1);
    EXPECT_EQ(clone.attr, bob.attr | BOB_CLONE);
    EXPECT_EQ(clone.x, 96);
    EXPECT_EQ(clone.y, 144);
    EXPECT_EQ(clone.currFrame, 1);
    EXPECT_EQ(clone.numFrames, 2);
    EXPECT_EQ(clone.frames[1], bob.frames[1]);
    EXPECT_EQ(clone.animations[0], bob.animations[0]);
    // Moving the owner leaves the clone where it was.
    SetBobPosition(&bob, 0, 0);
    bob.currFrame = 0;
    EXPECT_EQ(clone.x, 96);
    EXPECT_EQ(clone.currFrame, 1);

    // Destroying the clone releases nothing: the owner still draws.
    EXPECT_EQ(DestroyBob(&clone), 1);
    EXPECT_EQ(clone.frames[0], nullptr);
    EXPECT_EQ(clone.animations[0], nullptr);
    EXPECT_NE(bob.frames[0], nullptr);
    EXPECT_EQ(DrawBob(&bob, BackSurface), 1);
    EXPECT_EQ(PixelAt(BackSurface, 0, 0), Sheet::Pixel(1, 1));
    // The owner's release clears its references, so a second one is harmless.
    EXPECT_EQ(DestroyBob(&bob), 1);
    EXPECT_EQ(bob.frames[0], nullptr);
    EXPECT_EQ(bob.animations[0], nullptr);
    EXPECT_EQ(DestroyBob(&bob), 1);
}

TEST(BobDestroy, BlankRecordReleasesNothing) {
    BOB blank{};
    EXPECT_EQ(DestroyBob(&blank), 1);
}
