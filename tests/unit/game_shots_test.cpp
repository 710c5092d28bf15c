// Shots: firing, blocks, balloons and the win, leaving the field, drawing.
#include <vector>

#include "game/session.h"
#include "game_fixture.h"
#include "lib/display.h"
#include "pixels.h"

using ShotTest = GameTest;

// Where a shot is struck by a block and where the impact shows, by the way
// it flies and what its own cell holds.
TEST_F(ShotTest, BlockStrikesTheShotAtItsFace) {
    struct Case {
        const char* what;
        int32_t x, y, dir;
        Piece pieces[2];
        int count;
        int32_t struckX, struckY, impactX, impactY;
    };
    const Case cases[] = {
        {"right, from the border cell", 0, 240, DIR_RIGHT, {{1, 5, BLOCK}}, 1, 48, 240, 72, 240},
        {"right, over empty cells", 0, 240, DIR_RIGHT, {{6, 5, BLOCK}}, 1, 240, 240, 264, 240},
        {"left, 8 pixels into it", 624, 240, DIR_LEFT, {{10, 5, BLOCK}}, 1, 520, 240, 496, 240},
        {"down, over empty cells", 240, 0, DIR_DOWN, {{5, 6, BLOCK}}, 1, 240, 240, 240, 264},
        {"up, 8 pixels into it", 240, 624, DIR_UP, {{5, 10, BLOCK}}, 1, 240, 520, 240, 496},
        {"right, turned by a wedge", 240, 0, DIR_DOWN, {{5, 5, Wedge(3)}, {6, 5, BLOCK}}, 2, 288, 240, 312, 240},
        {"right, one step after a balloon", 0, 240, DIR_RIGHT, {{4, 5, BALLOON}, {5, 5, BLOCK}}, 2, 200, 240, 224, 240},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartWith(c.pieces, c.count);
        HeadlessSoundLog().clear();
        const int32_t s = FireFrom(c.x, c.y, c.dir);
        RunToRest();
        EXPECT_EQ(Plays(SoundHit), 1);
        // Struck there, then moved once more in the same step.
        EXPECT_EQ(Now.Live.play.shotX[s] - Now.Live.play.shotXV[s], c.struckX);
        EXPECT_EQ(Now.Live.play.shotY[s] - Now.Live.play.shotYV[s], c.struckY);
        EXPECT_TRUE(Now.Live.play.impactActive);
        EXPECT_EQ(Now.Live.play.impactX, c.impactX);
        EXPECT_EQ(Now.Live.play.impactY, c.impactY);
    }
}

// The step runs on any copy of the state, plays and draws nothing, and
// reports what happened in the order the sounds are played.
TEST_F(ShotTest, TheStepWorksOnACopyAndReportsInSoundOrder) {
    StartWith({{3, 5, BALLOON}, {6, 5, BLOCK}, {8, 8, Wedge(0)}}, 5);
    HeadlessSoundLog().clear();
    const PlayState live = Now.Live.play;
    PlayState copy = Now.Live.play;
    EXPECT_TRUE(copy == live);
    EXPECT_EQ(HashPlay(copy), HashPlay(live));

    std::vector<PlayEvent> events;
    int32_t blockHits = 0, deflectorHits = 0, popped = 0, slides = 0;
    for (int32_t line : {8, 5}) {
        FireShot(copy, DIR_RIGHT, 0, CELL_SIZE * line);
        EXPECT_TRUE(copy != live);
        for (int n = 0; n < 200 && PlayInMotion(copy); ++n) {
            PlayReport report;
            StepPlay(copy, &report);
            events.insert(events.end(), report.events, report.events + report.eventCount);
            blockHits += report.blockHits;
            deflectorHits += report.deflectorHits;
            popped += report.balloonsPopped;
            slides += report.slidesEnded;
        }
    }
    EXPECT_EQ(events, (std::vector<PlayEvent>{EVENT_DEFLECTOR_HIT, EVENT_WIN, EVENT_BALLOON_POP, EVENT_BLOCK_HIT}));
    EXPECT_TRUE(blockHits == 1 && deflectorHits == 1 && popped == 1 && slides == 1);
    EXPECT_TRUE(copy.won && copy.board[9][8] == Wedge(0));
    EXPECT_NE(HashPlay(copy), HashPlay(live));
    EXPECT_TRUE(Now.Live.play == live);
    EXPECT_EQ(CurrentLevel, 5);
    EXPECT_TRUE(HeadlessSoundLog().empty());
}

