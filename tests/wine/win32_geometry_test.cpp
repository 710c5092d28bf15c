// The client area's part on the screen and blit clipping of the Windows
// front end.
#include <gtest/gtest.h>

#include "platform/win32/win_geometry.h"

namespace {

bool Same(Rect a, Rect b) { return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom; }

TEST(Win32Presentation, ClampsTheClientAreaToTheScreen) {
    // Inside the screen: the client area itself.
    EXPECT_TRUE(Same(PresentationRect({104, 52, 768, 678}, 1024, 768), {104, 52, 768, 678}));
    // Dragged off the left edge: squeezed into the visible part, not cut.
    EXPECT_TRUE(Same(PresentationRect({-46, 52, 618, 678}, 1024, 768), {0, 52, 618, 678}));
    // Below and right of the screen.
    EXPECT_TRUE(Same(PresentationRect({900, 200, 1564, 900}, 1024, 768), {900, 200, 1024, 768}));
    // Wholly off the screen: nothing left to draw into.
    Rect gone = PresentationRect({1100, 10, 1700, 600}, 1024, 768);
    EXPECT_LE(gone.right - gone.left, 0);
}

TEST(Win32Blit, ClippingKeepsSourceAndDestinationInStep) {
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

TEST(Win32Blit, EmptyInvertedOrOutsideRectanglesDrawNothing) {
    Rect s{0, 0, 48, 48};
    Rect empty{10, 10, 10, 58};
    EXPECT_FALSE(ClipBlit(&empty, 672, 672, &s, 48, 48));
    Rect inverted{58, 10, 10, 58};
    EXPECT_FALSE(ClipBlit(&inverted, 672, 672, &s, 48, 48));
    Rect outside{-100, 0, -52, 48};
    EXPECT_FALSE(ClipBlit(&outside, 672, 672, &s, 48, 48));
    Rect d{0, 0, 48, 48}, invertedSource{48, 0, 0, 48};
    EXPECT_FALSE(ClipBlit(&d, 672, 672, &invertedSource, 48, 48));
}

}  // namespace
