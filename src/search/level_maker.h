// The level maker: levels of an exact fewest-move count, and the hardest level
// a search finds in a given time; the same seed gives the same level everywhere,
// whatever the number of jobs.
#pragma once

#include <cstdint>
#include <optional>

#include "model/level.h"
#include "search/layout_search.h"

// A level the maker made, with what it took.
struct made_level {
  play_level level;             // blockers in reading order
  int moves = 0;                // the fewest moves that free the prisoner
  std::uint64_t seed = 0;       // the seed it was made with
  double seconds = 0;           // the time the search took
  std::uint64_t layouts = 0;    // layouts measured up to the level, climb after climb
  std::uint64_t positions = 0;  // positions explored by every job, those thrown away included
  std::uint64_t climb = 0;      // the number of the climb that found it
};

// A level whose fewest-move count is exactly `moves` (0: the prisoner is free
// already), or nothing when none was found within the limits or `moves` < 0.
// A lean level holds no blocker that could be taken away, all others staying,
// without lowering its count; a lean level of 0 moves has one blocker.
std::optional<made_level> make_level(int moves, std::uint64_t seed, const maker_limits& limits,
                                     const maker_progress& progress = {}, bool lean = false);

// The level needing the most moves that the search found before its limits,
// or nothing when stopped (or when no layout within the `layouts` bound lets
// the prisoner out).
std::optional<made_level> make_hardest_level(std::uint64_t seed, const maker_limits& limits,
                                             const maker_progress& progress = {});
