// The designer's figures on small boards whose every reachable board is
// counted by hand in the comments, and on the shipped levels seen in each
// of their eight images, which must play alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/leveltext_strings.h"
#include "solver/analyse.h"
#include "solver/cellsolver.h"

namespace {

// A board from pieces placed by (column, row), 1..12 each.
struct Piece {
    int cx, cy;
    char c;
};

void MakeBoard(const std::vector<Piece>& pieces, uint8_t bytes[LEVEL_FILE_SIZE]) {
    std::vector<std::string> rows(12, std::string(12, '.'));
    for (const Piece& p : pieces) rows[p.cy - 1][p.cx - 1] = p.c;
    std::string text = "name: Hand\n";
    for (const std::string& r : rows) text += r + "\n";
    std::string name, error;
    ASSERT_TRUE(leveltext::ParseLevelText("hand", text, bytes, &name, &error)) << error;
}

solver::Analysis Analyse(const std::vector<Piece>& pieces) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    MakeBoard(pieces, bytes);
    solver::Analysis a;
    EXPECT_EQ(solver::ANALYSED, solver::AnalyseLevel(bytes, 100000, &a));
    return a;
}

// A balloon at (9, 5) that only a shot flying right along row 5 reaches.
const std::vector<Piece> POCKET = {{9, 5, 'o'}, {10, 5, '#'}, {9, 4, '#'}, {9, 6, '#'}};

