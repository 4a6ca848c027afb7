#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "shell/WindowModel.h"

using Layout = WindowModel::Layout;
using Phase = WindowModel::Phase;
using Kind = WindowModel::Request::Kind;

namespace {
// A window manager as the window model meets it: it carries out the model's
// requests in its own way and reports what it shows.
struct SimulatedDesktop {
  // How this window manager behaves.
  bool refusesMinimize = false;
  int minimizeDelayMs = 0;            // how long a minimise takes
  int undoesFullscreens = 0;          // grants the next ones, then leaves the window small
  bool keepsNextWindowLarge = false;  // leaves the window at its fullscreen size
  std::optional<WindowModel::Sample> tile;  // gives every window this size

  bool shown = true;
  int width = 640;
  int height = 480;
  std::optional<std::uint32_t> minimizesAt;
  std::vector<WindowModel::Request> requests;

  WindowModel::Sample Sample() const { return {shown, width, height}; }

  void Carry(const WindowModel::Requests& out, std::uint32_t now) {
    for (const WindowModel::Request& request : out) {
      requests.push_back(request);
      switch (request.kind) {
        case Kind::Fullscreen:
          if (undoesFullscreens > 0) {
            --undoesFullscreens;
            Size(590, 430);
          } else {
            Size(1024, 768);
          }
          break;
        case Kind::Windowed:
          if (keepsNextWindowLarge) {
            keepsNextWindowLarge = false;
          } else {
            Size(590, 430);
          }
          break;
        case Kind::Minimize:
          if (!refusesMinimize) minimizesAt = now + static_cast<std::uint32_t>(minimizeDelayMs);
          break;
        case Kind::WithdrawMinimize:
          break;
      }
    }
  }
  void Size(int w, int h) {
    width = tile ? tile->drawableWidth : w;
    height = tile ? tile->drawableHeight : h;
  }
  // The desktop's own doing as time passes.
  void Advance(std::uint32_t now) {
    if (minimizesAt && now >= *minimizesAt) {
      shown = false;
      minimizesAt.reset();
    }
  }
  int Count(Kind kind) const {
    int n = 0;
    for (const auto& r : requests) n += r.kind == kind ? 1 : 0;
    return n;
  }
};

// The model on a simulated desktop, with the clock in the test's hand and a
// frame every 16 ms.
struct Session {
  explicit Session(bool fullscreen = true, bool sizeIsFinal = false) : model(fullscreen, sizeIsFinal) {
    desk.Carry(model.FocusGained(now, desk.Sample()), now);  // the focus taken at start
  }
  void Frames(std::uint32_t ms) {
    const std::uint32_t end = now + ms;
    while (now < end) {
      now += 16;
      desk.Advance(now);
      desk.Carry(model.Tick(now, desk.Sample()), now);
    }
  }
  void F9() { desk.Carry(model.ToggleFullscreen(now, desk.Sample()), now); }
  void F7() { desk.Carry(model.Minimize(now, desk.Sample()), now); }
  void Gain() { desk.Carry(model.FocusGained(now, desk.Sample()), now); }
  void Lose() { desk.Carry(model.FocusLost(now, desk.Sample()), now); }
  // The player shows the window again (a task bar, Alt+Tab).
  void Restore() {
    desk.shown = true;
    Gain();
  }

  std::uint32_t now = 5000;
  SimulatedDesktop desk;
  WindowModel model;
};
}  // namespace

TEST(WindowModel, StartsAsChosenAndF9FlipsWhatIsShown) {
  Session fullscreen;
  EXPECT_EQ(fullscreen.desk.requests, (WindowModel::Requests{{Kind::Fullscreen}}));
  fullscreen.F9();
  EXPECT_FALSE(fullscreen.model.Fullscreen());
  // Nothing more: the key was pressed in the window, which keeps the focus.
  // An activation asked for besides (SDL's carries no time stamp) made
  // mutter take the focus away.
  EXPECT_EQ(fullscreen.desk.requests, (WindowModel::Requests{{Kind::Fullscreen}, {Kind::Windowed}}));
  fullscreen.F9();
  EXPECT_TRUE(fullscreen.model.Fullscreen());
  EXPECT_EQ(fullscreen.desk.requests.back(), WindowModel::Request{Kind::Fullscreen});

  Session windowed(false);
  EXPECT_EQ(windowed.desk.requests, (WindowModel::Requests{{Kind::Windowed}}));
  windowed.Gain();
  EXPECT_EQ(windowed.desk.requests.size(), 1u) << "a second word of the focus it has asks nothing";
}

