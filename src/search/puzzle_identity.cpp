#include "search/puzzle_identity.h"

#include <algorithm>

#include "search/position_table.h"
#include "search/slide_space.h"

std::strong_ordering puzzle_identity::operator<=>(const puzzle_identity& other) const {
  const std::size_t common = std::min(layout.size(), other.layout.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (layout[i] != other.layout[i]) {
      return layout[i] <=> other.layout[i];
    }
  }
  if (layout.size() != other.layout.size()) {
    return layout.size() <=> other.layout.size();
  }
  return least <=> other.least;
}

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

// The pieces of a level in layout order.
std::vector<piece_code> layout_of(const play_level& ordered) {
  std::vector<piece_code> layout;
  for (const play_block& blocker : ordered.blockers) {
    layout.push_back(piece_of(blocker));
  }
  return layout;
}

// Adds to `seen` every position that moves reach from `from` (which `seen`
// must not hold yet); the numbers of the positions added are those from the
// size of `seen` before on. Alike blocks never pass each other, so positions
// that have them in order along their line keep them so.
void add_puzzle(const slide_space& space, packed_positions from, position_table& seen) {
  std::uint32_t head = seen.size();
  seen.add(from);
  for (; head < seen.size(); ++head) {
    space.for_each_slide(seen.position(head),
                         [&](packed_positions next, play_move, cell_set) { seen.add(next); });
  }
}

// The level with its blocks at `p`.
play_level at_position(play_level level, packed_positions p) {
  for (int number = prisoner_number; number < block_count(level); ++number) {
    set_position_along(block_of(level, number), position_in(p, number));
  }
  return level;
}

}  // namespace

puzzle_identity identity_of(const play_level& level) {
  const play_level ordered = in_layout_order(level);
  const slide_space space(ordered);
  thread_local position_table seen;
  seen.clear();
  add_puzzle(space, space.start(), seen);
  packed_positions least = space.start();
  for (std::uint32_t n = 0; n < seen.size(); ++n) {
    least = std::min(least, seen.position(n));
  }
  return {layout_of(ordered), least};
}

std::vector<held_puzzle> puzzles_of(const play_level& layout, int least_moves, std::uint32_t most) {
  const play_level ordered = in_layout_order(layout);
  thread_local fewest_moves_map map;
  std::vector<held_puzzle> held;
  if (!map.measure(ordered, most)) {
    return held;
  }
  const slide_space space(ordered);
  thread_local position_table seen;
  seen.clear();
  for (int moves = map.farthest(); moves >= least_moves; --moves) {
    for (std::uint32_t i = 0; i < map.count_at(moves); ++i) {
      const packed_positions first = map.position_at(moves, i);
      if (seen.number_of(first)) {
        continue;  // a position of a puzzle found before
      }
      const std::uint32_t begin = seen.size();
      add_puzzle(space, first, seen);
      packed_positions least = first;
      packed_positions hardest = first;
      for (std::uint32_t n = begin; n < seen.size(); ++n) {
        const packed_positions p = seen.position(n);
        least = std::min(least, p);
        if (p < hardest && map.fewest(p) == moves) {
          hardest = p;
        }
      }
      held.push_back({{layout_of(ordered), least}, moves, at_position(ordered, hardest)});
    }
  }
  std::sort(held.begin(), held.end(), [](const held_puzzle& a, const held_puzzle& b) {
    return a.moves != b.moves ? a.moves > b.moves : a.identity < b.identity;
  });
  return held;
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
  return std::any_of(puzzles_.begin(), puzzles_.end(), [&](const puzzle_identity& held) {
    return variants_allowed_ ? held == puzzle : too_alike(held, puzzle);
  });
}
