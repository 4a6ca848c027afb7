#include "shell/BottleSteering.h"

#include <algorithm>
#include <cmath>

namespace {
std::optional<HoleNavigation::Direction> DirectionOf(Key key) {
  switch (key) {
    case Key::Left: return HoleNavigation::Direction::Left;
    case Key::Right: return HoleNavigation::Direction::Right;
    case Key::Up: return HoleNavigation::Direction::Up;
    case Key::Down: return HoleNavigation::Direction::Down;
    default: return std::nullopt;
  }
}
}  // namespace

BottleSteering::Command BottleSteering::Press(Key key, GameState state, bool lifted, float& x, float& y) {
  if (key == Key::Back) return Command::Quit;
  const std::optional<HoleNavigation::Direction> direction = DirectionOf(key);
  const bool skips = direction || key == Key::Select || key == Key::Start;
  if (state == StateIntro) return skips ? Command::SkipIntro : Command::None;
  if (state != StatePlaying) return Command::None;
  if (direction) {
    if (m_held == direction) return Command::None;
    m_held = direction;
    m_untilRepeat = RepeatDelayMs;
    Step(*direction, x, y);
    return Command::None;
  }
  if (key == Key::Cancel) return lifted ? Command::PutBack : Command::None;
  if (key != Key::Select || m_selectHeld) return Command::None;
  m_selectHeld = true;
  if (m_target) {
    x = BoardModel::BoardX(m_target->column);
    y = BoardModel::BoardY(m_target->row);
  }
  return lifted ? Command::Drop : Command::Lift;
}

void BottleSteering::Release(Key key) {
  if (key == Key::Select) m_selectHeld = false;
  if (m_held && m_held == DirectionOf(key)) m_held.reset();
}

void BottleSteering::ReleaseAll() {
  m_held.reset();
  m_selectHeld = false;
}

bool BottleSteering::TakesEscape(bool escape, bool lifted) {
  if (!escape) {
    m_escapeTaken = false;
    return false;
  }
  if (m_escapeTaken) return true;
  m_escapeTaken = lifted;
  return lifted;
}

void BottleSteering::Update(float dt, float& x, float& y) {
  if (m_held) {
    m_untilRepeat -= dt;
    for (; m_untilRepeat <= 0.0f; m_untilRepeat += RepeatEveryMs) Step(*m_held, x, y);
  }
  if (!m_target) return;
  const float toX = BoardModel::BoardX(m_target->column);
  const float toY = BoardModel::BoardY(m_target->row);
  const float left = std::hypot(toX - x, toY - y);
  const float step = std::max(left * (1.0f - std::exp(-dt / GlideMs)), LeastSpeed * dt);
  if (step >= left) {
    x = toX;
    y = toY;
    return;
  }
  x += (toX - x) * step / left;
  y += (toY - y) * step / left;
}

void BottleSteering::Step(HoleNavigation::Direction direction, float x, float y) {
  if (m_target) {
    x = BoardModel::BoardX(m_target->column);
    y = BoardModel::BoardY(m_target->row);
  }
  m_target = HoleNavigation::Next(x, y, direction);
}
