#include "play_solver.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace {

// A set of cells: bit board_size * y + x for cell (x, y).
using cells = std::uint64_t;

static_assert(board_size * board_size <= 64);

cells cell_bit(cell c) {
  return cells{1} << (board_size * c.y + c.x);
}

// What stays fixed about a block while it slides.
struct block_shape {
  int length = 0;
  cells at[board_size] = {};  // its cells with its first cell at each place along its line
};

block_shape shape_of(const BLOCK& block) {
  block_shape shape;
  shape.length = block.length;
  for (int along = 0; along + block.length <= board_size; ++along) {
    for (int k = 0; k < block.length; ++k) {
      shape.at[along] |= cell_bit(cell_on_line(block, along + k));
    }
  }
  return shape;
}

// The level's blocks as sets of cells at each of their positions, and the
// slides between packed positions.
class slide_space {
 public:
  explicit slide_space(const play_level& level) {
    for (int number = prisoner_number; number < block_count(level); ++number) {
      shapes_.push_back(shape_of(block_of(level, number)));
      start_ = with_position(start_, number, position_along(block_of(level, number)));
    }
    for (int x = 0; x < board_size; ++x) {
      for (int free_x = x + level.prisoner.length; free_x < board_size; ++free_x) {
        way_out_[x] |= cell_bit({free_x, level.prisoner.y});
      }
    }
  }

  packed_positions start() const {
    return start_;
  }

  // The cells the blocks cover at `p`.
  cells covered(packed_positions p) const {
    cells all = 0;
    for (int number = 0; number < static_cast<int>(shapes_.size()); ++number) {
      all |= shape(number).at[position_in(p, number)];
    }
    return all;
  }

  // True if the prisoner's way out is free at `p`, whose covered cells are `all`.
  bool is_free(packed_positions p, cells all) const {
    return (all & way_out_[position_in(p, prisoner_number)]) == 0;
  }

  // Calls visit(next, move, covered cells at next) for every slide from `p`.
  template <class visitor>
  void for_each_slide(packed_positions p, visitor&& visit) const {
    const cells all = covered(p);
    for (int number = 0; number < static_cast<int>(shapes_.size()); ++number) {
      const block_shape& moving = shape(number);
      const int along = position_in(p, number);
      const cells others = all & ~moving.at[along];
      for (const int step : {-1, 1}) {
        for (int to = along + step;
             to >= 0 && to + moving.length <= board_size && (moving.at[to] & others) == 0;
             to += step) {
          visit(with_position(p, number, to), play_move{number, to - along},
                others | moving.at[to]);
        }
      }
    }
  }

 private:
  const block_shape& shape(int number) const {
    return shapes_[static_cast<std::size_t>(number)];
  }

  std::vector<block_shape> shapes_;
  packed_positions start_ = 0;
  cells way_out_[board_size] = {};  // the cells right of the prisoner at each of its places
};

// How a position was first reached.
struct arrival {
  packed_positions from = 0;
  play_move move;
};

}  // namespace

int block_count(const play_level& level) {
  return static_cast<int>(level.blockers.size()) + 1;
}

BLOCK& block_of(play_level& level, int number) {
  return number == prisoner_number ? level.prisoner
                                   : level.blockers[static_cast<std::size_t>(number - 1)];
}

const BLOCK& block_of(const play_level& level, int number) {
  return number == prisoner_number ? level.prisoner
                                   : level.blockers[static_cast<std::size_t>(number - 1)];
}

int block_at(const play_level& level, int x, int y) {
  for (int number = prisoner_number; number < block_count(level); ++number) {
    const BLOCK& block = block_of(level, number);
    for (int k = 0; k < block.length; ++k) {
      if (cell_of(block, k) == cell{x, y}) {
        return number;
      }
    }
  }
  return no_block;
}

bool is_prisoner_free(const play_level& level) {
  const BLOCK& prisoner = level.prisoner;
  for (int x = prisoner.x + prisoner.length; x < board_size; ++x) {
    if (block_at(level, x, prisoner.y) != no_block) {
      return false;
    }
  }
  return true;
}

std::optional<std::vector<play_move>> solve_level(const play_level& level) {
  const slide_space space(level);
  const packed_positions start = space.start();
  if (space.is_free(start, space.covered(start))) {
    return std::vector<play_move>{};
  }
  std::unordered_map<packed_positions, arrival> seen{{start, arrival{}}};
  const auto path_to = [&](packed_positions end) {
    std::vector<play_move> moves;
    for (packed_positions p = end; p != start; p = seen.at(p).from) {
      moves.push_back(seen.at(p).move);
    }
    std::reverse(moves.begin(), moves.end());
    return moves;
  };
  std::vector<packed_positions> queue{start};
  std::optional<packed_positions> freed;
  for (std::size_t head = 0; head < queue.size() && !freed; ++head) {
    const packed_positions p = queue[head];
    space.for_each_slide(p, [&](packed_positions next, play_move move, cells all) {
      if (freed || !seen.emplace(next, arrival{p, move}).second) {
        return;
      }
      if (space.is_free(next, all)) {
        freed = next;
      }
      queue.push_back(next);
    });
  }
  if (!freed) {
    return std::nullopt;
  }
  return path_to(*freed);
}
