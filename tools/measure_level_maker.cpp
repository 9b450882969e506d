// Measures the level maker: runs it over a range of seeds, for an exact move
// count or for the hardest level in a given time, and prints each seed's time
// and the percentiles.
//
// Usage: measure_level_maker (--moves N | --hardest) [--seconds T] [--first-seed S] [--seeds K]

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "level_maker.h"
#include "level_text.h"

namespace {

constexpr const char* usage =
    "usage: measure_level_maker (--moves N | --hardest) [--seconds T] [--first-seed S] "
    "[--seeds K]";

struct options {
  std::optional<int> moves;
  bool hardest = false;
  double seconds = 60;
  std::uint64_t first_seed = 1;
  int seeds = 20;
};

// The value after option `i`, as a whole number from `low` to `high`.
std::optional<long long> whole_number(int argc, char** argv, int i, long long low, long long high) {
  if (i + 1 >= argc) {
    return std::nullopt;
  }
  try {
    std::size_t used = 0;
    const long long value = std::stoll(argv[i + 1], &used);
    if (used == std::strlen(argv[i + 1]) && value >= low && value <= high) {
      return value;
    }
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

std::optional<options> parse(int argc, char** argv) {
  options o;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--hardest") {
      o.hardest = true;
      continue;
    }
    const std::optional<long long> value = whole_number(argc, argv, i, 0, 1LL << 62);
    if (!value) {
      return std::nullopt;
    }
    ++i;
    if (name == "--moves") {
      o.moves = static_cast<int>(std::min(*value, 1000LL));
    } else if (name == "--seconds" && *value > 0) {
      o.seconds = static_cast<double>(*value);
    } else if (name == "--first-seed") {
      o.first_seed = static_cast<std::uint64_t>(*value);
    } else if (name == "--seeds" && *value > 0) {
      o.seeds = static_cast<int>(std::min(*value, 100000LL));
    } else {
      return std::nullopt;
    }
  }
  if (o.hardest == o.moves.has_value()) {
    return std::nullopt;
  }
  return o;
}

// The value below which `fraction` of the sorted values lie (nearest rank).
double percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const std::size_t rank =
      static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
  return values[std::max<std::size_t>(rank, 1) - 1];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--help") {
    std::cout << usage << "\n"
              << "Runs the level maker for seeds S, S+1, ... (K of them; default 1 and 20),\n"
                 "each for at most T seconds (default 60), and prints each seed's time and\n"
                 "the percentiles: of the time to a level of N moves, or of the moves of\n"
                 "the hardest level found in T seconds.\n";
    return 0;
  }
  const std::optional<options> o = parse(argc, argv);
  if (!o) {
    std::cerr << usage << "\n";
    return 2;
  }
  std::vector<double> times;
  std::vector<double> hardest;
  int found = 0;
  std::uint64_t positions = 0;
  double total_seconds = 0;
  std::cout << std::fixed << std::setprecision(3);
  for (int i = 0; i < o->seeds; ++i) {
    const std::uint64_t seed = o->first_seed + static_cast<std::uint64_t>(i);
    const maker_limits limits{o->seconds, 0};
    std::optional<made_level> made;
    if (o->hardest) {
      made = make_hardest_level(seed, limits);
    } else {
      made = make_level(*o->moves, seed, limits);
    }
    if (made) {
      ++found;
      times.push_back(made->seconds);
      hardest.push_back(made->moves);
      positions += made->positions;
      total_seconds += made->seconds;
      std::cout << "seed " << seed << ": " << made->moves << " moves in " << made->seconds << " s, "
                << made->layouts << " layouts, " << made->positions << " positions  "
                << level_text(made->level) << std::endl;
    } else {
      times.push_back(o->seconds);
      total_seconds += o->seconds;
      std::cout << "seed " << seed << ": none in " << o->seconds << " s" << std::endl;
    }
  }
  std::cout << "found " << found << " of " << o->seeds << "; positions per second "
            << std::setprecision(0) << static_cast<double>(positions) / total_seconds << "\n"
            << std::setprecision(3);
  const std::vector<double>& figures = o->hardest ? hardest : times;
  std::cout << (o->hardest ? "moves" : "seconds") << ": min " << percentile(figures, 0)
            << "  median " << percentile(figures, 0.5) << "  p90 " << percentile(figures, 0.9)
            << "  max " << percentile(figures, 1) << "\n";
  return 0;
}
