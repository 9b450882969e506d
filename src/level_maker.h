// The level maker: levels of an exact fewest-move count, and the hardest level
// a search finds in a given time; the same seed gives the same level everywhere.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

#include "level.h"

// When a search gives up or stops: after `seconds` of the clock or after
// measuring `layouts` layouts (sets of pieces on their rows and columns; 0: no
// such bound), whichever comes first. A search measures at least until some
// layout lets the prisoner out, unless `stop` is set: then it ends within a
// layout's measuring, and make_level finds nothing.
struct maker_limits {
  double seconds = 60;
  std::uint64_t layouts = 0;
  const std::atomic<bool>* stop = nullptr;  // set by another thread to end the search
};

// A level the maker made, with what it took.
struct made_level {
  play_level level;             // blockers in reading order, block_Ids set from positions
  int moves = 0;                // the fewest moves that free the prisoner
  std::uint64_t seed = 0;       // the seed it was made with
  double seconds = 0;           // the time the search took
  std::uint64_t layouts = 0;    // layouts whose positions were measured
  std::uint64_t positions = 0;  // positions explored in all
};

// Told the seconds spent and the most moves any level found so far needs,
// about ten times a second while a search runs.
using maker_progress = std::function<void(double seconds, int hardest)>;

// A level whose fewest-move count is exactly `moves` (0: the prisoner is free
// already), or nothing when none was found within the limits or `moves` < 0.
std::optional<made_level> make_level(int moves, std::uint64_t seed, const maker_limits& limits,
                                     const maker_progress& progress = {});

// The level needing the most moves that the search found before its limits.
made_level make_hardest_level(std::uint64_t seed, const maker_limits& limits,
                              const maker_progress& progress = {});
