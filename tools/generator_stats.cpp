// Generates many levels against the simulated clock and reports, per difficulty
// tier, the time spent beyond the orientation pauses, the restarts, and how
// often the redraw bound ended a blocker's turn. With --bound 0 the redraws are
// unbounded. The seconds each blocker's turn took are reported by kind of turn.
// The levels are built in memory; nothing is written to disk.
//
//   generator_stats [--levels N] [--bound SECONDS] [--tick-us MICROSECONDS] [--seed S]

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "model/random_lvl_function.h"
#include "support/simulated_platform.h"
#include "tool_options.h"

namespace {

struct options {
  int levels = 10'000;
  int bound_seconds = redraw_bound_seconds;  // 0: unbounded
  std::int64_t tick_us = 1000;               // mean cost of a clock reading
  std::uint64_t seed = 1;
};

// What a blocker's free legal positions allow the draw to reach.
enum class turn_kind {
  one_second,     // some free legal position can come from a draw within one second
  straddle_only,  // only draws whose two seedings straddle a change of second reach one
};

// Length-3 blocks drawn within one second get x and y of equal parity.
turn_kind kind_of(const placement_turn& turn) {
  bool grid[board_size][board_size];
  for (int x = 0; x < board_size; ++x) {
    for (int y = 0; y < board_size; ++y) {
      grid[x][y] = turn.isblockthere[x][y];
    }
  }
  BLOCK block = turn.blocker;
  for (int line = 0; line < board_size; ++line) {
    for (int along = 0; along <= board_size - block.length; ++along) {
      block = block_on_line<BLOCK>(block.horizontal, block.length, line, along);
      const bool reachable = block.length == 2 || block.x % 2 == block.y % 2;
      if (reachable && !does_the_block_overlap(block, grid) &&
          is_block_legal(block, *turn.prisoner)) {
        return turn_kind::one_second;
      }
    }
  }
  return turn_kind::straddle_only;
}

double percentile(std::vector<double> values, double share) {
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
  return values[index];
}

constexpr const char* usage =
    "generator_stats [--levels N] [--bound SECONDS] [--tick-us MICROSECONDS] [--seed S]";

options parse(int argc, char** argv) {
  options chosen;
  long long levels = chosen.levels;
  long long bound = chosen.bound_seconds;
  long long tick = chosen.tick_us;
  long long seed = 1;
  const std::vector<std::string> words = read_tool_options(argc, argv, usage,
                                                           {{"--levels", &levels, 1, 100'000'000},
                                                            {"--bound", &bound, 0, INT_MAX},
                                                            {"--tick-us", &tick, 2, 1'000'000},
                                                            {"--seed", &seed, 0, LLONG_MAX}});
  if (!words.empty()) {
    exit_with_usage(usage, "unexpected argument " + words.front());
  }
  chosen.levels = static_cast<int>(levels);
  chosen.bound_seconds = static_cast<int>(bound);
  chosen.tick_us = tick;
  chosen.seed = static_cast<std::uint64_t>(seed);
  return chosen;
}

}  // namespace

int main(int argc, char** argv) {
  const options chosen = parse(argc, argv);
  const int bound = chosen.bound_seconds > 0 ? chosen.bound_seconds : INT_MAX;
  std::mt19937_64 starts(chosen.seed);
  std::uniform_int_distribution<std::int64_t> start_us(1'600'000'000'000'000,
                                                       1'900'000'000'000'000);

  // One difficulty level from each tier.
  const int tiers[][2] = {{1, 7}, {8, 10}, {11, 14}, {15, 21}, {22, 25}, {26, 50}, {51, 0}};
  std::printf("levels per tier %d, bound %s, tick %lld us\n\n", chosen.levels,
              chosen.bound_seconds > 0 ? std::to_string(chosen.bound_seconds).c_str() : "none",
              static_cast<long long>(chosen.tick_us));
  std::printf(
      "| tier | blockers | beyond pauses: median s | worst s | restarts: mean | worst | "
      "levels that hit the bound |\n|---|---|---|---|---|---|---|\n");

  std::map<turn_kind, std::vector<double>> seconds_by_kind;
  std::map<turn_kind, long long> bound_hits_by_kind;
  for (const auto& tier : tiers) {
    std::vector<double> beyond_pauses;
    long long restart_sum = 0;
    int worst_restarts = 0;
    int levels_hitting_bound = 0;
    int fewest = INT_MAX;
    int most = 0;
    for (int n = 0; n < chosen.levels; ++n) {
      // An uneven cost per clock reading, as on a real machine: a steady one would put every
      // change of second at the same point of the redraw loop.
      simulated_platform platform(start_us(starts), chosen.tick_us / 2);
      platform.tick_spread_us = chosen.tick_us;
      const std::int64_t begin = platform.clock_us;
      scoped_generator_platform use(platform);
      int restarts = 0;
      bool hit_bound = false;
      const generated_level level = generate_level(tier[0], bound, [&](const placement_turn& turn) {
        if (turn.outcome != turn_outcome::placed) {
          ++restarts;
        }
        if (turn.outcome == turn_outcome::redraw_bound_reached) {
          hit_bound = true;
        }
        if (turn.outcome == turn_outcome::placed ||
            turn.outcome == turn_outcome::redraw_bound_reached) {
          const turn_kind kind = kind_of(turn);
          seconds_by_kind[kind].push_back(turn.seconds);
          bound_hits_by_kind[kind] += turn.outcome == turn_outcome::redraw_bound_reached;
        }
      });
      beyond_pauses.push_back(static_cast<double>(platform.clock_us - begin - platform.slept_us) /
                              1e6);
      restart_sum += restarts;
      worst_restarts = std::max(worst_restarts, restarts);
      levels_hitting_bound += hit_bound;
      fewest = std::min(fewest, level.num_block);
      most = std::max(most, level.num_block);
    }
    const std::string name = tier[1] == 0 ? std::to_string(tier[0]) + "+"
                                          : std::to_string(tier[0]) + "-" + std::to_string(tier[1]);
    std::printf("| %s | %d-%d | %.1f | %.1f | %.2f | %d | %.3f%% |\n", name.c_str(), fewest, most,
                percentile(beyond_pauses, 0.5), percentile(beyond_pauses, 1.0),
                static_cast<double>(restart_sum) / chosen.levels, worst_restarts,
                100.0 * levels_hitting_bound / chosen.levels);
    std::fflush(stdout);
  }

  std::printf(
      "\nSeconds of the clock a blocker's candidates came from, by what its free legal positions "
      "allow\n\n| kind | turns | median | 99%% | 99.9%% | 99.99%% | worst | turns ended by the "
      "bound |\n|---|---|---|---|---|---|---|---|\n");
  for (const auto& [kind, seconds] : seconds_by_kind) {
    std::printf("| %s | %zu | %.0f | %.0f | %.0f | %.0f | %.0f | %lld |\n",
                kind == turn_kind::one_second ? "reachable within one second" : "straddle only",
                seconds.size(), percentile(seconds, 0.5), percentile(seconds, 0.99),
                percentile(seconds, 0.999), percentile(seconds, 0.9999), percentile(seconds, 1.0),
                bound_hits_by_kind[kind]);
  }
  return 0;
}
