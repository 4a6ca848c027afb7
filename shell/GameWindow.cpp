#include "shell/GameWindow.h"

#include <GL/gl.h>

#include <cstdlib>
#include <ctime>

#include "gfx/SceneSetup.h"
#include "shell/ViewportFit.h"

namespace {
constexpr WindowRect kFullscreenRect{0, 0, 640, 480};
constexpr WindowRect kWindowedRect{50, 50, 590, 430};
constexpr const char* kCaption = "Christmas Pegs";
constexpr const char* kIconPath = "Data/Icon.bmp";
// The display's rate when the desktop does not say.
constexpr int kAssumedRefreshHz = 60;

const char* const kWindowTexturePaths[4] = {
    "Data/BaumOben.bmp",
    "Data/BaumStamm.bmp",
    "Data/Snowflake.bmp",
    "Data/Flasche.bmp",
};
}  // namespace

GameWindow::GameWindow(Desktop& desktop, bool fullscreen)
    : Window(desktop),
      m_windowModel(fullscreen, desktop.window.SizeIsFinal()),
      m_displayMode(desktop.display),
      m_sound(desktop.audio),
      m_frames(desktop.clock) {
  m_play.Intro().PhaseTimer().UseClock(desktop.clock);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
}

GameWindow::~GameWindow() {
  // The drawable goes first; the members follow in reverse order, the scene
  // objects while the GL context is still current.
  m_pClientDC.reset();
}

bool GameWindow::CreateMainWindow() {
  // A refused mode leaves the screen as it is; the window still takes the
  // fullscreen rectangle, and the game goes on.
  const bool fullscreen = m_windowModel.Fullscreen();
  if (fullscreen) static_cast<void>(m_displayMode.ChangeMode(640, 480, 16));
  const bool created = Create(kCaption, fullscreen ? WindowStyle::Popup : WindowStyle::Captioned,
                              fullscreen ? kFullscreenRect : kWindowedRect);
  if (!created) return false;
  SetIcon(kIconPath);
  Show();
  BringToFront();
  Focus();
  m_desktop.input.ShowSystemCursor(false);
  return true;
}

int GameWindow::OnCreate() {
  m_pClientDC = std::make_unique<DrawSurface>(m_desktop.window, m_desktop.display);
  // Without a GL context there is nothing the game could show.
  if (!m_glContext.CreateContext(m_pClientDC.get(), 0)) return -1;
  SetupScene();
  return 0;
}

