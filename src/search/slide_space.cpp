#include "search/slide_space.h"

#include <algorithm>
#include <bit>

namespace {

constexpr std::size_t first_capacity = 1024;

}  // namespace

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

std::optional<std::uint32_t> position_table::number_of(packed_positions p) const {
  if (keys_.empty()) {
    return std::nullopt;
  }
  for (std::size_t at = slot_of(p);; at = (at + 1) & mask_) {
    if (keys_[at] == p) {
      return numbers_[at];
    }
    if (keys_[at] == empty_key) {
      return std::nullopt;
    }
  }
}

void position_table::clear() {
  if (positions_.size() * 16 < keys_.size()) {
    // Few positions in a large table: empty their slots only.
    for (const packed_positions p : positions_) {
      std::size_t at = slot_of(p);
      while (keys_[at] != p) {
        at = (at + 1) & mask_;
      }
      keys_[at] = empty_key;
    }
  } else {
    std::fill(keys_.begin(), keys_.end(), empty_key);
  }
  positions_.clear();
}

void position_table::grow() {
  const std::size_t capacity = std::max(first_capacity, 2 * keys_.size());
  shift_ = 64 - std::countr_zero(capacity);
  mask_ = capacity - 1;
  keys_.assign(capacity, empty_key);
  numbers_.resize(capacity);
  for (std::uint32_t number = 0; number < size(); ++number) {
    const packed_positions p = positions_[number];
    std::size_t at = slot_of(p);
    while (keys_[at] != empty_key) {
      at = (at + 1) & mask_;
    }
    keys_[at] = p;
    numbers_[at] = number;
  }
}