// What a minimise comes to, by how the window manager answers it.
TEST(WindowModel, AMinimiseIsWaitedOnAndARefusalIsAStateOfItsOwn) {
  struct Case {
    const char* name;
    bool refuses;
    int delayMs;
    Phase phase;        // two seconds after F7
    int withdrawn;      // minimises given up
    int windowed;       // captioned windows asked for
  };
  const Case cases[] = {
      {"minimised at once", false, 0, Phase::Minimized, 0, 0},
      {"minimised a little late", false, 300, Phase::Minimized, 0, 0},
      {"refused", true, 0, Phase::MinimizeRefused, 1, 1},
      {"minimised after the game gave up waiting", false, 800, Phase::Minimized, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    s.desk.refusesMinimize = c.refuses;
    s.desk.minimizeDelayMs = c.delayMs;
    s.Frames(2000);
    s.F7();
    s.F7();  // a second F7 while the first is on its way
    s.Frames(2000);
    EXPECT_EQ(s.desk.Count(Kind::Minimize), 1);
    EXPECT_EQ(s.model.CurrentPhase(), c.phase);
    EXPECT_EQ(s.desk.Count(Kind::WithdrawMinimize), c.withdrawn);
    EXPECT_EQ(s.desk.Count(Kind::Windowed), c.windowed);
    EXPECT_TRUE(s.model.Fullscreen()) << "the player's choice stays";

    // Back with the focus: fullscreen, as chosen.
    s.desk.shown = true;
    s.Lose();
    s.Frames(100);
    s.Gain();
    EXPECT_EQ(s.model.CurrentPhase(), Phase::Shown);
    EXPECT_EQ(s.model.Shown(), Layout::Fullscreen);
    EXPECT_EQ(s.desk.requests.back(), WindowModel::Request{Kind::Fullscreen});
  }
}

// The refused minimise's captioned window is in use at once; a focus that
// stays with it changes nothing, and one F9 gives fullscreen back.
TEST(WindowModel, FromARefusedMinimiseOneF9GivesFullscreen) {
  for (const bool chosenFullscreen : {true, false}) {
    SCOPED_TRACE(chosenFullscreen ? "chosen fullscreen" : "chosen windowed");
    Session s(chosenFullscreen);
    s.desk.refusesMinimize = true;
    s.F7();
    s.Frames(600);
    ASSERT_EQ(s.model.CurrentPhase(), Phase::MinimizeRefused);
    EXPECT_EQ(s.model.Shown(), Layout::Windowed);
    s.Gain();  // a stray word of the focus the window kept
    EXPECT_EQ(s.model.Shown(), Layout::Windowed);
    s.F9();
    EXPECT_EQ(s.model.Shown(), Layout::Fullscreen);
    EXPECT_TRUE(s.model.Fullscreen());
    EXPECT_EQ(s.desk.requests.back(), WindowModel::Request{Kind::Fullscreen});
  }
}

// Another window takes the focus, the minimise is refused (i3, weston's
// Xwayland) and the game falls back to its captioned window; the player
// clicks back into the game: fullscreen, as chosen, and F9 goes to a window.
TEST(WindowModel, TheFocusBackAfterARefusedMinimiseBringsTheChoiceBack) {
  Session s;
  s.desk.refusesMinimize = true;
  s.Frames(2000);
  s.Lose();
  s.Frames(2000);
  ASSERT_EQ(s.model.CurrentPhase(), Phase::MinimizeRefused);
  s.Gain();
  EXPECT_EQ(s.model.Shown(), Layout::Fullscreen);
  s.F9();
  EXPECT_EQ(s.model.Shown(), Layout::Windowed);
  EXPECT_FALSE(s.model.Fullscreen());
}

// A window manager that reframes a window for a new border (metacity,
// mutter) takes the focus away and gives it back: that must not minimise the
// game, while a focus loss that lasts, or comes on its own, still does.
TEST(WindowModel, AFocusLossTheGameCausedItselfIsHeld) {
  struct Case {
    const char* name;
    std::uint32_t lostAfterF9Ms;
    int focusBackAfterMs;  // -1: never
    bool minimised;
  };
  const Case cases[] = {
      {"lost while the border changes, back soon", 0, 300, false},
      {"lost while the border changes, back late on a busy machine", 200, 700, false},
      {"lost while the border changes and not given back", 0, -1, true},
      {"lost well after the change: the player switched away", 3000, -1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    s.F9();
    s.Frames(c.lostAfterF9Ms);
    s.Lose();
    if (c.focusBackAfterMs >= 0) {
      s.Frames(static_cast<std::uint32_t>(c.focusBackAfterMs));
      s.Gain();
    }
    s.Frames(2000);
    EXPECT_EQ(s.desk.Count(Kind::Minimize), c.minimised ? 1 : 0);
    EXPECT_FALSE(s.model.Fullscreen());
  }
}

// The player restores the game from the task bar right after F7, on a busy
// machine before any frame saw it minimised: the desktop's report of the
// minimise keeps it from passing for a refused one, and the focus coming
// back brings fullscreen, not the captioned window of a refusal.
TEST(WindowModel, AMinimiseUndoneBeforeAnyFrameSawItIsNoRefusal) {
  Session s;
  s.desk.refusesMinimize = true;  // no frame ever samples the window unshown
  s.F7();
  s.model.PutAway();
  s.Frames(1000);
  EXPECT_EQ(s.model.CurrentPhase(), Phase::Minimized);
  EXPECT_EQ(s.desk.Count(Kind::Windowed), 0);
  s.Lose();
  s.Gain();
  EXPECT_EQ(s.desk.requests.back(), WindowModel::Request{Kind::Fullscreen});
  EXPECT_EQ(s.model.Shown(), Layout::Fullscreen);
}

// SDL reports a focus loss a fifth of a second late. A player who restores
// the game at once after F7 must not see it minimised again by the loss of
// that F7's own minimise; a loss after the focus came back still minimises.
TEST(WindowModel, TheLateFocusLossOfItsOwnMinimiseDoesNotMinimiseAgain) {
  Session s;
  s.F7();
  s.Frames(32);
  ASSERT_EQ(s.model.CurrentPhase(), Phase::Minimized);
  s.desk.shown = true;  // restored from the task bar before the loss is told
  s.Lose();
  s.Frames(2000);
  EXPECT_EQ(s.desk.Count(Kind::Minimize), 1);
  s.Gain();
  EXPECT_EQ(s.model.Shown(), Layout::Fullscreen);
  s.Frames(3000);
  s.Lose();
  EXPECT_EQ(s.desk.Count(Kind::Minimize), 2);
}

// A window manager that undoes the fullscreen it granted, or leaves the
// window at its fullscreen size when asked for the windowed one: a second
// later the game asks once more, and only once. Where the desktop's size is
// final (a Wayland compositor's tile, at any scale), never.
TEST(WindowModel, AWindowLeftAtAnotherSizeIsAskedOnceMore) {
  struct Case {
    const char* name;
    bool fullscreen;
    int undone;  // how many of the next fullscreens are undone; the next window left large
    std::optional<WindowModel::Sample> tile;
    bool sizeIsFinal;
    WindowModel::Requests asked;  // after the arrangement
  };
  const WindowModel::Sample tile{true, 508, 357};
  const Case cases[] = {
      {"fullscreen granted", true, 0, {}, false, {}},
      {"fullscreen undone", true, 1, {}, false, {{Kind::Fullscreen, true}}},
      {"fullscreen undone again after the second look", true, 2, {}, false,
       {{Kind::Fullscreen, true}, {Kind::Fullscreen, true}}},
      {"fullscreen never kept: three looks, no more", true, 100, {}, false,
       {{Kind::Fullscreen, true}, {Kind::Fullscreen, true}, {Kind::Fullscreen, true}}},
      {"window as asked", false, 0, {}, false, {}},
      {"window left at the fullscreen size", false, 1, {}, false, {{Kind::Windowed}}},
      {"window in a tile of an X tiling window manager", false, 0, tile, false, {{Kind::Windowed}}},
      {"window in a Wayland compositor's tile", false, 0, tile, true, {}},
      {"fullscreen on a Wayland output at scale 2", true, 0, WindowModel::Sample{true, 512, 384}, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s(!c.fullscreen, c.sizeIsFinal);
    s.Frames(2000);
    s.desk.undoesFullscreens = c.undone;
    s.desk.keepsNextWindowLarge = c.undone > 0;
    s.desk.tile = c.tile;
    s.F9();
    const std::size_t before = s.desk.requests.size();
    s.Frames(5000);
    const WindowModel::Requests asked(s.desk.requests.begin() + static_cast<std::ptrdiff_t>(before),
                                      s.desk.requests.end());
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(s.model.Fullscreen(), c.fullscreen);
  }
}

// Each arrangement has its own second look: one asked once more does not
// leave the next without its own (an F9, or a focus gain, within the second
// after a re-ask).
TEST(WindowModel, EachArrangementGetsItsOwnSecondLook) {
  Session s;
  s.desk.undoesFullscreens = 1;
  s.F9();
  s.F9();
  s.Frames(1100);
  ASSERT_EQ(s.desk.requests.back(), (WindowModel::Request{Kind::Fullscreen, true}));
  s.Frames(300);
  s.desk.undoesFullscreens = 1;
  s.F9();
  s.F9();
  const std::size_t before = s.desk.requests.size();
  s.Frames(1100);
  ASSERT_EQ(s.desk.requests.size(), before + 1);
  EXPECT_EQ(s.desk.requests.back(), (WindowModel::Request{Kind::Fullscreen, true}));
}

// F7 soon after F9: the window left fullscreen for the minimise, and a
// window manager that refuses it (i3) leaves it shown. That is the
// minimise's doing, not a fullscreen undone: it is not asked back.
TEST(WindowModel, AWindowPutAwayIsNotAskedBack) {
  Session s;
  s.desk.refusesMinimize = true;
  s.F9();
  s.F9();
  s.Frames(700);
  s.F7();
  s.desk.Size(590, 430);
  s.Frames(450);
  EXPECT_EQ(s.desk.Count(Kind::Fullscreen), 2) << "the start and the second F9 only";
}

// SDL minimises a fullscreen window that loses the focus before the game
// hears of the loss (kept on: without it i3 hands the focus straight back to
// a window still fullscreen). The model finds the window put away: it asks
// for no minimise of its own, and the focus back brings fullscreen.
TEST(WindowModel, AWindowTheDesktopPutAwayIsNotMinimisedAgain) {
  Session s;
  s.Frames(2000);
  s.desk.shown = false;
  s.Lose();
  s.Frames(500);
  EXPECT_EQ(s.desk.Count(Kind::Minimize), 0);
  EXPECT_EQ(s.model.CurrentPhase(), Phase::Minimized);
  s.Restore();
  EXPECT_EQ(s.model.Shown(), Layout::Fullscreen);
  EXPECT_EQ(s.desk.requests.back(), WindowModel::Request{Kind::Fullscreen});
}

// A window shown again without the focus stays as the desktop shows it:
// nothing is asked of it until the focus comes.
TEST(WindowModel, AWindowRestoredWithoutTheFocusWaitsForIt) {
  Session s;
  s.F7();
  s.Frames(100);
  s.Lose();
  const std::size_t before = s.desk.requests.size();
  s.desk.shown = true;
  s.Frames(2000);
  EXPECT_EQ(s.desk.requests.size(), before);
  s.Gain();
  EXPECT_EQ(s.desk.requests.back(), WindowModel::Request{Kind::Fullscreen});
}

// Thousands of seeded sequences of the player's keys, focus changes and
// window managers of every temper. After every step: nothing but a
// withdrawal is asked of a window the desktop does not show; at most one
// minimise waits for an answer; the player's choice changes only with F9;
// each input brings a bounded number of requests; and once the desktop is
// quiet, the model asks nothing more.
TEST(WindowModel, InvariantsHoldOnEveryDesktop) {
  for (unsigned seed = 1; seed <= 3000; ++seed) {
    std::mt19937 random(seed);
    const auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    Session s(chance(70), chance(20));
    s.desk.refusesMinimize = chance(30);
    s.desk.minimizeDelayMs = static_cast<int>(random() % 900);
    if (chance(20)) s.desk.tile = WindowModel::Sample{true, 700, 500};
    bool chosen = s.model.Fullscreen();
    for (int step = 0; step < 60; ++step) {
      const bool shownBefore = s.desk.shown;
      const Phase phaseBefore = s.model.CurrentPhase();
      const bool shownFullscreen = s.model.Shown() == Layout::Fullscreen;
      const std::size_t before = s.desk.requests.size();
      switch (random() % 10) {
        case 0: s.F9(); chosen = !shownFullscreen; break;
        case 1: s.F7(); break;
        case 2: s.Lose(); break;
        case 3: s.Gain(); break;
        case 4: s.desk.shown = true; break;  // restored without the focus
        case 5: s.desk.undoesFullscreens = static_cast<int>(1 + random() % 4); break;
        case 6: s.desk.keepsNextWindowLarge = true; break;
        case 7: s.model.PutAway(); break;  // minimised and restored between two frames
        default: s.Frames(16 * (1 + random() % 80)); break;
      }
      const WindowModel::Requests made(s.desk.requests.begin() + static_cast<std::ptrdiff_t>(before),
                                       s.desk.requests.end());
      // At most: a second look, a held focus loss taken as real, its refusal
      // (a withdrawal and the captioned window) and that window's second look.
      ASSERT_LE(made.size(), 5u) << "seed " << seed << " step " << step;
      for (const auto& request : made) {
        if (!shownBefore) {
          ASSERT_EQ(request.kind, Kind::WithdrawMinimize) << "seed " << seed << " step " << step;
        }
        if (request.kind == Kind::Minimize) {
          ASSERT_NE(phaseBefore, Phase::MinimizeAsked) << "seed " << seed << " step " << step;
        }
      }
      ASSERT_EQ(s.model.Fullscreen(), chosen) << "seed " << seed << " step " << step;
    }
    // The desktop goes quiet: the model settles once its last looks at the
    // window's size are over.
    s.Frames(WindowModel::kSizeCheckMs * (WindowModel::kFullscreenAsks + 1));
    const std::size_t settled = s.desk.requests.size();
    s.Frames(5000);
    ASSERT_EQ(s.desk.requests.size(), settled) << "seed " << seed;
  }
}
