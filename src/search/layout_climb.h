// A climb of the level maker: a walk over layouts (sets of pieces, each on
// its row or column) that keeps each change that leaves its hardest position
// no easier, and jumps when it stalls; a pure function of its seed and number.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "model/level.h"
#include "search/fewest_moves.h"
#include "search/random_source.h"

// Layouts with more positions than this are too loose to be hard: a climb
// leaves them before measuring them all.
inline constexpr std::uint32_t most_positions = 50'000;
// A climb forgets the layouts it measured when it remembers this many.
inline constexpr std::uint32_t most_remembered = 1u << 22;
// Marks a search for the hardest level: a climb looks for each layout harder
// than all it measured before.
inline constexpr int hardest_wanted = -1;

// A layout a climb drew to measure next.
struct drawn_layout {
  play_level layout;
  std::uint64_t digest = 0;  // digest_of(layout)
  bool jump = false;         // drawn by a jump
};

// A level a climb found.
struct climb_find {
  int moves = 0;
  play_level level;
};

// A digest of a layout that does not depend on the order of its pieces; never all ones.
std::uint64_t digest_of(const play_level& layout);

// Tells whether a layout with this digest was measured before.
using known_test = std::function<bool(std::uint64_t digest)>;
// Gives the map of every position of the layout just taken in, measured.
using map_getter = std::function<const fewest_moves_map&()>;

// A climb: it changes a layout at random and keeps the change when the
// layout's hardest position needs at least as many moves, measuring each
// layout once. When it stalls it jumps: it goes back to the hardest layout it
// found and makes several changes at once, keeping them whatever the layout
// then needs. It ends when it has jumped many times in a row without finding
// anything harder (a search also ends it when it finds what it looks for).
// Everything it draws comes from its own random source, seeded from the
// search's seed and its number.
//
// A climb is a plain value: a copy taken after drawing a layout, told how
// that layout measured, goes on exactly as the climb would have.
class climb {
 public:
  // Climb `number` of a search with this seed, looking for a level of
  // `wanted` moves (or, for hardest_wanted, for each new most).
  climb(std::uint64_t seed, std::uint64_t number, int wanted)
      : random_(seed ^ (number * 0xd1b54a32d192ed03u)), wanted_(wanted) {}

  // The next layout to measure, passing over those known(digest) says were
  // measured before; nothing when the climb has ended.
  std::optional<drawn_layout> draw(const known_test& known);

  // True if `drawn`, measured as needing `tried` moves (-1: none frees the
  // prisoner), changes the climb: only then must take() be told of it.
  bool changed_by(const drawn_layout& drawn, int tried) const {
    return tried > best_moves_ || (tried >= 0 && tried >= hardest_) || drawn.jump;
  }

  // Takes in a measurement that changes the climb; the level found when it is
  // one the climb looks for, drawn from the positions map() measured.
  std::optional<climb_find> take(const drawn_layout& drawn, int tried, const map_getter& map);

 private:
  // The next layout the climb's rules give; nothing at its end.
  std::optional<play_level> next_layout();

  random_source random_;
  int wanted_ = 0;
  play_level layout_;    // the layout changes start from
  int hardest_ = -1;     // the moves its hardest position needs; -1 before any
  int stale_ = 0;        // changes in a row that found nothing harder
  bool jumped_ = false;  // the layout drawn last is a jump
  play_level best_;      // the hardest layout measured
  int best_moves_ = -1;
  int jumps_ = 0;  // jumps since best_ was found
};
