#include "shell/GameTrace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>


namespace {
const char* StateName(GameState state) {
  switch (state) {
    case StateIntro: return "intro";
    case StatePlaying: return "playing";
    case StateFinale: return "finale";
    case StateBoardExit: return "board-exit";
  }
  return "?";
}

// Wall-clock seconds since the epoch, so that a harness can compare the
// first frame with the moment it started the process.
double WallClockSeconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}
}  // namespace

GameTrace::GameTrace() {
  const char* target = std::getenv("CHRISTMAS_PEGS_TRACE");
  if (target == nullptr || *target == '\0') return;
  if (std::strcmp(target, "-") == 0) {
    m_file = stderr;
    return;
  }
  // Opened for appending: the display-mode texts are added to the same file
  // by another writer (see SdlDisplaySettings::DebugOutput).
  const int fd = open(target, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  m_file = fdopen(fd, "a");
  if (m_file == nullptr) close(fd);
  m_ownsFile = m_file != nullptr;
}

GameTrace::~GameTrace() {
  if (m_ownsFile) std::fclose(m_file);
}

void GameTrace::Frame(GameState state, float cursorX, float cursorY, int pegsLeft) {
  if (m_file == nullptr) return;
  ++m_frames;
  const auto now = std::chrono::steady_clock::now();
  if (m_frames == 1) {
    std::fprintf(m_file, "first-frame %.6f\n", WallClockSeconds());
  } else {
    const double ms = std::chrono::duration<double, std::milli>(now - m_lastFrame).count();
    if (ms > 25.0) std::fprintf(m_file, "long-frame %.1f frame %ld\n", ms, m_frames);
  }
  if (m_resting) std::fprintf(m_file, "wake frame %ld\n", m_frames);
  m_resting = false;
  m_lastFrame = now;
  if (m_frames == 1 || state != m_state) std::fprintf(m_file, "state %s frame %ld\n", StateName(state), m_frames);
  if (cursorX != m_cursorX || cursorY != m_cursorY) {
    std::fprintf(m_file, "cursor %.2f %.2f frame %ld\n", cursorX, cursorY, m_frames);
  }
  if (pegsLeft != m_pegsLeft) std::fprintf(m_file, "pegs %d frame %ld\n", pegsLeft, m_frames);
  if (m_frames % 100 == 0) std::fprintf(m_file, "tick frame %ld\n", m_frames);
  m_state = state;
  m_cursorX = cursorX;
  m_cursorY = cursorY;
  m_pegsLeft = pegsLeft;
  std::fflush(m_file);
}

void GameTrace::Rest() {
  if (m_file == nullptr) return;
  // The next drawn frame is timed from this step, as its frame time is.
  m_lastFrame = std::chrono::steady_clock::now();
  if (m_resting) return;
  m_resting = true;
  std::fprintf(m_file, "rest frame %ld\n", m_frames);
  std::fflush(m_file);
}

void GameTrace::Hole(int column, int row, float boardX, float boardY, double pictureX, double pictureY) {
  if (m_file == nullptr) return;
  std::fprintf(m_file, "hole %d %d board %.2f %.2f picture %.5f %.5f\n", column, row, boardX, boardY, pictureX,
               pictureY);
}

void GameTrace::Viewport(int drawableWidth, int drawableHeight, int x, int y, int width, int height) {
  if (m_file == nullptr) return;
  std::fprintf(m_file, "viewport %dx%d at %d,%d in %dx%d frame %ld\n", width, height, x, y, drawableWidth,
               drawableHeight, m_frames);
  std::fflush(m_file);
}

void GameTrace::Button(bool down, float cursorX, float cursorY) {
  if (m_file == nullptr) return;
  std::fprintf(m_file, "button %s %.2f %.2f frame %ld\n", down ? "down" : "up", cursorX, cursorY, m_frames);
  std::fflush(m_file);
}

void GameTrace::Mouse(bool captured, int dx, int dy) {
  if (m_file == nullptr) return;
  if (captured == m_captured && dx == 0 && dy == 0) return;
  if (captured != m_captured) std::fprintf(m_file, "capture %s frame %ld\n", captured ? "on" : "off", m_frames);
  m_captured = captured;
  if (dx != 0 || dy != 0) std::fprintf(m_file, "motion %d %d frame %ld\n", dx, dy, m_frames);
  std::fflush(m_file);
}

void GameTrace::Focus(bool gained) {
  if (m_file == nullptr) return;
  std::fprintf(m_file, "focus %s frame %ld\n", gained ? "gained" : "lost", m_frames);
  std::fflush(m_file);
}
