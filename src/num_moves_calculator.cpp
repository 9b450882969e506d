#include "num_moves_calculator.h"

#include <cstdint>
#include <deque>
#include <vector>

#include "level_files.h"

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

// The first cell of the block along its own line.
int position_along(const BLOCK& block) {
  return block.horizontal ? block.x : block.y;
}

// Whether cell `i` of the block's own line (row or column) is covered.
bool covered_along(const BLOCK& block, const bool (*isblockthere)[board_size], int i) {
  return block.horizontal ? isblockthere[i][block.y] : isblockthere[block.x][i];
}

}  // namespace

bool can_prisoner_escape(BLOCK prisoner, const bool (*isblockthere)[board_size]) {
  for (int i = prisoner.x + prisoner.length; i < board_size; ++i) {
    if (isblockthere[i][prisoner.y]) {
      return false;
    }
  }
  return true;
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
// The prisoner and every blocker.
constexpr int most_blocks = max_blockers + 1;

// Block `index` of a configuration in the order of expansion: the prisoner
// first, then blockers 0 .. num_block - 1.
BLOCK& block_of(config& configuration, int index) {
  return index == 0 ? configuration.prisoner : configuration.blockers[index - 1];
}
const BLOCK& block_of(const config& configuration, int index) {
  return index == 0 ? configuration.prisoner : configuration.blockers[index - 1];
}

// Packs everything that decides a configuration's future into 64 bits: each
// block's position along its line (3 bits a block, the prisoner lowest), the
// block that made the last move (4 bits) and that move's distance (4 bits).
// A block only ever slides along its line, so the position along it gives both
// x and y. The last-moved block is coded as the first block whose block_Id
// equals Id_block_moved, or as none: the search only compares Id_block_moved
// with block_Ids and with 0, and the values it meets are 0 and block_Ids, so
// this coding tells apart exactly the values that can occur.
class config_keys {
 public:
  explicit config_keys(const config& start) : blocks_(start.num_block + 1) {
    for (int b = 0; b < blocks_; ++b) {
      first_same_id_[b] = first_with_id(start, block_of(start, b).block_Id);
    }
  }

  // The position bits of `configuration`.
  std::uint64_t positions(const config& configuration) const {
    std::uint64_t bits = 0;
    for (int b = 0; b < blocks_; ++b) {
      bits |= static_cast<std::uint64_t>(position_along(block_of(configuration, b)))
              << (position_bits * b);
    }
    return bits;
  }

  // The key of the start configuration (Id_block_moved 0, distance 0).
  std::uint64_t start_key(const config& start) const {
    return pack(positions(start), first_with_id(start, start.Id_block_moved),
                start.config_creating_move);
  }

  // The key of the child that slides `block` of a parent with `parent_positions`
  // by `distance` to `new_position`.
  std::uint64_t child_key(std::uint64_t parent_positions, int block, int new_position,
                          int distance) const {
    const int shift = position_bits * block;
    const std::uint64_t moved = (parent_positions & ~(position_mask << shift)) |
                                (static_cast<std::uint64_t>(new_position) << shift);
    return pack(moved, first_same_id_[block], distance);
  }

 private:
  static constexpr int position_bits = 3;
  static constexpr std::uint64_t position_mask = 7;
  static constexpr int no_block = 15;
  static constexpr int moved_shift = position_bits * most_blocks;  // 42
  static constexpr int distance_shift = moved_shift + 4;           // 46; distances are -4 .. 4

  int first_with_id(const config& configuration, std::int32_t id) const {
    for (int b = 0; b < blocks_; ++b) {
      if (block_of(configuration, b).block_Id == id) {
        return b;
      }
    }
    return no_block;
  }

  static std::uint64_t pack(std::uint64_t positions, int moved, int distance) {
    return positions | (static_cast<std::uint64_t>(moved) << moved_shift) |
           (static_cast<std::uint64_t>(distance + 4) << distance_shift);
  }

  int blocks_;
  int first_same_id_[most_blocks] = {};
};

// A set of keys below 2^63 in one open-addressed table, at most half full.
class key_set {
 public:
  // Adds `key`; false if it was there already.
  bool insert(std::uint64_t key) {
    if (2 * (size_ + 1) > slots_.size()) {
      grow();
    }
    return place(key | occupied);
  }

 private:
  static constexpr std::uint64_t occupied = std::uint64_t{1} << 63;

  bool place(std::uint64_t stored) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = (stored * 0x9E3779B97F4A7C15ULL) >> shift_;; i = (i + 1) & mask) {
      if (slots_[i] == stored) {
        return false;
      }
      if (slots_[i] == 0) {
        slots_[i] = stored;
        ++size_;
        return true;
      }
    }
  }

  void grow() {
    std::vector<std::uint64_t> old = std::move(slots_);
    slots_.assign(old.empty() ? 1024 : 2 * old.size(), 0);
    shift_ = 64;
    for (std::size_t n = slots_.size(); n > 1; n /= 2) {
      --shift_;
    }
    size_ = 0;
    for (const std::uint64_t stored : old) {
      if (stored != 0) {
        place(stored);
      }
    }
  }

  std::vector<std::uint64_t> slots_;
  std::size_t size_ = 0;
  int shift_ = 64;
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

}  // namespace

