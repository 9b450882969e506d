// New levels for a game's `n` and `new N`: never the puzzle being played, a
// variant of it, one played before in the game, or a campaign puzzle.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

#include "model/level.h"
#include "search/level_maker.h"
#include "search/puzzle_identity.h"

// The level the maker made, with the line that says how to play it again.
offered_level offer_made_level(const made_level& made);

// Makes the new levels of one game; one level at a time, from any thread.
class fresh_levels {
 public:
  // For a game that began with `first`.
  explicit fresh_levels(const play_level& first);

  // A new level of `moves` moves from a seed of chance; when the maker knows
  // no other puzzle of so many moves, one of the nearest count that has one,
  // saying so. Nothing when none was found in time or `stop` (if given) was set.
  std::optional<offered_level> make(int moves, const std::atomic<bool>* stop = nullptr);

  // The same, from the seed given: the tests' way to make it again.
  std::optional<offered_level> make(int moves, std::uint64_t seed,
                                    const std::atomic<bool>* stop = nullptr);

 private:
  std::mutex mutex_;
  puzzle_set played_;            // the levels played, and the campaign's once a level is asked for
  bool knows_campaign_ = false;  // the campaign's puzzles are in played_
};
