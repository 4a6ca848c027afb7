#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// Skips the intro and makes one jump: the tree at `from` over its neighbour
// into the empty hole at `to`, all three given as board points.
void SkipIntroAndJump(FakeDesktop& fake, GameWindow& window, float fromX, float fromY, float toX, float toY) {
  fake.input.escapes = {true};
  window.StepFrame();
  ASSERT_EQ(window.State(), StatePlaying);
  window.StepFrame();  // the frame whose time holds the skip's pause
  window.SetCursor(fromX, fromY);
  window.Dispatch({MessageKind::LeftButtonDown, 0, 0});
  window.SetCursor(toX, toY);
  window.Dispatch({MessageKind::LeftButtonUp, 0, 0});
}

// The whole game to its end under the application's own loop: the last jump
// is made before the loop starts, and the window is minimised right after
// it when `minimise` is set.
class LastJumpApp final : public GameApp {
 public:
  LastJumpApp(FakeDesktop& fake, bool minimise) : GameApp(fake.desktop), m_fake(fake), m_minimise(minimise) {}
  int swapsAtLastJump = -1;
  int streamsAtLastJump = -1;

 protected:
  bool InitInstance() override {
    if (!GameApp::InitInstance()) return false;
    GameWindow& window = *Window();
    const PegBoard::Cell twoInALine[] = {{3, 0}, {3, 1}};
    window.Board().Arrange(twoInALine);
    SkipIntroAndJump(fake(), window, 0.0f, 3.0f, 0.0f, 1.0f);
    if (window.Board().CountPegs() != 1) return false;
    if (m_minimise) window.Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F7), 0});
    swapsAtLastJump = fake().window.swaps;
    streamsAtLastJump = fake().audio.Count("PlayStream");
    return true;
  }

 private:
  FakeDesktop& fake() { return m_fake; }
  FakeDesktop& m_fake;
  bool m_minimise;
};
}  // namespace

TEST_F(GameWindowTest, StartsFullscreenWithSceneSetUp) {
  EXPECT_EQ(fake.display.calls, (Calls{"Fullscreen 640x480x16", "Fullscreen 640x480x16"}))
      << "the mode is set at creation and again when the window takes the focus";
  EXPECT_EQ(fake.window.caption, "Christmas Pegs");
  EXPECT_EQ(fake.window.icon, "Data/Icon.bmp");
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

  EXPECT_EQ(fake.display.current, (DisplayMode{640, 480, 16}));
  EXPECT_TRUE(fake.audio.calls.empty()) << "sound waits until the first picture is shown";
  window->StepFrame();
  EXPECT_EQ(fake.audio.PlayingPath(), "Data\\Rudi.mp3");
  EXPECT_FALSE(fake.audio.playingLooped) << "the start-up music plays once";
}

TEST_F(GameWindowTest, AGameStartedOutOfSightStillPlaysItsMusic) {
  window->RestFrame();
  EXPECT_EQ(fake.audio.PlayingPath(), "Data\\Rudi.mp3");
  window->StepFrame();
  EXPECT_EQ(fake.audio.PlayingPath(), "Data\\Rudi.mp3");
  EXPECT_EQ(std::count(fake.audio.calls.begin(), fake.audio.calls.end(), "Start"), 1) << "sound is set up once";
}

