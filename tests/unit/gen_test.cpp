// The level generator's parts that the command-line test cannot see: the
// level code against every shipped level and every mistyped character,
// slicing that must not change the level, and the daily level's date.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/boardimage.h"
#include "game/leveltext.h"
#include "game/leveltext_strings.h"
#include "gen/family.h"
#include "gen/gen_strings.h"
#include "gen/measure.h"
#include "platform/worker/worker.h"

namespace {

bool LoadShipped(int n, uint8_t bytes[LEVEL_FILE_SIZE]) {
    std::string name, error;
    std::vector<std::string> warnings;
    return leveltext::LoadAnyLevel(std::string(TARNO_SOURCE_DIR) + "/data/levels/level" + std::to_string(n) + ".txt",
                                   bytes, &name, &error, &warnings);
}

}  // namespace

TEST(LevelCode, EveryShippedLevelComesBackAndNoMistypedCharacterIsRead) {
    for (int n = 1; n <= LAST_LEVEL; ++n) {
        uint8_t bytes[LEVEL_FILE_SIZE], back[LEVEL_FILE_SIZE];
        ASSERT_TRUE(LoadShipped(n, bytes));
        std::string code, error;
        ASSERT_TRUE(gen::EncodeLevel(bytes, &code, &error)) << error;
        EXPECT_LE(code.size(), 48u) << "level " << n;
        ASSERT_TRUE(gen::DecodeLevel(" " + code + "\n", back, &error)) << error;
        EXPECT_EQ(0, std::memcmp(bytes, back, LEVEL_FILE_SIZE)) << "level " << n;
        // Each character changed to each other one of the alphabet, each
        // dropped, one added: never a board.
        const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
        for (size_t i = 0; i < code.size(); ++i) {
            for (char c : alphabet) {
                if (c == code[i]) continue;
                std::string typo = code;
                typo[i] = c;
                EXPECT_FALSE(gen::DecodeLevel(typo, back, &error)) << typo;
            }
            EXPECT_FALSE(gen::DecodeLevel(code.substr(0, i) + code.substr(i + 1), back, &error));
        }
    }
    uint8_t back[LEVEL_FILE_SIZE];
    std::string error;
    EXPECT_FALSE(gen::DecodeLevel("", back, &error));
    EXPECT_EQ("the level code is empty", error);
    EXPECT_FALSE(gen::DecodeLevel("1AB=C", back, &error));
    EXPECT_EQ("the level code has '=' at place 4; a level code holds only letters, digits, - and _", error);
    EXPECT_FALSE(gen::DecodeLevel("2AAAA", back, &error));
    EXPECT_NE(std::string::npos, error.find("starts with '2'"));
}

TEST(LevelCode, ABoardPlayCannotHoldHasNoCode) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    ASSERT_TRUE(LoadShipped(3, bytes));
    std::string code, error;
    bytes[leveltext::ByteIndex(5, 5)] = CELL_DEFLECTOR_PAIR;
    EXPECT_FALSE(gen::EncodeLevel(bytes, &code, &error));
    EXPECT_NE(std::string::npos, error.find("column 5, row 5 holds code 19")) << error;
    ASSERT_TRUE(LoadShipped(3, bytes));
    for (int cx = 1; cx <= 11; ++cx) bytes[leveltext::ByteIndex(cx, 12)] = CELL_BALLOON;
    EXPECT_FALSE(gen::EncodeLevel(bytes, &code, &error));
    EXPECT_NE(std::string::npos, error.find("at most 10")) << error;
}

TEST(Generator, SlicesAndCancellingLeaveTheLevelAsInOneGo) {
    for (gen::Grade grade : {gen::EASY, gen::MEDIUM}) {
        gen::MadeLevel whole;
        ASSERT_TRUE(gen::Generate(grade, 7, &whole));
        // Every wedge works; a family's walls may stand idle, as the shipped levels' do.
        gen::IdleList idle;
        gen::IdlePieces(whole.bytes, whole.solution, &idle);
        for (int k = 0; k < idle.count; ++k) EXPECT_FALSE(IsSingleDeflector(whole.bytes[idle.at[k]]));
        auto* g = new gen::Generation;
        gen::StartGeneration(g, grade, 7);
        int slices = 0;
        // Slices that end at once: one piece of work each.
        while (!gen::ContinueGeneration(g, SteadyMicros())) ++slices;
        EXPECT_GT(slices, 1);
        ASSERT_EQ(gen::MADE, g->status);
        EXPECT_EQ(0, std::memcmp(whole.bytes, g->level.bytes, LEVEL_FILE_SIZE));
        EXPECT_EQ(whole.candidates, g->level.candidates);
        std::atomic<bool> cancel{true};
        gen::StartGeneration(g, grade, 8);
        EXPECT_TRUE(gen::ContinueGeneration(g, cellsolver::NO_DEADLINE, &cancel));
        EXPECT_EQ(gen::GENERATION_CANCELLED, g->status);
        delete g;
    }
}

