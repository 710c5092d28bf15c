// Level files and the level start.
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <chrono>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <vector>

#include "game/session.h"
#include "game_fixture.h"
#include "resource.h"
#include "shell/shell.h"

class LevelTest : public GameTest {};

// Pairs, unknown codes and everything outside the interior are not pieces.
TEST_F(LevelTest, OnlyKnownInteriorCodesArePlaced) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    std::memset(bytes, CELL_BLOCK, sizeof bytes);
    for (int cx = 1; cx <= 12; ++cx)
        for (int cy = 1; cy <= 12; ++cy) bytes[cx * 14 + cy] = CELL_EMPTY;
    const uint8_t odd[] = {CELL_DEFLECTOR_PAIR, 18, 0, 0xFF, 24, 14, 0x90};
    for (int i = 0; i < 7; ++i) bytes[(i + 2) * 14 + i + 2] = odd[i];
    bytes[0] = CELL_BALLOON;
    bytes[5 * 14 + 13] = static_cast<uint8_t>(Wedge(1));
    WriteFileBytes("level1.dat", bytes, sizeof bytes);
    StartLevel();
    for (int cx = 0; cx < BOARD_CELLS; ++cx)
        for (int cy = 0; cy < BOARD_CELLS; ++cy) {
            const bool border = cx == 0 || cy == 0 || cx == 13 || cy == 13;
            EXPECT_EQ(Now.Live.play.board[cx][cy], border ? CELL_NONE : CELL_EMPTY) << cx << "," << cy;
        }
    EXPECT_EQ(Now.Live.play.balloonsLeft, 0);
    EXPECT_EQ(Now.Live.play.deflectorCount, 0);
}

TEST_F(LevelTest, PiecesBeyondTheTablesAreLeftOut) {
    std::vector<Piece> pieces;
    for (int32_t cy = 1; cy <= 12; ++cy) pieces.push_back({1, cy, BALLOON});
    for (int32_t cy = 1; cy <= 12; ++cy) pieces.push_back({2, cy, Wedge(0)});
    for (int32_t cy = 1; cy <= 5; ++cy) pieces.push_back({3, cy, Wedge(1)});
    StartWith(pieces.data(), static_cast<int>(pieces.size()));
    EXPECT_EQ(Now.Live.play.balloonCount, MAX_BALLOONS);
    EXPECT_EQ(Now.Live.play.balloonsLeft, MAX_BALLOONS);
    EXPECT_EQ(Now.Live.play.board[1][10], CELL_BALLOON);
    EXPECT_EQ(Now.Live.play.board[1][11], CELL_EMPTY);
    EXPECT_EQ(Now.Live.play.board[1][12], CELL_EMPTY);
    EXPECT_EQ(Now.Live.play.deflectorCount, MAX_DEFLECTORS);
    EXPECT_TRUE(DeflectorAt(14, 3, 3));
    EXPECT_EQ(Now.Live.play.board[3][3], Wedge(1));
    EXPECT_EQ(Now.Live.play.board[3][4], CELL_EMPTY);
    EXPECT_EQ(Now.Live.play.board[3][5], CELL_EMPTY);
}

TEST_F(LevelTest, ShortFileReplacesOnlyTheStartOfTheBuffer) {
    StartWith({{1, 1, BLOCK}, {5, 5, BALLOON}});
    uint8_t head[20];
    std::memset(head, CELL_EMPTY, sizeof head);
    head[1 * 14 + 2] = CELL_BLOCK;
    WriteFileBytes("level2.dat", head, sizeof head);
    CurrentLevel = 2;
    StartLevel();
    EXPECT_EQ(Now.Live.play.board[1][1], CELL_EMPTY);
    EXPECT_EQ(Now.Live.play.board[1][2], CELL_BLOCK);
    EXPECT_EQ(Now.Live.play.board[5][5], CELL_BALLOON);
}

// A file that cannot be read leaves the buffer alone: the previous layout
// is built again under the new number, after the message: a missing file,
// and a folder, which opens but cannot be read.
TEST_F(LevelTest, UnreadableFileRebuildsThePreviousLayout) {
    StartWith({{2, 2, BLOCK}, {6, 6, BALLOON}}, 6);
    ASSERT_TRUE(std::filesystem::create_directory("level8.dat"));
    for (int32_t level : {7, 8}) {
        SCOPED_TRACE(level);
        HeadlessMessages().clear();
        CurrentLevel = static_cast<uint8_t>(level);
        StartLevel();
        EXPECT_EQ(HeadlessMessages(), std::vector<std::string>{"INVALID_HANDLE_VALUE"});
        EXPECT_EQ(CurrentLevel, level);
        EXPECT_EQ(Now.Live.play.board[2][2], CELL_BLOCK);
        EXPECT_EQ(Now.Live.play.board[6][6], CELL_BALLOON);
        EXPECT_EQ(Now.Live.play.balloonsLeft, 1);
    }
}