TEST_F(GameWindowTest, ASizeWithNoHeightKeepsTheLastUsableProjection) {
  window->Dispatch({MessageKind::Size, 640, 0});
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 480);
  GLdouble projection[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
  EXPECT_NEAR(projection[5], f, 1e-6);
  EXPECT_NEAR(projection[0], f * 3.0 / 4.0, 1e-6) << "no division by a height of 0";
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(GameWindowTest, F9TogglesWindowedAndBack) {
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
  EXPECT_FALSE(window->Fullscreen());
  EXPECT_EQ(fake.display.current, fake.display.desktop);
  EXPECT_TRUE(fake.window.captioned);
  EXPECT_EQ(fake.window.rect.x, 50);
  EXPECT_EQ(fake.window.rect.y, 50);
  EXPECT_EQ(fake.window.rect.width, 590);
  EXPECT_EQ(fake.window.rect.height, 430);

  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
  EXPECT_TRUE(window->Fullscreen());
  EXPECT_EQ(fake.display.current, (DisplayMode{640, 480, 16}));
  EXPECT_FALSE(fake.window.captioned);
  EXPECT_EQ(fake.window.rect.width, 640);

  EXPECT_EQ(fake.display.captionedAtFullscreen.back(), false)
      << "the caption goes before fullscreen: a fullscreen window keeps the style it had";

  const int changes = fake.window.styleChanges;
  window->Dispatch({MessageKind::FocusGained, 0, 0});
  EXPECT_EQ(fake.window.styleChanges, changes) << "the style is written only when it differs";
}

TEST(GameWindowStart, WindowedStartLeavesTheModeAloneUntilF9) {
  FakeDesktop fake;
  GameWindow window(fake.desktop, false);
  ASSERT_TRUE(window.CreateMainWindow());
  EXPECT_FALSE(window.Fullscreen());
  EXPECT_TRUE(fake.display.calls.empty()) << "no mode change, no restore";
  EXPECT_TRUE(fake.window.captioned);
  EXPECT_EQ(fake.window.rect.x, 50);
  EXPECT_EQ(fake.window.rect.width, 590);
  EXPECT_EQ(fake.window.rect.height, 430);
  EXPECT_TRUE(fake.window.shown);

  window.Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
  EXPECT_TRUE(window.Fullscreen());
  EXPECT_EQ(fake.display.calls, (Calls{"Fullscreen 640x480x16"}));
  EXPECT_FALSE(fake.window.captioned);
}

TEST_F(GameWindowTest, ThePictureFitsTheRealDrawable) {
  struct Case {
    const char* name;
    bool fullscreen;
    int width, height;  // as the size message reports
    int drawableWidth, drawableHeight;
    GLint viewport[4];
    double aspect;
  };
  const Case cases[] = {
      {"the mode taken", true, 640, 480, 640, 480, {0, 0, 640, 480}, 4.0 / 3.0},
      {"a compositor keeps the screen's size", true, 1024, 768, 1024, 768, {0, 0, 1024, 768}, 4.0 / 3.0},
      {"the window reports the mode, the drawable is bigger", true, 640, 480, 1024, 768, {0, 0, 1024, 768},
       4.0 / 3.0},
      {"a wide screen", true, 1920, 1080, 1920, 1080, {240, 0, 1440, 1080}, 4.0 / 3.0},
      {"windowed", false, 590, 430, 590, 430, {0, 0, 590, 430}, 590.0 / 430.0},
      {"windowed, tiled larger", false, 1020, 741, 1020, 741, {1, 0, 1017, 741}, 590.0 / 430.0},
      {"windowed, taller than asked", false, 590, 457, 590, 457, {0, 13, 590, 430}, 590.0 / 430.0},
      {"windowed, given the fullscreen size back", false, 640, 480, 640, 480, {0, 7, 640, 466}, 590.0 / 430.0},
      {"fullscreen came back smaller", true, 594, 457, 594, 457, {0, 5, 594, 446}, 4.0 / 3.0},
  };
  const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
  for (const Case& c : cases) {
    if (window->Fullscreen() != c.fullscreen) window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
    fake.window.drawable = {0, 0, c.drawableWidth, c.drawableHeight};
    window->Dispatch({MessageKind::Size, c.width, c.height});
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(viewport[i], c.viewport[i]) << c.name << " viewport " << i;
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5], f, 1e-6) << c.name << ": 45 degrees high";
    EXPECT_NEAR(projection[0], f / c.aspect, 1e-6) << c.name;
  }
}

TEST_F(GameWindowTest, ThePictureFollowsADrawableResizedWithoutASizeMessage) {
  // A window manager that tiles or refuses fullscreen may change the
  // drawable while the window keeps reporting the size it asked for.
  const struct {
    int drawableWidth, drawableHeight;
    GLint viewport[4];
  } sizes[] = {{1024, 768, {0, 0, 1024, 768}}, {1020, 741, {16, 0, 988, 741}}, {640, 480, {0, 0, 640, 480}}};
  for (const auto& size : sizes) {
    fake.window.drawable = {0, 0, size.drawableWidth, size.drawableHeight};
    window->StepFrame();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(viewport[i], size.viewport[i]) << size.drawableWidth << " viewport " << i;
  }
}