TEST(Generator, AHalfMeetsItsImageOnlyAtTheSeam) {
    // Halves that play apart: the whole is its own mirror image, and its
    // least shots are the half's twice over.
    for (uint64_t seed : {3, 4}) {
        gen::MadeLevel made;
        ASSERT_TRUE(gen::Generate(gen::HARD, seed, &made));
        EXPECT_EQ(1.0, BoardSymmetry(made.bytes)) << seed;
        EXPECT_EQ(0, made.figures.par % 2) << seed;
    }
}

TEST(Generator, AHalfForetellsTheBoardsOfItsWholeApart) {
    // The generator refuses a whole whose halves apart would leave the band
    // without measuring it, so the count must be the whole's exactly,
    // counting the boards a won half's wedges reach while the other half
    // is played: with the full seam, and with only the seam's blocks some
    // shot meets when the half says that plays apart too. Where a shot
    // after a win meets the seam elsewhere, it does not (here a medium or
    // hard start of each family in turn; the 186th crosses).
    gen::Random r = gen::Seeded(5);
    int compared = 0, playedOn = 0, lighter = 0, crossed = 0;
    for (int k = 0; k < 400 && (playedOn < 3 || lighter < 3 || crossed < 1); ++k) {
        uint8_t half[LEVEL_FILE_SIZE], whole[LEVEL_FILE_SIZE], used[LEVEL_FILE_SIZE];
        gen::Layout layout;
        gen::FreshStart(&r, k % 2 ? gen::HARD : gen::MEDIUM, static_cast<gen::Family>(k % gen::FAMILIES), half,
                        &layout);
        auto* m = new gen::Measure;
        gen::StartMeasure(m, half, 300);
        m->seam = layout.seam;
        gen::ContinueMeasure(m);
        if (m->status == gen::MEASURED) {
            const uint64_t foretold = gen::ApartBoards(*m);
            const bool apart = m->postWinApart, counted = m->postWin < gen::POST_WIN_MOST;
            playedOn += m->postWin > 0;
            std::memcpy(used, half, LEVEL_FILE_SIZE);
            for (int at = 0; at < LEVEL_FILE_SIZE; ++at)
                if (layout.seam[at] && !m->seamUsed[at]) used[at] = CELL_EMPTY;
            gen::Compose(half, layout, whole);  // the seam all block
            gen::StartMeasure(m, whole, 4000000);
            gen::ContinueMeasure(m);
            ASSERT_EQ(gen::MEASURED, m->status) << k;
            if (counted) {
                EXPECT_EQ(foretold, m->figures.states) << k;
            }
            ++compared;
            gen::Compose(used, layout, whole);
            gen::StartMeasure(m, whole, 4000000);
            gen::ContinueMeasure(m);
            if (apart) {
                EXPECT_EQ(foretold, m->figures.states) << k << " with the seam's used blocks";
                lighter += std::memcmp(used, half, LEVEL_FILE_SIZE) != 0;
            } else if (counted) {
                EXPECT_NE(foretold, m->figures.states) << k << " crossed after a win";
                ++crossed;
            }
        }
        delete m;
    }
    EXPECT_GE(compared, 5);
    EXPECT_GE(playedOn, 3);  // boards after a win were counted
    EXPECT_GE(lighter, 3);   // seams with blocks taken away were compared
    EXPECT_GE(crossed, 1);
}

TEST(Generator, TheDailyLevelComesFromTheDateAlone) {
    gen::Date d;
    std::string error;
    ASSERT_TRUE(gen::ParseDate("2026-12-07", &d, &error));  // a Monday
    gen::Grade grade;
    uint64_t seed = 0, again = 0;
    gen::DailyLevel(d, &grade, &seed);
    EXPECT_EQ(gen::EASY, grade);
    gen::DailyLevel(d, &grade, &again);
    EXPECT_EQ(seed, again);
    ASSERT_TRUE(gen::ParseDate("2026-12-11", &d, &error));  // Friday
    gen::DailyLevel(d, &grade, &again);
    EXPECT_EQ(gen::HARD, grade);
    EXPECT_NE(seed, again);
    EXPECT_EQ("2026-12-11", gen::DateText(d));
    for (const char* bad : {"2026-02-29", "2026-13-01", "2026-1-01", "yesterday"})
        EXPECT_FALSE(gen::ParseDate(bad, &d, &error)) << bad;
    ASSERT_TRUE(gen::ParseDate("2024-02-29", &d, &error));
    // Stepping through the calendar: over a leap day, a year's end and 400 years.
    EXPECT_EQ("2024-03-01", gen::DateText(gen::DaysAfter(d, 1)));
    EXPECT_EQ("2023-12-31", gen::DateText(gen::DaysAfter(d, -60)));
    EXPECT_EQ("2424-02-29", gen::DateText(gen::DaysAfter(d, 146097)));
}
