#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "platform/SdlEventSource.h"
#include "platform/SdlGamepads.h"
#include "platform/SdlInput.h"
#include "platform/SdlWindow.h"
#include "shell/GameWindow.h"
#include "tests/support/FakeDesktop.h"
#include "tests/support/VirtualPad.h"

// The game played without a mouse: key messages as the event source posts
// them, and a pad through SDL's virtual joystick and the real event source.
namespace {
// The game window on a fake desktop, its intro begun.
class SteeredPlay : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<GameWindow>(fake.desktop);
    ASSERT_TRUE(window->CreateMainWindow());
    window->StepFrame();
  }
  void Key(MessageKind kind, ::Key key) { window->Dispatch({kind, static_cast<int>(key), 0}); }
  void Tap(::Key key) {
    Key(MessageKind::KeyDown, key);
    Key(MessageKind::KeyUp, key);
  }
  // Frames enough for the bottle to glide to the hole aimed at.
  void Glide() {
    for (int i = 0; i < 30; ++i) window->StepFrame();
  }
  // Whether tree `index` stands upright in the centre of hole (3, 2).
  bool StandsBack(int index) const {
    const TreePeg& tree = window->Board().Peg(index);
    return tree.State() == Standing && tree.X() == BoardModel::BoardX(3) && tree.Y() == BoardModel::BoardY(2) &&
           !window->Dragging() && window->Board().Selected() == -1;
  }
  bool BottleOn(int column, int row) const {
    return window->CursorX() == BoardModel::BoardX(column) && window->CursorY() == BoardModel::BoardY(row);
  }

  FakeDesktop fake;
  std::unique_ptr<GameWindow> window;
};

TEST_F(SteeredPlay, TheKeysSkipTheIntroAndMakeAJumpThroughTheMouseDropPath) {
  Tap(Key::Select);
  ASSERT_EQ(window->State(), StatePlaying) << "a key skips the intro";
  Tap(Key::Left);
  Tap(Key::Left);
  Glide();
  EXPECT_TRUE(BottleOn(1, 3));
  Tap(Key::Select);
  ASSERT_TRUE(window->Dragging());
  Tap(Key::Right);
  window->StepFrame();
  const float carriedX = window->Board().Peg(window->Board().Selected()).X();
  EXPECT_GT(carriedX, -2.0f) << "the lifted tree goes with the bottle";
  EXPECT_LT(carriedX, -1.0f) << "gliding, not jumping";
  Tap(Key::Right);
  Tap(Key::Select);  // before the glide ends: dropped where the bottle was going
  EXPECT_FALSE(window->Dragging());
  EXPECT_EQ(window->Board().CountPegs(), 31);
  EXPECT_TRUE(window->Board().Occupied(3, 3));
  EXPECT_FALSE(window->Board().Occupied(2, 3));
  EXPECT_FALSE(window->Board().Occupied(1, 3));
  EXPECT_TRUE(BottleOn(3, 3));
}

TEST_F(SteeredPlay, EscapePutsACarriedTreeBackAndOnlyANewPressQuits) {
  Tap(Key::Select);
  Tap(Key::Up);
  Glide();
  Tap(Key::Select);
  Tap(Key::Down);
  Glide();
  ASSERT_TRUE(window->Dragging());
  const int tree = window->Board().Selected();
  // Escape as the frames poll it: pressed, held for two more frames, let go;
  // then pressed again.
  fake.input.escapes = {true, true, true, false};
  for (int i = 0; i < 4; ++i) window->StepFrame();
  EXPECT_TRUE(StandsBack(tree));
  EXPECT_EQ(window->Board().CountPegs(), 32);
  EXPECT_TRUE(fake.queue.Empty()) << "no close asked for";
  fake.input.escapes = {true};
  window->StepFrame();
  Message message;
  ASSERT_TRUE(fake.queue.Take(message));
  EXPECT_EQ(message.kind, MessageKind::Close);
}

