// The client area's part on the screen, for the Windows front end.
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

}  // namespace