void GameWindow::SetupScene() {
  ApplyRestingGlState();
  for (int i = 0; i < 4; ++i) {
    // A missing picture leaves its texture blank: untextured drawing.
    static_cast<void>(
        m_textures[i].LoadMipmapped(kWindowTexturePaths[i], GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
  }
  m_play.Setup(&m_textures[0], &m_textures[1], &m_textures[2], &m_sound, m_pClientDC.get());
  m_frames.Init();
}

void GameWindow::StartSound() {
  if (m_soundStarted) return;
  m_soundStarted = true;
  m_sound.Init(this);
  m_sound.PlayStream(0, false);
}

void GameWindow::OnSize(int width, int height) {
  DefaultProcessing();
  // Minimised: the size message of the restore comes later.
  if (width <= 0 || height <= 0) return;
  m_fittedTo.reset();
  FitPicture();
}

void GameWindow::FitPicture() {
  // The picture keeps the game's own size: 640 x 480 fullscreen, 590 x 430
  // in the window. Whatever size the window manager or compositor gave the
  // drawable (tiling, a panel, a refused or emulated mode change), the whole
  // picture is fitted in, undistorted and centred, with black bars.
  int drawableWidth = 0;
  int drawableHeight = 0;
  m_desktop.window.DrawableSize(drawableWidth, drawableHeight);
  const bool fullscreen = m_windowModel.Shown() == WindowModel::Layout::Fullscreen;
  const FittedTo now{drawableWidth, drawableHeight, fullscreen};
  if (m_fittedTo == now) return;
  m_fittedTo = now;
  const WindowRect& picture = fullscreen ? kFullscreenRect : kWindowedRect;
  ApplyProjection(picture.width, picture.height);
  const ViewportRect viewport = FitViewport(picture.width, picture.height, drawableWidth, drawableHeight);
  glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
  m_renderer.Fit(drawableWidth, drawableHeight);
  m_trace.Viewport(drawableWidth, drawableHeight, viewport.x, viewport.y, viewport.width, viewport.height);
}

void GameWindow::OnClose() {
  m_displayMode.Restore();
  m_desktop.queue.PostQuit(0);
  m_desktop.input.ShowSystemCursor(true);
  DefaultProcessing();
}

void GameWindow::OnSystemCommand(SystemCommand command) {
  // The screen saver and monitor power saving stay off while the game runs.
  if (command == SystemCommand::ScreenSave || command == SystemCommand::MonitorPower) return;
  DefaultProcessing();
}

void GameWindow::OnKeyDown(Key key) {
  if (key == Key::F7) {
    m_play.PutBack();
    const std::uint32_t now = WindowTime(m_frames.Now());
    Carry(m_windowModel.Minimize(now, SampleWindow(true)), now);
  } else if (key == Key::F9) {
    const std::uint32_t now = WindowTime(m_frames.Now());
    Carry(m_windowModel.ToggleFullscreen(now, SampleWindow(true)), now);
  } else {
    float x = m_play.CursorX();
    float y = m_play.CursorY();
    const BottleSteering::Command command = m_steering.Press(key, m_play.State(), m_play.Dragging(), x, y);
    m_play.SetCursor(x, y);
    Obey(command);
  }
  DefaultProcessing();
}

void GameWindow::OnKeyUp(Key key) {
  m_steering.Release(key);
  DefaultProcessing();
}

void GameWindow::OnPadRemoved() {
  // A tree the pad lifted must not stay stuck to the bottle.
  m_steering.ReleaseAll();
  m_play.PutBack();
  DefaultProcessing();
}

void GameWindow::Obey(BottleSteering::Command command) {
  switch (command) {
    case BottleSteering::Command::None: break;
    case BottleSteering::Command::SkipIntro: SkipIntro(); break;
    case BottleSteering::Command::Lift: m_play.Lift(); break;
    case BottleSteering::Command::Drop: m_play.Drop(); break;
    case BottleSteering::Command::PutBack: m_play.PutBack(); break;
    case BottleSteering::Command::Quit: PostClose(); break;
  }
}

void GameWindow::SkipIntro() {
  if (m_play.SkipIntro()) m_desktop.clock.Sleep(500);
}

void GameWindow::PostClose() {
  m_desktop.queue.Post({MessageKind::Close, 0, 0});
  m_closing = true;
}

void GameWindow::OnFocusGained() {
  DefaultProcessing();
  m_trace.Focus(true);
  const std::uint32_t now = WindowTime(m_frames.Now());
  Carry(m_windowModel.FocusGained(now, SampleWindow(true)), now);
}

void GameWindow::OnFocusLost() {
  DefaultProcessing();
  m_trace.Focus(false);
  m_steering.ReleaseAll();
  m_play.PutBack();
  const std::uint32_t now = WindowTime(m_frames.Now());
  Carry(m_windowModel.FocusLost(now, SampleWindow(true)), now);
}

void GameWindow::OnMinimized() {
  DefaultProcessing();
  m_windowModel.PutAway();
}

std::uint32_t GameWindow::WindowTime(double reading) {
  // Milliseconds on a 32-bit clock that wraps after 49 days: the model only
  // ever looks at differences.
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(reading));
}

WindowModel::Sample GameWindow::SampleWindow(bool withSize) const {
  WindowModel::Sample sample;
  sample.shown = m_desktop.window.Viewable();
  if (withSize) m_desktop.window.DrawableSize(sample.drawableWidth, sample.drawableHeight);
  return sample;
}

void GameWindow::Carry(const WindowModel::Requests& requests, std::uint32_t now) {
  // While a focus loss would be held, the window layer must not put the
  // window away on its own either.
  m_desktop.window.KeepThroughFocusLoss(m_windowModel.HoldsFocusLoss(now));
  for (const WindowModel::Request& request : requests) {
    switch (request.kind) {
      case WindowModel::Request::Kind::Fullscreen:
        ApplyWindowMode(WindowModel::Layout::Fullscreen, request.again);
        break;
      case WindowModel::Request::Kind::Windowed:
        ApplyWindowMode(WindowModel::Layout::Windowed, false);
        break;
      case WindowModel::Request::Kind::Minimize:
        Minimize();
        break;
      case WindowModel::Request::Kind::WithdrawMinimize:
        m_desktop.window.WithdrawMinimize();
        break;
    }
  }
}

void GameWindow::ApplyWindowMode(WindowModel::Layout layout, bool again) {
  if (layout == WindowModel::Layout::Fullscreen) {
    // The style first: a window already fullscreen keeps the style it had.
    if (Style() != WindowStyle::Popup) SetStyle(WindowStyle::Popup);
    // A window manager left the window smaller than the mode: fullscreen is
    // entered anew rather than taken as granted.
    if (again) m_desktop.window.LeaveFullscreen();
    // Refused, the screen keeps its mode and the window fills it as it is.
    static_cast<void>(m_displayMode.ChangeMode(640, 480, 16));
    Move(kFullscreenRect);
  } else {
    m_displayMode.Restore();
    // A window that filled the screen without the mode change leaves that
    // fullscreen too.
    m_desktop.window.LeaveFullscreen();
    if (Style() != WindowStyle::Captioned) SetStyle(WindowStyle::Captioned);
    Move(kWindowedRect);
  }
}

void GameWindow::Minimize() {
  m_displayMode.Restore();
  ShowMinimized();
}

void GameWindow::OnLeftButtonDown() {
  m_trace.Button(true, m_play.CursorX(), m_play.CursorY());
  m_play.Lift();
  DefaultProcessing();
}

void GameWindow::OnLeftButtonUp() {
  m_trace.Button(false, m_play.CursorX(), m_play.CursorY());
  m_play.Drop();
  DefaultProcessing();
}

void GameWindow::StepFrame() {
  AdvanceFrame();
  FitPicture();
  m_renderer.Draw(m_play, m_textures[3]);
  if (m_pClientDC) m_pClientDC->SwapBuffers();
  StartSound();
  if (!m_trace.Enabled()) return;
  if (!m_holesTraced) {
    m_holesTraced = true;
    FrameRenderer::TraceHoles(m_trace);
  }
  m_trace.Frame(m_play.State(), m_play.CursorX(), m_play.CursorY(), m_play.Board().CountPegs());
}

void GameWindow::AdvanceFrame() {
  StepOnce(BeginFrame());
}

void GameWindow::RestFrame() {
  StartSound();
  // The time since the last frame is stepped through in display periods, as
  // a watched game would have stepped it, so that what happens unseen is
  // what would have happened on the screen. Nothing is drawn.
  FrameStepper::Rest(BeginFrame(), DisplayPeriod(), [this](float dt) { return StepOnce(dt); });
  m_trace.Rest();
}

float GameWindow::DisplayPeriod() const {
  const int hz = m_desktop.window.RefreshRate();
  return 1000.0f / static_cast<float>(hz > 0 ? hz : kAssumedRefreshHz);
}

float GameWindow::BeginFrame() {
  int dx = 0;
  int dy = 0;
  m_desktop.input.ReadMouseDelta(dx, dy);
  m_trace.Mouse(m_desktop.input.PointerCaptured(), dx, dy);
  m_play.MoveCursor(320 + dx, 240 + dy);
  if (dx != 0 || dy != 0) m_steering.MouseMoved();

  double reading = 0.0;
  const float dt = m_frames.Next(reading);
  // The window model goes by the frame's own reading of the clock.
  const std::uint32_t now = WindowTime(reading);
  Carry(m_windowModel.Tick(now, SampleWindow(m_windowModel.NeedsSize())), now);

  const bool escape = m_desktop.input.PollEscape();
  if (m_steering.TakesEscape(escape, m_play.Dragging())) {
    m_play.PutBack();
  } else if (escape) {
    if (m_play.State() == StateIntro) {
      SkipIntro();
    } else {
      PostClose();
    }
  }
  return dt;
}

bool GameWindow::StepOnce(float dt) {
  float x = m_play.CursorX();
  float y = m_play.CursorY();
  m_steering.Update(dt, x, y);
  m_play.SetCursor(x, y);
  if (m_play.Step(dt) == GamePlay::Next::Quit) {
    m_desktop.queue.PostQuit(0);
    return false;
  }
  return !m_closing;
}

