// What the game is handed from outside (a code, a name, a link, the command
// line, a short level.dat) is refused or told in words a player can read,
// never echoed raw.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/editor.h"
#include "game/session.h"
#include "game_fixture.h"
#include "lib/input.h"
#include "lib/text.h"
#include "shell/comforts.h"
#include "shell/shell.h"

namespace {

std::string Printable(const char* text, size_t size = 64, bool keepLines = false) {
    char out[256];
    PrintableText(text, out, size, keepLines);
    return out;
}

// The last message shown, once, or "(none)".
std::string Told() {
    std::vector<std::string>& messages = HeadlessMessages();
    const std::string last = messages.empty() ? "(none)" : messages.back();
    messages.clear();
    return last;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

bool FitsArgs(std::vector<const char*> args) {
    args.insert(args.begin(), "tarno");
    return CommandLineFits(static_cast<int>(args.size()), const_cast<char**>(args.data()));
}

}  // namespace

TEST(Refusals, WhatCannotBePrintedIsShownAsEscapesAndCutBetweenCharacters) {
    EXPECT_EQ(Printable("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(Printable("\xC3"), "\\xC3");
    EXPECT_EQ(Printable("a\nb\x1B[2Jc\x7F\t"), "a\\nb\\x1B[2Jc\\x7F\\t");
    EXPECT_EQ(Printable("one\ntwo", 64, true), "one\ntwo");
    EXPECT_EQ(Printable("\xED\xA0\x80 \xC0\xAF \xF4\x90\x80\x80"), "\\xED\\xA0\\x80 \\xC0\\xAF \\xF4\\x90\\x80\\x80");
    EXPECT_EQ(Printable("\xC2\x9B"), "\\xC2\\x9B");  // a terminal's one-byte escape
    // Cut to fit: never inside a character or an escape.
    EXPECT_EQ(Printable("ab\xE2\x80\xA6", 5), "ab");
    EXPECT_EQ(Printable("ab\x01", 6), "ab");
    char name[8];
    CopyName(name, sizeof name, "Caf\xC3\xA9\xC3\xA9\xC3\xA9");
    EXPECT_STREQ(name, "Caf\xC3\xA9\xC3\xA9");
}

TEST(Refusals, ACodeOfOddBytesIsToldWithTheWholeCharacterOrItsEscape) {
    HeadlessReset();
    EXPECT_FALSE(StartCodeLevel("\xC3\xA9"));
    EXPECT_EQ(Told(), "The level code has '\xC3\xA9' at place 1; a level code holds only letters, digits, - and _");
    EXPECT_FALSE(StartCodeLevel("\xC3"));
    EXPECT_PRED2(StartsWith, Told(), "The level code has '\\xC3' at p");
    EXPECT_FALSE(StartCodeLevel("AB\nCD"));
    EXPECT_PRED2(StartsWith, Told(), "The level code has '\\n' at pl");
    EXPECT_FALSE(StartCodeLevel("A\x1B[31m"));
    EXPECT_PRED2(StartsWith, Told(), "The level code has '\\x1B' at pl");
    EXPECT_FALSE(StartDailyLevel("2026-\xC3\xA9\x1B"));
    EXPECT_EQ(Told(), "'2026-\xC3\xA9\\x1B' is not a date; write it as YYYY-MM-DD");
    // A long date is cut between characters.
    const std::string longDate = std::string(39, 'x') + "\xC3\xA9";
    EXPECT_FALSE(StartDailyLevel(longDate.c_str()));
    EXPECT_EQ(Told(), "'" + std::string(39, 'x') + "\xE2\x80\xA6' is not a date; write it as YYYY-MM-DD");
}

TEST(Refusals, ALinkTooLongOrOfNoKnownKindIsTold) {
    HeadlessReset();
    EXPECT_FALSE(StartFromLink(("#code=" + std::string(600, 'A')).c_str()));
    EXPECT_EQ(Told(), "That link is too long to name a level.");
    EXPECT_FALSE(StartFromLink(("#" + std::string(511, 'b')).c_str()));
    EXPECT_PRED2(StartsWith, Told(), "That link names no level:");
    EXPECT_FALSE(StartFromLink("#bogus"));
    EXPECT_EQ(Told(), "That link names no level: #code=CODE, #daily, #daily=YYYY-MM-DD or #new=GRADE[:SEED]");
    // No fragment at all is the page opened plainly.
    EXPECT_FALSE(StartFromLink("#"));
    EXPECT_EQ(Told(), "(none)");
}

TEST(Refusals, TheCommandLineTakesOnlyItsShapes) {
    EXPECT_TRUE(FitsArgs({}));
    EXPECT_TRUE(FitsArgs({"mine.dat"}));
    EXPECT_TRUE(FitsArgs({"-"}));
    EXPECT_TRUE(FitsArgs({"--new", "hard"}));
    EXPECT_TRUE(FitsArgs({"--new", "Easy", "--seed", "12"}));
    EXPECT_TRUE(FitsArgs({"--daily"}));
    EXPECT_TRUE(FitsArgs({"--daily", "2026-12-07"}));
    EXPECT_TRUE(FitsArgs({"--code", "anything"}));
    for (std::vector<const char*> bad : {std::vector<const char*>{"--bogus"},
                                         {"-x"},
                                         {"a.dat", "b.dat"},
                                         {"--new"},
                                         {"--new", "tough"},
                                         {"--new", "easy", "--seed"},
                                         {"--new", "easy", "--seed", "x"},
                                         {"--new", "easy", "--sed", "1"},
                                         {"--daily", "a", "b"},
                                         {"--code"},
                                         {"--code", "a", "b"}})
        EXPECT_FALSE(FitsArgs(bad)) << bad[0] << " with " << bad.size() << " words";
}

// L on a short level.dat keeps the read as it is, and says what it left.
class ShortLevelFile : public GameTest {};

TEST_F(ShortLevelFile, LIsToldWhatItRead) {
    StartWith({{3, 3, BLOCK}, {12, 12, BALLOON}});
    std::vector<uint8_t> bytes(20, CELL_BALLOON);
    WriteFileBytes("level.dat", bytes.data(), bytes.size());
    ASSERT_EQ(InitInput(), 1);
    ASSERT_EQ(InitKeyboard(), 1);
    Now.Editor.Mode = 1;
    HeadlessSetKey(DIK_L, true);
    RunEditorFrame();
    HeadlessSetKey(DIK_L, false);
    ReleaseKeyboard();
    ShutdownInput();
    TickEditorNote();
    EXPECT_EQ(Now.Live.play.board[1][1], CELL_BALLOON);    // the file's first cells
    EXPECT_EQ(Now.Live.play.board[12][12], CELL_BALLOON);  // past them: as it was
    const std::string status = StatusLine();
    EXPECT_NE(status.find("level.dat has 20 bytes; a level has 300: the rest of the board is unchanged"),
              std::string::npos)
        << status;
    EXPECT_EQ(status.find("Loaded"), std::string::npos);
    Now.Editor.Mode = 0;
}
