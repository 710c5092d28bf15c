// The bitmap loader: what it reads (24-bit, padded rows, either row order,
// pixels wherever bfOffBits says) and what it refuses.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lib/bitmap.h"
#include "scratch.h"

namespace {

// A 24-bit bottom-up file, rows padded to 4 bytes, pixel (x, y) holding
// blue x, green y, red 0x80; `gap` spare bytes between headers and pixels.
std::vector<uint8_t> MakeBmp(int32_t w, int32_t h, uint32_t gap = 0) {
    const uint32_t row = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    std::vector<uint8_t> b(54, 0);
    b.resize(54 + gap + row * h, 0xEE);
    b[0] = 'B';
    b[1] = 'M';
    PutLe(b, 2, static_cast<uint32_t>(b.size()));
    PutLe(b, 10, 54 + gap);
    PutLe(b, 14, 40);
    PutLe(b, 18, static_cast<uint32_t>(w));
    PutLe(b, 22, static_cast<uint32_t>(h));
    PutLe(b, 26, 1, 2);
    PutLe(b, 28, 24, 2);
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* r = &b[54 + gap + row * static_cast<uint32_t>(h - 1 - y)];
        for (int32_t x = 0; x < w; ++x) {
            r[x * 3] = static_cast<uint8_t>(x);
            r[x * 3 + 1] = static_cast<uint8_t>(y);
            r[x * 3 + 2] = 0x80;
        }
    }
    return b;
}

void ExpectPixels(const BitmapFile& bmp, int32_t w, int32_t h) {
    ASSERT_NE(bmp.pixels, nullptr);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t* p = bmp.pixels + (y * w + x) * 3;
            ASSERT_EQ(p[0], x) << x << "," << y;
            ASSERT_EQ(p[1], y) << x << "," << y;
            ASSERT_EQ(p[2], 0x80) << x << "," << y;
        }
}