// That a held key fires once is the tank ring scenario's.
TEST_F(ShotTest, FiringSpendsTheReleaseAndTheEleventhShotTakesSlotZero) {
    StartWith({});
    for (int32_t i = 0; i < MAX_SHOTS; ++i) {
        FireAt(0, 48 * (i + 1), DIR_RIGHT);
        EXPECT_FALSE(KeyReleased);
        EXPECT_TRUE(Now.Live.play.shotActive[i]);
        EXPECT_EQ(Now.Live.play.shotY[i], 48 * (i + 1));
    }
    Frames(3);
    FireAt(FIELD_MAX, 576, DIR_LEFT);
    EXPECT_EQ(Now.Live.play.shotX[0], FIELD_MAX);
    EXPECT_EQ(Now.Live.play.shotY[0], 576);
    EXPECT_EQ(Now.Live.play.shotXV[0], -8);
    EXPECT_EQ(Now.Live.play.shotFrame[0], 0);
    EXPECT_EQ(Now.Live.play.shotX[1], 24);

    // An unknown direction spends the release and fires nothing.
    KeyReleased = 1;
    FireShot(7);
    EXPECT_FALSE(KeyReleased);
    EXPECT_EQ(Now.Live.play.shotXV[0], -8);
}

TEST_F(ShotTest, ShotLeavingTheFieldStopsOneStepOutside) {
    StartWith({});
    int32_t s = FireFrom(0, 240, DIR_LEFT);
    EXPECT_TRUE(Now.Live.play.shotActive[s]);
    EXPECT_EQ(Now.Live.play.shotX[s], -8);
    Frame();
    EXPECT_FALSE(Now.Live.play.shotActive[s]);
    EXPECT_EQ(Now.Live.play.shotX[s], -16);

    s = FireFrom(0, 240, DIR_RIGHT);
    EXPECT_EQ(1 + RunToRest(), 80);  // the last step starts at x = 632
    EXPECT_EQ(Now.Live.play.shotX[s], 640);
}

TEST_F(ShotTest, PopPiecesAndTurnedShotsAreDrawnWhereTheyBelong) {
    ASSERT_EQ(InitDisplay(1024, 768, 32), 1);
    ASSERT_EQ(CreateBob(&PopBob, 0, 0, 48, 48, 5, BOB_VISIBLE | BOB_FRAME_CYCLE, 0), 1);
    ASSERT_EQ(CreateBob(&ShotBobs[0], 0, 0, 48, 48, 4, BOB_VISIBLE | BOB_FRAME_CYCLE, 0), 1);
    for (int32_t f = 0; f < 5; ++f) FillSurface(PopBob.frames[f], 0x100 + f);
    for (int32_t f = 0; f < 4; ++f) FillSurface(ShotBobs[0].frames[f], 0xFFFF00 + f);

    // Each piece at its offset from the balloon's corner (240, 240); these
    // pixels are covered by no later piece.
    StartWith({{5, 5, BALLOON}});
    FillSurface(BackSurface, 0);
    Now.Live.play.popPending[0] = 1;
    DrawBalloonPop(0);
    EXPECT_EQ(PixelAt(BackSurface, 220, 220), 0x100u);
    EXPECT_EQ(PixelAt(BackSurface, 307, 220), 0x101u);
    EXPECT_EQ(PixelAt(BackSurface, 307, 292), 0x102u);
    EXPECT_EQ(PixelAt(BackSurface, 292, 307), 0x103u);
    EXPECT_EQ(PixelAt(BackSurface, 230, 297), 0x104u);

    // Turned down by a wedge while flying left, the shot still lies beside it
    // and is not shown in that frame; the next frame shows it on the wedge's column.
    StartWith({{4, 5, Wedge(0)}});
    FillSurface(BackSurface, 0);
    FireFrom(288, 240, DIR_LEFT);
    EXPECT_GT(CountPixels(BackSurface, 0xFFFF00), 0);
    FillSurface(BackSurface, 0);
    Frame();
    EXPECT_EQ(Now.Live.play.shotYV[0], 8);
    EXPECT_EQ(CountPixels(BackSurface, 0xFFFF03), 0);
    EXPECT_EQ(CountPixels(BackSurface, 0xFFFF00), 0);
    Frame();
    EXPECT_EQ(PixelAt(BackSurface, 192, 256), 0xFFFF03u);

    DestroyBob(&PopBob);
    DestroyBob(&ShotBobs[0]);
    std::memset(&PopBob, 0, sizeof PopBob);
    ShutdownDisplay();
}
