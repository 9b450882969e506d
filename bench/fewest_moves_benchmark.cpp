// Times the map of every position's fewest moves (src/search/fewest_moves.h): the
// one-off measurement of a level's layout, and the lookups a game makes after
// each key.
//
// measure/NAME: measuring the layout of a level of the fixed level set
//   (tests/level_corpus.cpp), a level the maker made or a loose random level;
//   `positions` is the number of positions measured.
// lookup/NAME: one key's lookups, the fewest moves from a position and the
//   next move of a fewest solution, over the positions a fewest solution (or,
//   where there is none, a walk of random slides) passes through.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "model/level_text.h"
#include "search/fewest_moves.h"
#include "support/level_corpus.h"
#include "support/level_search.h"

namespace {

// Levels the maker made, of 50, 45 and 40 moves, and the random level of the
// most positions found among 24,000 drawn (tests/level_search.h, 6 to 11 blockers).
constexpr const char* other_levels[][2] = {
    {"made_50", "aabcc...bdeefffd.ghijPPghij.kgh.llk."},
    {"made_45", "aaabc.dddbc.ee.bfgh.PPfgh.ijjklli..k"},
    {"made_40", "..abb.c.a.decfffdecPPgd..h.gii.hjjkk"},
    {"loose_10", ".ea.ii.ea.jjb..dd.bPP..g...hhgff.cc."},
};

// Every level to time, by name.
std::vector<std::pair<std::string, play_level>> timed_levels() {
  std::vector<std::pair<std::string, play_level>> levels;
  for (const corpus_level& level : level_corpus()) {
    levels.emplace_back(level.name, parse_level(level.picture));
  }
  for (const auto& [name, text] : other_levels) {
    levels.emplace_back(name, *read_level_text(text));
  }
  return levels;
}

void run_measure(benchmark::State& state, const play_level& level) {
  std::uint32_t positions = 0;
  for (auto _ : state) {
    const fewest_moves_map map(level);
    positions = map.size();
    benchmark::DoNotOptimize(positions);
  }
  state.counters["positions"] = positions;
}

// The positions a game passes through: along a fewest solution, or random slides.
std::vector<packed_positions> walk(const play_level& level, const fewest_moves_map& map) {
  std::vector<packed_positions> positions{pack_positions(level)};
  std::mt19937 random(1);
  play_level position = level;
  for (int step = 0; step < 60; ++step) {
    if (const std::optional<play_move> move = map.next_move(position)) {
      slide_block(position, move->block, move->distance);
      positions.push_back(pack_positions(position));
      continue;
    }
    const std::vector<std::uint64_t> next = neighbours(level, positions.back());
    if (next.empty()) {
      break;
    }
    positions.push_back(next[random() % next.size()]);
    position = at_positions(level, positions.back());
  }
  return positions;
}

void run_lookup(benchmark::State& state, const play_level& level) {
  const fewest_moves_map map(level);
  const std::vector<packed_positions> positions = walk(level, map);
  std::size_t at = 0;
  for (auto _ : state) {
    const packed_positions p = positions[at];
    at = (at + 1) % positions.size();
    benchmark::DoNotOptimize(map.fewest(p));
    benchmark::DoNotOptimize(map.next_move(p));
  }
}

const bool registered = [] {
  static const std::vector<std::pair<std::string, play_level>> levels = timed_levels();
  for (const auto& [name, level] : levels) {
    benchmark::RegisterBenchmark(("measure/" + name).c_str(), run_measure, level)
        ->Unit(benchmark::kMillisecond);
  }
  for (const auto& [name, level] : levels) {
    benchmark::RegisterBenchmark(("lookup/" + name).c_str(), run_lookup, level)
        ->Unit(benchmark::kMicrosecond);
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
