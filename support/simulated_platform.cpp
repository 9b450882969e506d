#include "support/simulated_platform.h"

namespace {

// splitmix64's finaliser.
std::uint64_t mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

simulated_platform::simulated_platform(std::int64_t start_us, std::int64_t tick)
    : clock_us(start_us), tick_us(tick), spread_state_(static_cast<std::uint64_t>(start_us)) {}

std::time_t simulated_platform::now() {
  clock_us += tick_us;
  if (tick_spread_us > 0) {
    spread_state_ = mix(spread_state_ + 0x9E3779B97F4A7C15ULL);
    clock_us +=
        static_cast<std::int64_t>(spread_state_ % (static_cast<std::uint64_t>(tick_spread_us) + 1));
  }
  return static_cast<std::time_t>((clock_us - lag_us) / 1'000'000);
}

void simulated_platform::sleep_ms(int milliseconds) {
  if (keep_log) {
    log += 'Z';
  }
  sleeps.push_back(milliseconds);
  const std::int64_t slept = std::int64_t{milliseconds} * 1000 + overshoot_us;
  clock_us += slept;
  slept_us += slept;
}

void simulated_platform::sleep_until_second_after(std::time_t second) {
  const std::int64_t later = (static_cast<std::int64_t>(second) + 1) * 1'000'000 + lag_us;
  if (spin || clock_us >= later) {
    return;
  }
  waited_us += later + overshoot_us - clock_us;
  clock_us = later + overshoot_us;
}

void simulated_platform::seed(unsigned int value) {
  if (keep_log) {
    log += 'S';
  }
  seed_times.push_back(clock_us);
  seeds.push_back(value);
  if (!seeded_ || value != seed_) {
    scripted_.reset();
    if (!queued_values.empty()) {
      scripted_ = queued_values.front();
      queued_values.pop_front();
    }
  }
  seeded_ = true;
  seed_ = value;
  drawn_ = 0;
}

int simulated_platform::next_value() {
  if (keep_log) {
    log += 'V';
  }
  if (scripted_ && drawn_ == 0) {
    ++drawn_;
    return *scripted_;
  }
  return value_for(seed_, drawn_++);
}

int simulated_platform::value_for(unsigned int seed, int n) {
  // splitmix64 of the seed and the position after seeding.
  const std::uint64_t z =
      mix((std::uint64_t{seed} << 20) + static_cast<std::uint64_t>(n) + 0x9E3779B97F4A7C15ULL);
  return static_cast<int>(z & 0x7FFFFFFF);
}
