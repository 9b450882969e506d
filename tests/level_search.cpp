#include "level_search.h"

#include <deque>
#include <map>
#include <stdexcept>
#include <unordered_set>

#include "num_moves_calculator.h"
#include "test_support.h"

namespace {

constexpr int position_bits = 3;

// Block `index` of a level: the prisoner first, then the blockers.
const BLOCK& nth_block(const test_level& level, int index) {
  return index == 0 ? level.prisoner : level.blockers[static_cast<std::size_t>(index - 1)];
}

int block_count(const test_level& level) {
  return static_cast<int>(level.blockers.size()) + 1;
}

int position_at(std::uint64_t positions, int index) {
  return static_cast<int>((positions >> (position_bits * index)) & 7);
}

// The covered cells of the level's blocks at `positions`, worked out from scratch.
struct cells {
  bool covered[board_size][board_size] = {};
};

cells cells_at(const test_level& level, std::uint64_t positions) {
  cells grid;
  for (int b = 0; b < block_count(level); ++b) {
    const BLOCK& block = nth_block(level, b);
    const int first = position_at(positions, b);
    for (int k = 0; k < block.length; ++k) {
      if (block.horizontal) {
        grid.covered[first + k][block.y] = true;
      } else {
        grid.covered[block.x][first + k] = true;
      }
    }
  }
  return grid;
}

}  // namespace

test_level parse_level(std::string_view picture) {
  std::vector<std::string> rows;
  std::string row;
  for (const char c : picture) {
    if (c == '\n') {
      if (!row.empty()) {
        rows.push_back(row);
      }
      row.clear();
    } else if (c != ' ') {
      row += c;
    }
  }
  if (!row.empty()) {
    rows.push_back(row);
  }
  if (rows.size() != board_size) {
    throw std::invalid_argument("a level picture has six rows");
  }
  std::map<char, std::vector<std::pair<int, int>>> blocks;  // name -> cells, row by row
  for (int y = 0; y < board_size; ++y) {
    if (rows[y].size() != board_size) {
      throw std::invalid_argument("a level picture row has six cells: " + rows[y]);
    }
    for (int x = 0; x < board_size; ++x) {
      const char c = rows[y][x];
      if (c != '.' && c != 'P' && (c < 'a' || c > 'm')) {
        throw std::invalid_argument(std::string("unknown cell ") + c);
      }
      if (c != '.') {
        blocks[c].emplace_back(x, y);
      }
    }
  }
  const auto block_from = [](const std::vector<std::pair<int, int>>& at) {
    const int length = static_cast<int>(at.size());
    const bool horizontal = length > 1 && at[0].second == at[1].second;
    for (int k = 0; k < length; ++k) {
      const int x = horizontal ? at[0].first + k : at[0].first;
      const int y = horizontal ? at[0].second : at[0].second + k;
      if (at[k] != std::pair(x, y)) {
        throw std::invalid_argument("a block is not a straight line");
      }
    }
    if (length != 2 && length != 3) {
      throw std::invalid_argument("a block covers two or three cells");
    }
    return make_block(horizontal, length, at[0].first, at[0].second);
  };
  test_level level;
  if (!blocks.contains('P')) {
    throw std::invalid_argument("a level has a prisoner");
  }
  level.prisoner = block_from(blocks['P']);
  if (!level.prisoner.horizontal || level.prisoner.length != 2) {
    throw std::invalid_argument("the prisoner is horizontal and two cells long");
  }
  blocks.erase('P');
  char expected = 'a';
  for (const auto& [name, at] : blocks) {
    if (name != expected++) {
      throw std::invalid_argument("blockers are named a, b, c, ... without gaps");
    }
    level.blockers.push_back(block_from(at));
  }
  return level;
}

std::string draw_level(const test_level& level) {
  std::string rows[board_size] = {"......", "......", "......", "......", "......", "......"};
  for (int b = 0; b < block_count(level); ++b) {
    const BLOCK& block = nth_block(level, b);
    for (int k = 0; k < block.length; ++k) {
      const int x = block.horizontal ? block.x + k : block.x;
      const int y = block.horizontal ? block.y : block.y + k;
      rows[y][x] = b == 0 ? 'P' : static_cast<char>('a' + b - 1);
    }
  }
  std::string picture;
  for (const std::string& line : rows) {
    picture += line + "\n";
  }
  return picture;
}

test_level random_level(std::mt19937& random, int num_blockers) {
  test_level level;
  level.prisoner =
      make_block(true, 2, std::uniform_int_distribution<int>(0, board_size - 2)(random), 3);
  add_random_blockers(random, level, num_blockers);
  return level;
}

