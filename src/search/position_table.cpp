#include "search/position_table.h"

#include <algorithm>
#include <bit>

namespace {

constexpr std::size_t first_capacity = 1024;

}  // namespace

std::optional<std::uint32_t> position_table::number_of(std::uint64_t key) const {
  if (slots_.empty()) {
    return std::nullopt;
  }
  for (std::size_t at = slot_of(key);; at = (at + 1) & mask_) {
    if (slots_[at] == key) {
      return numbers_[at];
    }
    if (slots_[at] == empty_key) {
      return std::nullopt;
    }
  }
}

void position_table::clear() {
  if (keys_.size() * 16 < slots_.size()) {
    // Few keys in a large table: empty their slots only.
    for (const std::uint64_t key : keys_) {
      std::size_t at = slot_of(key);
      while (slots_[at] != key) {
        at = (at + 1) & mask_;
      }
      slots_[at] = empty_key;
    }
  } else {
    std::fill(slots_.begin(), slots_.end(), empty_key);
  }
  keys_.clear();
}

void position_table::grow() {
  const std::size_t capacity = std::max(first_capacity, 2 * slots_.size());
  shift_ = 64 - std::countr_zero(capacity);
  mask_ = capacity - 1;
  slots_.assign(capacity, empty_key);
  numbers_.resize(capacity);
  for (std::uint32_t number = 0; number < size(); ++number) {
    const std::uint64_t key = keys_[number];
    std::size_t at = slot_of(key);
    while (slots_[at] != empty_key) {
      at = (at + 1) & mask_;
    }
    slots_[at] = key;
    numbers_[at] = number;
  }
}
