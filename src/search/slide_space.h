// The positions of a level's blocks as sets of cells and the slides between
// packed positions: the engine of the solver and the level maker.
#pragma once

#include <cstdint>

#include "model/level.h"

// A set of cells: bit board_size * y + x for cell (x, y).
using cell_set = std::uint64_t;
static_assert(board_size * board_size <= 64);

// The set holding only cell `c`.
constexpr cell_set cell_bit(cell c) {
  return cell_set{1} << (board_size * c.y + c.x);
}

// The cells of a block of this shape at each place of its first cell along its line.
struct block_shape {
  int length = 0;
  cell_set at[board_size] = {};      // empty where the block would leave the board
  cell_set line[board_size] = {};    // cell k of its line alone, from k = 0
  cell_set beside[board_size] = {};  // the cells of its line next to either end
};
// The shape of `block`, on its own line.
block_shape shape_of(const play_block& block);

// A level's blocks and the slides between packed positions of them.
class slide_space {
 public:
  // No blocks.
  slide_space() = default;
  // The blocks of `level`, in their block numbers; start() is the level's own position.
  explicit slide_space(const play_level& level);

  // The level's own position.
  packed_positions start() const {
    return start_;
  }

  // The number of blocks, the prisoner included.
  int blocks() const {
    return count_;
  }

  // The cells the blocks cover at `p`.
  cell_set covered(packed_positions p) const {
    cell_set all = 0;
    for (int number = 0; number < count_; ++number) {
      all |= shapes_[number].at[position_in(p, number)];
    }
    return all;
  }

  // The shape of block `number`.
  const block_shape& shape(int number) const {
    return shapes_[number];
  }

  // The cells right of the prisoner when its first cell is at `along`.
  cell_set way_out(int along) const {
    return way_out_[along];
  }

  // True if the prisoner's way out is free at `p`, whose covered cells are `all`.
  bool is_free(packed_positions p, cell_set all) const {
    return (all & way_out_[position_in(p, prisoner_number)]) == 0;
  }

  // Calls visit(next, move, covered cells at next) for every slide from `p`.
  template <class visitor>
  void for_each_slide(packed_positions p, visitor&& visit) const {
    for_each_slide(p, covered(p), visit);
  }

  // The same, given the cells `all` that the blocks cover at `p`.
  template <class visitor>
  void for_each_slide(packed_positions p, cell_set all, visitor&& visit) const {
    for (int number = 0; number < count_; ++number) {
      const block_shape& moving = shapes_[number];
      const int along = position_in(p, number);
      if ((moving.beside[along] & ~all) == 0) {
        continue;
      }
      const packed_positions step = packed_positions{1} << (position_bits * number);
      packed_positions next = p;
      cell_set cells = all;
      // Each cell slid past is entered at one end and left at the other.
      for (int to = along - 1; to >= 0 && (moving.line[to] & all) == 0; --to) {
        next -= step;
        cells = (cells | moving.line[to]) & ~moving.line[to + moving.length];
        visit(next, play_move{number, to - along}, cells);
      }
      next = p;
      cells = all;
      for (int end = along + moving.length; end < board_size && (moving.line[end] & all) == 0;
           ++end) {
        next += step;
        cells = (cells | moving.line[end]) & ~moving.line[end - moving.length];
        visit(next, play_move{number, end + 1 - moving.length - along}, cells);
      }
    }
  }

 private:
  block_shape shapes_[max_blocks] = {};
  int count_ = 0;
  packed_positions start_ = 0;
  cell_set way_out_[board_size] = {};  // the cells right of the prisoner at each of its places
};
