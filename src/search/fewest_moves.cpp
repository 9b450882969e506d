#include "search/fewest_moves.h"

#include <algorithm>

namespace {

// True if the two blocks can take each other's places: one shape on one line.
bool alike(const play_block& a, const play_block& b) {
  return a.horizontal == b.horizontal && a.length == b.length && line_of(a) == line_of(b);
}

}  // namespace

void fewest_moves_map::group_alike(const play_level& level) {
  groups_.clear();
  std::fill(std::begin(after_), std::end(after_), no_block);
  bool grouped[max_blocks] = {};
  // The prisoner is like no blocker: it alone has to get out.
  for (int first = blocker_number(0); first < block_count(level); ++first) {
    if (grouped[first]) {
      continue;
    }
    alike_group group;
    for (int number = first; number < block_count(level); ++number) {
      if (alike(block_of(level, first), block_of(level, number))) {
        after_[number] = group.count == 0 ? no_block : group.numbers[group.count - 1];
        group.numbers[group.count++] = number;
        grouped[number] = true;
      }
    }
    if (group.count > 1) {
      groups_.push_back(group);
    }
  }
}

bool fewest_moves_map::add_free_positions(int placed, packed_positions p, cell_set covered,
                                          cell_set taken, std::uint32_t most) {
  if (placed == space_.blocks()) {
    table_.add(p);
    covered_.push_back(covered);
    return table_.size() <= most;
  }
  const int number = order_[placed];
  // Alike blocks never pass each other: keep them in number order.
  const int first = after_[number] == no_block ? 0 : position_in(p, after_[number]) + 1;
  const block_shape& shape = space_.shape(number);
  for (int along = first; shape.at[along] != 0; ++along) {
    if ((shape.at[along] & taken) == 0) {
      const cell_set kept_free = number == prisoner_number ? space_.way_out(along) : 0;
      if (!add_free_positions(placed + 1, with_position(p, number, along),
                              covered | shape.at[along], taken | shape.at[along] | kept_free,
                              most)) {
        return false;
      }
    }
  }
  return true;
}

bool fewest_moves_map::measure(const play_level& level, std::uint32_t most, int deepest) {
  space_ = slide_space(level);
  group_alike(level);
  // The prisoner first, then the long blocks, which have the fewest places:
  // whole branches with no room for a block end early.
  for (int number = prisoner_number; number < block_count(level); ++number) {
    order_[number] = number;
  }
  std::stable_partition(order_ + 1, order_ + block_count(level),
                        [&](int number) { return block_of(level, number).length == 3; });
  table_.clear();
  covered_.clear();
  layer_begin_.assign(1, 0);
  if (!add_free_positions(prisoner_number, 0, 0, 0, most)) {
    return false;
  }
  arrival_.assign(table_.size(), no_block);
  while (table_.size() > layer_begin_.back() && farthest() < deepest) {
    if (!add_next_layer(most, deepest)) {
      return false;
    }
  }
  return true;
}

// Slides can be taken back, so the positions one move farther than the last
// layer are its new neighbours; the last layer wanted needs no neighbours.
// Where the prisoner stays free a slide leads back into layer 0; and wherever
// a block slid to from the layer before, its other slides lead there or to
// that layer's neighbours.
bool fewest_moves_map::add_next_layer(std::uint32_t most, int deepest) {
  const std::uint32_t end = table_.size();
  for (std::uint32_t n = layer_begin_.back(); n < end && farthest() + 1 < deepest; ++n) {
    packed_positions next[max_blocks * (board_size - 1)];
    cell_set cells[max_blocks * (board_size - 1)];
    std::int8_t moved[max_blocks * (board_size - 1)];
    int count = 0;
    const int arrived = arrival_[n];
    space_.for_each_slide(
        table_.position(n), covered_[n], [&](packed_positions p, play_move move, cell_set all) {
          if (move.block == arrived || (arrived == no_block && space_.is_free(p, all))) {
            return;
          }
          table_.prefetch(p);
          next[count] = p;
          cells[count] = all;
          moved[count++] = static_cast<std::int8_t>(move.block);
        });
    for (int i = 0; i < count; ++i) {
      if (table_.add(next[i])) {
        covered_.push_back(cells[i]);
        arrival_.push_back(moved[i]);
      }
    }
    if (table_.size() > most) {
      return false;
    }
  }
  layer_begin_.push_back(end);
  return true;
}

packed_positions fewest_moves_map::ordered(packed_positions p, int (&numbers)[max_blocks]) const {
  for (int number = 0; number < max_blocks; ++number) {
    numbers[number] = number;
  }
  const packed_positions given = p;
  for (const alike_group& group : groups_) {
    // The places the group's blocks take, in order along the line, go to the
    // group's blocks in number order.
    int by_place[max_blocks];
    for (int k = 0; k < group.count; ++k) {
      int at = k;
      for (; at > 0 && position_in(given, by_place[at - 1]) > position_in(given, group.numbers[k]);
           --at) {
        by_place[at] = by_place[at - 1];
      }
      by_place[at] = group.numbers[k];
    }
    for (int k = 0; k < group.count; ++k) {
      p = with_position(p, group.numbers[k], position_in(given, by_place[k]));
      numbers[group.numbers[k]] = by_place[k];
    }
  }
  return p;
}

std::optional<int> fewest_moves_map::layer_of(packed_positions ordered_p) const {
  const std::optional<std::uint32_t> number = table_.number_of(ordered_p);
  if (!number || layer_begin_.size() < 2 || *number >= layer_begin_.back()) {
    return std::nullopt;
  }
  return static_cast<int>(std::upper_bound(layer_begin_.begin(), layer_begin_.end(), *number) -
                          layer_begin_.begin()) -
         1;
}

std::optional<int> fewest_moves_map::fewest(packed_positions p) const {
  int numbers[max_blocks];
  return layer_of(ordered(p, numbers));
}

std::optional<play_move> fewest_moves_map::next_move(packed_positions p) const {
  int numbers[max_blocks];
  const packed_positions from = ordered(p, numbers);
  const std::optional<int> moves = layer_of(from);
  if (!moves || *moves == 0) {
    return std::nullopt;
  }
  std::optional<play_move> found;
  space_.for_each_slide(from, [&](packed_positions next, play_move move, cell_set) {
    if (!found && layer_of(next) == *moves - 1) {
      found = play_move{numbers[move.block], move.distance};
    }
  });
  return found;
}

namespace {

// The positions of the level's blocks, packed.
packed_positions packed(const play_level& position) {
  packed_positions p = 0;
  for (int number = prisoner_number; number < block_count(position); ++number) {
    p = with_position(p, number, position_along(block_of(position, number)));
  }
  return p;
}

}  // namespace

std::optional<int> fewest_moves_map::fewest(const play_level& position) const {
  return fewest(packed(position));
}

std::optional<play_move> fewest_moves_map::next_move(const play_level& position) const {
  return next_move(packed(position));
}
