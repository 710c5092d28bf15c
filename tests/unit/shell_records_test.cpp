// The player's records beside the progress: a text that cannot be read is
// set aside and told, never written over, and the progress stays as it was.
#include <gtest/gtest.h>

#include <string>

#include "game/board.h"
#include "game/game.h"
#include "game/win.h"
#include "platform/headless/headless.h"
#include "shell/comforts.h"
#include "shell/shell.h"

namespace {

std::string Setting(const char* name) {
    std::string text;
    return HeadlessSetting(name, &text) ? text : "(absent)";
}

// A win of a shipped level with this many shots on the board, as the frames
// leave it: CurrentLevel already names the next level.
void Win(uint8_t level, int32_t shots, uint32_t tick) {
    LevelPlayed = level;
    CurrentLevel = static_cast<uint8_t>(level + 1);
    Live.shotsFired = shots;
    Live.play.won = 1;
    WinStartTick = tick;
    OnWinFrame();
    OnWinFrame();
}

// Leaves no record behind for the tests that follow in this program.
class Records : public ::testing::Test {
protected:
    void TearDown() override {
        Live.play.won = 0;
        Live.shotsFired = 0;
        LevelPlayed = 0;
        HeadlessReset();
        LoadPlayerSettings();
    }
};

}  // namespace

TEST_F(Records, AnUnreadableTextIsSetAsideToldOnceAndTheProgressUntouched) {
    HeadlessReset();
    HeadlessSetSetting(SAVED_LEVEL_SETTING, "\x05");
    HeadlessSetSetting("records", "tarno records 1\nlevel 1 four par\n");
    LevelPars[1] = 4;
    OnCreate();
    ASSERT_EQ(HeadlessMessages().size(), 1u);
    EXPECT_NE(HeadlessMessages()[0].find("set aside"), std::string::npos) << HeadlessMessages()[0];
    EXPECT_EQ(Setting("records.bad"), "tarno records 1\nlevel 1 four par\n");
    EXPECT_EQ(Setting("records"), "(absent)");
    EXPECT_EQ(BestShots(1), 0);

    // The next win keeps a fresh record; what was set aside stays, and the
    // progress is neither written nor changed.
    Win(1, 4, 1000);
    EXPECT_EQ(Setting("records"), "tarno records 1\nlevel 1 4 par\n");
    EXPECT_EQ(Setting("records.bad"), "tarno records 1\nlevel 1 four par\n");
    EXPECT_EQ(HeadlessSettingWrites(SAVED_LEVEL_SETTING), 0);
    EXPECT_EQ(Setting(SAVED_LEVEL_SETTING), "\x05");
    EXPECT_EQ(HeadlessMessages().size(), 1u);
    Live.play.won = 0;
}

// A zero byte would end the text early and lose the lines after it.
TEST_F(Records, ATextWithAZeroByteInsideIsSetAside) {
    HeadlessReset();
    const std::string odd("tarno records 1\n\0level 1 4 par\n", 31);
    HeadlessSetSetting("records", odd);
    OnCreate();
    EXPECT_EQ(Setting("records.bad"), odd);
    EXPECT_EQ(Setting("records"), "(absent)");
}

TEST_F(Records, WhatCannotBeSetAsideIsNeverWrittenOver) {
    HeadlessReset();
    HeadlessSetSetting("records", "not records at all");
    HeadlessSetSettingError("records", "/home/p/.local/share/tarno/records: Read-only file system");
    OnCreate();
    ASSERT_EQ(HeadlessMessages().size(), 1u);
    EXPECT_NE(HeadlessMessages()[0].find("Read-only file system"), std::string::npos);
    HeadlessSetSettingError("records", nullptr);
    Win(2, 7, 2000);
    EXPECT_EQ(Setting("records"), "not records at all");
    EXPECT_EQ(BestShots(2), 7);  // this game still shows it
    EXPECT_EQ(HeadlessMessages().size(), 1u);
    Live.play.won = 0;
}

TEST_F(Records, OnlyFewerShotsBeatARecordAndTheDaysKeepTheLastThirty) {
    HeadlessReset();
    LevelPars[3] = 5;
    OnCreate();
    EXPECT_TRUE(HeadlessMessages().empty());
    // Beating a record is the records scenario's; a worse win beats nothing.
    Win(3, 5, 300);
    Win(3, 9, 400);
    EXPECT_EQ(BestShots(3), 5);
    EXPECT_FALSE(NewRecordShown());
    Live.play.won = 0;

    for (int day = 1; day <= 31; ++day) {
        char date[16];
        std::snprintf(date, sizeof date, "2026-%02d-%02d", day <= 28 ? 11 : 12, day <= 28 ? day : day - 28);
        RecordDailyWin(date, day % 4, 10);
    }
    RecordDailyWin("2026-12-02", 2, 6);   // a better try the same day
    RecordDailyWin("2026-12-02", 2, 12);  // and a worse one
    RecordDailyWin("2026-11-01", 1, 3);   // older than the thirty kept
    ASSERT_EQ(DailyRecordCount(), MAX_DAILY_RECORDS);
    EXPECT_STREQ(DailyRecordAt(0).date, "2026-12-03");
    EXPECT_EQ(DailyRecordAt(1).shots, 6);
    EXPECT_STREQ(DailyRecordAt(MAX_DAILY_RECORDS - 1).date, "2026-11-02");

    // What was written reads back the same in the next game.
    const std::string stored = Setting("records");
    OnCreate();
    EXPECT_TRUE(HeadlessMessages().empty());
    EXPECT_EQ(BestShots(3), 5);
    EXPECT_EQ(DailyRecordCount(), MAX_DAILY_RECORDS);
    EXPECT_EQ(DailyRecordAt(1).shots, 6);
    EXPECT_NE(std::string(RecordsText()).find("best 5, won in par"), std::string::npos) << RecordsText();
    EXPECT_EQ(Setting("records"), stored);
}
