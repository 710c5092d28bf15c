// Deflectors met by shots: turns, pushes, interlocking pairs and slides.
#include "game/deflect.h"
#include "game/session.h"
#include "game/wedges.h"
#include "game_fixture.h"

namespace {

const int32_t STEP[5][2] = {{0, 0}, {-1, 0}, {0, -1}, {1, 0}, {0, 1}};  // by direction code

}  // namespace

class DeflectorTest : public GameTest {
protected:
    // Runs frames until a shot has met a deflector.
    static void RunUntilPop() {
        for (int n = 0; n < 120 && Plays(SoundPop) == 0; ++n) Frame();
    }
};

// Each wedge is a mirror on its slanted face: it turns the two ways that
// meet that face, each at a right angle, and a shot sent back along the way
// it left comes back the way it came.
TEST(WedgeTable, EachWedgeIsAMirror) {
    const auto reverse = [](int32_t dir) { return (dir - 1 + 2) % 4 + 1; };
    for (int32_t o = 0; o < 4; ++o) {
        int turns = 0;
        for (int32_t dir = DIR_LEFT; dir <= DIR_DOWN; ++dir) {
            const int32_t turn = WEDGE_TURN[o][dir - 1];
            if (turn == WEDGE_PUSH) continue;
            ++turns;
            EXPECT_NE(STEP[turn][0] == 0, STEP[dir][0] == 0) << "orientation " << o << " direction " << dir;
            EXPECT_EQ(WEDGE_TURN[o][reverse(turn) - 1], reverse(dir)) << "orientation " << o << " direction " << dir;
        }
        EXPECT_EQ(turns, 2) << "orientation " << o;
    }
}

// Every orientation met from every side, with space beyond: where the impact
// shows, where a turned shot goes and how long a push slides. What a pushed
// wedge does against each kind of cell is the rule trace's to prove, on
// random crowded boards.
TEST_F(DeflectorTest, SingleWedgeTurnsOrIsPushedByItsTable) {
    for (int32_t o = 0; o < 4; ++o)
        for (int32_t dir = DIR_LEFT; dir <= DIR_DOWN; ++dir) {
            SCOPED_TRACE(testing::Message() << "orientation " << o << " direction " << dir);
            const int32_t sx = STEP[dir][0], sy = STEP[dir][1];
            const int32_t cx = 6, cy = 6, nx = cx + sx, ny = cy + sy;
            StartWith({{cx, cy, Wedge(o)}});
            HeadlessSoundLog().clear();
            const int32_t s = FireAlong(sx ? cy : cx, dir);
            RunUntilPop();
            ASSERT_EQ(Plays(SoundPop), 1);
            ASSERT_TRUE(Now.Live.play.impactActive);

            const int32_t turn = WEDGE_TURN[o][dir - 1];
            if (turn != WEDGE_PUSH) {
                // Centred on the slanted face, the wedge's own cell; the shot goes on.
                EXPECT_EQ(Now.Live.play.impactX, 48 * cx);
                EXPECT_EQ(Now.Live.play.impactY, 48 * cy);
                EXPECT_TRUE(Now.Live.play.shotActive[s]);
                EXPECT_EQ(Now.Live.play.shotXV[s], 8 * STEP[turn][0]);
                EXPECT_EQ(Now.Live.play.shotYV[s], 8 * STEP[turn][1]);
                EXPECT_EQ(Now.Live.play.shotFrame[s], turn - 1);
                EXPECT_EQ(Now.Live.play.board[cx][cy], Wedge(o));
                EXPECT_TRUE(DeflectorAt(0, cx, cy) && Resting(0));
                // It leaves from the wedge's own row or column and off the field.
                RunToRest();
                if (STEP[turn][0])
                    EXPECT_TRUE(Now.Live.play.shotY[s] == 48 * cy &&
                                (Now.Live.play.shotX[s] < 0 || Now.Live.play.shotX[s] > FIELD_MAX));
                else
                    EXPECT_TRUE(Now.Live.play.shotX[s] == 48 * cx &&
                                (Now.Live.play.shotY[s] < 0 || Now.Live.play.shotY[s] > FIELD_MAX));
                continue;
            }
            // Centred on the straight face, the boundary the shot touches;
            // the wedge takes six frames to slide one cell on.
            EXPECT_EQ(Now.Live.play.impactX, 48 * cx - 24 * sx);
            EXPECT_EQ(Now.Live.play.impactY, 48 * cy - 24 * sy);
            EXPECT_FALSE(Now.Live.play.shotActive[s]);
            EXPECT_EQ(Now.Live.play.board[cx][cy], CELL_EMPTY);
            EXPECT_EQ(Now.Live.play.board[nx][ny], Wedge(o));
            Frames(5);
            EXPECT_FALSE(DeflectorAt(0, nx, ny));
            Frame();
            EXPECT_TRUE(DeflectorAt(0, nx, ny) && Resting(0));
            EXPECT_FALSE(PlayInMotion(Now.Live.play));
        }
}