int calculate_num_moves(std::ostream& out) {
  int num_block = 0;
  BLOCK blockers[max_blockers];
  BLOCK prisoner;
  bool isblockthere[board_size][board_size] = {};
  if (!read_level_files(blockers, prisoner, num_block, isblockthere, out)) {
    return -1;
  }
  config_queue arrangement;
  print_grid(out, isblockthere, false);
  out << "-------------" << std::endl;

  config scratch{};
  scratch.Id = 0;
  array_copy(scratch.blockers, blockers, num_block);
  scratch.prisoner = prisoner;
  isblockthere_copy(scratch.isblockthere, isblockthere);
  scratch.num_block = num_block;
  scratch.config_creating_move = 0;
  scratch.Id_block_moved = 0;
  if (!write_config_snapshot(scratch, out)) {
    return -1;
  }

  // Every configuration ever queued, by key: one with the same key has the same
  // children, so queueing it again could only repeat work already done.
  const config_keys keys(scratch);
  key_set queued;
  queued.insert(keys.start_key(scratch));
  arrangement.push_back(scratch);
  print_grid(out, arrangement.front().isblockthere, true);
  out << "-----------------" << std::endl;

  while (!arrangement.empty()) {
    const config& front = arrangement.front();
    if (front.Id > deepest_examined) {
      return -1;
    }
    const int I = front.Id + 1;
    out << I << std::endl;
    out << "----------------------" << std::endl;
    if (can_prisoner_escape(front.prisoner, front.isblockthere)) {
      return front.Id;
    }
    // A child deeper than the limit would only end the search, with -1, once it
    // reached the front; not queueing it ends the search with the same -1 and
    // the same output when the queue runs dry.
    if (I <= deepest_examined) {
      const std::uint64_t positions = keys.positions(front);
      const auto append_child = [&](int b, int d) {
        const BLOCK& block = block_of(front, b);
        if (!queued.insert(keys.child_key(positions, b, position_along(block) + d, d))) {
          return;
        }
        // The child is built in place at the back of the queue; appending
        // leaves the front where it is.
        config& child = arrangement.push_back(front);
        BLOCK& moved = block_of(child, b);
        clean_block(moved, child.isblockthere);
        moved.moveblock(d);
        place_block(moved, child.isblockthere);
        child.Id = I;
        child.config_creating_move = d;
        child.Id_block_moved = moved.block_Id;
      };
      for (int b = 0; b <= num_block; ++b) {
        const BLOCK& block = block_of(front, b);
        if (!can_block_be_moved(block, front.isblockthere)) {
          continue;
        }
        int tempa[4];
        distances_that_block_can_move(block, front.isblockthere, tempa);
        for (const int d : tempa) {
          if (d == 0) {
            continue;
          }
          if (front.Id_block_moved == 0 || front.Id_block_moved != block.block_Id) {
            append_child(b, d);
          }
          if (front.Id_block_moved == block.block_Id && d != -front.config_creating_move) {
            append_child(b, d);
          }
        }
      }
    }
    arrangement.pop_front();
  }
  return -1;
}