std::vector<Piece> With(std::vector<Piece> a, const std::vector<Piece>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

// One balloon off every mirror line: the four shots along its row and
// column win, the other 44 change nothing and each leaves 48 second shots.
TEST(Analyse, OneBalloonIsOneStraightShot) {
    const solver::Analysis a = Analyse({{5, 6, 'o'}});
    EXPECT_EQ(1, a.par);
    EXPECT_EQ(2u, a.states);
    EXPECT_EQ(0u, a.deadEnds);
    EXPECT_EQ(0, a.carelessFirst);
    EXPECT_EQ(44 * 48, a.secondTried);
    EXPECT_EQ(1u, a.essentialSolutions);
    EXPECT_DOUBLE_EQ(1.0, a.forcedShare);
    EXPECT_EQ(1, a.groups);
    EXPECT_EQ(1, a.straight);
    EXPECT_EQ(0, a.turns + a.pushes + a.snaps);
    EXPECT_DOUBLE_EQ(1.0, a.randomWin);
    EXPECT_DOUBLE_EQ(0.0, a.symmetry);
}

// A balloon walled in on three sides at (6, 3), open below; a wedge at
// (6, 8) guarded from below and from the right, so that the only shot to
// reach it flies right along row 8 and is turned up the column.
TEST(Analyse, AShotTurnedIntoAPocket) {
    const solver::Analysis a =
        Analyse({{6, 3, 'o'}, {5, 3, '#'}, {7, 3, '#'}, {6, 2, '#'}, {6, 8, '2'}, {6, 9, '#'}, {7, 8, '#'}});
    EXPECT_EQ(1, a.par);
    EXPECT_EQ(2u, a.states);
    EXPECT_EQ(47 * 48, a.secondTried);
    EXPECT_EQ(0, a.straight);
    EXPECT_EQ(1, a.turns);
    EXPECT_EQ(0, a.pushes + a.snaps);
    EXPECT_EQ(1, a.fewestTricks);
    EXPECT_DOUBLE_EQ(1.0, a.randomWin);
}

// The same with the pocket open above: the solver's solution (the lower
// entry, along row 8) still turns, but the shot down column 6 wins as
// well and needs no trick: the wedge it meets after the pop changes
// nothing it does.
TEST(Analyse, ATurnNoSolutionNeeds) {
    const solver::Analysis a = Analyse({{6, 3, 'o'}, {5, 3, '#'}, {7, 3, '#'}, {6, 8, '2'}, {6, 9, '#'}, {7, 8, '#'}});
    EXPECT_EQ(1, a.par);
    EXPECT_EQ(1, a.turns);
    EXPECT_EQ(0, a.straight);
    EXPECT_EQ(0, a.fewestTricks);
    EXPECT_EQ(1u, a.essentialSolutions);
}

// A wedge (top-right half) stands in the pocket's row at (5, 5). A shot
// flying right is turned down onto a block; one flying down pushes it into
// a walled cell below, which clears the row. Three boards, no dead end;
// the push and the pop both touch (5, 5): one group.
TEST(Analyse, AWedgePushedOutOfTheWay) {
    const solver::Analysis a = Analyse(With(POCKET, {{5, 5, '1'}, {4, 6, '#'}, {6, 6, '#'}, {5, 7, '#'}}));
    EXPECT_EQ(2, a.par);
    EXPECT_EQ(3u, a.states);
    EXPECT_EQ(0u, a.deadEnds);
    EXPECT_EQ(48 * 48, a.secondTried);
    EXPECT_EQ(1u, a.essentialSolutions);
    EXPECT_DOUBLE_EQ(1.0, a.forcedShare);
    EXPECT_EQ(1, a.groups);
    EXPECT_DOUBLE_EQ(1.0, a.largestGroupShare);
    EXPECT_EQ(1, a.straight);
    EXPECT_EQ(0, a.turns);
    EXPECT_EQ(1, a.pushes);
    EXPECT_EQ(0, a.snaps);
    EXPECT_EQ(1, a.fewestTricks);
    EXPECT_EQ(0, a.fewestSnaps);
}

// A wedge (top-right) at (3, 5) in the pocket's row with its opposite
// (bottom-left) below it at (3, 6), both guarded: a shot down column 3
// snaps them into a square at (3, 6), which clears the row. A shot along
// row 5 is turned twice and stopped at (4, 6).
TEST(Analyse, TwoWedgesSnappedOutOfTheWay) {
    const solver::Analysis a = Analyse(With(POCKET, {{3, 5, '1'}, {3, 6, '3'}, {4, 6, '#'}, {3, 7, '#'}}));
    EXPECT_EQ(2, a.par);
    EXPECT_EQ(3u, a.states);
    EXPECT_EQ(0u, a.deadEnds);
    EXPECT_EQ(1, a.snaps);
    EXPECT_EQ(0, a.pushes);
    EXPECT_EQ(1, a.straight);
    EXPECT_EQ(1, a.groups);
    EXPECT_EQ(1, a.fewestSnaps);
}

// A wedge (top-left) at (5, 5) in the pocket's row, over a walled cell.
// Pushed down (column 5) it clears the row. Pushed right (row 5) it
// slides on, shot by shot, to (8, 5) against the balloon, where nothing
// moves it: three dead ends, and a first shot into them. Of the two shots
// that change the start, one wins for sure and one loses for sure: a
// random player wins half the time. Second shots: 46 idle firsts leave
// the start, whose 48 seconds hold the one careless shot; the good first
// leaves 48 more.
TEST(Analyse, ADeadEndThatHalfOfRandomPlayFindsAndTheSolutionAvoids) {
    const solver::Analysis a =
        Analyse(With(POCKET, {{5, 5, '0'}, {4, 6, '#'}, {6, 6, '#'}, {7, 6, '#'}, {8, 6, '#'}, {5, 7, '#'}}));
    EXPECT_EQ(2, a.par);
    EXPECT_EQ(6u, a.states);
    EXPECT_EQ(3u, a.deadEnds);
    EXPECT_DOUBLE_EQ(0.5, a.deadShare);
    EXPECT_EQ(1, a.carelessFirst);
    EXPECT_EQ(46, a.carelessSecond);
    EXPECT_EQ(46 * 48 + 48, a.secondTried);
    EXPECT_DOUBLE_EQ(1.0, a.forcedShare);  // the dead branch keeps no least count
    EXPECT_DOUBLE_EQ(0.5, a.randomWin);
    EXPECT_EQ(1, a.pushes);
}

// Two balloons apart: either first, so two shortest solutions that are one
// essential solution; the first step of each is free, the second forced;
// two groups. Both lie on a diagonal: the board is its own transpose.
TEST(Analyse, TwoBalloonsApartAreTwoGroupsAndOneEssentialSolution) {
    const solver::Analysis a = Analyse({{3, 3, 'o'}, {10, 10, 'o'}});
    EXPECT_EQ(2, a.par);
    EXPECT_EQ(4u, a.states);
    EXPECT_EQ(1u, a.essentialSolutions);
    EXPECT_DOUBLE_EQ(0.5, a.forcedShare);
    EXPECT_EQ(2, a.groups);
    EXPECT_DOUBLE_EQ(0.5, a.largestGroupShare);
    EXPECT_EQ(2, a.straight);
    EXPECT_EQ(0, a.fewestTricks);
    EXPECT_DOUBLE_EQ(1.0, a.symmetry);
}

// A at (3, 3), B at (5, 5), C at (3, 5): row 5 takes B and C, column 3 A
// and C. Either A then B and C, or A and C then B (in either order, or by
// other shots that pop the same): two essential solutions. Transposed,
// two of the three balloons stay.
TEST(Analyse, ThreeBalloonsTwoWays) {
    const solver::Analysis a = Analyse({{3, 3, 'o'}, {5, 5, 'o'}, {3, 5, 'o'}});
    EXPECT_EQ(2, a.par);
    EXPECT_EQ(2u, a.essentialSolutions);
    EXPECT_DOUBLE_EQ(0.5, a.forcedShare);
    EXPECT_EQ(2, a.groups);
    EXPECT_NEAR(2.0 / 3.0, a.symmetry, 1e-12);
}

TEST(Analyse, UnsolvableAndTooBigAreSaid) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    // A balloon walled in on every side.
    MakeBoard({{6, 6, 'o'}, {5, 6, '#'}, {7, 6, '#'}, {6, 5, '#'}, {6, 7, '#'}}, bytes);
    solver::Analysis a;
    EXPECT_EQ(solver::ANALYSE_UNSOLVABLE, solver::AnalyseLevel(bytes, 1000, &a));
    EXPECT_EQ(1u, a.states);
    EXPECT_EQ(1u, a.deadEnds);
    EXPECT_DOUBLE_EQ(1.0, a.symmetry);
    MakeBoard({{3, 3, 'o'}, {10, 10, 'o'}}, bytes);
    EXPECT_EQ(solver::ANALYSE_TOO_BIG, solver::AnalyseLevel(bytes, 2, &a));
}

