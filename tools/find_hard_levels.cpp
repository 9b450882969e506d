// Finds dense levels that need many moves: it draws random levels, explores
// every position reachable from each, measures every position's distance from
// the nearest solved one by a breadth-first search backwards from all solved
// positions, and prints, for each wanted distance, one position at that
// distance together with what the move counter gives for it.
//
// Usage: find_hard_levels [--seed S] [--draws N] [--fewest BLOCKERS] [--most BLOCKERS]

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <unordered_map>

#include "search/num_moves_calculator.h"
#include "support/level_search.h"
#include "support/scratch_dir.h"
#include "tool_options.h"

namespace {

constexpr std::size_t most_positions = 2'000'000;

// Every position reachable from the level's own, with its distance from the
// nearest solved position; empty when there are too many positions.
std::unordered_map<std::uint64_t, int> distances_to_solved(const test_level& level) {
  std::unordered_map<std::uint64_t, int> distance{{pack_positions(level), -1}};
  std::vector<std::uint64_t> todo{pack_positions(level)};
  std::vector<std::uint64_t> solved;
  while (!todo.empty()) {
    const std::uint64_t positions = todo.back();
    todo.pop_back();
    if (is_solved(level, positions)) {
      solved.push_back(positions);
    }
    for (const std::uint64_t next : neighbours(level, positions)) {
      if (distance.emplace(next, -1).second) {
        todo.push_back(next);
      }
      if (distance.size() > most_positions) {
        return {};
      }
    }
  }
  // Slides can always be taken back, so distances to the solved set are found
  // by searching outwards from it.
  std::vector<std::uint64_t> layer = solved;
  for (const std::uint64_t positions : solved) {
    distance[positions] = 0;
  }
  for (int depth = 1; !layer.empty(); ++depth) {
    std::vector<std::uint64_t> next_layer;
    for (const std::uint64_t positions : layer) {
      for (const std::uint64_t next : neighbours(level, positions)) {
        if (distance[next] < 0) {
          distance[next] = depth;
          next_layer.push_back(next);
        }
      }
    }
    layer = std::move(next_layer);
  }
  return distance;
}

// The move counter's result and progress lines for a level, run in a scratch directory.
std::pair<int, long> count_moves(const test_level& level) {
  scoped_temp_dir dir;
  write_level(level);
  std::ostringstream out;
  const int moves = calculate_num_moves(out);
  long lines = 0;
  for (const char c : out.str()) {
    lines += c == '\n' ? 1 : 0;
  }
  return {moves, (lines - 14) / 2};
}

}  // namespace

int main(int argc, char** argv) {
  const char* usage =
      "find_hard_levels [--seed S] [--draws N] [--fewest BLOCKERS] [--most BLOCKERS]";
  long long seed = 1;
  long long draws = 2000;
  long long fewest = 10;
  long long most = 13;
  const std::vector<std::string> words = read_tool_options(argc, argv, usage,
                                                           {{"--seed", &seed, 0, UINT32_MAX},
                                                            {"--draws", &draws, 1, 100'000'000},
                                                            {"--fewest", &fewest, 0, max_blockers},
                                                            {"--most", &most, 0, max_blockers}});
  if (!words.empty() || fewest > most) {
    exit_with_usage(usage, words.empty() ? "--fewest is more than --most"
                                         : "unexpected argument " + words.front());
  }
  const std::set<int> wanted{15, 17, 19, 20, 21, 23, 25};
  int found_any = 0;

  std::mt19937 random(static_cast<unsigned>(seed));
  for (int draw = 0; draw < draws; ++draw) {
    const int num_blockers = std::uniform_int_distribution<int>(static_cast<int>(fewest),
                                                                static_cast<int>(most))(random);
    const test_level level = random_level(random, num_blockers);
    if (static_cast<int>(level.blockers.size()) < fewest) {
      continue;
    }
    const auto distance = distances_to_solved(level);
    std::map<int, std::uint64_t> example;  // one position for each distance
    for (const auto& [positions, d] : distance) {
      if (wanted.contains(d) && (!example.contains(d) || positions < example[d])) {
        example[d] = positions;
      }
    }
    for (const auto& [d, positions] : example) {
      const test_level found = at_positions(level, positions);
      const auto start = std::chrono::steady_clock::now();
      const auto [moves, examined] = count_moves(found);
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      std::cout << "# draw " << draw << ", " << found.blockers.size() << " blockers, "
                << distance.size() << " positions, distance " << d << ", counter " << moves
                << ", examined " << examined << ", " << took.count() << " s\n"
                << draw_level(found) << std::endl;
      ++found_any;
    }
  }
  if (found_any == 0) {
    std::cout << "no level of " << fewest << " to " << most << " blockers in " << draws
              << " draws is 15 to 25 moves from a solution" << std::endl;
    return 1;
  }
  return 0;
}
