#include "test_support.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#include "level_files.h"

scoped_temp_dir::scoped_temp_dir() : previous_(std::filesystem::current_path()) {
  std::random_device entropy;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = base / ("escape_test_" + std::to_string(entropy()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      std::filesystem::current_path(path_);
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

scoped_temp_dir::~scoped_temp_dir() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  std::filesystem::remove_all(path_, ignored);
}

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

BLOCK make_block(bool horizontal, int length, int x, int y) {
  BLOCK block;
  block.horizontal = horizontal;
  block.length = length;
  block.x = x;
  block.y = y;
  block.define_block_Id();
  return block;
}

void mark_blocks(const BLOCK& prisoner, const std::vector<BLOCK>& blockers,
                 bool (&isblockthere)[board_size][board_size]) {
  for (auto& column : isblockthere) {
    for (bool& cell : column) {
      cell = false;
    }
  }
  place_block(prisoner, isblockthere);
  for (const BLOCK& blocker : blockers) {
    place_block(blocker, isblockthere);
  }
}

void write_level(const BLOCK& prisoner, const std::vector<BLOCK>& blockers) {
  BLOCK all[max_blockers] = {};
  for (std::size_t i = 0; i < blockers.size(); ++i) {
    all[i] = blockers[i];
  }
  bool grid[board_size][board_size];
  mark_blocks(prisoner, blockers, grid);
  std::ostringstream ignored;
  write_level_files(all, prisoner, static_cast<int>(blockers.size()), grid, ignored);
}

std::string read_bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_bytes(const std::filesystem::path& file, const std::string& content) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << content;
}

std::streambuf::int_type full_disk_buffer::overflow(int_type) {
  errno = ENOSPC;
  return traits_type::eof();
}

std::streamsize full_disk_buffer::xsputn(const char*, std::streamsize) {
  errno = ENOSPC;
  return 0;
}

int full_disk_buffer::sync() {
  ++flushes;
  errno = ENOSPC;
  return -1;
}
