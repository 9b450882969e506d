#include "support/level_search.h"

#include <algorithm>
#include <deque>
#include <map>
#include <sstream>
#include <stdexcept>
#include <unordered_set>

#include "model/level_files.h"
#include "model/level_records.h"
#include "search/num_moves_calculator.h"

namespace {

// The covered cells of the level's blocks at `positions`, worked out from scratch.
struct cells {
  bool covered[board_size][board_size] = {};
};

cells cells_at(const test_level& level, std::uint64_t positions) {
  cells grid;
  for (int b = 0; b < block_count(level); ++b) {
    play_block block = block_of(level, b);
    set_position_along(block, position_in(positions, b));
    for (int k = 0; k < block.length; ++k) {
      const cell c = cell_of(block, k);
      grid.covered[c.x][c.y] = true;
    }
  }
  return grid;
}

}  // namespace

record_level as_records(const test_level& level) {
  record_level records{record_of(level.prisoner), {}};
  for (const play_block& blocker : level.blockers) {
    records.blockers.push_back(record_of(blocker));
  }
  return records;
}

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
    const play_block block{horizontal, length, at[0].first, at[0].second};
    for (int k = 0; k < length; ++k) {
      if (cell_of(block, k) != cell{at[k].first, at[k].second}) {
        throw std::invalid_argument("a block is not a straight line");
      }
    }
    if (length != 2 && length != 3) {
      throw std::invalid_argument("a block covers two or three cells");
    }
    return block;
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
    const play_block& block = block_of(level, b);
    for (int k = 0; k < block.length; ++k) {
      const cell c = cell_of(block, k);
      rows[c.y][c.x] = b == prisoner_number ? 'P' : static_cast<char>('a' + b - 1);
    }
  }
  std::string picture;
  for (const std::string& line : rows) {
    picture += line + "\n";
  }
  return picture;
}

test_level two_move_level() {
  return {{true, 2, 1, 3}, {{false, 3, 3, 1}, {true, 2, 4, 5}, {false, 2, 5, 2}, {true, 3, 0, 0}}};
}

test_level random_level(std::mt19937& random, int num_blockers) {
  test_level level;
  level.prisoner = {true, 2, std::uniform_int_distribution<int>(0, board_size - 2)(random), 3};
  add_random_blockers(random, level, num_blockers);
  return level;
}

void add_random_blockers(std::mt19937& random, test_level& level, int num_blockers) {
  const auto draw = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  cells grid = cells_at(level, pack_positions(level));
  for (int i = 0; i < num_blockers && level.blockers.size() < max_blockers; ++i) {
    for (int attempt = 0; attempt < 40; ++attempt) {
      const bool horizontal = draw(0, 1) == 1;
      const int length = draw(2, 3);
      const int across = draw(0, board_size - 1);
      const int along = draw(0, board_size - length);
      const play_block block = block_on_line<play_block>(horizontal, length, across, along);
      bool overlaps = false;
      for (int k = 0; k < length; ++k) {
        const cell c = cell_of(block, k);
        overlaps = overlaps || grid.covered[c.x][c.y];
      }
      if (!overlaps) {
        for (int k = 0; k < length; ++k) {
          const cell c = cell_of(block, k);
          grid.covered[c.x][c.y] = true;
        }
        level.blockers.push_back(block);
        break;
      }
    }
  }
}

config start_config(const record_level& level) {
  config start{};
  array_copy(start.blockers, level.blockers.data(), static_cast<int>(level.blockers.size()));
  start.prisoner = level.prisoner;
  mark_blocks(level.prisoner, level.blockers, start.isblockthere);
  start.num_block = static_cast<int>(level.blockers.size());
  return start;
}

literal_result literal_move_count(const record_level& level, std::int64_t budget) {
  literal_result result;
  std::deque<config> queue{start_config(level)};
  std::int64_t queued = 1;
  while (!queue.empty()) {
    const config& front = queue.front();
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
      queue.push_back(child);
      return ++queued <= budget;
    };
    for (int b = 0; b <= front.num_block; ++b) {
      const BLOCK& block = b == 0 ? front.prisoner : front.blockers[b - 1];
      if (!can_block_be_moved(block, front.isblockthere)) {
        continue;
      }
      int distances[4];
      distances_that_block_can_move(block, front.isblockthere, distances);
      for (const int d : distances) {
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
    queue.pop_front();
  }
  result.finished = true;
  return result;
}

std::uint64_t pack_positions(const test_level& level) {
  std::uint64_t positions = 0;
  for (int b = 0; b < block_count(level); ++b) {
    positions = with_position(positions, b, position_along(block_of(level, b)));
  }
  return positions;
}

test_level at_positions(const test_level& level, std::uint64_t positions) {
  test_level moved = level;
  for (int b = 0; b < block_count(level); ++b) {
    set_position_along(block_of(moved, b), position_in(positions, b));
  }
  return moved;
}

std::vector<std::uint64_t> neighbours(const test_level& level, std::uint64_t positions) {
  const cells grid = cells_at(level, positions);
  std::vector<std::uint64_t> found;
  for (int b = 0; b < block_count(level); ++b) {
    const play_block& block = block_of(level, b);
    const int first = position_in(positions, b);
    const auto free_at = [&](int along) {
      const cell c = cell_on_line(block, along);
      return !grid.covered[c.x][c.y];
    };
    const auto moved_to = [&](int to) { return with_position(positions, b, to); };
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
  for (int x = position_in(positions, prisoner_number) + level.prisoner.length; x < board_size;
       ++x) {
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

BLOCK make_block(bool horizontal, int length, int x, int y) {
  BLOCK block;
  block.horizontal = horizontal;
  block.length = length;
  block.x = x;
  block.y = y;
  block.define_block_Id();
  return block;
}

void mark_blocks(const BLOCK& prisoner, const std::vector<BLOCK>& blockers,
                 bool (&isblockthere)[board_size][board_size]) {
  for (auto& column : isblockthere) {
    for (bool& cell : column) {
      cell = false;
    }
  }
  place_block(prisoner, isblockthere);
  for (const BLOCK& blocker : blockers) {
    place_block(blocker, isblockthere);
  }
}

void write_level(const record_level& level) {
  BLOCK all[max_blockers] = {};
  std::copy(level.blockers.begin(), level.blockers.end(), all);
  bool grid[board_size][board_size];
  mark_blocks(level.prisoner, level.blockers, grid);
  std::ostringstream ignored;
  write_level_files(all, level.prisoner, static_cast<int>(level.blockers.size()), grid, ignored);
}

void write_level(const test_level& level) {
  write_level(as_records(level));
}
