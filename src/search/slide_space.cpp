#include "search/slide_space.h"

block_shape shape_of(const play_block& block) {
  block_shape shape;
  shape.length = block.length;
  for (int k = 0; k < board_size; ++k) {
    shape.line[k] = cell_bit(cell_on_line(block, k));
  }
  for (int along = 0; along + block.length <= board_size; ++along) {
    for (int k = 0; k < block.length; ++k) {
      shape.at[along] |= shape.line[along + k];
    }
    shape.beside[along] =
        (along > 0 ? shape.line[along - 1] : 0) |
        (along + block.length < board_size ? shape.line[along + block.length] : 0);
  }
  return shape;
}

slide_space::slide_space(const play_level& level) : count_(block_count(level)) {
  for (int number = prisoner_number; number < count_; ++number) {
    shapes_[number] = shape_of(block_of(level, number));
    start_ = with_position(start_, number, position_along(block_of(level, number)));
  }
  for (int along = 0; along + level.prisoner.length <= board_size; ++along) {
    play_block prisoner = level.prisoner;
    set_position_along(prisoner, along);
    for_each_way_out_cell(prisoner, [&](cell c) { way_out_[along] |= cell_bit(c); });
  }
}
