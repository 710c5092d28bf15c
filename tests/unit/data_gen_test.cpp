// The generated sprite sheet, icon and sounds, checked the way the game reads
// them: the build writes them into the run folder before the tests run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "game/sheet.h"
#include "game/sounds.h"
#include "lib/bitmap.h"
#include "lib/sound.h"
#include "scratch.h"

namespace {

std::string RunFile(const char* name) { return std::string(TARNO_RUN_DIR) + "/" + name; }

class Sheet : public ::testing::Test {
protected:
    // The whole grid of 8 by 6 cells on the one-pixel lines.
    void SetUp() override {
        ASSERT_EQ(LoadBitmapFile(&sheet_, RunFile("pieces.bmp").c_str()), 1);
        ASSERT_EQ(int32_t{sheet_.infoHeader.biWidth}, 392);
        ASSERT_EQ(int32_t{sheet_.infoHeader.biHeight}, 294);
        static_assert(SHEET_WIDTH == 392 && SHEET_HEIGHT == 294, "the sheet the game cuts");
    }
    void TearDown() override { UnloadBitmapFile(&sheet_); }

    // Pixel (x, y) of cell (cx, cy), cut as the game cuts it.
    bool Opaque(int cx, int cy, int x, int y) const {
        const uint8_t* p = sheet_.pixels + 3 * ((49 * cy + 1 + y) * sheet_.infoHeader.biWidth + 49 * cx + 1 + x);
        return p[0] | p[1] | p[2];
    }
    int OpaqueCount(int cx, int cy) const {
        int n = 0;
        for (int y = 0; y < 48; y++)
            for (int x = 0; x < 48; x++) n += Opaque(cx, cy, x, y);
        return n;
    }

