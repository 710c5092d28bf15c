// Keyboard state, the frame clock and presentation over the headless platform.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "lib/display.h"
#include "lib/input.h"
#include "platform/headless/headless.h"

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        HeadlessReset();
        ASSERT_EQ(InitInput(), 1);
        ASSERT_EQ(InitKeyboard(), 1);
        ASSERT_EQ(InitMouse(), 1);
    }
    void TearDown() override {
        ReleaseKeyboard();
        ReleaseMouse();
        ShutdownInput();
        HeadlessReset();
    }
};

int NonZero() {
    int n = 0;
    for (uint8_t k : KeyState) n += k != 0;
    return n;
}

}  // namespace

TEST_F(InputTest, AFailingReadKeepsTheLastState) {
    HeadlessSetKey(DIK_R, true);
    ASSERT_EQ(ReadKeyboard(), 1);
    HeadlessSetKeyboardAvailable(false);
    HeadlessSetKey(DIK_R, false);
    EXPECT_EQ(ReadKeyboard(), 0);
    EXPECT_NE(KeyState[DIK_R], 0);
}

TEST(Input, WithoutAKeyboardEveryReadIsAllUp) {
    HeadlessReset();
    ShutdownInput();
    // No input layer, then a layer but no keyboard device.
    for (bool layer : {false, true}) {
        if (layer) {
            ASSERT_EQ(InitInput(), 1);
        }
        HeadlessSetKeyboardAvailable(!layer);
        HeadlessSetKey(DIK_D, true);
        EXPECT_EQ(InitKeyboard(), 0);
        std::memset(KeyState, 0xAA, sizeof KeyState);
        EXPECT_EQ(ReadKeyboard(), 0);
        EXPECT_EQ(NonZero(), 0);
    }
    ReleaseKeyboard();  // never opened: nothing to release
    ShutdownInput();
    HeadlessReset();
}

TEST(Display, BackSurfaceIsTheFieldAndIsPresentedEachFrame) {
    HeadlessReset();
    EXPECT_EQ(ShutdownDisplay(), 1);  // before any InitDisplay: nothing to release
    ASSERT_EQ(InitDisplay(1024, 768, 32), 1);
    ASSERT_NE(BackSurface, nullptr);
    EXPECT_EQ(PlatformSurfaceSize(BackSurface).width, FIELD_SIZE);
    EXPECT_EQ(PlatformSurfaceSize(BackSurface).height, FIELD_SIZE);
    PresentFrame();
    EXPECT_EQ(HeadlessPresented(), BackSurface);
    EXPECT_EQ(HeadlessFrame(), 1u);
    EXPECT_EQ(ShutdownDisplay(), 1);
    EXPECT_EQ(BackSurface, nullptr);
    ShowError(nullptr);  // shown as an empty message
    EXPECT_EQ(HeadlessMessages(), std::vector<std::string>{""});
}

TEST(Display, FramesAreSixtyASecondWithoutDriftAndWaitsSurviveTheWrap) {
    HeadlessReset();
    WaitVerticalBlank();
    EXPECT_EQ(GetClock(), 16u);
    for (int i = 1; i < 6060; ++i) WaitVerticalBlank();
    EXPECT_EQ(GetClock(), 101000u);
    // WaitClock waits at least its time, also across the wrap of the tick count.
    StartClock();
    EXPECT_EQ(WaitClock(150), 101150u);
    HeadlessAdvanceClock(0xFFFFFFFFu - 101150u - 20u);
    StartClock();
    EXPECT_EQ(ClockStart, 0xFFFFFFFFu - 20u);
    EXPECT_EQ(WaitClock(100), 79u);
    HeadlessReset();
}
