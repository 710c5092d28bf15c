// The answer after a shot: a level's table of boards against the search it
// stands in for, and what the table must refuse.
#include <string>
#include <vector>

#include "game/leveltext_strings.h"
#include "game/session.h"
#include "game_fixture.h"
#include "solver/wintable.h"

namespace {

void LoadShipped(int n, uint8_t bytes[LEVEL_FILE_SIZE]) {
    std::string name, error;
    std::vector<std::string> warnings;
    const std::string path = std::string(TARNO_RUN_DIR) + "/level" + std::to_string(n) + ".dat";
    ASSERT_TRUE(leveltext::LoadAnyLevel(path, bytes, &name, &error, &warnings)) << error;
}

std::string Said(const Advice& a) {
    return "lost " + std::to_string(a.lost) + ", entry " + std::to_string(a.entry) + ", shots to win " +
           std::to_string(a.shotsToWin);
}

}  // namespace

// Boards lost and not, near the start and deep: the lookup answers what the
// search answers, the hint included.
TEST(AdviceTable, AnswersAsTheSearchDoes) {
    for (const int n : {5, 9}) {
        uint8_t bytes[LEVEL_FILE_SIZE];
        LoadShipped(n, bytes);
        cellsolver::Search all;
        cellsolver::Explore(bytes, 4000000, true, &all);
        WinTable table;
        ASSERT_TRUE(MakeWinTable(bytes, &table));
        PlayState start;
        solver::SetUpLevel(&start, bytes);
        const uint32_t step = n == 5 ? 1 : 37;
        int lost = 0, won = 0;
        for (uint32_t i = 0; i < all.set.count; i += step) {
            cellsolver::Cells cells;
            cellsolver::MakeCells(all.level, all.set.keys[i], &cells);
            PlayState board = start;
            ASSERT_TRUE(cellsolver::PutInPlay(cells, &board));
            Advice fromTable;
            ASSERT_TRUE(WinTableAdvice(table, board, &fromTable)) << "level " << n << " board " << i;
            ASSERT_EQ(Said(fromTable), Said(ComputeAdvice(board, 2000))) << "level " << n << " board " << i;
            lost += fromTable.lost == 1;
            won += fromTable.shotsToWin == 0;
        }
        EXPECT_GT(lost, 0);
        EXPECT_GT(won, 0);
    }
}

class AdviceGameTest : public GameTest {};

// The game's own boards key as the search's do; a board the level cannot
// reach (edited by hand) is left to the search rather than called lost.
TEST_F(AdviceGameTest, LiveBoardsAreHeldAndStrangeOnesAreNot) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    LoadShipped(5, bytes);
    WriteFileBytes("level5.dat", bytes, sizeof bytes);
    CurrentLevel = 5;
    StartLevel();
    WinTable table;
    ASSERT_TRUE(MakeWinTable(Now.LevelBuffer, &table));
    Advice a;
    ASSERT_TRUE(WinTableAdvice(table, Now.Live.play, &a));
    EXPECT_EQ(Said(a), Said(ComputeAdvice(Now.Live.play, 2000)));
    EXPECT_EQ(a.lost, 0);
    // The careless shot: right along row 2.
    FireAlong(2, DIR_RIGHT);
    RunToRest();
    ASSERT_TRUE(WinTableAdvice(table, Now.Live.play, &a));
    EXPECT_EQ(a.lost, 1);
    EXPECT_EQ(Said(a), Said(ComputeAdvice(Now.Live.play, 2000)));

    PlayState edited = Now.Live.play;
    int32_t cx = FIRST_INNER, cy = FIRST_INNER;
    while (edited.board[cx][cy] != CELL_EMPTY) cx = cx == LAST_INNER ? (++cy, FIRST_INNER) : cx + 1;
    edited.board[cx][cy] = Wedge(0);
    EXPECT_FALSE(WinTableAdvice(table, edited, &a));
    edited = Now.Live.play;
    edited.board[cx][cy] = CELL_BLOCK;
    EXPECT_FALSE(WinTableAdvice(table, edited, &a));
}
