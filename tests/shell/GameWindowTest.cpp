#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "shell/GameApp.h"
#include "shell/GameWindow.h"
#include "tests/support/FakeDesktop.h"
#include "tests/support/GlState.h"

using Calls = std::vector<std::string>;

namespace {
// The game window created on a fake desktop with a real offscreen GL context.
class GameWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<GameWindow>(fake.desktop);
    ASSERT_TRUE(window->CreateMainWindow());
  }
  FakeDesktop fake;
  std::unique_ptr<GameWindow> window;
};

// Runs the application and reports its exit code.
class TestApp final : public GameApp {
 public:
  using GameApp::GameApp;
};
}  // namespace

TEST_F(GameWindowTest, StartsFullscreenWithSceneSetUp) {
  EXPECT_EQ(fake.display.calls, (Calls{"Fullscreen 640x480x16", "Fullscreen 640x480x16"}))
      << "the mode is set at creation and again when the window takes the focus";
  EXPECT_EQ(fake.window.caption, "OpenGL");
  EXPECT_FALSE(fake.window.captioned);
  EXPECT_TRUE(fake.window.shown);
  EXPECT_EQ(fake.window.rect.x, 0);
  EXPECT_EQ(fake.window.rect.width, 640);
  EXPECT_EQ(fake.window.rect.height, 480);
  EXPECT_FALSE(fake.input.cursorShown);
  EXPECT_EQ(fake.window.format.depthBits, 16);
  EXPECT_EQ(fake.window.format.stencilBits, 0);
  EXPECT_TRUE(fake.window.format.doubleBuffer);

  const GlState state = GlState::Capture();
  EXPECT_EQ(state, RestingGlState()) << state.Describe();

  ASSERT_GE(fake.audio.calls.size(), 6u);
  EXPECT_EQ(fake.audio.calls[0], "Initialise(-1,44100,0)");
  EXPECT_EQ(fake.audio.calls[1], "Start");
  EXPECT_EQ(fake.audio.calls[5], "PlayStream(11,1,0)") << "the start-up music plays once";
}

TEST_F(GameWindowTest, SizeWithHeightZeroUsesHeightOne) {
  window->Dispatch({MessageKind::Size, 640, 0});
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 1);
  GLdouble projection[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
  EXPECT_NEAR(projection[5], f, 1e-6);
  EXPECT_NEAR(projection[0], f / 640.0, 1e-9);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(GameWindowTest, F9TogglesWindowedAndBack) {
  fake.display.calls.clear();
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
  EXPECT_FALSE(window->Fullscreen());
  EXPECT_EQ(fake.display.calls, (Calls{"Test", "Reset", "Reset 1024x768x24"}));
  EXPECT_TRUE(fake.window.captioned);
  EXPECT_EQ(fake.window.rect.x, 50);
  EXPECT_EQ(fake.window.rect.y, 50);
  EXPECT_EQ(fake.window.rect.width, 590);
  EXPECT_EQ(fake.window.rect.height, 430);

  fake.display.calls.clear();
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
  EXPECT_TRUE(window->Fullscreen());
  EXPECT_EQ(fake.display.calls, (Calls{"Fullscreen 640x480x16"}));
  EXPECT_FALSE(fake.window.captioned);
  EXPECT_EQ(fake.window.rect.width, 640);

  const int changes = fake.window.styleChanges;
  window->Dispatch({MessageKind::FocusGained, 0, 0});
  EXPECT_EQ(fake.window.styleChanges, changes) << "the style is written only when it differs";
}

TEST_F(GameWindowTest, F7AndFocusLossMinimiseAndGiveTheModeBack) {
  fake.display.calls.clear();
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F7), 0});
  EXPECT_TRUE(fake.window.minimized);
  EXPECT_EQ(fake.display.calls, (Calls{"Test", "Reset", "Reset 1024x768x24"}));

  fake.display.calls.clear();
  window->Dispatch({MessageKind::FocusLost, 0, 0});
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F7), 0});
  EXPECT_TRUE(fake.display.calls.empty()) << "already minimised: nothing at all";

  fake.window.minimized = false;
  window->Dispatch({MessageKind::FocusGained, 0, 0});
  EXPECT_EQ(fake.display.calls, (Calls{"Fullscreen 640x480x16"}));
}

TEST_F(GameWindowTest, F7WhenWindowedMakesNoDisplayCall) {
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
  fake.display.calls.clear();
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F7), 0});
  EXPECT_TRUE(fake.window.minimized);
  EXPECT_TRUE(fake.display.calls.empty());
}