// The rules know no left from right: each shipped level of up to ten
// thousand boards plays alike in all eight images, wedges turned to match.
TEST(Analyse, ShippedLevelsPlayAlikeInEveryImage) {
    for (int n = 1; n <= 8; ++n) {
        uint8_t bytes[LEVEL_FILE_SIZE], seen[LEVEL_FILE_SIZE];
        std::string name, error;
        std::vector<std::string> warnings;
        ASSERT_TRUE(
            leveltext::LoadAnyLevel(std::string(TARNO_SOURCE_DIR) + "/data/levels/level" + std::to_string(n) + ".txt",
                                    bytes, &name, &error, &warnings));
        solver::Analysis first;
        ASSERT_EQ(solver::ANALYSED, solver::AnalyseLevel(bytes, 100000, &first));
        for (int image = 1; image < BOARD_IMAGES; ++image) {
            BoardImage(bytes, image, seen);
            solver::Analysis a;
            ASSERT_EQ(solver::ANALYSED, solver::AnalyseLevel(seen, 100000, &a));
            EXPECT_EQ(first.par, a.par) << "level " << n << " image " << image;
            EXPECT_EQ(first.states, a.states) << "level " << n << " image " << image;
            EXPECT_EQ(first.deadEnds, a.deadEnds) << "level " << n << " image " << image;
            EXPECT_EQ(first.essentialSolutions, a.essentialSolutions) << "level " << n << " image " << image;
            EXPECT_NEAR(first.randomWin, a.randomWin, 1e-9) << "level " << n << " image " << image;
            EXPECT_NEAR(first.forcedShare, a.forcedShare, 1e-9) << "level " << n << " image " << image;
            EXPECT_DOUBLE_EQ(first.symmetry, a.symmetry);
        }
    }
}

// The generator explores in slices and then analyses what it found: the
// figures are those of one go, and without the shots counted the random
// player is said to be unknown.
TEST(Analyse, ASearchMadeInSlicesGivesTheSameFigures) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    std::string name, error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(leveltext::LoadAnyLevel(std::string(TARNO_SOURCE_DIR) + "/data/levels/level6.txt", bytes, &name, &error,
                                        &warnings));
    solver::Analysis whole, sliced, uncounted;
    ASSERT_EQ(solver::ANALYSED, solver::AnalyseLevel(bytes, 100000, &whole));
    for (const bool counted : {true, false}) {
        PlayState play;
        solver::SetUpLevel(&play, bytes);
        auto* s = new cellsolver::Search;
        s->countShots = counted;
        cellsolver::Exploration x;
        cellsolver::StartExploration(&x, play, 100000, true, s);
        int slices = 1;
        while (!cellsolver::ContinueExploration(&x, 0)) ++slices;
        EXPECT_GT(slices, 100);
        ASSERT_EQ(solver::ANALYSED, solver::AnalyseExplored(bytes, *s, x.result, counted ? &sliced : &uncounted));
        delete s;
    }
    EXPECT_EQ(whole.states, sliced.states);
    EXPECT_EQ(whole.essentialSolutions, sliced.essentialSolutions);
    EXPECT_EQ(whole.groups, sliced.groups);
    EXPECT_EQ(whole.randomWin, sliced.randomWin);
    EXPECT_EQ(whole.forcedShare, sliced.forcedShare);
    EXPECT_EQ(-1, uncounted.randomWin);
    EXPECT_EQ(whole.forcedShare, uncounted.forcedShare);
}
