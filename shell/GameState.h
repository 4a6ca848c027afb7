#pragma once

#include <cstdint>

enum GameState : std::int32_t {
  StateIntro = 0,
  StatePlaying = 1,
  StateFinale = 2,
  StateBoardExit = 3,
};