TEST_F(GameWindowTest, ScreenSaverRequestsAreSwallowed) {
  window->Dispatch({MessageKind::SystemCommand, static_cast<int>(SystemCommand::ScreenSave), 0});
  window->Dispatch({MessageKind::SystemCommand, static_cast<int>(SystemCommand::MonitorPower), 0});
  EXPECT_FALSE(fake.window.minimized);
  window->Dispatch({MessageKind::SystemCommand, static_cast<int>(SystemCommand::Minimize), 0});
  EXPECT_TRUE(fake.window.minimized);
}

TEST_F(GameWindowTest, EscapeInTheIntroSkipsAfterAPause) {
  fake.input.escapes = {true};
  window->StepFrame();
  EXPECT_EQ(window->State(), StatePlaying);
  EXPECT_TRUE(fake.queue.Empty()) << "a short press only skips";
  window->StepFrame();
  EXPECT_GE(window->FrameTime(), 500.0f) << "the pause lies between two readings";
  EXPECT_EQ(window->State(), StatePlaying);
}

TEST_F(GameWindowTest, LongEscapeInTheIntroSkipsAndCloses) {
  fake.input.escapes = {true, true};
  window->StepFrame();
  window->StepFrame();
  Message m;
  ASSERT_TRUE(fake.queue.Take(m));
  EXPECT_EQ(m.kind, MessageKind::Close);
  EXPECT_TRUE(fake.queue.Empty());
}

TEST_F(GameWindowTest, FramesMeasureTimeAndPresent) {
  fake.clock.step = 4000;  // every reading 4 ms later
  fake.input.escapes = {true};
  window->StepFrame();
  EXPECT_NEAR(window->FrameTime(), 4.0f, 1e-3) << "the first frame: the time between two readings";
  window->StepFrame();
  EXPECT_NEAR(window->FrameTime(), 504.0f, 1e-3) << "the skip's pause lies inside this frame's time";
  window->StepFrame();
  EXPECT_NEAR(window->FrameTime(), 4.0f, 1e-3) << "while playing only the frame step reads the clock";
  EXPECT_EQ(fake.window.swaps, 3);
}

TEST_F(GameWindowTest, CursorMovesInEveryState) {
  fake.input.moves = {{30, -20}};
  window->StepFrame();
  EXPECT_NEAR(window->CursorX(), 0.3f, 1e-6);
  EXPECT_NEAR(window->CursorY(), 0.2f, 1e-6);
}

TEST(GameApp, EscapeWhilePlayingClosesWithExitCodeZeroAndModeRestored) {
  FakeDesktop fake;
  fake.input.escapes = {true, false, true};  // skip the intro, one frame of play, close
  TestApp app(fake.desktop);
  EXPECT_EQ(app.Main(), 0);
  EXPECT_EQ(fake.input.frames, 3) << "no frame runs once the close waits in the queue";
  EXPECT_EQ(fake.display.calls.back(), "Reset 1024x768x24");
  EXPECT_TRUE(fake.input.cursorShown);
  EXPECT_FALSE(fake.window.open);
}

TEST(GameApp, WaitingMessagesAreDispatchedBeforeAnyFrame) {
  FakeDesktop fake;
  fake.queue.Post({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
  fake.queue.Post({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
  fake.queue.Post({MessageKind::Close, 0, 0});
  TestApp app(fake.desktop);
  EXPECT_EQ(app.Main(), 0);
  EXPECT_EQ(fake.input.frames, 0);
  EXPECT_EQ(fake.display.calls.back(), "Reset 1024x768x24");
}

TEST(GameApp, MinimisedItStepsWithoutDrawingAndWaitsBetweenSteps) {
  FakeDesktop fake;
  fake.queue.Post({MessageKind::KeyDown, static_cast<int>(Key::F7), 0});
  fake.input.escapes = {false, false, false, true, true};  // the intro skipped, then closed
  TestApp app(fake.desktop);
  EXPECT_EQ(app.Main(), 0);
  EXPECT_EQ(fake.input.frames, 5) << "every step still reads the input and polls Escape";
  EXPECT_EQ(fake.window.swaps, 0) << "nothing is drawn while minimised";
  EXPECT_GE(fake.events.waits.size(), 4u) << "a wait between any two steps";
  for (const std::uint32_t wait : fake.events.waits) {
    EXPECT_GT(wait, 0u);
    EXPECT_LE(wait, 100u) << "an event that comes is handled within a tenth of a second";
  }
}

TEST(GameApp, NoWindowOrNoGlContextEndsWithExitCodeOne) {
  for (const bool noContext : {false, true}) {
    FakeDesktop fake;
    fake.window.failOpen = !noContext;
    fake.window.failContext = noContext;
    TestApp app(fake.desktop);
    testing::internal::CaptureStderr();
    EXPECT_EQ(app.Main(), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("christmas-pegs: cannot open the game window"), std::string::npos) << err;
    EXPECT_EQ(fake.display.calls.back(), "Reset 1024x768x24") << "the desktop mode comes back";
  }
}
