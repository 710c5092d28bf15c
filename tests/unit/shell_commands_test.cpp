// The one door of the player's events: what it refuses, and the count a
// front end's walk of its own menus and buttons is checked against; what the
// shell lays out for every front end's panels.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "game/board.h"
#include "game/session.h"
#include "menu_table.h"
#include "shell/shell.h"

namespace {

Command Menu(int32_t id) { return Command{COMMAND_MENU, id, 0, 0}; }
Command Button(int32_t index) { return Command{COMMAND_BUTTON, index, 0, 0}; }

TEST(Commands, WhatNoItemOrButtonOfTheTablesIsStaysTheWindowsOwn) {
    // Ids the window itself may carry: no line, no submenu, no item the table lacks.
    for (int32_t id : {0, MENU_SEPARATOR, 999, -5}) EXPECT_FALSE(OnCommand(Menu(id))) << id;
    constexpr int32_t buttons = sizeof COMFORT_BUTTONS / sizeof COMFORT_BUTTONS[0];
    EXPECT_FALSE(OnCommand(Button(-1)));
    EXPECT_FALSE(OnCommand(Button(buttons)));
}

TEST(Commands, TheProbeNamesEveryItemAndButtonThatNeverCame) {
    SetCommandProbe(true);
    for (const MenuEntry& e : MENU_TABLE) {
        if (e.id <= 0 || e.id == IDM_SOUND || e.id == IDM_LEVEL12) continue;
        EXPECT_TRUE(OnCommand(Menu(e.id))) << e.text;
    }
    EXPECT_TRUE(OnCommand(Button(0)));
    EXPECT_TRUE(OnCommand(Button(1)));
    EXPECT_TRUE(OnCommand(Button(3)));
    EXPECT_STREQ(CommandsMissed(), "menu 32, menu 14, button Hint");
    EXPECT_TRUE(OnCommand(Menu(IDM_SOUND)));
    EXPECT_TRUE(OnCommand(Menu(IDM_LEVEL12)));
    EXPECT_TRUE(OnCommand(Button(2)));
    EXPECT_STREQ(CommandsMissed(), "");
    // A new walk starts from nothing.
    SetCommandProbe(false);
    SetCommandProbe(true);
    EXPECT_NE(CommandsMissed()[0], '\0');
    SetCommandProbe(false);
}

}  // namespace

namespace {

// The records panel's table is its text cut at lines and at three spaces,
// with no row past the last line.
TEST(Panels, TheRecordsTableIsTheTextCutIntoRowsAndCells) {
    std::string text = RecordsText(), rebuilt;
    char cell[256];
    int32_t rows = 0;
    for (; RecordsCell(rows, 0, cell, sizeof cell); ++rows) {
        for (int32_t column = 0; RecordsCell(rows, column, cell, sizeof cell); ++column)
            rebuilt += (column ? "   " : "") + std::string(cell);
        rebuilt += '\n';
    }
    EXPECT_GE(rows, LAST_LEVEL) << text;
    if (text.back() != '\n') text += '\n';
    EXPECT_EQ(rebuilt, text);
    EXPECT_FALSE(RecordsCell(-1, 0, cell, sizeof cell));
    EXPECT_FALSE(RecordsCell(0, 99, cell, sizeof cell));
    ASSERT_TRUE(RecordsCell(0, 0, cell, 4));  // cut to fit
    EXPECT_EQ(std::strlen(cell), 3u);
}

// A line of the status is given once, until it changes or is forgotten.
TEST(Panels, TheStatusLineIsGivenOnlyWhenItChanged) {
    ForgetShownStatus();
    const char* first = ChangedStatusLine();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ChangedStatusLine(), nullptr);
    ForgetShownStatus();
    EXPECT_STREQ(ChangedStatusLine(), StatusLine());
}

// A touch screen has no keys to press: a lost board names the buttons.
TEST(Panels, ATouchScreenIsToldOfButtonsNotKeys) {
    StartFreshSession();
    Now.Notice.LostNoticeShown = true;
    EXPECT_NE(std::string(StatusLine()).find("No way to win from here: U undoes, R restarts"), std::string::npos);
    SetTapWords(true);
    const std::string tapped = StatusLine();
    EXPECT_NE(tapped.find("No way to win from here: tap Undo or Restart"), std::string::npos) << tapped;
    Now.Notice.HintAsked = true;
    EXPECT_NE(std::string(StatusLine()).find("no shot can win it. Tap Undo or Restart"), std::string::npos);
    StartFreshSession();
    Now.Notice.LostNoticeShown = true;
    EXPECT_NE(std::string(StatusLine()).find("U undoes"), std::string::npos);  // a fresh session has keys again
}

}  // namespace
