// Every position of a level's layout from which the prisoner can be freed, with
// the fewest moves that free it: measured once by a breadth-first search
// backwards from every position where the prisoner is free, then looked up.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "model/level.h"
#include "search/position_table.h"
#include "search/slide_space.h"

// The positions of one layout (a set of blocks, each on its row or column) in
// layers by the fewest moves that free the prisoner from them.
class fewest_moves_map {
 public:
  // Measures no level yet: every lookup gives nothing.
  fewest_moves_map() = default;
  // Measures every position of `level`'s layout; see measure.
  explicit fewest_moves_map(const play_level& level) {
    measure(level);
  }

  // Measures the positions of `level`'s layout (where its blocks stand does
  // not matter) up to those `deepest` moves from freedom; false when there
  // are more than `most`, and the map then holds the whole layers measured.
  // Blocks alike (of one shape on one line) are interchangeable: the map
  // holds each position once, with alike blocks in number order along their
  // line, and a lookup first puts them in that order.
  bool measure(const play_level& level, std::uint32_t most = any_size, int deepest = any_moves);

  // The most moves any measured position needs; -1 when none frees the prisoner.
  int farthest() const {
    return static_cast<int>(layer_begin_.size()) - 2;
  }
  // How many measured positions need exactly `moves` moves, 0 <= moves <= farthest().
  std::uint32_t count_at(int moves) const {
    return layer_begin_[moves + 1] - layer_begin_[moves];
  }
  // Position `index` (from 0) of those that need `moves` moves, in the block numbers measured.
  packed_positions position_at(int moves, std::uint32_t index) const {
    return table_.position(layer_begin_[moves] + index);
  }
  // How many positions were measured.
  std::uint32_t size() const {
    return table_.size();
  }

  // The fewest moves that free the prisoner from `p`, the positions of the
  // measured level's blocks in its block numbers; nothing when no moves free
  // it, or none within the layers measured.
  std::optional<int> fewest(packed_positions p) const;
  // The same for the measured level's blocks where `position` has them.
  std::optional<int> fewest(const play_level& position) const;
  // The first move of a fewest-move solution from `p`; nothing when the
  // prisoner is free already or cannot be freed.
  std::optional<play_move> next_move(packed_positions p) const;
  // The same for the measured level's blocks where `position` has them.
  std::optional<play_move> next_move(const play_level& position) const;

  // No bound on the positions measured, and on their moves.
  static constexpr std::uint32_t any_size = std::numeric_limits<std::uint32_t>::max();
  static constexpr int any_moves = std::numeric_limits<int>::max();

 private:
  // Blocks that can take each other's places: those of one shape on one line.
  struct alike_group {
    int count = 0;
    int numbers[max_blocks] = {};  // in number order; more than fit on a line in a layout
  };

  // Finds the groups of alike blocks of `level` and fills after_.
  void group_alike(const play_level& level);
  // Adds every position where the prisoner is free, placing the blocks from
  // order_[placed] on; false as soon as the table holds more than `most`.
  bool add_free_positions(int placed, packed_positions p, cell_set covered, cell_set taken,
                          std::uint32_t most);
  // Adds the positions one move farther than the last layer as a new layer;
  // false as soon as the table holds more than `most`.
  bool add_next_layer(std::uint32_t most, int deepest);
  // `p` with alike blocks in their measured order; numbers[n] is the block of
  // `p` that block n of the result stands for.
  packed_positions ordered(packed_positions p, int (&numbers)[max_blocks]) const;
  // The layer that holds `ordered_p`; nothing when it was not measured.
  std::optional<int> layer_of(packed_positions ordered_p) const;

  slide_space space_;
  std::vector<alike_group> groups_;  // groups of two blocks or more
  // The alike block numbered next below block n (no_block when none): block n lies after it.
  int after_[max_blocks] = {};
  int order_[max_blocks] = {};  // the order the blocks are placed in, alike ones in number order
  position_table table_;
  std::vector<cell_set> covered_;           // the cells covered at each position of table_
  std::vector<std::int8_t> arrival_;        // the block that slid into it, no_block in layer 0
  std::vector<std::uint32_t> layer_begin_;  // layer d is table_ numbers layer_begin_[d] ...
};