// The window model's requests as the window carries them out: a minimise
// refused leaves the captioned window in use (the pointer free to be taken
// at once, no border changed while the window might be put away), one F9
// from it gives fullscreen back, and a fullscreen left smaller than the mode
// is left and entered anew.
TEST(GameWindowMinimise, ARefusedMinimiseLeavesAPlayableCaptionedWindow) {
  FakeDesktop desk;
  GameWindow game(desk.desktop);
  ASSERT_TRUE(game.CreateMainWindow());
  desk.window.refuseMinimize = true;
  game.Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F7), 0});
  EXPECT_EQ(desk.display.current, desk.display.desktop);
  for (int frame = 0; frame < 100; ++frame) game.AdvanceFrame();
  EXPECT_EQ(desk.window.styleChangesWhileMinimized, 0);
  EXPECT_EQ(desk.window.minimizesWithdrawn, 1);
  EXPECT_TRUE(game.Fullscreen()) << "the player's choice stays";
  EXPECT_TRUE(desk.window.captioned);
  EXPECT_EQ(desk.window.rect.width, 590);
  EXPECT_EQ(desk.display.current, desk.display.desktop);

  game.Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
  EXPECT_EQ(desk.display.current, (DisplayMode{640, 480, 16}));
  EXPECT_FALSE(desk.window.captioned);
  EXPECT_EQ(desk.window.rect.width, 640);

  // A window manager undoes the fullscreen: a second later it is asked
  // anew, and again a few times, no more.
  desk.window.drawable = {0, 0, 590, 430};
  const int left = desk.window.fullscreensLeft;
  for (int frame = 0; frame < 200 && desk.window.fullscreensLeft == left; ++frame) game.AdvanceFrame();
  EXPECT_EQ(desk.window.fullscreensLeft, left + 1);
  for (int frame = 0; frame < 600; ++frame) game.AdvanceFrame();
  EXPECT_EQ(desk.window.fullscreensLeft, left + WindowModel::kFullscreenAsks);
  EXPECT_EQ(desk.display.calls.back(), "Fullscreen 640x480x16");
}

TEST_F(GameWindowTest, F7AndFocusLossMinimiseAndGiveTheModeBack) {
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F7), 0});
  EXPECT_TRUE(fake.window.minimized);
  EXPECT_EQ(fake.display.current, fake.display.desktop);

  fake.display.calls.clear();
  window->Dispatch({MessageKind::FocusLost, 0, 0});
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F7), 0});
  EXPECT_TRUE(fake.display.calls.empty()) << "already minimised: nothing at all";

  fake.window.minimized = false;
  window->Dispatch({MessageKind::FocusGained, 0, 0});
  EXPECT_EQ(fake.display.current, (DisplayMode{640, 480, 16}));
}

// A window manager that reframes the window for F9 takes its focus for a
// moment, on a busy machine for longer than SDL waits before it reports the
// loss. The window layer must not minimise the fullscreen window then; the
// window model decides whether the loss is real.
TEST_F(GameWindowTest, TheWindowIsKeptThroughAFocusLossWhileTheGameChangesIt) {
  for (int frame = 0; frame < 90; ++frame) window->AdvanceFrame();
  EXPECT_FALSE(fake.window.keptThroughFocusLoss) << "a second after the start";
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
  EXPECT_TRUE(fake.window.keptThroughFocusLoss);
  window->Dispatch({MessageKind::FocusLost, 0, 0});
  EXPECT_FALSE(fake.window.minimized);
  for (int frame = 0; frame < 90; ++frame) window->AdvanceFrame();
  EXPECT_TRUE(fake.window.minimized) << "the focus did not come back: the loss was real";
  EXPECT_FALSE(fake.window.keptThroughFocusLoss);
}

TEST_F(GameWindowTest, F7WhenWindowedMakesNoDisplayCall) {
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F9), 0});
  fake.display.calls.clear();
  window->Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F7), 0});
  EXPECT_TRUE(fake.window.minimized);
  EXPECT_TRUE(fake.display.calls.empty());
}

