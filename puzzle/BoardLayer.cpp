#include "puzzle/BoardLayer.h"

#include "puzzle/PegBoard.h"

void BoardLayer::Fit(int windowWidth, int windowHeight) {
  m_windowWidth = windowWidth;
  m_windowHeight = windowHeight;
}

void BoardLayer::Draw(const PegBoard& board) {
  const Key key = KeyNow(board);
  if (!Ready(key)) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    board.Draw();
    return;
  }
  if (m_drawn != key) {
    m_target.DrawInto([&board] {
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      board.DrawStanding();
    });
    m_drawn = key;
    ++m_redraws;
  }
  const auto& [x, y, width, height] = key.viewport;
  // The copy sets every colour and depth value it covers: only a viewport
  // smaller than the window (a fitted picture's bars) needs the clear.
  if (x != 0 || y != 0 || width != m_windowWidth || height != m_windowHeight) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  m_target.CopyOut(x, y, width, height);
  board.DrawMoving();
}

BoardLayer::Key BoardLayer::KeyNow(const PegBoard& board) {
  Key key;
  key.revision = board.StandingRevision();
  glGetIntegerv(GL_VIEWPORT, key.viewport.data());
  glGetFloatv(GL_PROJECTION_MATRIX, key.projection.data());
  glGetFloatv(GL_MODELVIEW_MATRIX, key.modelview.data());
  // The trees' colour material takes the current colour.
  glGetFloatv(GL_CURRENT_COLOR, key.color.data());
  return key;
}

bool BoardLayer::Ready(const Key& key) {
  if (m_unusable) return false;
  // A viewport reaching out of the window, or of no size (a window being
  // made), is left to direct drawing.
  const auto& [x, y, width, height] = key.viewport;
  if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > m_windowWidth || y + height > m_windowHeight) {
    return false;
  }
  if (m_target.Held() && m_target.Width() == m_windowWidth && m_target.Height() == m_windowHeight) return true;
  m_drawn.reset();
  if (!Framebuffer::Available() || !m_target.Make(m_windowWidth, m_windowHeight)) {
    m_unusable = true;
    return false;
  }
  return true;
}
