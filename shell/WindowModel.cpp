#include "shell/WindowModel.h"

WindowModel::WindowModel(bool fullscreen, bool sizeIsFinal)
    : m_chosen(fullscreen ? Layout::Fullscreen : Layout::Windowed), m_sizeIsFinal(sizeIsFinal) {}

WindowModel::Requests WindowModel::ToggleFullscreen(std::uint32_t now, const Sample& sample) {
  // F9 flips what the player sees: from the captioned window a refused
  // minimise left, that is fullscreen whatever was chosen before.
  m_chosen = Shown() == Layout::Fullscreen ? Layout::Windowed : Layout::Fullscreen;
  Requests out;
  if (m_phase == Phase::MinimizeAsked) out.push_back({Request::Kind::WithdrawMinimize});
  m_phase = Phase::Shown;
  const Requests arranged = Arrange(now, sample);
  out.insert(out.end(), arranged.begin(), arranged.end());
  return out;
}

WindowModel::Requests WindowModel::Minimize(std::uint32_t now, const Sample& sample) {
  if (!sample.shown) m_phase = Phase::Minimized;
  // Already put away, or a minimise on its way: nothing at all.
  if (m_phase == Phase::Minimized || m_phase == Phase::MinimizeAsked) return {};
  m_phase = Phase::MinimizeAsked;
  m_minimizeAskedAt = now;
  m_focusLossHeldAt.reset();
  m_sizeCheckFrom.reset();  // the window is put away, not sized
  m_arrangeWhenShown = false;
  m_arranged.reset();
  return {{Request::Kind::Minimize}};
}

WindowModel::Requests WindowModel::FocusGained(std::uint32_t now, const Sample& sample) {
  const bool held = m_focusLossHeldAt.has_value();
  m_focusLossHeldAt.reset();
  const bool wasFocused = m_focused;
  m_focused = true;
  const bool inUse = m_phase == Phase::Shown || m_phase == Phase::MinimizeRefused;
  // A second word of a focus the window had: nothing new.
  if (wasFocused && !held && inUse) return {};
  // The focus back after the game's own change: the window is arranged
  // again as it is shown, the captioned fallback included.
  if (held && inUse) return Arrange(now, sample);
  // The focus back after a real loss, a minimise or a refused one: the
  // player's choice.
  Requests out;
  if (m_phase == Phase::MinimizeAsked) out.push_back({Request::Kind::WithdrawMinimize});
  m_phase = Phase::Shown;
  m_minimizeAskedAt.reset();
  const Requests arranged = Arrange(now, sample);
  out.insert(out.end(), arranged.begin(), arranged.end());
  return out;
}

WindowModel::Requests WindowModel::FocusLost(std::uint32_t now, const Sample& sample) {
  m_focused = false;
  // The loss a minimise brings (SDL reports it late): asking once more
  // would minimise a window the player may have restored meanwhile.
  if (m_phase == Phase::MinimizeAsked || m_phase == Phase::Minimized) return {};
  if (HoldsFocusLoss(now)) {
    // Most likely the game's own change: minimised only if the focus does
    // not come back.
    if (!m_focusLossHeldAt) m_focusLossHeldAt = now;
    return {};
  }
  return Minimize(now, sample);
}

WindowModel::Requests WindowModel::Tick(std::uint32_t now, const Sample& sample) {
  if (!sample.shown) {
    // Put away, by the game or by the desktop itself (SDL minimises a
    // fullscreen window that loses the focus before the game hears of it).
    PutAway();
    return {};
  }
  switch (m_phase) {
    case Phase::Minimized:
      // Shown again. Without the focus the window stays as the desktop shows
      // it; the focus, when it comes, brings the player's choice back.
      if (!m_arrangeWhenShown) return {};
      m_phase = Phase::Shown;
      return Arrange(now, sample);
    case Phase::MinimizeAsked:
      if (now - *m_minimizeAskedAt < kMinimizeWaitMs) return {};
      {
        // Refused: the game goes on in the captioned window, in use at once.
        m_phase = Phase::MinimizeRefused;
        m_minimizeAskedAt.reset();
        Requests out{{Request::Kind::WithdrawMinimize}};
        const Requests arranged = Arrange(now, sample);
        out.insert(out.end(), arranged.begin(), arranged.end());
        return out;
      }
    case Phase::Shown:
    case Phase::MinimizeRefused:
      break;
  }
  if (m_focusLossHeldAt && now - *m_focusLossHeldAt >= kFocusHoldMs) {
    // The focus did not come back: the loss was real.
    m_focusLossHeldAt.reset();
    m_ownChangeAt.reset();
    return Minimize(now, sample);
  }
  if (m_sizeCheckFrom && now - *m_sizeCheckFrom >= kSizeCheckMs) {
    // A window manager can undo a fullscreen it has just granted (KWin, now
    // and then, for a window restored right after a minimise), or leave a
    // window at its fullscreen size when asked for the windowed one (sway's
    // Xwayland on a busy machine): such a window is asked once more. One
    // that then keeps another size (a tiling window manager's tile) keeps
    // it; only a fullscreen window smaller than the mode, which no desktop
    // means, is asked up to kFullscreenAsks times, a second apart.
    m_sizeCheckFrom.reset();
    if (AsAsked(sample)) return {};
    ++m_sizeAsks;
    const int asks = Shown() == Layout::Fullscreen ? kFullscreenAsks : 1;
    if (m_sizeAsks < asks) m_sizeCheckFrom = now;
    m_ownChangeAt = now;
    return {ArrangeRequest(sample)};
  }
  return {};
}

void WindowModel::PutAway() {
  m_phase = Phase::Minimized;
  m_minimizeAskedAt.reset();
  m_focusLossHeldAt.reset();
  m_sizeCheckFrom.reset();
}

WindowModel::Requests WindowModel::Arrange(std::uint32_t now, const Sample& sample) {
  if (!sample.shown) {
    // Nothing is asked of a window the desktop does not show.
    m_arrangeWhenShown = true;
    return {};
  }
  m_arrangeWhenShown = false;
  m_ownChangeAt = now;
  if (!m_sizeIsFinal) m_sizeCheckFrom = now;
  m_sizeAsks = 0;
  const Request request = ArrangeRequest(sample);
  m_arranged = Shown();
  return {request};
}

WindowModel::Request WindowModel::ArrangeRequest(const Sample& sample) const {
  if (Shown() == Layout::Windowed) return {Request::Kind::Windowed};
  const bool again = !m_sizeIsFinal && m_arranged == Layout::Fullscreen && !AsAsked(sample);
  return {Request::Kind::Fullscreen, again};
}

bool WindowModel::AsAsked(const Sample& sample) const {
  if (sample.drawableWidth <= 0 || sample.drawableHeight <= 0) return true;  // not known
  // Fullscreen may be larger than the mode (a mode refused or only
  // emulated): the picture is fitted into the whole screen.
  if (Shown() == Layout::Fullscreen) {
    return sample.drawableWidth >= kFullscreenWidth && sample.drawableHeight >= kFullscreenHeight;
  }
  return sample.drawableWidth == kWindowedWidth && sample.drawableHeight == kWindowedHeight;
}