    BitmapFile sheet_{};
};

// Every cell of the layout holds a picture, no two strips share a cell, and
// the cells outside them are blank.
TEST_F(Sheet, EveryCellOfTheLayoutHoldsAPictureAndNoOtherCellDoes) {
    int owners[SHEET_ROWS][SHEET_COLUMNS] = {};
    for (const SheetStrip& strip : SHEET_STRIPS) {
        ASSERT_LE(strip.cx + strip.count, SHEET_COLUMNS);
        ASSERT_LT(strip.cy, SHEET_ROWS);
        for (int k = 0; k < strip.count; k++) ++owners[strip.cy][strip.cx + k];
    }
    for (int cy = 0; cy < SHEET_ROWS; cy++)
        for (int cx = 0; cx < SHEET_COLUMNS; cx++) {
            EXPECT_LE(owners[cy][cx], 1) << "cell " << cx << "," << cy;
            if (owners[cy][cx]) {
                EXPECT_GT(OpaqueCount(cx, cy), 20) << "cell " << cx << "," << cy;
            } else {
                EXPECT_EQ(OpaqueCount(cx, cy), 0) << "cell " << cx << "," << cy;
            }
        }
}

// Each wedge fills its own half up to the diagonal and nothing beyond it, so
// the floor shows in the other half and two opposite wedges make a square.
TEST_F(Sheet, WedgesFillTheirHalfAndOppositeOnesMakeASquare) {
    for (int o = 0; o < 4; o++) {
        for (int y = 0; y < 48; y++) {
            for (int x = 0; x < 48; x++) {
                int fx = (o == 1 || o == 2) ? 47 - x : x, fy = (o >= 2) ? 47 - y : y;
                int s = fx + fy;  // 47 on the diagonal, lower inside the wedge's half
                if (s != 47) {
                    EXPECT_EQ(Opaque(SHEET_DEFLECTOR.cx + o, SHEET_DEFLECTOR.cy, x, y), s < 47)
                        << "orientation " << o << " at " << x << "," << y;
                }
            }
        }
    }
    for (int o = 0; o < 2; o++)
        for (int y = 0; y < 48; y++)
            for (int x = 0; x < 48; x++)
                EXPECT_TRUE(Opaque(SHEET_DEFLECTOR.cx + o, SHEET_DEFLECTOR.cy, x, y) ||
                            Opaque(SHEET_DEFLECTOR.cx + o + 2, SHEET_DEFLECTOR.cy, x, y))
                    << "pair " << o << " at " << x << "," << y;
}

TEST(DataGenIcon, IsA32By32SixteenColourIconWithAMask) {
    std::vector<uint8_t> b = ReadFileBytes(RunFile("tarno.ico").c_str());
    ASSERT_EQ(b.size(), 6u + 16 + 40 + 64 + 512 + 128);
    EXPECT_EQ(GetLe(b, 0, 4), 0x00010000u);  // reserved 0, type 1 (icon)
    EXPECT_EQ(GetLe(b, 6, 4), 0x00102020u);  // 32 by 32, 16 colours
    EXPECT_EQ(GetLe(b, 18, 4), 22u);         // the picture right after the directory
    EXPECT_EQ(GetLe(b, 30, 4), 64u);         // colour bits and mask stacked
    int masked = 0;
    for (size_t i = b.size() - 128; i < b.size(); i++)
        for (int bit = 0; bit < 8; bit++) masked += b[i] >> bit & 1;
    EXPECT_GT(masked, 100);  // a shape on a transparent ground, not a square
    EXPECT_LT(masked, 900);

    std::vector<uint8_t> x = ReadFileBytes(RunFile("tarno-icon.xpm").c_str());
    std::string xpm(x.begin(), x.end());
    EXPECT_EQ(xpm.rfind("/* XPM */", 0), 0u);
    EXPECT_NE(xpm.find("\"32 32 16 1\""), std::string::npos);
}

// The build reads the sound files from the table's source: it must find
// exactly the table's files, in its order.
TEST(DataGenSounds, TheBuildListsTheTable) {
    std::string table;
    for (const char* file : SOUND_FILES) table += std::string(table.empty() ? "" : ",") + file;
    EXPECT_EQ(std::string(TARNO_SOUND_LIST), table);
}

TEST(DataGenSounds, ParseAsQuietEndedBalanced8BitMonoOfASensibleLength) {
    for (const char* file : SOUND_FILES) {
        SCOPED_TRACE(file);
        std::vector<uint8_t> b = ReadFileBytes(RunFile(file).c_str());
        WavData wav{};
        ASSERT_EQ(ParseWav(b.data(), static_cast<uint32_t>(b.size()), &wav), 1);
        EXPECT_EQ(wav.rate, 11025u);
        ASSERT_EQ(std::memcmp(&b[12], "fmt ", 4), 0);
        EXPECT_EQ(GetLe(b, 22, 2), 1u);  // mono
        EXPECT_EQ(GetLe(b, 34, 2), 8u);  // 8 bits
        ASSERT_GT(wav.size, 0u);
        EXPECT_GE(wav.size / 11025.0f, 0.05f);
        EXPECT_LE(wav.size / 11025.0f, 4.0f);
        // Starting and stopping on the mid value: no click.
        EXPECT_NEAR(wav.samples[0], 128, 2);
        EXPECT_NEAR(wav.samples[wav.size - 1], 128, 2);
        // Never clipped, and as loud as the others in its strongest 50 ms.
        int lo = 255, hi = 0;
        double loudest = 0;
        const uint32_t w = 551;
        for (uint32_t i = 0; i < wav.size; i++) {
            lo = std::min<int>(lo, wav.samples[i]);
            hi = std::max<int>(hi, wav.samples[i]);
        }
        for (uint32_t start = 0; start + w <= wav.size; start += w / 4) {
            double sum = 0;
            for (uint32_t i = start; i < start + w; i++) sum += std::pow((wav.samples[i] - 128) / 128.0, 2);
            loudest = std::max(loudest, std::sqrt(sum / w));
        }
        EXPECT_GT(lo, 0);
        EXPECT_LT(hi, 255);
        EXPECT_GT(loudest, 0.15);
        EXPECT_LT(loudest, 0.35);
    }
}

}  // namespace
