// The board: its size, the numbers of its blocks, its cells, where the cells
// of a straight block lie, and the prisoner's way out.
#pragma once

#include <concepts>
#include <cstdint>

// Cells along each side of the square board.
inline constexpr int board_size = 6;
// Most blockers a level can hold.
inline constexpr int max_blockers = 13;
// The row every level's prisoner lies in.
inline constexpr int prisoner_row = 3;

// Blocks are numbered in the order the move counter expands them: the
// prisoner is block 0 and blocker i is block i + 1.
inline constexpr int prisoner_number = 0;
// Stands for no block where a block number is expected.
inline constexpr int no_block = -1;
// Most blocks a level can hold, the prisoner included.
inline constexpr int max_blocks = max_blockers + 1;
// The block number of blocker `index`.
constexpr int blocker_number(int index) {
  return index + 1;
}

// A cell of the board: column x, row y.
struct cell {
  int x = 0;
  int y = 0;

  bool operator==(const cell&) const = default;
};

// Anything that lies on the board as a straight block: its orientation (along
// x when horizontal), its length and its first (lowest-index) cell.
template <class shape>
concept straight_block = requires(shape block) {
  { block.horizontal } -> std::convertible_to<bool>;
  { block.length } -> std::convertible_to<int>;
  { block.x } -> std::convertible_to<int>;
  { block.y } -> std::convertible_to<int>;
};

// The block's first cell along its own line: x when it is horizontal, y when vertical.
template <straight_block shape>
int position_along(const shape& block) {
  return block.horizontal ? block.x : block.y;
}
// The row of a horizontal block, the column of a vertical one.
template <straight_block shape>
int line_of(const shape& block) {
  return block.horizontal ? block.y : block.x;
}
// Puts the block's first cell at `along` on its own line.
template <straight_block shape>
void set_position_along(shape& block, int along) {
  (block.horizontal ? block.x : block.y) = along;
}
// Cell `along` of the block's own line (its row or its column).
template <straight_block shape>
cell cell_on_line(const shape& block, int along) {
  return block.horizontal ? cell{along, block.y} : cell{block.x, along};
}
// Cell k of the block, from its first cell (k = 0) to its last (k = length - 1).
template <straight_block shape>
cell cell_of(const shape& block, int k) {
  return cell_on_line(block, position_along(block) + k);
}
// A block of this shape whose first cell is at `along` on line `line`.
template <straight_block shape>
shape block_on_line(bool horizontal, int length, int line, int along) {
  shape block{};
  block.horizontal = horizontal;
  block.length = length;
  (horizontal ? block.y : block.x) = line;
  set_position_along(block, along);
  return block;
}

// Calls visit(c) for every cell of the prisoner's way out: the cells of its
// row beyond its far end, up to the board's edge, which must all be free for it
// to escape.
template <straight_block shape, class visitor>
void for_each_way_out_cell(const shape& prisoner, visitor&& visit) {
  for (int x = prisoner.x + prisoner.length; x < board_size; ++x) {
    visit(cell{x, prisoner.y});
  }
}
// True for a horizontal block in the prisoner's row at or beyond its far end:
// it can never leave the way out, so no level may hold it.
template <straight_block shape>
bool blocks_the_way_out_for_good(const shape& block, const shape& prisoner) {
  return block.horizontal && block.y == prisoner.y && block.x >= prisoner.x + prisoner.length;
}

// Every block's position along its line, 3 bits a block, block n in bits 3n to 3n + 2.
using packed_positions = std::uint64_t;
inline constexpr int position_bits = 3;
static_assert(position_bits * max_blocks <= 64);
inline constexpr packed_positions position_mask = (packed_positions{1} << position_bits) - 1;
// The position of block `number`.
constexpr int position_in(packed_positions positions, int number) {
  return static_cast<int>((positions >> (position_bits * number)) & position_mask);
}
// The positions with block `number` at `along`.
constexpr packed_positions with_position(packed_positions positions, int number, int along) {
  const int shift = position_bits * number;
  return (positions & ~(position_mask << shift)) | (static_cast<packed_positions>(along) << shift);
}