TEST_F(GameWindowTest, LosingTheWindowMidDragPutsTheTreeBack) {
  fake.input.escapes = {true};
  window->StepFrame();
  ASSERT_EQ(window->State(), StatePlaying);
  const Message lose[] = {{MessageKind::FocusLost, 0, 0}, {MessageKind::KeyDown, static_cast<int>(Key::F7), 0}};
  for (const Message& message : lose) {
    SCOPED_TRACE(message.kind == MessageKind::FocusLost ? "focus lost" : "F7");
    window->SetCursor(0.0f, 2.0f);  // the tree in column 3, row 1
    window->Dispatch({MessageKind::LeftButtonDown, 0, 0});
    ASSERT_TRUE(window->Dragging());
    window->SetCursor(0.0f, 0.0f);  // over the empty centre: a jump if released here
    window->StepFrame();
    window->Dispatch(message);
    EXPECT_FALSE(window->Dragging());
    EXPECT_EQ(window->Board().Selected(), -1);
    EXPECT_TRUE(window->Board().Occupied(3, 1));
    // The release, when it comes at all, finds nothing in hand: no jump.
    window->Dispatch({MessageKind::LeftButtonUp, 0, 0});
    EXPECT_EQ(window->Board().CountPegs(), 32);
    EXPECT_FALSE(window->Board().Occupied(3, 3));
    fake.window.minimized = false;
    window->Dispatch({MessageKind::FocusGained, 0, 0});
  }
}

TEST_F(GameWindowTest, AStuckBoardLeavesPlaysTheFinaleAndQuitsOnce) {
  fake.clock.step = 20000;  // 20 ms per reading
  fake.input.escapes = {true};
  window->StepFrame();
  ASSERT_EQ(window->State(), StatePlaying);
  // Two trees far apart: no jump is left.
  const PegBoard::Cell stuck[] = {{3, 0}, {3, 6}};
  window->Board().Arrange(stuck);
  const AudioHandle startMusic = fake.audio.playing;
  ASSERT_NE(startMusic, 0u);

  const auto pressAndRelease = [&] {
    window->SetCursor(0.0f, 3.0f);  // on the tree at (3, 0)
    window->Dispatch({MessageKind::LeftButtonDown, 0, 0});
    window->SetCursor(0.0f, 1.0f);
    window->Dispatch({MessageKind::LeftButtonUp, 0, 0});
    EXPECT_FALSE(window->Dragging());
    EXPECT_EQ(window->Board().Selected(), -1);
    EXPECT_EQ(window->Board().CountPegs(), 2);
  };

  window->StepFrame();
  ASSERT_EQ(window->State(), StateBoardExit);
  // The board flies from z = -8 to z = 2 at 0.001 units a millisecond.
  float exitTime = 0.0f;
  int frames = 0;
  while (window->State() == StateBoardExit && frames < 10000) {
    if (frames == 10) pressAndRelease();
    window->StepFrame();
    exitTime += window->FrameTime();
    ++frames;
  }
  ASSERT_EQ(window->State(), StateFinale);
  EXPECT_NEAR(exitTime, 10000.0f, 20.0f + 1.0f);
  EXPECT_EQ(window->Finale().PegsLeft(), 2);

  // The start-up music stops, the output restarts, the finale's music plays.
  const std::vector<std::string> tail(fake.audio.calls.end() - 3, fake.audio.calls.end());
  const AudioHandle finaleMusic = startMusic + 1;
  EXPECT_EQ(tail, (Calls{"Stop", "Start", "PlayStream(" + std::to_string(finaleMusic) + ",1,0)"}));
  EXPECT_EQ(fake.audio.PlayingPath(), "Data\\Jingle Bells.mp3");
  EXPECT_FALSE(fake.audio.playingLooped);

  fake.clock.step = 50000;  // the finale in fewer, longer frames
  frames = 0;
  while (fake.queue.Empty() && frames < 100000) {
    if (frames == 10) pressAndRelease();
    window->StepFrame();
    ++frames;
  }
  EXPECT_TRUE(window->Finale().IsDone());
  Message message;
  ASSERT_TRUE(fake.queue.Take(message));
  EXPECT_EQ(message.kind, MessageKind::Quit);
  EXPECT_EQ(message.a, 0);
  EXPECT_TRUE(fake.queue.Empty()) << "the quit is posted once";
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

TEST_F(GameWindowTest, FrameTimesStayExactAfterTwoDaysOfRunning) {
  fake.input.escapes = {true};
  window->StepFrame();
  fake.clock.Sleep(48u * 60u * 60u * 1000u);
  window->StepFrame();
  // Two days, and the intro skip's pause of half a second.
  EXPECT_NEAR(window->FrameTime(), 48.0f * 60.0f * 60.0f * 1000.0f + 500.0f, 100.0f);
  for (const std::int64_t micros : {16667, 1000, 100, 33333}) {
    fake.clock.step = micros;
    for (int frame = 0; frame < 3; ++frame) {
      window->StepFrame();
      EXPECT_NEAR(window->FrameTime(), static_cast<float>(micros) / 1000.0f, 1e-3f) << micros << " us, frame " << frame;
    }
  }
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
  EXPECT_EQ(fake.display.current, fake.display.desktop);
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
  EXPECT_EQ(fake.display.current, fake.display.desktop);
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

TEST(GameApp, MinimisedAfterTheLastJumpTheGameEndsWhenAWatchedOneWould) {
  struct Run {
    std::int64_t endedAt = 0;  // clock counts, microseconds
    int exitCode = -1;
    bool drewAfterTheJump = false;
    bool quitLeftOver = true;
    int streamsStarted = 0;
  };
  const auto play = [](bool minimise) {
    FakeDesktop fake;
    fake.clock.step = 20000;  // every reading 20 ms later
    LastJumpApp app(fake, minimise);
    Run run;
    run.exitCode = app.Main();
    run.endedAt = fake.clock.now;
    run.drewAfterTheJump = fake.window.swaps != app.swapsAtLastJump;
    run.quitLeftOver = !fake.queue.Empty();
    run.streamsStarted = fake.audio.Count("PlayStream") - app.streamsAtLastJump;
    EXPECT_TRUE(fake.window.minimized == minimise);
    return run;
  };
  const Run watched = play(false);
  const Run unseen = play(true);
  for (const Run& run : {watched, unseen}) {
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.quitLeftOver) << "the quit is posted once";
    EXPECT_EQ(run.streamsStarted, 1) << "the finale's music starts, seen or not";
  }
  // The board's flight (10 s) and the finale (about 61 s) take the same game
  // time unseen; the end comes within one rest step and the readings around
  // it of the watched one.
  EXPECT_GT(watched.endedAt, 70'000'000);
  EXPECT_NEAR(static_cast<double>(unseen.endedAt), static_cast<double>(watched.endedAt), 160'000.0);
  EXPECT_TRUE(watched.drewAfterTheJump);
  EXPECT_FALSE(unseen.drewAfterTheJump) << "nothing is drawn while minimised";
}

TEST(GameWindowRest, AnIntroThatEndsWhileMinimisedComesBackAsTheBoard) {
  FakeDesktop fake;
  fake.clock.step = 1;  // readings cost next to no time, as on a real clock
  GameWindow window(fake.desktop);
  ASSERT_TRUE(window.CreateMainWindow());
  window.Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F7), 0});
  ASSERT_TRUE(fake.window.minimized);
  // Seven words of 2.5 s each, and a little more, in rest steps.
  const std::int64_t end = fake.clock.now + 18'000'000;
  while (fake.clock.now < end) {
    fake.clock.Sleep(100);
    window.RestFrame();
  }
  EXPECT_EQ(window.State(), StatePlaying);
  EXPECT_EQ(fake.window.swaps, 0);

  fake.window.minimized = false;
  window.Dispatch({MessageKind::FocusGained, 0, 0});
  window.StepFrame();
  EXPECT_EQ(window.State(), StatePlaying);
}

