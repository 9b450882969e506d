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

#include "model/level_text.h"
#include "program/command_line.h"
#include "search/level_maker.h"

namespace {

constexpr const char* usage =
    "usage: measure_level_maker (--moves N | --hardest) [--seconds T] [--first-seed S] "
    "[--seeds K] [--jobs J]\n";

constexpr const char* help_text =
    "Runs the level maker once for each of the seeds S, S+1, ... (K of them; default 1 and\n"
    "20), each run bounded by T seconds (default 60) and measuring on J jobs (default 0:\n"
    "one for each core), and prints for each seed the moves, the time, the climb that found\n"
    "the level, the layouts measured and the positions explored (or the bank puzzle it is\n"
    "drawn from), then the percentiles: of the time to a level of exactly N moves (a run\n"
    "that found none counts as T), or of the moves of the hardest level found in T seconds.\n";

struct options {
  std::optional<int> moves;
  bool hardest = false;
  std::optional<double> seconds;
  std::optional<std::uint64_t> first_seed;
  std::optional<int> seeds;
  std::optional<int> jobs;
};

// Reads the arguments into `o`; help when they ask for it, or why they are not sound.
result<command_words> parse(const std::vector<std::string>& arguments, options& o) {
  result<command_words> words = read_command_line(
      arguments,
      {moves_option(o.moves), flag_option("--hardest", o.hardest),
       seconds_option("--seconds", o.seconds, 86400), seed_option(o.first_seed, "--first-seed"),
       whole_number_option("--seeds", o.seeds, 1, 100000), jobs_option(o.jobs)});
  if (words && !words->help && !words->version && o.hardest == o.moves.has_value()) {
    return failure{"give one of --moves N and --hardest"};
  }
  return words;
}

// The value below which `fraction` of the values lie (nearest rank).
double percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const double rank = std::ceil(fraction * static_cast<double>(values.size()));
  return values[static_cast<std::size_t>(std::max(rank, 1.0)) - 1];
}

}  // namespace

int main(int argc, char** argv) {
  options o;
  const result<command_words> words = parse(std::vector<std::string>(argv + 1, argv + argc), o);
  if (!words) {
    std::cerr << "measure_level_maker: " << words.reason() << '\n' << usage;
    return 2;
  }
  if (words->help) {
    std::cout << usage << help_text;
    return 0;
  }
  if (words->version) {
    std::cout << version_line("measure_level_maker") << '\n';
    return flush_output(std::cout) ? 0 : 1;
  }
  const double seconds = o.seconds.value_or(60);
  const std::uint64_t first_seed = o.first_seed.value_or(1);
  const int seeds = o.seeds.value_or(20);
  std::vector<double> figures;  // seconds to the level, or the hardest level's moves
  int found = 0;
  std::uint64_t positions = 0;
  double searched = 0;
  std::cout << std::fixed << std::setprecision(3);
  for (int i = 0; i < seeds; ++i) {
    const std::uint64_t seed = first_seed + static_cast<std::uint64_t>(i);
    const maker_limits limits{seconds, 0, o.jobs.value_or(0)};
    const std::optional<made_level> made =
        o.hardest ? make_hardest_level(seed, limits) : make_level(*o.moves, seed, limits);
    if (!made) {
      figures.push_back(seconds);
      std::cout << "seed " << seed << ": none in " << seconds << " s" << std::endl;
      continue;
    }
    ++found;
    figures.push_back(o.hardest ? made->moves : made->seconds);
    positions += made->positions;
    searched += made->seconds;
    std::cout << "seed " << seed << ": " << made->moves << " moves in " << made->seconds << " s, ";
    if (made->bank_index) {
      std::cout << "bank puzzle " << *made->bank_index;
    } else {
      std::cout << "climb " << made->climb << ", " << made->layouts << " layouts, "
                << made->positions << " positions";
    }
    std::cout << "  " << level_text(made->level) << std::endl;
  }
  std::cout << "found " << found << " of " << seeds << "; " << std::setprecision(0)
            << (searched > 0 ? static_cast<double>(positions) / searched : 0)
            << " positions a second while finding them\n"
            << std::setprecision(3) << (o.hardest ? "moves" : "seconds") << ": min "
            << percentile(figures, 0) << "  median " << percentile(figures, 0.5) << "  p90 "
            << percentile(figures, 0.9) << "  max " << percentile(figures, 1) << '\n';
  return 0;
}
