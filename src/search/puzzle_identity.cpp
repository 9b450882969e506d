#include "search/puzzle_identity.h"

#include <algorithm>

#include "search/position_table.h"
#include "search/slide_space.h"

piece_code piece_of(const play_block& block) {
  return static_cast<piece_code>((block.horizontal ? 12 : 0) + (block.length == 3 ? 6 : 0) +
                                 line_of(block));
}

namespace {

// The block a piece code stands for, at the start of its line.
play_block block_of_piece(piece_code piece) {
  return block_on_line<play_block>(piece >= 12, piece % 12 >= 6 ? 3 : 2, piece % 6, 0);
}

// The level with its blockers in layout order: by piece, alike ones along their line.
play_level in_layout_order(play_level level) {
  std::sort(level.blockers.begin(), level.blockers.end(),
            [](const play_block& a, const play_block& b) {
              const piece_code piece_a = piece_of(a);
              const piece_code piece_b = piece_of(b);
              return piece_a != piece_b ? piece_a < piece_b : position_along(a) < position_along(b);
            });
  return level;
}

}  // namespace

puzzle_identity identity_of(const play_level& level) {
  const play_level ordered = in_layout_order(level);
  puzzle_identity identity;
  for (const play_block& blocker : ordered.blockers) {
    identity.layout.push_back(piece_of(blocker));
  }
  // Alike blocks never pass each other, so every position reached keeps them in order.
  const slide_space space(ordered);
  thread_local position_table seen;
  seen.clear();
  seen.add(space.start());
  identity.least = space.start();
  for (std::uint32_t head = 0; head < seen.size(); ++head) {
    space.for_each_slide(seen.position(head), [&](packed_positions next, play_move, cell_set) {
      if (seen.add(next)) {
        identity.least = std::min(identity.least, next);
      }
    });
  }
  return identity;
}

play_level least_level(const puzzle_identity& puzzle) {
  play_level level;
  level.prisoner = block_on_line<play_block>(true, 2, prisoner_row, position_in(puzzle.least, 0));
  for (std::size_t i = 0; i < puzzle.layout.size(); ++i) {
    play_block blocker = block_of_piece(puzzle.layout[i]);
    set_position_along(blocker, position_in(puzzle.least, blocker_number(static_cast<int>(i))));
    level.blockers.push_back(blocker);
  }
  std::sort(
      level.blockers.begin(), level.blockers.end(),
      [](const play_block& a, const play_block& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  return level;
}

int layout_distance(const std::vector<piece_code>& a, const std::vector<piece_code>& b) {
  // Both are in increasing order: count the pieces they share.
  std::size_t shared = 0;
  for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
    if (a[i] == b[j]) {
      ++shared;
      ++i;
      ++j;
    } else if (a[i] < b[j]) {
      ++i;
    } else {
      ++j;
    }
  }
  return static_cast<int>(std::max(a.size(), b.size()) - shared);
}

bool are_variants(const puzzle_identity& a, const puzzle_identity& b) {
  return a != b && layout_distance(a.layout, b.layout) <= 1;
}

bool too_alike(const puzzle_identity& a, const puzzle_identity& b) {
  return layout_distance(a.layout, b.layout) <= 1;
}

bool puzzle_set::holds_alike(const puzzle_identity& puzzle) const {
  return std::any_of(puzzles_.begin(), puzzles_.end(),
                     [&](const puzzle_identity& held) { return too_alike(held, puzzle); });
}
