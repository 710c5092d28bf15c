// The level compiler's text form and the solver, on small boards whose
// answers are known by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "game/leveltext_strings.h"
#include "platform/worker/worker.h"
#include "solver/cellsolver.h"
#include "solver/solver_strings.h"

namespace {

// A source with the given twelve rows.
std::string Source(const std::vector<std::string>& rows) {
    std::string s = "name: Test Board\n# a comment\n\n";
    for (const std::string& r : rows) s += r + "\n";
    return s + "# a closing comment\n";
}

const std::vector<std::string> kOneBalloon = {"............", "............", "............", "............",
                                              "............", "............", "............", "....o.......",
                                              "............", "............", "............", "............"};

// A balloon boxed in by blocks on all four sides: no shot can reach it.
const std::vector<std::string> kBoxedBalloon = {"............", "............", "............", "............",
                                                ".....#......", "....#o#.....", ".....#......", "............",
                                                "............", "............", "............", "............"};

bool Parse(const std::string& text, uint8_t bytes[LEVEL_FILE_SIZE], std::string* error) {
    std::string name;
    return leveltext::ParseLevelText("t.txt", text, bytes, &name, error);
}

}  // namespace

TEST(LevelText, AFileFromTheEditorBecomesASourceWithItsOddCodesNamed) {
    // Every kind of cell, and '#' rows that are grid rows, not comments.
    const std::vector<std::string> rows = {"############", "#o........o#", "#..0....1..#", "#..........#",
                                           "#....23....#", "#....10....#", "#..........#", "#..........#",
                                           "#..2....3..#", "#o........o#", "#..........#", "############"};
    uint8_t bytes[LEVEL_FILE_SIZE];
    std::string error;
    ASSERT_TRUE(Parse(Source(rows), bytes, &error)) << error;
    bytes[3 * 14 + 3] = 99;  // a code play never meets
    bytes[0] = 7;            // border and tail bytes are not the level's
    bytes[250] = 5;
    std::vector<std::string> warnings;
    const std::string text = leveltext::LevelToText(bytes, "Edited", &warnings);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("column 3, row 3"), std::string::npos) << warnings[0];
    uint8_t canonical[LEVEL_FILE_SIZE], parsed[LEVEL_FILE_SIZE];
    leveltext::Canonical(bytes, canonical);
    ASSERT_TRUE(Parse(text, parsed, &error)) << error;
    EXPECT_EQ(0, std::memcmp(canonical, parsed, LEVEL_FILE_SIZE));
}

TEST(LevelText, FaultsNameTheirLine) {
    struct Case {
        std::vector<std::string> rows;
        const char* where;
    };
    std::vector<std::string> badChar = kOneBalloon, shortRow = kOneBalloon, tooFew = kOneBalloon, tooMany = kOneBalloon,
                             empty(12, "............"), crowded = kOneBalloon;
    badChar[2][4] = 'x';
    shortRow[5] = "...........";
    tooFew.pop_back();
    tooMany.push_back("............");
    crowded[0] = "oooooooooooo";  // 13 balloons do not fit the table of 10
    const Case cases[] = {{badChar, "t.txt:6: column 5: unknown cell 'x'"},
                          {shortRow, "t.txt:9: a grid row has 11 characters"},
                          {tooFew, "t.txt:15: the grid stops after 11 rows"},
                          {tooMany, "t.txt:16: more than 12 grid rows"},
                          {empty, "no balloon"},
                          {crowded, "13 balloons, at most 10"}};
    for (const Case& c : cases) {
        uint8_t bytes[LEVEL_FILE_SIZE];
        std::string error;
        EXPECT_FALSE(Parse(Source(c.rows), bytes, &error)) << c.where;
        EXPECT_NE(error.find(c.where), std::string::npos) << c.where << " / " << error;
    }
    uint8_t bytes[LEVEL_FILE_SIZE];
    std::string error;
    EXPECT_FALSE(Parse("....\n", bytes, &error));
    EXPECT_NE(error.find("t.txt:1: the first line must be 'name: ...'"), std::string::npos) << error;
    // A grid broken by a comment is two halves, not a level.
    std::string split = Source(kOneBalloon);
    split.insert(split.find("....o"), "# interruption\n");
    EXPECT_FALSE(Parse(split, bytes, &error));
    EXPECT_NE(error.find("the grid stops after 7 rows"), std::string::npos) << error;
}

TEST(LevelText, TheNameMayFollowAByteOrderMarkCommentsAndBlankLinesInAnyCase) {
    uint8_t plain[LEVEL_FILE_SIZE], bytes[LEVEL_FILE_SIZE];
    std::string error;
    ASSERT_TRUE(Parse(Source(kOneBalloon), plain, &error)) << error;
    std::string source = Source(kOneBalloon);
    source.replace(0, 5, "\xEF\xBB\xBF# drawn by hand\r\n\n  \nNAME:");
    EXPECT_TRUE(leveltext::LooksLikeText(source));
    std::string name;
    ASSERT_TRUE(leveltext::ParseLevelText("t.txt", source, bytes, &name, &error)) << error;
    EXPECT_EQ(name, "Test Board");
    EXPECT_EQ(std::memcmp(bytes, plain, sizeof bytes), 0);
    // A grid before any name is still no level.
    EXPECT_FALSE(leveltext::LooksLikeText("............\nname: late\n"));
}