// A pad plugged into SDL's virtual joystick driver; its events go through
// the real event source into the window.
class PadPlay : public SteeredPlay {
 protected:
  void SetUp() override {
    // The offscreen window never has the keyboard focus, without which SDL
    // drops a pad's events.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SteeredPlay::SetUp();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);  // the offscreen window's own
    ASSERT_TRUE(pads.Open());
    PlugIn();
    ASSERT_EQ(pads.Count(), 1);
  }
  void PlugIn() {
    pad.emplace();
    ASSERT_TRUE(pad->PluggedIn()) << SDL_GetError();
    Pump();
  }
  void PullOut() {
    pad.reset();
    Pump();
  }
  // Translates every waiting SDL event and hands the window what they stand for.
  void Pump() {
    MessageQueue posted;
    while (events.Pending()) events.TranslateOne(posted);
    Message message;
    while (posted.Take(message)) window->Dispatch(message);
  }
  void Button(SDL_GameControllerButton button, bool down) {
    pad->Button(button, down);
    Pump();
  }
  void Press(SDL_GameControllerButton button) {
    Button(button, true);
    Button(button, false);
  }
  void Stick(Sint16 x, Sint16 y) {
    pad->Stick(x, y);
    Pump();
  }

  SdlWindow unopened;
  SdlInput input{unopened};
  SdlGamepads pads;
  SdlEventSource events{unopened, input, pads};
  std::optional<VirtualPad> pad;
};

TEST_F(PadPlay, StartSkipsTheIntroTheDpadAndStickMoveAndAJumps) {
  Press(SDL_CONTROLLER_BUTTON_START);
  ASSERT_EQ(window->State(), StatePlaying);
  Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  Glide();
  EXPECT_TRUE(BottleOn(1, 3));
  Press(SDL_CONTROLLER_BUTTON_A);
  ASSERT_TRUE(window->Dragging());
  Stick(9000, 3000);  // inside the dead zone
  Glide();
  EXPECT_TRUE(BottleOn(1, 3));
  // Pushed right and held: one step at once, the second as a held key's repeat.
  Stick(30000, -4000);
  Glide();
  EXPECT_TRUE(BottleOn(2, 3));
  for (int i = 0; i < 30 && !BottleOn(3, 3); ++i) window->StepFrame();
  Stick(0, 0);
  EXPECT_TRUE(BottleOn(3, 3));
  Press(SDL_CONTROLLER_BUTTON_A);
  EXPECT_EQ(window->Board().CountPegs(), 31);
  EXPECT_TRUE(window->Board().Occupied(3, 3));
  Glide();
  EXPECT_TRUE(BottleOn(3, 3)) << "the stick let go, the bottle stays";
}

TEST_F(PadPlay, BPutsALiftedTreeBack) {
  Press(SDL_CONTROLLER_BUTTON_START);
  Press(SDL_CONTROLLER_BUTTON_DPAD_UP);
  Glide();
  Press(SDL_CONTROLLER_BUTTON_A);
  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Glide();
  ASSERT_TRUE(window->Dragging());
  const int tree = window->Board().Selected();
  Press(SDL_CONTROLLER_BUTTON_B);
  EXPECT_TRUE(StandsBack(tree));
  EXPECT_EQ(window->Board().CountPegs(), 32);
}

TEST_F(PadPlay, APadPulledOutWhileCarryingPutsTheTreeBackAndLeavesNothingHeld) {
  Press(SDL_CONTROLLER_BUTTON_START);
  Press(SDL_CONTROLLER_BUTTON_DPAD_UP);
  Glide();
  Button(SDL_CONTROLLER_BUTTON_A, true);  // held down as the pad goes
  Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
  Glide();
  ASSERT_TRUE(window->Dragging());
  const int tree = window->Board().Selected();
  PullOut();
  EXPECT_EQ(pads.Count(), 0);
  EXPECT_TRUE(StandsBack(tree));
  const float x = window->CursorX();
  const float y = window->CursorY();
  for (int i = 0; i < 60; ++i) window->StepFrame();
  EXPECT_EQ(window->CursorX(), x) << "no direction left held";
  EXPECT_EQ(window->CursorY(), y);
  // Another pad: its first A lifts, not taken for the lost pad's A held on.
  PlugIn();
  Press(SDL_CONTROLLER_BUTTON_DPAD_UP);
  Glide();
  Press(SDL_CONTROLLER_BUTTON_A);
  EXPECT_TRUE(window->Dragging());
}

TEST_F(PadPlay, BackQuitsAsEscapeDoes) {
  Press(SDL_CONTROLLER_BUTTON_START);
  Press(SDL_CONTROLLER_BUTTON_BACK);
  Message message;
  ASSERT_TRUE(fake.queue.Take(message));
  EXPECT_EQ(message.kind, MessageKind::Close);
}
}  // namespace
