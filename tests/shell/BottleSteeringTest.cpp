#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "shell/BottleSteering.h"

namespace {
using Cell = BoardModel::Cell;
using Command = BottleSteering::Command;

// The bottle on the board and the steering that moves it, stepped in frames.
struct Bottle {
  BottleSteering steering;
  float x = 0.0f;  // the centre hole
  float y = 0.0f;

  Command Tap(Key key, GameState state = StatePlaying, bool lifted = false) {
    const Command command = steering.Press(key, state, lifted, x, y);
    steering.Release(key);
    return command;
  }
  void Run(float ms, float dt = 10.0f) {
    for (float t = 0.0f; t < ms; t += dt) steering.Update(dt, x, y);
  }
  bool At(Cell cell) const { return x == BoardModel::BoardX(cell.column) && y == BoardModel::BoardY(cell.row); }
};

// The glide takes about the same time at any frame rate, shows the bottle
// between the holes on the way, and ends exactly on the hole.
class Glide : public ::testing::TestWithParam<float> {};

TEST_P(Glide, CarriesTheBottleToTheNextHoleWithinAFifthOfASecondAtAnyFrameRate) {
  const float dt = GetParam();
  Bottle bottle;
  bottle.Tap(Key::Right);
  bottle.steering.Update(dt, bottle.x, bottle.y);
  EXPECT_GT(bottle.x, 0.0f) << "it sets off in the first frame";
  EXPECT_LT(bottle.x, 0.8f) << "it glides rather than jumps";
  float t = dt;
  while (!bottle.At({4, 3}) && t < 1000.0f) {
    const float before = bottle.x;
    bottle.steering.Update(dt, bottle.x, bottle.y);
    EXPECT_GE(bottle.x, before) << "never back";
    t += dt;
  }
  EXPECT_TRUE(bottle.At({4, 3})) << bottle.x << ", " << bottle.y;
  EXPECT_GE(t, 60.0f);
  EXPECT_LE(t, 200.0f);
}

INSTANTIATE_TEST_SUITE_P(FrameRates, Glide, ::testing::Values(1000.0f / 144.0f, 1000.0f / 60.0f, 1000.0f / 30.0f));

TEST(BottleSteering, PressesAddUpFromTheHoleAimedAtNotFromWhereTheBottleIsOnItsWay) {
  Bottle bottle;
  for (int i = 0; i < 4; ++i) bottle.Tap(Key::Right);  // the fourth meets the board's edge
  bottle.Tap(Key::Up);
  EXPECT_EQ(bottle.steering.Target(), (Cell{6, 2}));
  bottle.Run(1000.0f);
  EXPECT_TRUE(bottle.At({6, 2}));
}

TEST(BottleSteering, AHeldDirectionStepsOnAsAHeldKeyRepeats) {
  Bottle bottle;
  bottle.y = 3.0f;  // the top edge's middle hole (3, 0)
  // Down held: one step at once, the next after the delay, then one every
  // repeat period; the keyboard's own repeats change nothing.
  bottle.steering.Press(Key::Down, StatePlaying, false, bottle.x, bottle.y);
  std::vector<int> rows;
  for (int ms = 10; ms <= 700; ms += 10) {
    if (ms % 30 == 0) bottle.steering.Press(Key::Down, StatePlaying, false, bottle.x, bottle.y);
    bottle.steering.Update(10.0f, bottle.x, bottle.y);
    if (ms == 340 || ms == 350 || ms == 460 || ms == 470 || ms == 590) rows.push_back(bottle.steering.Target()->row);
  }
  EXPECT_EQ(rows, (std::vector<int>{1, 2, 2, 3, 4}));
  bottle.steering.Release(Key::Down);
  bottle.Run(1000.0f);
  EXPECT_EQ(bottle.steering.Target(), (Cell{3, 4})) << "let go, it steps no more";
}

TEST(BottleSteering, TheMouseTakesTheBottleAndTheNextKeyGoesOnFromWhereItLeftIt) {
  Bottle bottle;
  bottle.Tap(Key::Right);
  bottle.Run(20.0f);
  bottle.steering.MouseMoved();
  bottle.x = -2.1f;  // as the mouse moved it, near the hole (1, 3)
  bottle.y = 0.2f;
  bottle.Run(500.0f);
  EXPECT_EQ(bottle.x, -2.1f) << "the keys pull it no more";
  bottle.Tap(Key::Up);
  bottle.Run(500.0f);
  EXPECT_TRUE(bottle.At({1, 2}));
}

TEST(BottleSteering, SelectLiftsAndDropsOnTheHoleAimedAtOncePerPress) {
  Bottle bottle;
  bottle.Tap(Key::Left);
  float x = bottle.x;
  float y = bottle.y;
  EXPECT_EQ(bottle.steering.Press(Key::Select, StatePlaying, false, x, y), Command::Lift);
  EXPECT_EQ(x, -1.0f) << "lifted where the bottle was going, not on its way there";
  EXPECT_EQ(bottle.steering.Press(Key::Select, StatePlaying, true, x, y), Command::None)
      << "the keyboard's repeat of a held Space drops nothing";
  bottle.steering.Release(Key::Select);
  EXPECT_EQ(bottle.steering.Press(Key::Select, StatePlaying, true, x, y), Command::Drop);
}

struct PressCase {
  Key key;
  GameState state;
  bool lifted;
  Command expected;
};

void PrintTo(const PressCase& c, std::ostream* os) {
  *os << "key " << static_cast<int>(c.key) << " in state " << c.state << (c.lifted ? ", lifted" : "");
}

class Presses : public ::testing::TestWithParam<PressCase> {};

TEST_P(Presses, MeanWhatTheGameIsDoingAsksFor) {
  const PressCase& c = GetParam();
  Bottle bottle;
  EXPECT_EQ(bottle.Tap(c.key, c.state, c.lifted), c.expected);
  bottle.Run(500.0f);
  EXPECT_TRUE(c.state == StatePlaying || bottle.At({3, 3})) << "outside play no key moves the bottle";
}

INSTANTIATE_TEST_SUITE_P(
    Table, Presses,
    ::testing::Values(PressCase{Key::Left, StateIntro, false, Command::SkipIntro},
                      PressCase{Key::Select, StateIntro, false, Command::SkipIntro},
                      PressCase{Key::Start, StateIntro, false, Command::SkipIntro},
                      PressCase{Key::Cancel, StateIntro, false, Command::None},
                      PressCase{Key::Back, StateIntro, false, Command::Quit},
                      PressCase{Key::Back, StatePlaying, true, Command::Quit},
                      PressCase{Key::Cancel, StatePlaying, true, Command::PutBack},
                      PressCase{Key::Cancel, StatePlaying, false, Command::None},
                      PressCase{Key::Start, StatePlaying, false, Command::None},
                      PressCase{Key::Select, StateBoardExit, false, Command::None},
                      PressCase{Key::Down, StateFinale, false, Command::None},
                      PressCase{Key::Other, StatePlaying, false, Command::None}),
    [](const ::testing::TestParamInfo<PressCase>& info) { return "Case" + std::to_string(info.index); });

TEST(BottleSteering, EscapePutsALiftedTreeBackAndHeldOnQuitsNothingUntilLetGo) {
  BottleSteering steering;
  // Per frame: Escape as polled, and whether a tree is lifted.
  EXPECT_TRUE(steering.TakesEscape(true, true)) << "puts the tree back";
  EXPECT_TRUE(steering.TakesEscape(true, false)) << "the same press, held on";
  EXPECT_FALSE(steering.TakesEscape(false, false));
  EXPECT_FALSE(steering.TakesEscape(true, false)) << "a new press with nothing lifted is Escape as ever";
}
}  // namespace
