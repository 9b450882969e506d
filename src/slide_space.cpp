#include "slide_space.h"

#include <algorithm>
#include <bit>

namespace {

constexpr std::size_t first_capacity = 1024;

}  // namespace

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

slide_space::slide_space(const play_level& level) : count_(block_count(level)) {
  for (int number = prisoner_number; number < count_; ++number) {
    shapes_[number] = shape_of(block_of(level, number));
    start_ = with_position(start_, number, position_along(block_of(level, number)));
  }
  const BLOCK& prisoner = level.prisoner;
  for (int x = 0; x < board_size; ++x) {
    for (int free_x = x + prisoner.length; free_x < board_size; ++free_x) {
      way_out_[x] |= cell_bit({free_x, prisoner.y});
    }
  }
}

std::uint32_t position_table::find(packed_positions p) const {
  if (slots_.empty()) {
    return absent;
  }
  for (std::size_t at = slot_of(p);; at = (at + 1) & mask_) {
    if (slots_[at].key == p) {
      return slots_[at].number;
    }
    if (slots_[at].key == empty_key) {
      return absent;
    }
  }
}

void position_table::clear() {
  if (positions_.size() * 16 < slots_.size()) {
    // Few positions in a large table: empty their slots only.
    for (const packed_positions p : positions_) {
      std::size_t at = slot_of(p);
      while (slots_[at].key != p) {
        at = (at + 1) & mask_;
      }
      slots_[at].key = empty_key;
    }
  } else {
    std::fill(slots_.begin(), slots_.end(), slot{});
  }
  positions_.clear();
}

void position_table::grow() {
  const std::size_t capacity = std::max(first_capacity, 2 * slots_.size());
  shift_ = 64 - std::countr_zero(capacity);
  mask_ = capacity - 1;
  slots_.assign(capacity, slot{});
  for (std::uint32_t number = 0; number < size(); ++number) {
    std::size_t at = slot_of(positions_[number]);
    while (slots_[at].key != empty_key) {
      at = (at + 1) & mask_;
    }
    slots_[at] = slot{positions_[number], number};
  }
}
