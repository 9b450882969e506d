#include "search/num_moves_calculator.h"

#include <cstdint>
#include <deque>
#include <vector>

#include "model/level_files.h"
#include "search/position_table.h"

void array_copy(BLOCK* blockers1, const BLOCK* blockers2, int num_blocks) {
  for (int i = 0; i < num_blocks; ++i) {
    blockers1[i].horizontal = blockers2[i].horizontal;
    blockers1[i].length = blockers2[i].length;
    blockers1[i].x = blockers2[i].x;
    blockers1[i].y = blockers2[i].y;
    blockers1[i].block_Id = blockers2[i].block_Id;
  }
}

void isblockthere_copy(bool (*a)[board_size], const bool (*b)[board_size]) {
  for (int x = 0; x < board_size; ++x) {
    for (int y = 0; y < board_size; ++y) {
      a[x][y] = b[x][y];
    }
  }
}

namespace {

// Whether cell `along` of the block's own line (its row or column) is covered.
bool covered_along(const BLOCK& block, const bool (*isblockthere)[board_size], int along) {
  const cell c = cell_on_line(block, along);
  return isblockthere[c.x][c.y];
}

}  // namespace

bool can_prisoner_escape(BLOCK prisoner, const bool (*isblockthere)[board_size]) {
  bool free = true;
  for_each_way_out_cell(prisoner, [&](cell c) { free = free && !isblockthere[c.x][c.y]; });
  return free;
}

bool can_block_be_moved(BLOCK block, const bool (*isblockthere)[board_size]) {
  const int first = position_along(block);
  const int beyond = first + block.length;
  const bool near_open = first > 0 && !covered_along(block, isblockthere, first - 1);
  const bool far_open = beyond < board_size && !covered_along(block, isblockthere, beyond);
  return near_open || far_open;
}

void distances_that_block_can_move(BLOCK block, const bool (*isblockthere)[board_size],
                                   int* distances) {
  const int first = position_along(block);
  int j = 0;
  for (int i = first - 1; i >= 0 && !covered_along(block, isblockthere, i); --i) {
    ++j;
  }
  int k = 0;
  for (int i = first + block.length; i < board_size && !covered_along(block, isblockthere, i);
       ++i) {
    ++k;
  }
  int entry = 0;
  for (int n = j; n >= 1; --n) {
    distances[entry++] = -n;
  }
  for (int n = k; n >= 1; --n) {
    distances[entry++] = n;
  }
  while (entry < 4) {
    distances[entry++] = 0;
  }
}

namespace {

// Configurations with a larger Id are never examined.
constexpr int deepest_examined = 19;

// Packs everything that decides a configuration's future into 64 bits: each
// block's position along its line (the packed positions), the block that made
// the last move (4 bits) and that move's distance (4 bits). A block only ever
// slides along its line, so the position along it gives both x and y. The
// last-moved block is coded as the first block whose block_Id equals
// Id_block_moved, or as none: the search only compares Id_block_moved with
// block_Ids and with 0, and the values it meets are 0 and block_Ids, so this
// coding tells apart exactly the values that can occur.
class config_keys {
 public:
  explicit config_keys(const config& start) : blocks_(start.num_block + 1) {
    for (int b = 0; b < blocks_; ++b) {
      first_same_id_[b] = first_with_id(start, block_of(start, b).block_Id);
    }
  }

  // The packed positions of `configuration`.
  packed_positions positions(const config& configuration) const {
    packed_positions packed = 0;
    for (int b = 0; b < blocks_; ++b) {
      packed = with_position(packed, b, position_along(block_of(configuration, b)));
    }
    return packed;
  }

  // The key of the start configuration (Id_block_moved 0, distance 0).
  std::uint64_t start_key(const config& start) const {
    return pack(positions(start), first_with_id(start, start.Id_block_moved),
                start.config_creating_move);
  }

  // The key of the child that slides block `number` of a parent with
  // `parent_positions` by `distance` to `new_position`.
  std::uint64_t child_key(packed_positions parent_positions, int number, int new_position,
                          int distance) const {
    return pack(with_position(parent_positions, number, new_position), first_same_id_[number],
                distance);
  }

 private:
  static constexpr int no_moved_block = 15;
  static constexpr int moved_shift = position_bits * max_blocks;  // 42
  static constexpr int distance_shift = moved_shift + 4;          // 46; distances are -4 .. 4

  int first_with_id(const config& configuration, std::int32_t id) const {
    for (int b = 0; b < blocks_; ++b) {
      if (block_of(configuration, b).block_Id == id) {
        return b;
      }
    }
    return no_moved_block;
  }

  static std::uint64_t pack(packed_positions positions, int moved, int distance) {
    return positions | (static_cast<std::uint64_t>(moved) << moved_shift) |
           (static_cast<std::uint64_t>(distance + 4) << distance_shift);
  }

  int blocks_;
  int first_same_id_[max_blocks] = {};
};

// Whole configurations, first in, first out, stored in chunks so that a
// configuration stays where it is while others are appended or removed.
class config_queue {
 public:
  bool empty() const {
    return chunks_.empty();
  }
  const config& front() const {
    return chunks_.front()[head_];
  }
  // Appends a copy of `configuration` and returns it.
  config& push_back(const config& configuration) {
    if (chunks_.empty() || chunks_.back().size() == chunk_size) {
      chunks_.emplace_back().reserve(chunk_size);
    }
    return chunks_.back().emplace_back(configuration);
  }
  void pop_front() {
    if (++head_ == chunks_.front().size()) {
      chunks_.pop_front();
      head_ = 0;
    }
  }