TEST(GameWindowRest, UnseenFramesLeaveTheSnowAndTheBoardAsWatchedOnesDo) {
  // A display period of exactly 20 ms, and frames that come 20 ms apart
  // when watched: the rest steps then fall on the same instants.
  struct Outcome {
    std::vector<Flake> flakes;
    std::vector<PegState> states;
    std::vector<float> heights;
    std::vector<float> scales;
    GameState state = StateIntro;
  };
  const auto play = [](bool minimise) {
    FakeDesktop fake;
    fake.window.refreshHz = 50;
    fake.clock.step = 20000;
    GameWindow window(fake.desktop);
    std::srand(2412);
    EXPECT_TRUE(window.CreateMainWindow());
    // The tree in column 3, row 1 over the one in row 2 into the centre: the
    // jumped tree leaves while nobody looks.
    SkipIntroAndJump(fake, window, 0.0f, 2.0f, 0.0f, 0.0f);
    EXPECT_EQ(window.Board().CountPegs(), 31);
    // The minimise reads the clock; a clock held still keeps the two runs'
    // readings alike.
    fake.clock.step = 0;
    if (minimise) window.Dispatch({MessageKind::KeyDown, static_cast<int>(Key::F7), 0});
    fake.clock.step = 20000;
    // Five seconds: every wake 80 ms of waiting and one 20 ms reading.
    for (int i = 0; i < 50; ++i) {
      if (minimise) {
        fake.clock.Sleep(80);
        window.RestFrame();
      } else {
        for (int frame = 0; frame < 5; ++frame) window.StepFrame();
      }
    }
    Outcome outcome;
    outcome.state = window.State();
    const Snowfall& snow = window.Snow();
    for (int i = 0; i < Snowfall::kFlakeCount; ++i) outcome.flakes.push_back(snow.FlakeAt(i));
    for (int i = 0; i < PegBoard::PegCount; ++i) {
      const TreePeg& peg = window.Board().Peg(i);
      outcome.states.push_back(peg.State());
      outcome.heights.push_back(peg.Z());
      outcome.scales.push_back(peg.LeaveScale());
    }
    return outcome;
  };
  const Outcome watched = play(false);
  const Outcome unseen = play(true);
  EXPECT_EQ(unseen.state, watched.state);
  EXPECT_EQ(unseen.states, watched.states);
  EXPECT_EQ(std::count(watched.states.begin(), watched.states.end(), Gone), 1) << "the jumped tree has left";
  EXPECT_EQ(unseen.heights, watched.heights);
  EXPECT_EQ(unseen.scales, watched.scales);
  int moved = 0;
  for (int i = 0; i < Snowfall::kFlakeCount; ++i) {
    SCOPED_TRACE(i);
    const Flake& a = watched.flakes[static_cast<std::size_t>(i)];
    const Flake& b = unseen.flakes[static_cast<std::size_t>(i)];
    EXPECT_FLOAT_EQ(b.x, a.x);
    EXPECT_FLOAT_EQ(b.y, a.y);
    EXPECT_FLOAT_EQ(b.z, a.z);
    EXPECT_FLOAT_EQ(b.angleX, a.angleX);
    EXPECT_FLOAT_EQ(b.fallSpeed, a.fallSpeed);
    moved += a.y == 25.0f ? 0 : 1;
  }
  EXPECT_GT(moved, 0);
}