// A pair hit while its second wedge is still sliding in stays where it is,
// whichever side the wedge comes from; once it rests it moves again.
TEST_F(DeflectorTest, PairStillFormingIsNotPushed) {
    for (int32_t from : {DIR_LEFT, DIR_RIGHT}) {
        SCOPED_TRACE(from == DIR_LEFT ? "sliding in from the left" : "sliding in from the right");
        if (from == DIR_LEFT) StartWith({{5, 6, Wedge(0)}, {6, 6, Wedge(2)}});
        else StartWith({{6, 6, Wedge(0)}, {7, 6, Wedge(2)}});
        const int32_t sliding = from == DIR_LEFT ? 0 : 1;
        HeadlessSoundLog().clear();
        FireAlong(6, from == DIR_LEFT ? DIR_RIGHT : DIR_LEFT);
        RunUntilPop();
        ASSERT_EQ(Now.Live.play.board[6][6], CELL_DEFLECTOR_PAIR);
        Frames(2);
        HeadlessSoundLog().clear();
        const int32_t s = FireFrom(288, 240, DIR_DOWN);
        EXPECT_EQ(Plays(SoundPop), 1);
        EXPECT_FALSE(Now.Live.play.shotActive[s]);
        EXPECT_EQ(Now.Live.play.board[6][6], CELL_DEFLECTOR_PAIR);
        EXPECT_EQ(Now.Live.play.board[6][7], CELL_EMPTY);
        EXPECT_TRUE(Resting(1 - sliding) && DeflectorAt(1 - sliding, 6, 6));
        EXPECT_LT(RunToRest(), 10);
        EXPECT_TRUE(DeflectorAt(0, 6, 6) && DeflectorAt(1, 6, 6));

        FireFrom(288, 240, DIR_DOWN);
        EXPECT_EQ(Now.Live.play.board[6][7], CELL_DEFLECTOR_PAIR);
        RunToRest();
        EXPECT_TRUE(DeflectorAt(0, 6, 7) && DeflectorAt(1, 6, 7));
    }
}

// While a wedge slides it rests on no corner: a shot passes through the cell
// it is sliding into, and a slot left over from an earlier level, resting on
// that corner, is not taken for it.
TEST_F(DeflectorTest, SlidingWedgeAndStaleSlotsAreNotFound) {
    StartWith({{2, 2, Wedge(1)}, {3, 3, Wedge(1)}});
    StartWith({{2, 3, Wedge(0)}}, 2);
    ASSERT_TRUE(DeflectorAt(1, 3, 3));  // left from level 1
    EXPECT_EQ(FindDeflectorAt(Now.Live.play, 3, 3), -1);
    FireFrom(48, 144, DIR_RIGHT);
    ASSERT_EQ(Now.Live.play.board[3][3], Wedge(0));
    EXPECT_EQ(FindDeflectorAt(Now.Live.play, 2, 3), -1);  // still on its old corner, already on its way
    const int32_t s = FireFrom(144, 136, DIR_DOWN);       // tests (3, 3) at once
    EXPECT_TRUE(Now.Live.play.shotActive[s]);
    RunToRest();
    EXPECT_GT(Now.Live.play.shotY[s], FIELD_MAX);
    EXPECT_TRUE(DeflectorAt(0, 3, 3));
    EXPECT_EQ(Now.Live.play.board[3][3], Wedge(0));
    EXPECT_EQ(Now.Live.play.board[3][4], CELL_EMPTY);
    EXPECT_TRUE(DeflectorAt(1, 3, 3) && Resting(1));  // untouched
}

// The second of two shots in one frame sees the board the first has left:
// the wedge pushed away is neither on its old cell nor yet on the new one.
TEST_F(DeflectorTest, TwoShotsInOneFrame) {
    StartWith({{5, 6, Wedge(0)}});
    FireAt(192, 288, DIR_RIGHT);
    FireAt(240, 240, DIR_DOWN);
    FireAt(288, 240, DIR_DOWN);
    Frame();
    EXPECT_EQ(Plays(SoundPop), 1);
    EXPECT_FALSE(Now.Live.play.shotActive[0]);
    EXPECT_TRUE(Now.Live.play.shotActive[1] && Now.Live.play.shotActive[2]);
    EXPECT_EQ(Now.Live.play.board[6][6], Wedge(0));
    RunToRest();
    EXPECT_TRUE(DeflectorAt(0, 6, 6));
    EXPECT_GT(Now.Live.play.shotY[1], FIELD_MAX);
    EXPECT_GT(Now.Live.play.shotY[2], FIELD_MAX);
}