 private:
  static constexpr std::size_t chunk_size = 128;
  std::deque<std::vector<config>> chunks_;
  std::size_t head_ = 0;
};

// Prints the grid one row a line, row 0 first or row 5 first.
void print_grid(std::ostream& out, const bool (*isblockthere)[board_size], bool last_row_first) {
  for (int row = 0; row < board_size; ++row) {
    const int y = last_row_first ? board_size - 1 - row : row;
    for (int x = 0; x < board_size; ++x) {
      out << (isblockthere[x][y] ? '1' : '0');
    }
    out << std::endl;
  }
}

// The start configuration of a level as read: Id, last move and moved block 0.
config start_configuration(const BLOCK* blockers, const BLOCK& prisoner, int num_block,
                           const bool (*isblockthere)[board_size]) {
  config start{};
  start.Id = 0;
  array_copy(start.blockers, blockers, num_block);
  start.prisoner = prisoner;
  isblockthere_copy(start.isblockthere, isblockthere);
  start.num_block = num_block;
  start.config_creating_move = 0;
  start.Id_block_moved = 0;
  return start;
}

// The breadth-first search from a start configuration. Every configuration
// ever queued is remembered by its key: one with the same key has the same
// children, so queueing it again could only repeat work already done.
class move_search {
 public:
  move_search(const config& start, std::ostream& out) : keys_(start), out_(out) {
    queued_.add(keys_.start_key(start));
    arrangement_.push_back(start);
  }

  // The moves from the start to the first configuration whose prisoner can
  // escape, or -1 when the queue runs dry or the depth limit is reached.
  int run() {
    print_grid(out_, arrangement_.front().isblockthere, true);
    out_ << "-----------------" << std::endl;
    while (!arrangement_.empty()) {
      const config& front = arrangement_.front();
      if (front.Id > deepest_examined) {
        return -1;
      }
      out_ << front.Id + 1 << std::endl;
      out_ << "----------------------" << std::endl;
      if (can_prisoner_escape(front.prisoner, front.isblockthere)) {
        return front.Id;
      }
      // A child deeper than the limit would only end the search, with -1, once
      // it reached the front; not queueing it ends the search with the same -1
      // and the same output when the queue runs dry.
      if (front.Id < deepest_examined) {
        expand(front);
      }
      arrangement_.pop_front();
    }
    return -1;
  }

 private:
  // Offers every move of every block of `parent`, the prisoner first, each
  // block's moves in the order of its distances list.
  void expand(const config& parent) {
    const packed_positions positions = keys_.positions(parent);
    for (int number = prisoner_number; number <= parent.num_block; ++number) {
      const BLOCK& block = block_of(parent, number);
      if (!can_block_be_moved(block, parent.isblockthere)) {
        continue;
      }
      int tempa[4];  // the block's distances list
      distances_that_block_can_move(block, parent.isblockthere, tempa);
      for (const int d : tempa) {
        if (d == 0) {
          continue;
        }
        // The enqueue rule: a move is dropped only when it takes back the move
        // that made `parent`, telling blocks apart by block_Id. When
        // Id_block_moved and the block's block_Id are both 0, both tests hold
        // and the same child is offered twice; the table of keys drops the second copy.
        if (parent.Id_block_moved == 0 || parent.Id_block_moved != block.block_Id) {
          append_child(parent, positions, number, d);
        }
        if (parent.Id_block_moved == block.block_Id && d != -parent.config_creating_move) {
          append_child(parent, positions, number, d);
        }
      }
    }
  }

  // Queues the child that slides block `number` of `parent` by `d`, unless a
  // configuration with the same key was queued before.
  void append_child(const config& parent, packed_positions positions, int number, int d) {
    const BLOCK& block = block_of(parent, number);
    if (!queued_.add(keys_.child_key(positions, number, position_along(block) + d, d))) {
      return;
    }
    // The child is built in place at the back of the queue; appending leaves
    // the front where it is.
    config& child = arrangement_.push_back(parent);
    BLOCK& moved = block_of(child, number);
    clean_block(moved, child.isblockthere);
    moved.moveblock(d);
    place_block(moved, child.isblockthere);
    child.Id = parent.Id + 1;
    child.config_creating_move = d;
    child.Id_block_moved = moved.block_Id;
  }

  const config_keys keys_;
  position_table queued_;     // the keys of every configuration ever queued
  config_queue arrangement_;  // the configurations waiting to be examined, oldest first
  std::ostream& out_;
};

}  // namespace

int calculate_num_moves(std::ostream& out) {
  int num_block = 0;
  BLOCK blockers[max_blockers];
  BLOCK prisoner;
  bool isblockthere[board_size][board_size] = {};
  if (!read_level_files(blockers, prisoner, num_block, isblockthere, out)) {
    return -1;
  }
  print_grid(out, isblockthere, false);
  out << "-------------" << std::endl;
  const config start = start_configuration(blockers, prisoner, num_block, isblockthere);
  if (!write_config_snapshot(start, out)) {
    return -1;
  }
  return move_search(start, out).run();
}