TEST(GameWindowTrace, TellsWhereEveryHoleShowsInThePicture) {
  const std::string path = ::testing::TempDir() + "holes.trace";
  setenv("CHRISTMAS_PEGS_TRACE", path.c_str(), 1);
  {
    FakeDesktop fake;
    GameWindow window(fake.desktop);
    ASSERT_TRUE(window.CreateMainWindow());
    window.Dispatch({MessageKind::Size, 640, 480});
    window.StepFrame();
    window.StepFrame();
  }
  unsetenv("CHRISTMAS_PEGS_TRACE");
  std::FILE* file = std::fopen(path.c_str(), "r");
  ASSERT_NE(file, nullptr);
  char line[256];
  int holes = 0;
  bool beforeFirstFrame = true;
  // 45 degrees high, 4:3, the board 8 units in front of the eye.
  const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
  while (std::fgets(line, sizeof line, file) != nullptr) {
    if (std::strncmp(line, "first-frame", 11) == 0) beforeFirstFrame = false;
    int column = 0;
    int row = 0;
    float boardX = 0.0f;
    float boardY = 0.0f;
    double pictureX = 0.0;
    double pictureY = 0.0;
    if (std::sscanf(line, "hole %d %d board %f %f picture %lf %lf", &column, &row, &boardX, &boardY, &pictureX,
                    &pictureY) != 6) {
      continue;
    }
    SCOPED_TRACE(line);
    ++holes;
    EXPECT_TRUE(beforeFirstFrame) << "a harness that saw the first frame knows the holes";
    EXPECT_TRUE(PegBoard::IsHole(column, row));
    EXPECT_EQ(PegBoard::CellAt(boardX, boardY), (PegBoard::Cell{column, row}));
    EXPECT_NEAR(pictureX, 0.5 + boardX * f * 0.75 / 8.0 / 2.0, 1e-4);
    EXPECT_NEAR(pictureY, 0.5 - boardY * f / 8.0 / 2.0, 1e-4);
  }
  std::fclose(file);
  EXPECT_EQ(holes, 33) << "each hole once";
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
    EXPECT_EQ(fake.display.current, fake.display.desktop) << "the desktop mode comes back";
  }
}
