#include <gtest/gtest.h>

#include "shell/DisplayModeSwitcher.h"
#include "tests/support/FakeDesktop.h"

using Calls = std::vector<std::string>;

TEST(DisplayModeSwitcher, ChangeAndRestoreMakeTheDesignedCalls) {
  FakeDisplaySettings display;
  {
    DisplayModeSwitcher switcher(display);
    switcher.Restore();
    EXPECT_TRUE(display.calls.empty()) << "no change in force: no call";

    EXPECT_TRUE(switcher.ChangeMode(640, 480, 16));
    EXPECT_EQ(display.calls, (Calls{"Fullscreen 640x480x16"}));
    EXPECT_EQ(display.debug, (Calls{"SScreenmode : Displaymode changed successfully!\n"}));

    switcher.Restore();
    EXPECT_EQ(display.calls, (Calls{"Fullscreen 640x480x16", "Test", "Reset", "Reset 1024x768x24"}));
    switcher.Restore();
    EXPECT_EQ(display.calls.size(), 4u) << "a second restore does nothing";

    ASSERT_TRUE(switcher.ChangeMode(640, 480, 16));
  }
  EXPECT_EQ(display.calls.back(), "Reset 1024x768x24") << "destruction restores a change still in force";
}

TEST(DisplayModeSwitcher, FailedTestMakesOnlyOneReset) {
  FakeDisplaySettings display;
  display.failTest = true;
  DisplayModeSwitcher switcher(display);
  ASSERT_TRUE(switcher.ChangeMode(640, 480, 16));
  display.calls.clear();
  switcher.Restore();
  EXPECT_EQ(display.calls, (Calls{"Test", "Reset"}));
}

TEST(DisplayModeSwitcher, FailedChangeReportsAndKeepsState) {
  FakeDisplaySettings display;
  display.failChange = true;
  DisplayModeSwitcher switcher(display);
  EXPECT_FALSE(switcher.ChangeMode(640, 480, 16));
  EXPECT_FALSE(switcher.Changed());
  EXPECT_EQ(display.debug, (Calls{"SScreenmode : Displaymode changing failed!\n"}));
  display.calls.clear();
  switcher.Restore();
  EXPECT_TRUE(display.calls.empty());
}

TEST(DisplayModeSwitcher, DepthMinusOneTakesTheDesktopDepth) {
  FakeDisplaySettings display;
  DisplayModeSwitcher switcher(display);
  ASSERT_TRUE(switcher.ChangeMode(640, 480, -1));
  EXPECT_EQ(display.calls, (Calls{"Fullscreen 640x480x24"}));
}
