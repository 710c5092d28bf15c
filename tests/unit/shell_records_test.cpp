// The player's records beside the progress: a text that cannot be read is
// set aside and told, never written over, and the progress stays as it was.
#include <gtest/gtest.h>

#include <string>

#include "game/board.h"
#include "game/game.h"
#include "game/session.h"
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
    Now.LevelPlayed = level;
    CurrentLevel = static_cast<uint8_t>(level + 1);
    Now.Live.shotsFired = shots;
    Now.Live.play.won = 1;
    Now.WinStartTick = tick;
    OnWinFrame();
    OnWinFrame();
}

// Starts from a fresh session and leaves no record behind for the tests
// that follow in this program.
class Records : public ::testing::Test {
protected:
    void SetUp() override {
        HeadlessReset();
        StartFreshSession();
    }
    void TearDown() override {
        HeadlessReset();
        StartFreshSession();
    }
};

}  // namespace

TEST_F(Records, AnUnreadableTextIsSetAsideToldOnceAndTheProgressUntouched) {
    HeadlessReset();
    HeadlessSetSetting(SAVED_LEVEL_SETTING, "\x05");
    HeadlessSetSetting("records", "tarno records 1\nlevel 1 four par\n");
    Levels.Pars[1] = 4;
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
    Now.Live.play.won = 0;
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
    Now.Live.play.won = 0;
}

TEST_F(Records, OnlyFewerShotsBeatARecordAndTheDaysKeepTheLastThirty) {
    HeadlessReset();
    Levels.Pars[3] = 5;
    OnCreate();
    EXPECT_TRUE(HeadlessMessages().empty());
    // Beating a record is the records scenario's; a worse win beats nothing.
    Win(3, 5, 300);
    Win(3, 9, 400);
    EXPECT_EQ(BestShots(3), 5);
    EXPECT_FALSE(NewRecordShown());
    Now.Live.play.won = 0;

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

// Two copies of the game for one player: each write reads the stored records
// again and keeps the best of each, so neither loses the other's wins, and a
// win worse than the other's is no "New record!".
TEST_F(Records, AWinMergesWithWhatAnotherCopyStoredSince) {
    HeadlessReset();
    Levels.Pars[1] = 4;
    HeadlessSetSetting("records", "tarno records 1\nlevel 1 9 over\ndaily 2026-12-01 1 8\n");
    OnCreate();
    EXPECT_EQ(BestShots(1), 9);
    // The other copy wins level 1 in 4, level 2 in 7 and a day.
    HeadlessSetSetting("records",
                       "tarno records 1\nlevel 1 4 par\nlevel 2 7 over\ndaily 2026-12-02 0 5\ndaily 2026-12-01 1 9\n");
    Win(1, 5, 100);
    EXPECT_FALSE(NewRecordShown());
    EXPECT_EQ(BestShots(1), 4);
    EXPECT_EQ(BestShots(2), 7);
    Now.Live.play.won = 0;
    RecordDailyWin("2026-11-30", 2, 6);
    EXPECT_EQ(Setting("records"),
              "tarno records 1\nlevel 1 4 par\nlevel 2 7 over\ndaily 2026-12-02 0 5\ndaily 2026-12-01 1 8\n"
              "daily 2026-11-30 2 6\n");
    // Beating what the other copy stored is a new record, and written.
    Win(1, 3, 200);
    EXPECT_TRUE(NewRecordShown());
    EXPECT_NE(Setting("records").find("level 1 3 par\n"), std::string::npos);
    EXPECT_EQ(HeadlessSettingLocks(), 0);
    EXPECT_TRUE(HeadlessMessages().empty());
    // The panel shows what the other copy stored since, and names the grades.
    HeadlessSetSetting("records", "tarno records 1\nlevel 5 6 over\n");
    const std::string panel = RecordsText();
    EXPECT_NE(panel.find("Level 5: "), std::string::npos);
    EXPECT_NE(panel.find("best 6"), std::string::npos) << panel;
    EXPECT_NE(panel.find("2026-12-02   Easy   5 shots"), std::string::npos) << panel;
    EXPECT_NE(panel.find("2026-11-30   Hard   6 shots"), std::string::npos) << panel;
    Now.Live.play.won = 0;
}

// Every unreadable text is kept under a name of its own; the last free name
// warns, and only then does the oldest go to make room.
TEST_F(Records, SetAsidesAreKeptAndTheOldestToldBeforeItGoes) {
    HeadlessReset();
    auto bad = [](int n) { return "not records " + std::to_string(n); };
    for (int n = 0; n <= MAX_SET_ASIDES; ++n) {
        HeadlessSetSetting("records", bad(n));
        OnCreate();
        ASSERT_EQ(HeadlessMessages().size(), static_cast<size_t>(n + 1));
        const std::string& told = HeadlessMessages().back();
        const std::string name = n == 0 ? "records.bad" : "records.bad." + std::to_string(n < 10 ? n : 9);
        EXPECT_NE(told.find("\"" + name + "\""), std::string::npos) << told;
        EXPECT_EQ(told.find("oldest") != std::string::npos, n >= MAX_SET_ASIDES - 1) << told;
    }
    // The first is gone, told the time before; the others moved down one.
    EXPECT_EQ(Setting("records.bad"), bad(1));
    EXPECT_EQ(Setting("records.bad.8"), bad(9));
    EXPECT_EQ(Setting("records.bad.9"), bad(10));
    EXPECT_EQ(Setting("records.bad.10"), "(absent)");

    // Unreadable records written by another copy during a game are set aside
    // at this game's next win, which is then kept.
    HeadlessSetSetting("records", "garbled");
    HeadlessReset();
    OnCreate();
    HeadlessSetSetting("records", "garbled");
    Win(4, 6, 300);
    EXPECT_EQ(Setting("records.bad"), "garbled");
    EXPECT_EQ(Setting("records"), "tarno records 1\nlevel 4 6 over\n");
    ASSERT_EQ(HeadlessMessages().size(), 1u);
    Now.Live.play.won = 0;
}