void add_random_blockers(std::mt19937& random, test_level& level, int num_blockers) {
  const auto draw = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  bool grid[board_size][board_size];
  mark_blocks(level.prisoner, level.blockers, grid);
  for (int i = 0; i < num_blockers && level.blockers.size() < max_blockers; ++i) {
    for (int attempt = 0; attempt < 40; ++attempt) {
      const bool horizontal = draw(0, 1) == 1;
      const int length = draw(2, 3);
      const int across = draw(0, board_size - 1);
      const int along = draw(0, board_size - length);
      const BLOCK block = horizontal ? make_block(true, length, along, across)
                                     : make_block(false, length, across, along);
      if (!does_the_block_overlap(block, grid)) {
        place_block(block, grid);
        level.blockers.push_back(block);
        break;
      }
    }
  }
}

config start_config(const test_level& level) {
  config start{};
  array_copy(start.blockers, level.blockers.data(), static_cast<int>(level.blockers.size()));
  start.prisoner = level.prisoner;
  mark_blocks(level.prisoner, level.blockers, start.isblockthere);
  start.num_block = static_cast<int>(level.blockers.size());
  return start;
}

literal_result literal_move_count(const test_level& level, std::int64_t budget) {
  literal_result result;
  std::deque<config> arrangement{start_config(level)};
  std::int64_t queued = 1;
  while (!arrangement.empty()) {
    const config& front = arrangement.front();
    if (front.Id > 19) {
      result.finished = true;
      result.depth_limit = true;
      return result;
    }
    const int I = front.Id + 1;
    ++result.examined;
    if (can_prisoner_escape(front.prisoner, front.isblockthere)) {
      result.finished = true;
      result.moves = front.Id;
      return result;
    }
    const auto append = [&](int b, int d) {
      config child = front;
      BLOCK& moved = b == 0 ? child.prisoner : child.blockers[b - 1];
      clean_block(moved, child.isblockthere);
      moved.moveblock(d);
      place_block(moved, child.isblockthere);
      child.Id = I;
      child.config_creating_move = d;
      child.Id_block_moved = moved.block_Id;
      arrangement.push_back(child);
      return ++queued <= budget;
    };
    for (int b = 0; b <= front.num_block; ++b) {
      const BLOCK& block = b == 0 ? front.prisoner : front.blockers[b - 1];
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
          if (!append(b, d)) {
            return result;
          }
        }
        if (front.Id_block_moved == block.block_Id && d != -front.config_creating_move) {
          if (!append(b, d)) {
            return result;
          }
        }
      }
    }
    arrangement.pop_front();
  }
  result.finished = true;
  return result;
}

std::uint64_t pack_positions(const test_level& level) {
  std::uint64_t positions = 0;
  for (int b = 0; b < block_count(level); ++b) {
    const BLOCK& block = nth_block(level, b);
    const int first = block.horizontal ? block.x : block.y;
    positions |= static_cast<std::uint64_t>(first) << (position_bits * b);
  }
  return positions;
}

test_level at_positions(const test_level& level, std::uint64_t positions) {
  test_level moved = level;
  for (int b = 0; b < block_count(level); ++b) {
    BLOCK& block = b == 0 ? moved.prisoner : moved.blockers[static_cast<std::size_t>(b - 1)];
    (block.horizontal ? block.x : block.y) = position_at(positions, b);
  }
  return moved;
}

std::vector<std::uint64_t> neighbours(const test_level& level, std::uint64_t positions) {
  const cells grid = cells_at(level, positions);
  std::vector<std::uint64_t> found;
  for (int b = 0; b < block_count(level); ++b) {
    const BLOCK& block = nth_block(level, b);
    const int first = position_at(positions, b);
    const auto free_at = [&](int i) {
      return block.horizontal ? !grid.covered[i][block.y] : !grid.covered[block.x][i];
    };
    const auto moved_to = [&](int to) {
      const int shift = position_bits * b;
      return (positions & ~(std::uint64_t{7} << shift)) | (static_cast<std::uint64_t>(to) << shift);
    };
    for (int to = first - 1; to >= 0 && free_at(to); --to) {
      found.push_back(moved_to(to));
    }
    for (int end = first + block.length; end < board_size && free_at(end); ++end) {
      found.push_back(moved_to(end - block.length + 1));
    }
  }
  return found;
}

bool is_solved(const test_level& level, std::uint64_t positions) {
  const cells grid = cells_at(level, positions);
  for (int x = position_at(positions, 0) + level.prisoner.length; x < board_size; ++x) {
    if (grid.covered[x][level.prisoner.y]) {
      return false;
    }
  }
  return true;
}

int fewest_moves(const test_level& level, int limit) {
  std::unordered_set<std::uint64_t> seen{pack_positions(level)};
  std::vector<std::uint64_t> layer{pack_positions(level)};
  for (int depth = 0; depth <= limit && !layer.empty(); ++depth) {
    std::vector<std::uint64_t> next;
    for (const std::uint64_t positions : layer) {
      if (is_solved(level, positions)) {
        return depth;
      }
      for (const std::uint64_t neighbour : neighbours(level, positions)) {
        if (seen.insert(neighbour).second) {
          next.push_back(neighbour);
        }
      }
    }
    layer = std::move(next);
  }
  return -1;
}