int Load(const std::vector<uint8_t>& bytes, BitmapFile* bmp) {
    return LoadBitmapBytes(bmp, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

bool HaveConvert() { return std::system("convert -version >/dev/null 2>&1") == 0; }

}  // namespace

TEST(BitmapLoad, PaddedRowsGapsAndTopDownFiles) {
    for (int32_t w : {1, 2, 3, 4, 5, 7}) {
        for (uint32_t gap : {0u, 10u}) {
            std::vector<uint8_t> file = MakeBmp(w, 4, gap);
            PutLe(file, 34, 12345);  // whatever biSizeImage said
            BitmapFile bmp{};
            ASSERT_EQ(Load(file, &bmp), 1) << w;
            ExpectPixels(bmp, w, 4);
            EXPECT_EQ(uint32_t{bmp.infoHeader.biSizeImage}, static_cast<uint32_t>(w * 4 * 3));
            EXPECT_EQ(UnloadBitmapFile(&bmp), 1);
            EXPECT_EQ(bmp.pixels, nullptr);
            EXPECT_EQ(UnloadBitmapFile(&bmp), 1);
        }
    }
    // Top-down: negative height, rows in order; the height comes out positive.
    std::vector<uint8_t> file = MakeBmp(5, 3);
    const uint32_t row = 16;
    std::vector<uint8_t> flipped(file);
    for (int r = 0; r < 3; ++r) std::memcpy(&flipped[54 + r * row], &file[54 + (2 - r) * row], row);
    PutLe(flipped, 22, static_cast<uint32_t>(-3));
    BitmapFile bmp{};
    ASSERT_EQ(Load(flipped, &bmp), 1);
    EXPECT_EQ(int32_t{bmp.infoHeader.biHeight}, 3);
    ExpectPixels(bmp, 5, 3);
    UnloadBitmapFile(&bmp);
    // The last row may lack its padding.
    file.resize(file.size() - 1);
    ASSERT_EQ(Load(file, &bmp), 1);
    ExpectPixels(bmp, 5, 3);
    UnloadBitmapFile(&bmp);
}

TEST(BitmapLoad, RefusesWhatItCannotReadAndKeepsTheRecord) {
    auto refused = [](std::vector<uint8_t> file) {
        BitmapFile bmp{};
        bmp.infoHeader.biWidth = 77;
        const int r = Load(file, &bmp);
        EXPECT_EQ(bmp.pixels, nullptr);
        EXPECT_EQ(int32_t{bmp.infoHeader.biWidth}, 77);
        if (r) UnloadBitmapFile(&bmp);
        return r == 0;
    };
    const std::vector<uint8_t> good = MakeBmp(5, 3);
    std::vector<uint8_t> f;
    const struct {
        const char* what;
        size_t at;
        uint32_t value;
    } fields[] = {{"magic", 0, 'X' | 'M' << 8},
                  {"32 bits", 28, 32},
                  {"8 bits", 28, 8},
                  {"compressed", 30, 1},
                  {"core header", 14, 12},
                  {"width 0", 18, 0},
                  {"width < 0", 18, 0xFFFFFFFBu},
                  {"height 0", 22, 0},
                  {"height min", 22, 0x80000000u},
                  {"offset inside", 10, 20},
                  {"offset past", 10, 0xFFFFFFF0u}};
    for (const auto& field : fields) {
        f = good;
        PutLe(f, field.at, field.value);
        EXPECT_TRUE(refused(f)) << field.what;
    }
    // Sizes whose products overflow 32 bits, one way or another.
    for (auto wh : {std::pair<uint32_t, uint32_t>{0x40000000u, 0x40000000u},
                    {0x55555556u, 1u},
                    {65536u, 65536u},
                    {0x7FFFFFFFu, 0x7FFFFFFFu},
                    {1u, 0x80000001u}}) {
        f = good;
        PutLe(f, 18, wh.first);
        PutLe(f, 22, wh.second);
        EXPECT_TRUE(refused(f)) << wh.first << "x" << wh.second;
    }
    // Shorter than its header promises, by a row or by everything.
    f = good;
    f.resize(f.size() - 16);
    EXPECT_TRUE(refused(f)) << "short";
    f.resize(54);
    EXPECT_TRUE(refused(f)) << "headers only";
    f.resize(30);
    EXPECT_TRUE(refused(f)) << "half a header";
    BitmapFile bmp{};
    EXPECT_EQ(LoadBitmapBytes(&bmp, nullptr, 100), 0);
    EXPECT_EQ(LoadBitmapBytes(nullptr, good.data(), static_cast<uint32_t>(good.size())), 0);
}

// Files written by an independent encoder, so the loader is not only checked
// against our own idea of the format.
TEST(BitmapFile, ReadsWhatConvertWrites) {
#ifdef _WIN32
    if (!HaveConvert()) GTEST_SKIP() << "convert is not a tool of this system";
#endif
    ASSERT_TRUE(HaveConvert()) << "convert is not installed (make deps-test installs it)";
    ScratchDir dir;
    // A 5 by 3 picture: odd width, so every row carries a byte of padding.
    std::string ppm = "P3\n5 3\n255\n";
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ppm += std::to_string(0x80) + " " + std::to_string(y) + " " + std::to_string(x) + "\n";
    WriteFileBytes("in.ppm", ppm.data(), ppm.size());
    ASSERT_EQ(std::system("convert in.ppm -type TrueColor BMP3:t24.bmp"), 0);
    // More than 16 colours, or convert would write 4 bits per pixel.
    ASSERT_EQ(std::system("convert -size 40x3 xc: -fx 'rand()' -type Palette BMP3:p8.bmp"), 0);
    ASSERT_EQ(std::system("convert in.ppm -type Palette BMP3:p4.bmp"), 0);
    ASSERT_EQ(std::system("convert in.ppm -alpha set -define bmp3:alpha=true BMP3:a32.bmp"), 0);
    ASSERT_EQ(std::system("convert in.ppm -alpha set BMP:v5.bmp"), 0);

    BitmapFile bmp{};
    ASSERT_EQ(LoadBitmapFile(&bmp, "t24.bmp"), 1);
    ExpectPixels(bmp, 5, 3);
    UnloadBitmapFile(&bmp);
    EXPECT_EQ(LoadBitmapFile(&bmp, "p8.bmp"), 0);
    EXPECT_EQ(LoadBitmapFile(&bmp, "p4.bmp"), 0);
    EXPECT_EQ(LoadBitmapFile(&bmp, "a32.bmp"), 0);
    EXPECT_EQ(LoadBitmapFile(&bmp, "v5.bmp"), 0);
    EXPECT_EQ(bmp.pixels, nullptr);
}
