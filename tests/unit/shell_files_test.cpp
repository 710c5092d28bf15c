// The files the game reads by name: nothing in their place hangs the start,
// and the level index tells each fault once, where it is.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/history.h"
#include "game/notices.h"
#include "game/session.h"
#include "platform/headless/headless.h"
#include "scratch.h"
#include "shell/shell.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/gtk/setting_file.h"

namespace {

// Runs the read on a thread of its own and says whether it ended within
// five seconds. A read still waiting on the FIFO is given a writer that
// closes at once, so the thread ends and the test can fail rather than hang.
bool EndsInTime(const char* fifo, const std::function<void()>& read) {
    std::atomic<bool> done{false};
    std::thread reader([&] {
        read();
        done = true;
    });
    for (int i = 0; i < 500 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const bool ended = done;
    while (!done) {
        const int fd = open(fifo, O_WRONLY | O_NONBLOCK);
        if (fd >= 0) close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    reader.join();
    return ended;
}

}  // namespace

TEST(FilesByName, AFifoInPlaceOfAFileIsRefusedAndPlayGoesOn) {
    ScratchDir scratch;
    HeadlessReset();
    StartFreshSession();
    ASSERT_EQ(mkfifo("levels.idx", 0600), 0);
    ASSERT_EQ(mkfifo("mine.txt", 0600), 0);
    ASSERT_EQ(mkfifo("level", 0600), 0);

    EXPECT_TRUE(EndsInTime("levels.idx", [] { ReadLevelIndex(); }));
    bool opened = true;
    EXPECT_TRUE(EndsInTime("mine.txt", [&] { opened = PlayLevelFile("mine.txt"); }));
    EXPECT_FALSE(opened);
    ASSERT_EQ(HeadlessMessages().size(), 1u);
    EXPECT_NE(HeadlessMessages()[0].find("not a regular file"), std::string::npos) << HeadlessMessages()[0];
    uint8_t level = 9;
    int32_t length = 0;
    int stored = 1;
    EXPECT_TRUE(EndsInTime("level", [&] { stored = ReadSettingFile("level", &level, 1, &length); }));
    EXPECT_EQ(stored, -1);
    EXPECT_EQ(level, 9);

    // A device never ends and a folder holds nothing: both read as absent.
    ASSERT_EQ(unlink("levels.idx"), 0);
    ASSERT_EQ(symlink("/dev/zero", "levels.idx"), 0);
    testing::internal::CaptureStderr();
    ReadLevelIndex();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("levels.idx: not a regular file"), std::string::npos);
    ASSERT_EQ(mkdir("folder", 0700), 0);
    EXPECT_FALSE(PlayLevelFile("folder"));
}
#endif

namespace {

std::string PlayLine(int level) {
    CurrentLevel = static_cast<uint8_t>(level);
    Now.OwnLevel = 0;
    Now.Live.play.won = 0;
    Now.Editor.Mode = 0;
    Now.Live.shotsFired = 0;
    Now.Notice.HintAsked = Now.Notice.LostNoticeShown = 0;
    return StatusLine();
}

}  // namespace

TEST(LevelIndex, EachFaultIsToldOnceWithItsLineAndTheLevelGoesOnWithoutIt) {
    ScratchDir scratch;
    const std::string longName(60, 'x');
    const std::string index =
        "1 4 First\n"
        "2 99999999999 Huge\n"
        "3 -2 Negative\n"
        "4 100 Over\n"
        "five 3 Words\n"
        "\n"
        "6 " +
        std::string(300, '7') + " Long\n" + "7 5 " + longName + "\n" + "8 6 Caf\xC3\xA9 " + std::string(38, 'y') +
        "\xC3\xA9\xC3\xA9\r\n" + "13 2 Beyond\n";
    WriteFileBytes("levels.idx", index.data(), index.size());
    testing::internal::CaptureStderr();
    ReadLevelIndex();
    const std::string told = testing::internal::GetCapturedStderr();
    for (const char* where :
         {"levels.idx:2: par out of range", "levels.idx:3: par out of range", "levels.idx:4: par out of range",
          "levels.idx:5: not", "levels.idx:7: line too long", "levels.idx:10: no such level"}) {
        const size_t at = told.find(where);
        EXPECT_NE(at, std::string::npos) << where << "\n" << told;
        EXPECT_EQ(told.find(where, at + 1), std::string::npos) << where;
    }
    EXPECT_EQ(told.find("levels.idx:1:"), std::string::npos);
    EXPECT_EQ(told.find("levels.idx:6:"), std::string::npos) << "a blank line is no fault";

    EXPECT_EQ(PlayLine(1), "Level 1: First   Shots 0, par 4");
    EXPECT_EQ(PlayLine(2), "Level 2: Level 2   Shots 0");
    EXPECT_EQ(PlayLine(3), "Level 3: Level 3   Shots 0");
    EXPECT_EQ(PlayLine(4), "Level 4: Level 4   Shots 0");
    EXPECT_EQ(PlayLine(7), "Level 7: " + std::string(47, 'x') + "   Shots 0, par 5");
    // Cut to fit, the name ends on a whole character.
    const std::string eight = PlayLine(8);
    EXPECT_EQ(eight.find("\xC3   Shots"), std::string::npos) << eight;
    EXPECT_NE(eight.find("Caf\xC3\xA9 yyyy"), std::string::npos) << eight;
    EXPECT_NE(eight.find("y\xC3\xA9   Shots 0, par 6"), std::string::npos) << eight;

    // No index at all is told once too, and every level keeps its number.
    std::remove("levels.idx");
    testing::internal::CaptureStderr();
    ReadLevelIndex();
    const std::string missing = testing::internal::GetCapturedStderr();
    EXPECT_NE(missing.find("levels.idx: "), std::string::npos) << missing;
    EXPECT_EQ(PlayLine(1), "Level 1: Level 1   Shots 0");
}
