// The field's place on screen, as the desktop window and the page both take it.
#include <gtest/gtest.h>

#include "platform/view/field_view.h"

namespace {

TEST(FieldView, WholeFactorsWhenTheyFillTheSideSmoothOtherwise) {
    // 1400 by 1374: twice (1344) fills 98% of the short side, centred, crisp.
    FieldView v = PlaceField(1400, 1374, 672);
    EXPECT_EQ(v.scale, 2);
    EXPECT_TRUE(v.whole);
    EXPECT_EQ(v.left, 28);
    EXPECT_EQ(v.top, 15);
    // Exactly 85% still takes the whole factor; just under it fills smoothly.
    EXPECT_TRUE(PlaceField(790, 790, 672).whole);  // 672 / 790 = 85.06%
    v = PlaceField(1920, 1080, 672);               // full HD: once is 62%
    EXPECT_FALSE(v.whole);
    EXPECT_DOUBLE_EQ(v.scale, 1080.0 / 672);
    EXPECT_EQ(v.left, 420);
    EXPECT_EQ(v.top, 0);
    // A phone at a pixel ratio of 3 (390 CSS px wide): the whole width, smoothly.
    v = PlaceField(1170, 2532, 672);
    EXPECT_FALSE(v.whole);
    EXPECT_EQ(v.left, 0);
    EXPECT_DOUBLE_EQ(v.scale * 672, 1170);
    // Less than the field: squeezed smoothly to the shorter side.
    v = PlaceField(400, 374, 672);
    EXPECT_FALSE(v.whole);
    EXPECT_DOUBLE_EQ(v.scale, 374.0 / 672);
    EXPECT_EQ(v.left, 13);
    EXPECT_EQ(v.top, 0);
}

TEST(FieldView, ClicksMapBackThroughTheSameRectangle) {
    int32_t x = -1, y = -1;
    FieldView v = PlaceField(1400, 1374, 672);
    EXPECT_TRUE(ViewToField(v, 28, 15, 672, &x, &y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_TRUE(ViewToField(v, 28 + 1343.5, 15 + 3 * 96 + 1, 672, &x, &y));
    EXPECT_EQ(x, 671);
    EXPECT_EQ(y, 144);
    EXPECT_FALSE(ViewToField(v, 27.9, 100, 672, &x, &y));
    EXPECT_FALSE(ViewToField(v, 28 + 1344, 100, 672, &x, &y));
    // A smooth scale: the far edge of the field is its last pixel.
    v = PlaceField(1920, 1080, 672);
    EXPECT_TRUE(ViewToField(v, 420 + 1079.9, 1079.9, 672, &x, &y));
    EXPECT_EQ(x, 671);
    EXPECT_EQ(y, 671);
    v = PlaceField(400, 374, 672);
    EXPECT_TRUE(ViewToField(v, 13 + 187, 187, 672, &x, &y));
    EXPECT_EQ(x, 336);
    EXPECT_EQ(y, 336);
    EXPECT_FALSE(ViewToField(PlaceField(0, 500, 672), 0, 0, 672, &x, &y));
}

}  // namespace
