// A game clock that moves only when a test moves it.
#pragma once

#include <chrono>

#include "game/play_clock.h"

// Shows `time` until it is changed.
class manual_clock : public play_clock {
 public:
  std::chrono::milliseconds now() const override {
    return time;
  }

  std::chrono::milliseconds time{0};
};
