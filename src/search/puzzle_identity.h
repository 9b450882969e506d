// When two levels are the same puzzle: one puzzle when one can be reached from
// the other by moves (blocks of one shape on one line are interchangeable),
// variants when their layouts differ in one block only; and the identity that
// tells puzzles apart.
#pragma once

#include <compare>
#include <cstdint>
#include <vector>

#include "model/level.h"
#include "search/fewest_moves.h"

// A blocker's orientation, length and line in one number from 0 to 23.
using piece_code = std::uint8_t;

// The piece code of `block`.
piece_code piece_of(const play_block& block);

// What tells a puzzle from every other: two levels are one puzzle exactly
// when their identities are equal.
struct puzzle_identity {
  // The blockers' pieces in increasing order: the puzzle's layout.
  std::vector<piece_code> layout;
  // The least of the puzzle's positions, its blockers numbered in the order
  // of `layout`, alike blockers in their order along their line.
  packed_positions least = 0;

  bool operator==(const puzzle_identity&) const = default;
  // Layouts piece by piece, a shorter one first where one begins the other,
  // then the least positions. Written out because GCC 12 at -O3 warns falsely
  // on the memcmp that the defaulted comparison of byte vectors becomes.
  std::strong_ordering operator<=>(const puzzle_identity& other) const;
};

// The identity of the puzzle `level` is a position of; a few milliseconds for
// a puzzle of 50,000 positions.
puzzle_identity identity_of(const play_level& level);

// The puzzle's least position as a level, blockers in reading order.
play_level least_level(const puzzle_identity& puzzle);

// A puzzle that a layout holds, and its hardest position.
struct held_puzzle {
  puzzle_identity identity;
  int moves = 0;       // the fewest moves its hardest positions need
  play_level hardest;  // the least of its hardest positions, blockers in layout order
};

// Every puzzle of `layout` (where its blocks stand does not matter) whose
// hardest position needs at least `least_moves` moves, hardest first, then by
// identity; nothing when the layout has more than `most` positions.
std::vector<held_puzzle> puzzles_of(const play_level& layout, int least_moves, std::uint32_t most);

// How many blocks two layouts differ in: the more of the pieces that only one
// of them holds (a piece moved to another line or length, or turned, is one).
int layout_distance(const std::vector<piece_code>& a, const std::vector<piece_code>& b);

// True if the two are variants: not one puzzle, and their layouts differ in
// one block at most (one added, one taken away, or one moved to another line
// or length, or turned).
bool are_variants(const puzzle_identity& a, const puzzle_identity& b);

// True if the two are one puzzle or variants: a player would call them the same.
bool too_alike(const puzzle_identity& a, const puzzle_identity& b);

// Puzzles that must not come again, with their variants unless they are allowed.
class puzzle_set {
 public:
  // An empty set; with `variants_allowed` only the puzzles themselves may not come again.
  explicit puzzle_set(bool variants_allowed = false) : variants_allowed_(variants_allowed) {}
  // Adds `puzzle`.
  void add(const puzzle_identity& puzzle) {
    puzzles_.push_back(puzzle);
  }
  // True if the set holds `puzzle`, or a variant of it unless variants are allowed.
  bool holds_alike(const puzzle_identity& puzzle) const;
  // The puzzles added, in the order added.
  const std::vector<puzzle_identity>& puzzles() const {
    return puzzles_;
  }

 private:
  bool variants_allowed_;
  std::vector<puzzle_identity> puzzles_;
};
