// The software blitter: copies, colour keys, stretching and clipping; and
// the clipping Windows shares with it.
#include <gtest/gtest.h>

#include <cstdint>

#include "pixels.h"
#include "platform/clip/clip.h"

namespace {

// Every pixel distinct and none black.
uint32_t Pattern(int32_t x, int32_t y) {
    return 0x00010000u | static_cast<uint32_t>(y) << 8 | static_cast<uint32_t>(x);
}

struct TestSurface {
    Surface* s;
    TestSurface(int32_t w, int32_t h) : s(PlatformCreateSurface(w, h)) {}
    ~TestSurface() { PlatformDestroySurface(s); }
    uint32_t& At(int32_t x, int32_t y) { return PixelAt(s, x, y); }
    void Fill(uint32_t v) { FillSurface(s, v); }
    void FillPattern() {
        for (int32_t y = 0; y < PlatformSurfaceSize(s).height; ++y)
            for (int32_t x = 0; x < PlatformSurfaceSize(s).width; ++x) At(x, y) = Pattern(x, y);
    }
    int Count(uint32_t v) { return CountPixels(s, v); }
};

constexpr uint32_t BACK = 0x00777777;

}  // namespace

TEST(SoftSurface, CreatedBlackOrNotAtAll) {
    TestSurface t(5, 3);
    ASSERT_NE(t.s, nullptr);
    EXPECT_EQ(t.Count(0), 15);
    EXPECT_EQ(PlatformCreateSurface(0, 10), nullptr);
    EXPECT_EQ(PlatformCreateSurface(10, -1), nullptr);
    EXPECT_EQ(PlatformCreateSurface(1 << 30, 1 << 30), nullptr);
    EXPECT_EQ(PlatformBlit(nullptr, nullptr, t.s, nullptr, false), 0);
    EXPECT_EQ(PlatformBlit(t.s, nullptr, nullptr, nullptr, true), 0);
}

TEST(SoftBlit, KeyedSkipsBlackWhateverTheTopByte) {
    // 53 wide: odd lengths exercise the vector body and its scalar tail alike.
    TestSurface src(53, 2), dst(53, 2);
    src.FillPattern();
    dst.Fill(BACK);
    // Black, black with a stray top byte, and the faintest blue.
    for (int x = 0; x < 53; ++x) src.At(x, 1) = x % 3 == 0 ? 0 : x % 3 == 1 ? 0xFF000000u : 1u;
    EXPECT_EQ(PlatformBlit(dst.s, nullptr, src.s, nullptr, true), 1);
    for (int x = 0; x < 53; ++x) {
        EXPECT_EQ(dst.At(x, 0), Pattern(x, 0)) << x;
        EXPECT_EQ(dst.At(x, 1), x % 3 == 2 ? 1u : BACK) << x;
    }
    // Unkeyed, black is copied like any colour.
    EXPECT_EQ(PlatformBlit(dst.s, nullptr, src.s, nullptr, false), 1);
    EXPECT_EQ(dst.At(0, 1), 0u);
}

TEST(SoftBlit, ClipsAgainstTheDestination) {
    TestSurface src(4, 4), dst(6, 6);
    src.FillPattern();
    dst.Fill(BACK);
    // Hangs over the top-left corner by 1 and 2.
    const Rect d{-1, -2, 3, 2};
    EXPECT_EQ(PlatformBlit(dst.s, &d, src.s, nullptr, false), 1);
    EXPECT_EQ(dst.At(0, 0), Pattern(1, 2));
    EXPECT_EQ(dst.At(2, 1), Pattern(3, 3));
    EXPECT_EQ(dst.Count(BACK), 36 - 6);
    // Hangs over the bottom-right corner.
    dst.Fill(BACK);
    const Rect e{4, 5, 8, 9};
    EXPECT_EQ(PlatformBlit(dst.s, &e, src.s, nullptr, true), 1);
    EXPECT_EQ(dst.At(4, 5), Pattern(0, 0));
    EXPECT_EQ(dst.At(5, 5), Pattern(1, 0));
    EXPECT_EQ(dst.Count(BACK), 36 - 2);
    // Wholly outside, and far outside.
    dst.Fill(BACK);
    const Rect f{6, 0, 10, 4}, g{INT32_MIN, INT32_MIN, INT32_MIN + 4, INT32_MIN + 4};
    EXPECT_EQ(PlatformBlit(dst.s, &f, src.s, nullptr, false), 1);
    EXPECT_EQ(PlatformBlit(dst.s, &g, src.s, nullptr, false), 1);
    EXPECT_EQ(dst.Count(BACK), 36);
}

TEST(SoftBlit, ClipsAgainstTheSource) {
    TestSurface src(4, 4), dst(8, 8);
    src.FillPattern();
    dst.Fill(BACK);
    // The source rectangle starts 2 left and 1 above the source: only its
    // inside part is copied, to where it would have landed.
    const Rect s{-2, -1, 2, 3}, d{2, 2, 6, 6};
    EXPECT_EQ(PlatformBlit(dst.s, &d, src.s, &s, false), 1);
    EXPECT_EQ(dst.At(3, 2), BACK);
    EXPECT_EQ(dst.At(4, 3), Pattern(0, 0));
    EXPECT_EQ(dst.At(5, 5), Pattern(1, 2));
    EXPECT_EQ(dst.Count(BACK), 64 - 6);
}

