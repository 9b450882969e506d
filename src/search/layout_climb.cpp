#include "search/layout_climb.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// A climb that found nothing harder in this many tries in a row has stalled.
constexpr int tries_before_stall = 200;
// A stalled climb goes back to the hardest layout it found and makes this
// many changes at once, and ends when it has done so this many times in a row
// without finding anything harder.
constexpr int changes_in_a_jump = 2;
constexpr int jumps_before_end = 100;
// A climb starts from this many random pieces, plus up to start_spread - 1 more.
constexpr int start_pieces = 9;
constexpr int start_spread = 5;
// One piece in three is three cells long.
constexpr int long_piece_percent = 33;

// A piece of random shape on a random line, at the line's start.
play_block random_piece(random_source& random) {
  const bool horizontal = random.chance(50);
  const int length = random.chance(long_piece_percent) ? 3 : 2;
  return block_on_line<play_block>(horizontal, length, random.below(board_size), 0);
}

// A random layout to start a climb from.
play_level random_layout(random_source& random) {
  play_level layout;
  layout.prisoner = block_on_line<play_block>(true, 2, prisoner_row, 0);
  const int count = start_pieces + random.below(start_spread);
  for (int i = 0; i < count; ++i) {
    layout.blockers.push_back(random_piece(random));
  }
  return layout;
}

// One random change of a layout: add or take away a piece, or move one to
// another line, change its length or turn it; false when the drawn change
// cannot be made.
bool change_layout(play_level& layout, random_source& random) {
  const int kind = random.below(5);
  const int count = static_cast<int>(layout.blockers.size());
  if (kind == 0) {
    if (count == max_blockers) {
      return false;
    }
    layout.blockers.push_back(random_piece(random));
    return true;
  }
  if (kind == 1) {
    if (count == 1) {
      return false;
    }
    layout.blockers.erase(layout.blockers.begin() + random.below(count));
    return true;
  }
  auto& piece = layout.blockers[static_cast<std::size_t>(random.below(count))];
  const int line = random.below(board_size);
  if (kind == 2) {
    if (line == line_of(piece)) {
      return false;
    }
    piece = block_on_line<play_block>(piece.horizontal, piece.length, line, 0);
  } else if (kind == 3) {
    piece = block_on_line<play_block>(piece.horizontal, 5 - piece.length, line_of(piece), 0);
  } else {
    piece = block_on_line<play_block>(!piece.horizontal, piece.length, line, 0);
  }
  return true;
}

// The level with its blocks moved to `p`.
play_level at_position(play_level level, packed_positions p) {
  for (int number = prisoner_number; number < block_count(level); ++number) {
    set_position_along(block_of(level, number), position_in(p, number));
  }
  return level;
}

// A position of the layout that needs `moves` moves, drawn among all such.
play_level level_at(const fewest_moves_map& map, const play_level& layout, int moves,
                    random_source& random) {
  const int index = random.below(static_cast<int>(map.count_at(moves)));
  return at_position(layout, map.position_at(moves, static_cast<std::uint32_t>(index)));
}

}  // namespace

std::uint64_t digest_of(const play_level& layout) {
  std::vector<std::uint64_t> codes;
  for (const auto& piece : layout.blockers) {
    codes.push_back((piece.horizontal ? 16u : 0u) + 8u * static_cast<unsigned>(piece.length - 2) +
                    static_cast<unsigned>(line_of(piece)));
  }
  std::sort(codes.begin(), codes.end());
  std::uint64_t digest = codes.size();
  for (const std::uint64_t code : codes) {
    digest = (digest ^ code) * 0x9e3779b97f4a7c15u;
    digest ^= digest >> 29;
  }
  return digest >> 1;
}

std::optional<play_level> climb::next_layout() {
  if (hardest_ < 0) {
    return random_layout(random_);  // until some layout lets the prisoner out
  }
  if (stale_ == tries_before_stall) {
    if (jumps_ == jumps_before_end) {
      return std::nullopt;
    }
    ++jumps_;
    stale_ = 0;
    play_level jump = best_;
    for (int changes = 0; changes < changes_in_a_jump;) {
      changes += change_layout(jump, random_) ? 1 : 0;
    }
    jumped_ = true;
    return jump;
  }
  play_level candidate = layout_;
  while (!change_layout(candidate, random_)) {
  }
  ++stale_;
  return candidate;
}

std::optional<drawn_layout> climb::draw(const known_test& known) {
  for (;;) {
    std::optional<play_level> layout = next_layout();
    if (!layout) {
      return std::nullopt;
    }
    const bool jump = std::exchange(jumped_, false);
    const std::uint64_t digest = digest_of(*layout);
    if (!known(digest)) {
      return drawn_layout{std::move(*layout), digest, jump};
    }
    stale_ = jump ? tries_before_stall : stale_;  // a jump to a known layout: jump again
  }
}

std::optional<climb_find> climb::take(const drawn_layout& drawn, int tried, const map_getter& map) {
  std::optional<climb_find> found;
  if (tried > best_moves_) {
    if (wanted_ == hardest_wanted || tried >= wanted_) {
      const int moves = wanted_ == hardest_wanted ? tried : wanted_;
      found = climb_find{moves, level_at(map(), drawn.layout, moves, random_)};
    }
    best_ = drawn.layout;
    best_moves_ = tried;
    jumps_ = 0;
  }
  if (tried >= 0 && (tried >= hardest_ || drawn.jump)) {
    stale_ = tried > hardest_ ? 0 : stale_;
    layout_ = drawn.layout;
    hardest_ = tried;
  } else if (drawn.jump) {
    stale_ = tries_before_stall;  // a jump that lets nothing out: jump again
  }
  return found;
}
