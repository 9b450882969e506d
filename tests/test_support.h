// Helpers shared by the tests: a scoped working directory, a simulated
// generator platform and small level builders.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <streambuf>
#include <string>
#include <vector>

#include "random_lvl_function.h"

// A fresh temporary directory that is the working directory while the object lives.
class scoped_temp_dir {
 public:
  scoped_temp_dir();
  ~scoped_temp_dir();
  scoped_temp_dir(const scoped_temp_dir&) = delete;
  scoped_temp_dir& operator=(const scoped_temp_dir&) = delete;

  // The directory's absolute path.
  const std::filesystem::path& path() const {
    return path_;
  }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

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

// An output stream's buffer that takes nothing: every write fails as on a
// full disk, with errno ENOSPC. Counts the flushes it was asked for.
class full_disk_buffer : public std::streambuf {
 public:
  int flushes = 0;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;
};

// A block at (x, y) with its identifier and occupied points set.
BLOCK make_block(bool horizontal, int length, int x, int y);

// The grid that marks exactly the cells of the given blocks.
void mark_blocks(const BLOCK& prisoner, const std::vector<BLOCK>& blockers,
                 bool (&isblockthere)[board_size][board_size]);

// Writes a level of these blocks as the level files in the working directory.
void write_level(const BLOCK& prisoner, const std::vector<BLOCK>& blockers);

// The whole content of a file, or "" if it cannot be read.
std::string read_bytes(const std::filesystem::path& file);
// Replaces the content of a file.
void write_bytes(const std::filesystem::path& file, const std::string& content);