TEST(SoftBlit, SurfaceOntoItselfActsAsIfCopiedAside) {
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (bool keyed : {false, true}) {
                TestSurface t(5, 5);
                t.FillPattern();
                const Rect s{1, 1, 4, 4}, d{1 + dx, 1 + dy, 4 + dx, 4 + dy};
                PlatformBlit(t.s, &d, t.s, &s, keyed);
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < 3; ++x)
                        EXPECT_EQ(t.At(1 + dx + x, 1 + dy + y), Pattern(1 + x, 1 + y)) << dx << "," << dy;
            }
        }
    }
}

TEST(SoftBlit, StretchesByNearestNeighbour) {
    TestSurface src(2, 2), dst(4, 4);
    src.FillPattern();
    EXPECT_EQ(PlatformBlit(dst.s, nullptr, src.s, nullptr, false), 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.At(x, y), Pattern(x / 2, y / 2));
    // And shrinks: every second pixel.
    TestSurface big(8, 8), small(4, 4);
    big.FillPattern();
    PlatformBlit(small.s, nullptr, big.s, nullptr, false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(small.At(x, y), Pattern(2 * x + 1, 2 * y + 1));
}

TEST(SoftBlit, StretchedBlitsAreKeyedAndClipped) {
    TestSurface src(48, 48), dst(672, 672);
    src.FillPattern();
    src.At(0, 0) = 0;
    dst.Fill(BACK);
    // The banner case: 48 pixels drawn at 100, hanging off the bottom right.
    const Rect d{600, 600, 700, 700};
    EXPECT_EQ(PlatformBlit(dst.s, &d, src.s, nullptr, true), 1);
    EXPECT_EQ(dst.At(600, 600), BACK);  // the black corner is transparent
    EXPECT_EQ(dst.At(602, 600), Pattern(1, 0));
    EXPECT_EQ(dst.At(671, 671), Pattern(71 * 48 / 100, 71 * 48 / 100));
    EXPECT_EQ(dst.At(599, 600), BACK);
    // A stretch whose source hangs outside its surface reads nothing there.
    const Rect s{-48, 0, 48, 48}, e{0, 0, 48, 24};
    dst.Fill(BACK);
    EXPECT_EQ(PlatformBlit(dst.s, &e, src.s, &s, false), 1);
    EXPECT_EQ(dst.At(0, 0), BACK);
    EXPECT_EQ(dst.At(23, 0), BACK);
    EXPECT_EQ(dst.At(24, 0), Pattern(1, 1));
}

namespace {

bool Same(Rect a, Rect b) { return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom; }

TEST(BlitClip, SourceAndDestinationMoveInStep) {
    // A sprite half off the left of the field: its right half is drawn.
    Rect d{-24, 100, 24, 148}, s{0, 0, 48, 48};
    ASSERT_TRUE(ClipBlit(&d, 672, 672, &s, 48, 48));
    EXPECT_TRUE(Same(d, {0, 100, 24, 148}));
    EXPECT_TRUE(Same(s, {24, 0, 48, 48}));
    // Stretched two to one past the bottom edge: the source shrinks by half as much.
    d = {0, 600, 100, 700};
    s = {0, 0, 50, 50};
    ASSERT_TRUE(ClipBlit(&d, 672, 672, &s, 50, 50));
    EXPECT_TRUE(Same(d, {0, 600, 100, 672}));
    EXPECT_TRUE(Same(s, {0, 0, 50, 36}));
    // A source rectangle reaching past its surface trims the destination.
    d = {0, 0, 60, 10};
    s = {0, 0, 60, 10};
    ASSERT_TRUE(ClipBlit(&d, 672, 672, &s, 48, 48));
    EXPECT_TRUE(Same(d, {0, 0, 48, 10}));
}

TEST(BlitClip, EmptyInvertedOrOutsideRectanglesDrawNothing) {
    Rect s{0, 0, 48, 48};
    Rect empty{10, 10, 10, 58};
    EXPECT_FALSE(ClipBlit(&empty, 672, 672, &s, 48, 48));
    Rect inverted{58, 10, 10, 58};
    EXPECT_FALSE(ClipBlit(&inverted, 672, 672, &s, 48, 48));
    Rect outside{-100, 0, -52, 48};
    EXPECT_FALSE(ClipBlit(&outside, 672, 672, &s, 48, 48));
    Rect d{0, 0, 48, 48}, invertedSource{48, 0, 0, 48};
    EXPECT_FALSE(ClipBlit(&d, 672, 672, &invertedSource, 48, 48));
    // Far off, and wider than 32 bits can tell: nothing overflows.
    Rect far{INT32_MIN, 0, INT32_MAX, 48}, whole{INT32_MIN, 0, INT32_MAX, 48};
    ASSERT_TRUE(ClipBlit(&far, 672, 672, &whole, 48, 48));
    EXPECT_TRUE(Same(far, {0, 0, 48, 48}));
    EXPECT_TRUE(Same(whole, {0, 0, 48, 48}));
    Rect huge{0, 0, 1 << 25, 10};
    EXPECT_FALSE(ClipBlit(&huge, 672, 672, &s, 48, 48));  // a stretch past any sense
}

}  // namespace
