// Measures the level maker: runs it for a range of seeds, for an exact move
// count or for the hardest level in a given time, and prints each seed's
// figures and the percentiles over all seeds.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "level_maker.h"
#include "level_text.h"

namespace {

constexpr const char* usage =
    "usage: measure_level_maker (--moves N | --hardest) [--seconds T] [--first-seed S] "
    "[--seeds K] [--jobs J]\n";

constexpr const char* help_text =
    "Runs the level maker once for each of the seeds S, S+1, ... (K of them; default 1 and\n"
    "20), each run bounded by T seconds (default 60) and measuring on J jobs (default 0:\n"
    "one for each core), and prints for each seed the moves, the time, the climb that found\n"
    "the level, the layouts measured and the positions explored, then the percentiles: of\n"
    "the time to a level of exactly N moves (a run that found none counts as T), or of the\n"
    "moves of the hardest level found in T seconds.\n";

struct options {
  std::optional<int> moves;
  bool hardest = false;
  double seconds = 60;
  std::uint64_t first_seed = 1;
  int seeds = 20;
  int jobs = 0;
};

// Reads the arguments; an error text when they are not sound.
std::string parse(const std::vector<std::string_view>& arguments, options& o) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view name = arguments[i];
    if (name == "--hardest") {
      o.hardest = true;
      continue;
    }
    if (i + 1 == arguments.size()) {
      return "unknown argument or missing value: " + std::string(name);
    }
    const std::string_view value = arguments[++i];
    const std::string bad = "bad value for " + std::string(name) + ": " + std::string(value);
    if (name == "--moves") {
      o.moves = whole_number<int>(value);
      if (!o.moves || *o.moves < 0) {
        return bad;
      }
    } else if (name == "--seconds") {
      const std::optional<double> seconds = whole_number<double>(value);
      if (!seconds || !(*seconds > 0) || *seconds > 86400) {
        return bad;
      }
      o.seconds = *seconds;
    } else if (name == "--first-seed") {
      const std::optional<std::uint64_t> seed = whole_number<std::uint64_t>(value);
      if (!seed) {
        return bad;
      }
      o.first_seed = *seed;
    } else if (name == "--seeds") {
      const std::optional<int> seeds = whole_number<int>(value);
      if (!seeds || *seeds < 1) {
        return bad;
      }
      o.seeds = *seeds;
    } else if (name == "--jobs") {
      const std::optional<int> jobs = whole_number<int>(value);
      if (!jobs || *jobs < 0) {
        return bad;
      }
      o.jobs = *jobs;
    } else {
      return "unknown argument: " + std::string(name);
    }
  }
  return o.hardest == o.moves.has_value() ? "give one of --moves N and --hardest" : "";
}

// The value below which `fraction` of the values lie (nearest rank).
double percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const double rank = std::ceil(fraction * static_cast<double>(values.size()));
  return values[static_cast<std::size_t>(std::max(rank, 1.0)) - 1];
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  if (arguments.size() == 1 && arguments[0] == "--help") {
    std::cout << usage << help_text;
    return 0;
  }
  options o;
  if (const std::string fault = parse(arguments, o); !fault.empty()) {
    std::cerr << "measure_level_maker: " << fault << '\n' << usage;
    return 2;
  }
  std::vector<double> figures;  // seconds to the level, or the hardest level's moves
  int found = 0;
  std::uint64_t positions = 0;
  double searched = 0;
  std::cout << std::fixed << std::setprecision(3);
  for (int i = 0; i < o.seeds; ++i) {
    const std::uint64_t seed = o.first_seed + static_cast<std::uint64_t>(i);
    const maker_limits limits{o.seconds, 0, o.jobs};
    const std::optional<made_level> made =
        o.hardest ? make_hardest_level(seed, limits) : make_level(*o.moves, seed, limits);
    if (!made) {
      figures.push_back(o.seconds);
      std::cout << "seed " << seed << ": none in " << o.seconds << " s" << std::endl;
      continue;
    }
    ++found;
    figures.push_back(o.hardest ? made->moves : made->seconds);
    positions += made->positions;
    searched += made->seconds;
    std::cout << "seed " << seed << ": " << made->moves << " moves in " << made->seconds
              << " s, climb " << made->climb << ", " << made->layouts << " layouts, "
              << made->positions << " positions  " << level_text(made->level) << std::endl;
  }
  std::cout << "found " << found << " of " << o.seeds << "; " << std::setprecision(0)
            << (searched > 0 ? static_cast<double>(positions) / searched : 0)
            << " positions a second while finding them\n"
            << std::setprecision(3) << (o.hardest ? "moves" : "seconds") << ": min "
            << percentile(figures, 0) << "  median " << percentile(figures, 0.5) << "  p90 "
            << percentile(figures, 0.9) << "  max " << percentile(figures, 1) << '\n';
  return 0;
}
