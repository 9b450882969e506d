// The generator's platform on a simulated clock, so that tests and tools run
// the generator without waiting.
#pragma once

#include <cstdint>
#include <ctime>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "model/random_lvl_function.h"

// A generator platform on a simulated clock counted in microseconds. Every
// reading of the clock costs `tick_us`, a sleep advances the clock without
// waiting, and the value after seeding depends on the seed alone unless
// `queued_values` scripts it. A steady tick puts every change of second at the
// same point of a redraw loop; `tick_spread_us` makes the cost uneven, as on a
// real machine.
class simulated_platform : public generator_platform {
 public:
  explicit simulated_platform(std::int64_t start_us = 1'700'000'000'000'000,
                              std::int64_t tick_us = 1);

  // The second of the clock `lag_us` ago.
  std::time_t now() override;
  void sleep_ms(int milliseconds) override;
  // Advances the clock to `overshoot_us` past the moment now() gives a later
  // second; does nothing when `spin` is set.
  void sleep_until_second_after(std::time_t second) override;
  void seed(unsigned int value) override;
  int next_value() override;

  // The n-th value (from 0) that follows seeding with `seed`.
  static int value_for(unsigned int seed, int n = 0);

  std::int64_t clock_us = 0;             // the simulated time
  std::int64_t tick_us = 1;              // cost of one clock reading
  std::int64_t tick_spread_us = 0;       // up to this much more per reading, unevenly
  std::int64_t slept_us = 0;             // total time spent in pauses (sleep_ms)
  std::int64_t waited_us = 0;            // total time spent waiting for a later second
  std::int64_t overshoot_us = 0;         // every sleep and wait lasts this much longer
  std::int64_t lag_us = 0;               // now() lags the clock by this much, as time() may
  std::vector<int> sleeps;               // every pause, in milliseconds, in order
  bool spin = false;                     // never wait for a later second
  std::vector<std::int64_t> seed_times;  // the clock at every seeding
  std::vector<unsigned int> seeds;       // every seed, in order
  // The first values after the next seedings with a new seed, in order; seeding
  // again with the seed just used gives the same value again.
  std::deque<int> queued_values;
  bool keep_log = false;  // when set, `log` records the calls
  std::string log;        // 'S' seed, 'Z' sleep, 'V' value, in call order

 private:
  unsigned int seed_ = 1;
  bool seeded_ = false;
  std::optional<int> scripted_;
  int drawn_ = 0;
  std::uint64_t spread_state_ = 0;
};
