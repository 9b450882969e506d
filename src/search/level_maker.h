// The level maker: levels of an exact fewest-move count, none of them a puzzle
// to avoid, and the hardest level a search finds in a given time; the same
// seed gives the same level everywhere, whatever the number of jobs.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/level.h"
#include "search/layout_search.h"
#include "search/puzzle_identity.h"

// A level the maker made, with what it took.
struct made_level {
  play_level level;             // blockers in reading order
  int moves = 0;                // the fewest moves that free the prisoner
  std::uint64_t seed = 0;       // the seed it was made with
  double seconds = 0;           // the time it took
  std::uint64_t layouts = 0;    // layouts measured up to the level, climb after climb
  std::uint64_t positions = 0;  // positions explored by every job, those thrown away included
  std::uint64_t climb = 0;      // the number of the climb that found it
  // The bank puzzle it is a position of (before it was made lean), when it
  // came from the puzzle bank; nothing when a search found it.
  std::optional<std::size_t> bank_index = std::nullopt;
  // For the hardest level: the different puzzles met at the best counts.
  std::vector<puzzles_met> met = {};
};

// A level whose fewest-move count is exactly `moves` (0: the prisoner is free
// already), or nothing when none was found within the limits or `moves` < 0.
// Where the puzzle bank reaches so many moves, from bank_serves_from on, the
// level is at once a position of `moves` moves of a bank puzzle, both drawn
// with the seed; otherwise a search finds it.
// A lean level holds no blocker that could be taken away, all others staying,
// without lowering its count; a lean level of 0 moves has one blocker.
std::optional<made_level> make_level(int moves, std::uint64_t seed, const maker_limits& limits,
                                     const maker_progress& progress = {}, bool lean = false);

// The level of the first seed from `seed` on whose level make_level makes is
// neither a puzzle of `avoid` nor a variant of one (made_level::seed says
// which seed). Nothing when none was found within the limits (its seconds
// count for every seed tried), when the levels of many seeds in a row were
// all too alike, or when knows_other_puzzle says there is none.
std::optional<made_level> make_new_level(int moves, std::uint64_t seed, const puzzle_set& avoid,
                                         const maker_limits& limits,
                                         const maker_progress& progress = {}, bool lean = false);

// Adds the puzzle of `made` to `given`, with the bank puzzle it came from:
// make_new_level then gives neither again, nor a variant of either.
void remember_made(puzzle_set& given, const made_level& made);

// False when the maker knows of no puzzle with a level of `moves` moves that
// is neither in `avoid` nor a variant of one of its puzzles: where the bank
// serves the count, when every bank puzzle reaching it is; where a search
// serves it, never; and for a count outside 0 to most_level_moves.
bool knows_other_puzzle(int moves, const puzzle_set& avoid);

// The count nearest to `moves` (the lower of two as near) for which
// knows_other_puzzle holds; nothing when there is none.
std::optional<int> nearest_count_with_other(int moves, const puzzle_set& avoid);

// The level needing the most moves that the search found before its limits,
// or nothing when stopped (or when no layout within the `layouts` bound lets
// the prisoner out).
std::optional<made_level> make_hardest_level(std::uint64_t seed, const maker_limits& limits,
                                             const maker_progress& progress = {});