TEST(Solver, ABoxedBalloonIsReportedUnsolvableAndEveryShotADeadEnd) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    std::string error;
    ASSERT_TRUE(Parse(Source(kBoxedBalloon), bytes, &error)) << error;
    const solver::Result r = cellsolver::Solve(bytes, 1000);
    EXPECT_EQ(r.status, solver::UNSOLVABLE);
    EXPECT_EQ(r.states, 1u);  // no shot changes the board
    EXPECT_TRUE(r.solution.empty());

    const solver::Stats st = cellsolver::ComputeStats(bytes, 1000);
    EXPECT_EQ(st.result.status, solver::UNSOLVABLE);
    EXPECT_EQ(st.deadEnds, 1u);
    EXPECT_EQ(st.firstShotsDead, solver::ENTRIES);
}

TEST(Solver, StopsAtItsBoundAndSaysSo) {
    // Two balloons in open space: four states, more than a bound of two.
    std::vector<std::string> rows = kOneBalloon;
    rows[2][9] = 'o';
    uint8_t bytes[LEVEL_FILE_SIZE];
    std::string error;
    ASSERT_TRUE(Parse(Source(rows), bytes, &error)) << error;
    EXPECT_EQ(cellsolver::ComputeStats(bytes, 2).result.status, solver::BOUND_HIT);
    const solver::Stats st = cellsolver::ComputeStats(bytes, 100);
    EXPECT_EQ(st.result.states, 4u);
    EXPECT_EQ(st.result.solution.size(), 2u);
}

// The page searches in slices between its frames. Cut as finely as it can
// be, the search must number the boards alike and give the same answer.
TEST(Solver, ASearchInSlicesGivesTheSameAnswerAsOneRun) {
    struct Case {
        const char* level;
        const char* shot;  // fired first, or null
        bool everything;
    };
    const Case cases[] = {{"level5.dat", nullptr, false},
                          {"level5.dat", "right 2", false},  // careless: lost
                          {"level5.dat", nullptr, true},
                          {"level12.dat", nullptr, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.level) + (c.shot ? std::string(" after ") + c.shot : "") +
                     (c.everything ? " everything" : ""));
        uint8_t bytes[LEVEL_FILE_SIZE];
        std::string name, error;
        std::vector<std::string> warnings;
        ASSERT_TRUE(
            leveltext::LoadAnyLevel(std::string(TARNO_RUN_DIR) + "/" + c.level, bytes, &name, &error, &warnings))
            << error;
        PlayState board;
        solver::SetUpLevel(&board, bytes);
        if (c.shot) {
            cellsolver::Cells cells;
            const cellsolver::Level lv = cellsolver::LevelFromPlay(board, &cells);
            const int entry = solver::EntryOfName(c.shot);
            ASSERT_GE(entry, 0);
            cellsolver::TraceShot(lv, &cells, entry);
            ASSERT_TRUE(cellsolver::PutInPlay(cells, &board));
        }
        cellsolver::Search whole, parts;
        const solver::Result a = cellsolver::ExploreFrom(board, 4000000, c.everything, &whole);
        cellsolver::Exploration x;
        cellsolver::StartExploration(&x, board, 4000000, c.everything, &parts);
        int slices = 1;
        while (!cellsolver::ContinueExploration(&x, SteadyMicros())) ++slices;
        const solver::Result& b = x.result;
        EXPECT_GT(slices, 2);
        EXPECT_EQ(a.status, c.shot ? solver::UNSOLVABLE : solver::SOLVED);
        EXPECT_EQ(b.status, a.status);
        EXPECT_EQ(b.states, a.states);
        EXPECT_EQ(b.moves, a.moves);
        EXPECT_EQ(b.loopingMoves, a.loopingMoves);
        EXPECT_EQ(b.solution, a.solution);
        EXPECT_TRUE(parts.edges == whole.edges && parts.edgeStart == whole.edgeStart);
    }
}

// A level of at most eight deflector pieces keeps its search's keys in
// sixteen bytes: every key such a level can make comes back whole, and two
// keys are told apart exactly when they differ.
TEST(Solver, NarrowKeysComeBackWhole) {
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    cellsolver::Key previous{};
    for (int round = 0; round < 2000; ++round) {
        cellsolver::Key k;
        std::fill(std::begin(k.piece), std::end(k.piece), cellsolver::NO_PIECE);
        k.alive = static_cast<uint16_t>(next(65536));
        const int pieces = static_cast<int>(next(cellsolver::NARROW_PIECES + 1));
        for (int i = 0; i < pieces; ++i) {
            // The corners of the field and a wedge or a pair: the widest a piece gets.
            const int cell = i == 0 ? cellsolver::Index(0, 0) : i == 1 ? cellsolver::Index(13, 13) : int(next(240));
            k.piece[i] = static_cast<uint16_t>(cell << 3 | next(cellsolver::PAIR_KIND + 1));
        }
        const cellsolver::Key back = cellsolver::Widen(cellsolver::Narrow(k));
        ASSERT_TRUE(cellsolver::SameKey(back, k)) << "round " << round;
        EXPECT_EQ(cellsolver::Narrow(k) == cellsolver::Narrow(previous), cellsolver::SameKey(k, previous));
        previous = k;
    }
}
