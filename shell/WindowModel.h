#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// The window's mode as one state machine, apart from any window system: in
// go what the player asks for (F9, F7), what the desktop reports (focus,
// minimised or not, the drawable's size) and the time; out come the requests
// to carry out. It keeps apart what the player chose (fullscreen or a
// window), what the game asked for and waits on, and what the desktop did:
//  - a minimise is asked for once and waited on for a short while; one the
//    desktop does not carry out is a state of its own (the game goes on in
//    its captioned window), never a change of the player's choice;
//  - a focus that comes back after a real loss brings the player's choice
//    back;
//  - a focus loss soon after the game's own window change (a window manager
//    reframing the window takes the focus for a moment) is held, and taken
//    as real only if the focus does not come back;
//  - a second after each arrangement, a window the desktop left at another
//    size than asked is asked once more, and only once (a fullscreen window
//    smaller than the mode a few times); where the desktop's size is final
//    (a Wayland compositor's configure), never;
//  - nothing is asked of a window the desktop does not show: an
//    arrangement wanted meanwhile is made when it is shown again.
class WindowModel {
 public:
  enum class Layout { Fullscreen, Windowed };
  enum class Phase {
    Shown,            // arranged as the shown layout
    MinimizeAsked,    // a minimise asked for, not yet seen
    Minimized,        // put away, by the game or by the desktop
    MinimizeRefused,  // the minimise did not come: the captioned window
  };

  struct Request {
    enum class Kind {
      Fullscreen,        // the fullscreen mode, no border, the mode's rectangle
      Windowed,          // the desktop's mode, the border, the window's rectangle
      Minimize,          // the desktop's mode back, then the window put away
      WithdrawMinimize,  // the minimise asked for is given up: the window is in use
    };
    Kind kind;
    // Fullscreen only: the window is smaller than the mode although it may
    // still count as fullscreen (a window manager undid the fullscreen it
    // granted), so fullscreen is left and entered anew.
    bool again = false;
    bool operator==(const Request&) const = default;
  };
  using Requests = std::vector<Request>;

  // What the desktop shows of the window now. A size of 0 is not known.
  struct Sample {
    bool shown = true;  // false while minimised or hidden
    int drawableWidth = 0;
    int drawableHeight = 0;
  };

  static constexpr int kFullscreenWidth = 640;
  static constexpr int kFullscreenHeight = 480;
  static constexpr int kWindowedWidth = 590;
  static constexpr int kWindowedHeight = 430;
  // How long a window manager may take to minimise before the game takes it
  // as refused (weston offers no minimise for X windows).
  static constexpr std::uint32_t kMinimizeWaitMs = 500;
  // A window manager that gives a window a new frame (metacity, mutter)
  // takes its focus away while doing so and gives it back after; SDL reports
  // each change only once it has lasted 200 ms. A focus loss within this
  // time after the game's own change waits as long for the focus to return.
  static constexpr std::uint32_t kFocusHoldMs = 1000;
  // How long after an arrangement the window's size is looked at again.
  static constexpr std::uint32_t kSizeCheckMs = 1000;
  // How many times a fullscreen window left smaller than the mode is asked
  // again after an arrangement; a window of another size is asked once.
  static constexpr int kFullscreenAsks = 3;

  // `sizeIsFinal`: the desktop's size for the window is final and never
  // asked again (a Wayland compositor).
  WindowModel(bool fullscreen, bool sizeIsFinal);

  // F9: the other layout than the one shown.
  Requests ToggleFullscreen(std::uint32_t now, const Sample& sample);
  // F7, and a focus loss taken as real.
  Requests Minimize(std::uint32_t now, const Sample& sample);
  Requests FocusGained(std::uint32_t now, const Sample& sample);
  Requests FocusLost(std::uint32_t now, const Sample& sample);
  // Once a frame, seen or not.
  Requests Tick(std::uint32_t now, const Sample& sample);
  // The desktop put the window away (minimised it), as it reports when it
  // happens: a minimise the player undoes at once is a minimise all the
  // same, not a refused one.
  void PutAway();

  // The player's choice.
  bool Fullscreen() const { return m_chosen == Layout::Fullscreen; }
  // The layout the window has or is arranged for: the captioned window while
  // a minimise is refused, the player's choice otherwise.
  Layout Shown() const { return m_phase == Phase::MinimizeRefused ? Layout::Windowed : m_chosen; }
  Phase CurrentPhase() const { return m_phase; }
  // Whether a focus loss now would be held as the game's own change's.
  bool HoldsFocusLoss(std::uint32_t now) const { return m_ownChangeAt && now - *m_ownChangeAt < kFocusHoldMs; }
  // Whether Tick wants the drawable's size in its sample (reading it may
  // cost a round trip to the window system).
  bool NeedsSize() const { return m_sizeCheckFrom.has_value(); }

 private:
  // Arranges the window as Shown(), or once it is shown again.
  Requests Arrange(std::uint32_t now, const Sample& sample);
  Request ArrangeRequest(const Sample& sample) const;
  bool AsAsked(const Sample& sample) const;

  Layout m_chosen;
  const bool m_sizeIsFinal;
  Phase m_phase = Phase::Shown;
  // Whether the window has the focus, as the desktop last said.
  bool m_focused = false;
  // An arrangement wanted while the window was not shown.
  bool m_arrangeWhenShown = false;
  // When the game last changed the window itself: arranged it or fell back.
  std::optional<std::uint32_t> m_ownChangeAt;
  // When the pending minimise was asked for.
  std::optional<std::uint32_t> m_minimizeAskedAt;
  // When a focus loss that came soon after the game's own change was held.
  std::optional<std::uint32_t> m_focusLossHeldAt;
  // The layout last asked of the desktop; none since a minimise, which
  // leaves fullscreen.
  std::optional<Layout> m_arranged;
  // When the last arrangement was asked for, while its size is still to be
  // looked at.
  std::optional<std::uint32_t> m_sizeCheckFrom;
  // How many times the window was asked again since the last arrangement.
  int m_sizeAsks = 0;
};
