// The save after a win: tried once per win, and a failure told once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/board.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/session.h"
#include "game/win.h"
#include "platform/headless/headless.h"
#include "resource.h"
#include "shell/shell.h"

TEST(WinSave, AFailingSaveIsTriedAndToldOncePerWin) {
    HeadlessReset();
    StartFreshSession();
    HeadlessSetSetting(SAVED_LEVEL_SETTING, "\x02");
    HeadlessSetSettingError(SAVED_LEVEL_SETTING, "/home/p/.config/tarno/level: Permission denied");
    CurrentLevel = 3;
    Now.Live.play.won = 1;
    Now.WinStartTick = 1000;
    for (int frame = 0; frame < 50; ++frame) OnWinFrame();
    EXPECT_EQ(HeadlessSettingWrites(SAVED_LEVEL_SETTING), 1);
    const std::string told = "The progress could not be saved: /home/p/.config/tarno/level: Permission denied";
    EXPECT_EQ(HeadlessMessages(), std::vector<std::string>{told});
    EXPECT_TRUE(HeadlessMenuEnabled(IDM_LEVEL1 + 2));

    // The next win tries again; once it works, it is stored and nothing is said.
    Now.WinStartTick = 5000;
    OnWinFrame();
    EXPECT_EQ(HeadlessSettingWrites(SAVED_LEVEL_SETTING), 2);
    EXPECT_EQ(HeadlessMessages().size(), 2u);
    HeadlessSetSettingError(SAVED_LEVEL_SETTING, nullptr);
    Now.WinStartTick = 9000;
    OnWinFrame();
    OnWinFrame();
    EXPECT_EQ(HeadlessSettingWrites(SAVED_LEVEL_SETTING), 3);
    std::string saved;
    EXPECT_TRUE(HeadlessSetting(SAVED_LEVEL_SETTING, &saved));
    EXPECT_EQ(saved, "\x03");
    EXPECT_EQ(HeadlessMessages().size(), 2u);
    Now.Live.play.won = 0;
}