TEST_F(LevelTest, SaveWritesTheWholeBufferAndKeepsALongerFilesTail) {
    // What play ignores (border bytes, the tail) comes back in the save.
    uint8_t bytes[LEVEL_FILE_SIZE];
    for (int i = 0; i < LEVEL_FILE_SIZE; ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    WriteFileBytes("level3.dat", bytes, sizeof bytes);
    CurrentLevel = 3;
    StartLevel();
    SaveLevelFile();
    EXPECT_EQ(ReadFileBytes("level.dat"), std::vector<uint8_t>(bytes, bytes + LEVEL_FILE_SIZE));

    std::vector<uint8_t> longer(400, 0xAA);
    WriteFileBytes("level.dat", longer.data(), longer.size());
    SaveLevelFile();
    std::copy(bytes, bytes + LEVEL_FILE_SIZE, longer.begin());
    EXPECT_EQ(ReadFileBytes("level.dat"), longer);
    EXPECT_TRUE(HeadlessMessages().empty());
}

// Whatever was flying, popping, showing or sliding, a level starts at rest,
// and nothing from the old board acts on the new one.
TEST_F(LevelTest, StartLevelStartsAtRest) {
    StartWith({{5, 6, Wedge(0)}, {9, 5, BALLOON}, {3, 3, BALLOON}});
    FireAlong(6, DIR_RIGHT);
    Frames(25);
    ASSERT_FALSE(Resting(0));
    FireFrom(0, 240, DIR_RIGHT);  // on its way to the balloon at (9, 5)
    Now.Live.play.popPending[1] = 1;
    Now.Live.play.impactActive = 1;
    ImpactBob.animIndex = 3;
    ImpactBob.animState = 1;
    ImpactBob.currFrame = 2;
    Now.Live.play.deflectors[14].xv = 8;
    Now.Live.play.won = Now.FinishedPlayed = 1;
    Now.Live.tank.x = FIELD_MAX, Now.Live.tank.y = 96;
    Now.Live.tank.frame = 2;
    Now.Live.tank.direction = DIR_LEFT;
    Now.Live.tank.moving = 1;
    HeadlessReset();

    StartLevel();
    EXPECT_FALSE(Now.Live.play.won || Now.FinishedPlayed);
    EXPECT_TRUE(Now.Live.tank.x == 0 && Now.Live.tank.y == 0 && Now.Live.tank.frame == 0);
    EXPECT_TRUE(Now.Live.tank.direction == 0 && !Now.Live.tank.moving);
    EXPECT_FALSE(PlayInMotion(Now.Live.play));
    for (const Deflector& d : Now.Live.play.deflectors) EXPECT_TRUE(d.xv == 0 && d.yv == 0);
    for (uint8_t pending : Now.Live.play.popPending) EXPECT_FALSE(pending);
    EXPECT_FALSE(Now.Live.play.impactActive);
    EXPECT_TRUE(ImpactBob.animIndex == -1 && ImpactBob.animState == 0 && ImpactBob.currFrame == 0);
    EXPECT_TRUE(DeflectorAt(0, 5, 6));
    EXPECT_EQ(Now.Live.play.board[5][6], Wedge(0));
    EXPECT_EQ(Now.Live.play.board[6][6], CELL_EMPTY);
    Frames(60);
    EXPECT_EQ(Now.Live.play.balloonsLeft, 2);
    EXPECT_TRUE(DeflectorAt(0, 5, 6));
}

#ifndef _WIN32
// A full device, or a disk that fills part-way through: one message, which
// standard error completes with the file and the reason, and the old file whole.
TEST_F(LevelTest, AFailedSaveTellsOnceAndLeavesTheOldFile) {
    ASSERT_EQ(symlink("/dev/full", "level.dat"), 0);
    SaveLevelFile();
    EXPECT_EQ(HeadlessMessages(), std::vector<std::string>{"INVALID_HANDLE_VALUE"});
    EXPECT_EQ(std::filesystem::read_symlink("level.dat"), "/dev/full");

    ASSERT_TRUE(std::filesystem::remove("level.dat"));
    const std::vector<uint8_t> old(LEVEL_FILE_SIZE + 50, 0x5A);
    WriteFileBytes("level.dat", old.data(), old.size());
    HeadlessMessages().clear();
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100;
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    testing::internal::CaptureStderr();
    SaveLevelFile();
    const std::string err = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(HeadlessMessages(), std::vector<std::string>{"INVALID_HANDLE_VALUE"});
    EXPECT_EQ(err, std::string("tarno: INVALID_HANDLE_VALUE: level.dat: ") + std::strerror(EFBIG) + "\n");
    EXPECT_EQ(ReadFileBytes("level.dat"), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 7 + 1);  // the sounds, level.dat
}
#endif

// Start-up sweeps away what a save cut short left; nothing else goes, and
// not what another copy of the game is writing right now.
TEST(StartUp, RemovesStaleTemporaryFiles) {
    ScratchDir scratch;
    HeadlessReset();
    WriteFileBytes(".level.dat-a1B2c3", "x", 1);
    WriteFileBytes(".level.dat-toolong", "x", 1);
    WriteFileBytes(".level.dat-NoW123", "x", 1);
    WriteFileBytes("level.dat", "x", 1);
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(61);
    std::filesystem::last_write_time(".level.dat-a1B2c3", old);
    std::filesystem::last_write_time(".level.dat-toolong", old);
    InitGame();
    ShutdownGame();
    EXPECT_FALSE(std::filesystem::exists(".level.dat-a1B2c3"));
    EXPECT_TRUE(std::filesystem::exists(".level.dat-toolong"));
    EXPECT_TRUE(std::filesystem::exists(".level.dat-NoW123"));
    EXPECT_TRUE(std::filesystem::exists("level.dat"));
}
