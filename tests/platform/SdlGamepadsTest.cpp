#include <SDL.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/SdlGamepads.h"
#include "tests/support/VirtualPad.h"

namespace {
// What the pads posted, as "down Right", "up Right", "pad removed".
std::vector<std::string> Posted(SdlGamepads& pads) {
  static const char* const kNames[] = {"Other", "Escape", "F7",     "F9",     "Left",  "Right",
                                       "Up",    "Down",   "Select", "Cancel", "Start", "Back"};
  MessageQueue queue;
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) static_cast<void>(pads.Translate(event, queue));
  std::vector<std::string> posted;
  Message message;
  while (queue.Take(message)) {
    if (message.kind == MessageKind::PadRemoved) {
      posted.push_back("pad removed");
    } else {
      posted.push_back(std::string(message.kind == MessageKind::KeyDown ? "down " : "up ") + kNames[message.a]);
    }
  }
  return posted;
}

using Posts = std::vector<std::string>;

// A pad on SDL's virtual joystick driver, with no window: its events are
// not held back for a window without focus.
class SdlGamepadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pads.Open());
    pad.emplace();
    ASSERT_TRUE(pad->PluggedIn()) << SDL_GetError();
    EXPECT_EQ(Posted(pads), Posts{});
    ASSERT_EQ(pads.Count(), 1);
  }
  Posts Stick(Sint16 x, Sint16 y) {
    pad->Stick(x, y);
    return Posted(pads);
  }

  SdlGamepads pads;
  std::optional<VirtualPad> pad;
};

TEST_F(SdlGamepadsTest, TheStickHoldsOneDirectionUntilItLeavesItAndRestsInsideItsDeadZone) {
  EXPECT_EQ(Stick(15000, 8000), Posts{}) << "inside the dead zone";
  EXPECT_EQ(Stick(20000, 8000), Posts{"down Right"});
  EXPECT_EQ(Stick(14000, 22000), Posts{}) << "rolled toward down, still right enough: no flicker";
  EXPECT_EQ(Stick(6000, 22000), (Posts{"up Right", "down Down"}));
  EXPECT_EQ(Stick(0, 13000), Posts{}) << "coming back, above the let-go line";
  EXPECT_EQ(Stick(0, 0), Posts{"up Down"});
  EXPECT_EQ(Stick(-20000, -30000), Posts{"down Up"}) << "the axis pushed furthest";
}

TEST_F(SdlGamepadsTest, ButtonsStandForTheKeysAndAPadPulledOutLetsGoOfWhatItHeld) {
  const struct {
    SDL_GameControllerButton button;
    const char* key;
  } buttons[] = {{SDL_CONTROLLER_BUTTON_DPAD_LEFT, "Left"}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, "Right"},
                 {SDL_CONTROLLER_BUTTON_DPAD_UP, "Up"},     {SDL_CONTROLLER_BUTTON_DPAD_DOWN, "Down"},
                 {SDL_CONTROLLER_BUTTON_A, "Select"},        {SDL_CONTROLLER_BUTTON_B, "Cancel"},
                 {SDL_CONTROLLER_BUTTON_START, "Start"},     {SDL_CONTROLLER_BUTTON_BACK, "Back"}};
  for (const auto& b : buttons) {
    pad->Button(b.button, true);
    EXPECT_EQ(Posted(pads), Posts{std::string("down ") + b.key});
    pad->Button(b.button, false);
    EXPECT_EQ(Posted(pads), Posts{std::string("up ") + b.key});
  }
  pad->Button(SDL_CONTROLLER_BUTTON_X, true);
  EXPECT_EQ(Posted(pads), Posts{}) << "a button the game has no use for";

  EXPECT_EQ(Stick(-30000, 0), Posts{"down Left"});
  pad.reset();
  EXPECT_EQ(Posted(pads), (Posts{"up Left", "pad removed"}));
  EXPECT_EQ(pads.Count(), 0);
}
}  // namespace
