// The clock that times a game, replaceable so that tests never wait.
#pragma once

#include <chrono>

// A clock that never goes back.
class play_clock {
 public:
  virtual ~play_clock() = default;
  // The time since some fixed moment.
  virtual std::chrono::milliseconds now() const = 0;
};

// The system's steady clock.
const play_clock& steady_play_clock();
