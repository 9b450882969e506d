// A table of 64-bit keys that numbers them in the order they were added: the
// record of positions seen by every breadth-first search here.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// A set of keys (packed positions, or any 64-bit value but all ones) that
// numbers them 0, 1, 2 ... in the order they were added: an open-addressed
// table, at most half full, that doubles as it grows.
class position_table {
 public:
  // Adds `key` unless the table holds it; true when it was new, and its number is size() - 1.
  bool add(std::uint64_t key) {
    if (2 * (keys_.size() + 1) > slots_.size()) {
      grow();
    }
    for (std::size_t at = slot_of(key);; at = (at + 1) & mask_) {
      if (slots_[at] == key) {
        return false;
      }
      if (slots_[at] == empty_key) {
        slots_[at] = key;
        numbers_[at] = size();
        keys_.push_back(key);
        return true;
      }
    }
  }
  // The number of `key`, or nothing when the table does not hold it.
  std::optional<std::uint32_t> number_of(std::uint64_t key) const;
  // Starts bringing the place of `key` in the table into the cache, ahead of an add.
  void prefetch(std::uint64_t key) const {
    if (!slots_.empty()) {
      __builtin_prefetch(&slots_[slot_of(key)]);
    }
  }
  // The key numbered `number`.
  std::uint64_t position(std::uint32_t number) const {
    return keys_[number];
  }
  // How many keys the table holds.
  std::uint32_t size() const {
    return static_cast<std::uint32_t>(keys_.size());
  }
  // Empties the table, keeping its memory.
  void clear();

 private:
  // Marks a free slot; no packed position of six-cell lines can be all ones.
  static constexpr std::uint64_t empty_key = ~std::uint64_t{0};

  // The slot where the search for `key` begins.
  std::size_t slot_of(std::uint64_t key) const {
    return static_cast<std::size_t>((key * 0x9e3779b97f4a7c15u) >> shift_);
  }
  // Doubles the slots and places every key again.
  void grow();

  std::vector<std::uint64_t> slots_;    // empty_key where no key is stored
  std::vector<std::uint32_t> numbers_;  // the number of the key in the same slot of slots_
  std::vector<std::uint64_t> keys_;     // the keys in the order added
  std::size_t mask_ = 0;
  int shift_ = 64;
};
