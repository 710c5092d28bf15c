// Keyboard state, the frame clock, presentation and error messages over the
// headless platform.
#include <gtest/gtest.h>

#include <cstring>

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

TEST_F(InputTest, KeysReadByLevelUntilTheNextRead) {
    HeadlessSetKey(DIK_LEFT, true);
    HeadlessSetKey(DIK_UP, true);
    EXPECT_EQ(ReadKeyboard(), 1);
    EXPECT_NE(KeyState[DIK_LEFT], 0);
    EXPECT_NE(KeyState[DIK_UP], 0);
    EXPECT_EQ(NonZero(), 2);
    // Released, but not read yet: the last read stands.
    HeadlessSetKey(DIK_LEFT, false);
    EXPECT_NE(KeyState[DIK_LEFT], 0);
    EXPECT_EQ(ReadKeyboard(), 1);
    EXPECT_EQ(KeyState[DIK_LEFT], 0);
    EXPECT_NE(KeyState[DIK_UP], 0);
}

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
    // No input layer: nothing opens.
    EXPECT_EQ(InitKeyboard(), 0);
    EXPECT_EQ(InitMouse(), 0);
    std::memset(KeyState, 0xAA, sizeof KeyState);
    EXPECT_EQ(ReadKeyboard(), 0);
    EXPECT_EQ(NonZero(), 0);
    // An input layer but no keyboard device.
    ASSERT_EQ(InitInput(), 1);
    HeadlessSetKeyboardAvailable(false);
    EXPECT_EQ(InitKeyboard(), 0);
    HeadlessSetKey(DIK_D, true);
    std::memset(KeyState, 0xAA, sizeof KeyState);
    EXPECT_EQ(ReadKeyboard(), 0);
    EXPECT_EQ(NonZero(), 0);
    // Releasing what was never opened does nothing.
    ReleaseKeyboard();
    ReleaseMouse();
    ShutdownInput();
    ShutdownInput();
    HeadlessReset();
}

TEST(Display, BackSurfaceIsTheFieldAndIsPresentedEachFrame) {
    HeadlessReset();
    EXPECT_EQ(ShutdownDisplay(), 1);  // before any InitDisplay: nothing to release
    ASSERT_EQ(InitDisplay(1024, 768, 32), 1);
    ASSERT_NE(BackSurface, nullptr);
    EXPECT_EQ(PrimarySurface, nullptr);
    EXPECT_EQ(PlatformSurfaceWidth(BackSurface), FIELD_SIZE);
    EXPECT_EQ(PlatformSurfaceHeight(BackSurface), FIELD_SIZE);
    EXPECT_EQ(HeadlessPresented(), nullptr);
    PresentFrame();
    EXPECT_EQ(HeadlessPresented(), BackSurface);
    EXPECT_EQ(HeadlessFrame(), 1u);
    EXPECT_EQ(WaitVerticalBlank(), 1);
    EXPECT_EQ(HeadlessFrame(), 2u);
    EXPECT_EQ(ShutdownDisplay(), 1);
    EXPECT_EQ(BackSurface, nullptr);
    EXPECT_EQ(HeadlessPresented(), nullptr);
}

TEST(Display, FramesAreSixtyASecondWithoutDrift) {
    HeadlessReset();
    EXPECT_EQ(GetClock(), 0u);
    WaitVerticalBlank();
    EXPECT_EQ(GetClock(), 16u);
    WaitVerticalBlank();
    EXPECT_EQ(GetClock(), 33u);
    for (int i = 2; i < 60; ++i) WaitVerticalBlank();
    EXPECT_EQ(GetClock(), 1000u);
    for (int i = 0; i < 6000; ++i) WaitVerticalBlank();
    EXPECT_EQ(GetClock(), 101000u);
}

TEST(Display, WaitClockWaitsAtLeastItsTime) {
    HeadlessReset();
    HeadlessAdvanceClock(500);
    StartClock();
    EXPECT_EQ(ClockStart, 500u);
    EXPECT_EQ(WaitClock(0), 500u);
    EXPECT_EQ(WaitClock(150), 650u);
    // Across the wrap of the tick count.
    HeadlessAdvanceClock(0xFFFFFFFFu - 650u - 20u);
    StartClock();
    EXPECT_EQ(ClockStart, 0xFFFFFFFFu - 20u);
    EXPECT_EQ(WaitClock(100), 79u);
    HeadlessReset();
}

TEST(Display, ErrorsAreShownAsMessages) {
    HeadlessReset();
    ShowError("No keyboard!");
    ShowError(nullptr);
    ASSERT_EQ(HeadlessMessages().size(), 2u);
    EXPECT_EQ(HeadlessMessages()[0], "No keyboard!");
    EXPECT_EQ(HeadlessMessages()[1], "");
}
